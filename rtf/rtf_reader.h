#pragma once
// Reads RTF into runs of formatted text. Every byte is treated as hostile:
// the reader keeps its own bounded group stack (no recursion), cuts control
// words and parameters to fixed limits, and produces at most three bytes of
// text for each input byte. A damaged or truncated file is read as far as it
// goes.

#include <cstddef>
#include <limits>
#include <optional>
#include <string_view>

#include "rtf/rtf_model.h"

namespace paipan::rtf {

// Groups nested deeper than this are dropped with their content.
inline constexpr std::size_t kMaxGroupDepth = 512;
// Longest font name kept, in UTF-8 bytes.
inline constexpr std::size_t kMaxFontNameBytes = 128;  // Windows face names hold at most 31 characters
// Largest character size in half-points (\fs), as in common word processors.
inline constexpr int kMaxHalfPoints = 3276;

// True when `bytes` start, after blanks and a UTF-8 byte order mark, with "{\rtf".
bool LooksLikeRtf(std::string_view bytes);

// How much a file may hold. The runs and the font table are what reading
// costs memory for, so the reader stops as soon as a file passes either.
struct ReadLimits {
    std::size_t runs = std::numeric_limits<std::size_t>::max();
    std::size_t fonts = std::numeric_limits<std::size_t>::max();  // font table entries
};
enum class LimitPassed { None, Runs, Fonts };

// The text and character formats of an RTF file; nullopt when `bytes` are not
// RTF. A file beyond `limits` is read only up to there, and `*passed` (when
// given) says which limit it passed; the runs are then not the whole file.
std::optional<RunList> ParseRtf(std::string_view bytes, const ReadLimits& limits = {}, LimitPassed* passed = nullptr);

}  // namespace paipan::rtf
