#pragma once
// Character helpers of the RTF module: the program's UTF-8 helpers, and the
// Windows code pages that RTF files name with \ansicpg, \fcharset and \cpg,
// converted with iconv.

#include <cstddef>
#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "util/utf8.h"

namespace paipan::rtf {

using paipan::AppendUtf8;
using paipan::kReplacementChar;
using paipan::NextCodePoint;
using paipan::ValidUtf8;

inline constexpr int kCodePageWestern = 1252;
inline constexpr int kCodePageChinese = 936;  // GBK, the code page of Simplified Chinese Windows
inline constexpr int kCodePageUtf8 = 65001;

// The code page Windows uses for a font character set (\fcharsetN);
// nullopt for the ANSI and default sets, whose text follows the document's
// \ansicpg.
std::optional<int> CodePageOfCharset(int charset);

// Converts between Windows code pages and UTF-8 with iconv, keeping each
// opened converter for the life of the object. A code page iconv does not
// know is read as Western (1252); undecodable bytes become U+FFFD.
class CodePageConverter {
public:
    CodePageConverter() = default;
    CodePageConverter(const CodePageConverter&) = delete;
    CodePageConverter& operator=(const CodePageConverter&) = delete;

    std::string Decode(int codePage, std::string_view bytes);
    // nullopt when some character has no encoding in `codePage`.
    std::optional<std::string> Encode(int codePage, std::string_view utf8);

private:
    struct IconvCloser {
        void operator()(void* cd) const;
    };
    using Handle = std::unique_ptr<void, IconvCloser>;  // an iconv_t
    // The converter from (`toUtf8`) or to `codePage`; null when iconv has none.
    void* Find(int codePage, bool toUtf8);
    std::map<std::pair<int, bool>, Handle> handles_;  // failures kept as null
};

}  // namespace paipan::rtf
