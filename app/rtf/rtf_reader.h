#pragma once
// Reads RTF into runs of formatted text. Every byte is treated as hostile:
// the reader keeps its own bounded group stack (no recursion), cuts control
// words and parameters to fixed limits, and produces at most three bytes of
// text for each input byte. A damaged or truncated file is read as far as it
// goes.

#include <cstddef>
#include <optional>
#include <string_view>

#include "app/rtf/rtf_model.h"

namespace paipan::rtf {

// Groups nested deeper than this are dropped with their content.
inline constexpr std::size_t kMaxGroupDepth = 512;
// Longest font name kept, in UTF-8 bytes.
inline constexpr std::size_t kMaxFontNameBytes = 128;  // Windows face names hold at most 31 characters
// Largest character size in half-points (\fs), as in common word processors.
inline constexpr int kMaxHalfPoints = 3276;

// True when `bytes` start, after blanks and a UTF-8 byte order mark, with "{\rtf".
bool LooksLikeRtf(std::string_view bytes);

// The text and character formats of an RTF file; nullopt when `bytes` are not RTF.
std::optional<RunList> ParseRtf(std::string_view bytes);

}  // namespace paipan::rtf
