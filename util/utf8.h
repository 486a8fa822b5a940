// UTF-8, the encoding of every text inside the program: decoding one code
// point at a time, checking and repairing byte strings, and the way to and
// from UTF-16.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace paipan {

inline constexpr char32_t kReplacementChar = 0xFFFD;

// Appends `cp` as UTF-8; surrogates and values above U+10FFFF become U+FFFD.
inline void AppendUtf8(std::string& out, char32_t cp) {
    if ((cp >= 0xD800 && cp <= 0xDFFF) || cp > 0x10FFFF) {
        cp = kReplacementChar;
    }
    if (cp < 0x80) {
        out.push_back(static_cast<char>(cp));
    } else if (cp < 0x800) {
        out.push_back(static_cast<char>(0xC0 | (cp >> 6)));
        out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    } else if (cp < 0x10000) {
        out.push_back(static_cast<char>(0xE0 | (cp >> 12)));
        out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    } else {
        out.push_back(static_cast<char>(0xF0 | (cp >> 18)));
        out.push_back(static_cast<char>(0x80 | ((cp >> 12) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    }
}

// The code point of the well-formed sequence that starts at `pos`, moving
// `pos` past it; nothing (and `pos` one byte on) where none starts there.
inline std::optional<char32_t> DecodeAt(std::string_view utf8, std::size_t& pos) {
    const auto lead = static_cast<unsigned char>(utf8[pos]);
    int length = 1;
    char32_t cp = lead;
    char32_t minimum = 0;
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2, cp = lead & 0x1F, minimum = 0x80;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3, cp = lead & 0x0F, minimum = 0x800;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4, cp = lead & 0x07, minimum = 0x10000;
    } else if (lead >= 0x80) {
        ++pos;
        return std::nullopt;
    }
    if (pos + static_cast<std::size_t>(length) > utf8.size()) {
        ++pos;
        return std::nullopt;
    }
    for (int k = 1; k < length; ++k) {
        const auto c = static_cast<unsigned char>(utf8[pos + k]);
        if ((c & 0xC0) != 0x80) {
            ++pos;
            return std::nullopt;
        }
        cp = (cp << 6) | (c & 0x3F);
    }
    if (cp < minimum || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) {
        ++pos;
        return std::nullopt;
    }
    pos += static_cast<std::size_t>(length);
    return cp;
}

// The code point at `pos` as DecodeAt reads it, U+FFFD for a byte that does
// not start a well-formed sequence.
inline char32_t NextCodePoint(std::string_view utf8, std::size_t& pos) {
    return DecodeAt(utf8, pos).value_or(kReplacementChar);
}

// True when the bytes are well-formed UTF-8 (no overlongs, no surrogates).
inline bool IsUtf8(std::string_view bytes) {
    for (std::size_t pos = 0; pos < bytes.size();)
        if (!DecodeAt(bytes, pos)) return false;
    return true;
}

// `bytes` with every ill-formed sequence replaced by U+FFFD.
inline std::string ValidUtf8(std::string_view bytes) {
    std::string out;
    out.reserve(bytes.size());
    for (std::size_t pos = 0; pos < bytes.size();) {
        AppendUtf8(out, NextCodePoint(bytes, pos));
    }
    return out;
}

// `utf8` as UTF-16 code units, read as NextCodePoint reads it; a code point
// above U+FFFF takes a surrogate pair.
inline std::u16string ToUtf16(std::string_view utf8) {
    std::u16string out;
    out.reserve(utf8.size());
    for (std::size_t pos = 0; pos < utf8.size();) {
        const char32_t cp = NextCodePoint(utf8, pos);
        if (cp < 0x10000) {
            out.push_back(static_cast<char16_t>(cp));
        } else {
            out.push_back(static_cast<char16_t>(0xD800 + ((cp - 0x10000) >> 10)));
            out.push_back(static_cast<char16_t>(0xDC00 + ((cp - 0x10000) & 0x3FF)));
        }
    }
    return out;
}

// `utf16` as UTF-8; a surrogate that is not half of a pair becomes U+FFFD.
inline std::string FromUtf16(std::u16string_view utf16) {
    std::string out;
    out.reserve(utf16.size() * 3);
    for (std::size_t i = 0; i < utf16.size(); ++i) {
        char32_t cp = utf16[i];
        if (cp >= 0xD800 && cp <= 0xDBFF && i + 1 < utf16.size() && utf16[i + 1] >= 0xDC00 && utf16[i + 1] <= 0xDFFF) {
            cp = 0x10000 + ((cp - 0xD800) << 10) + (utf16[++i] - 0xDC00);
        }
        AppendUtf8(out, cp);
    }
    return out;
}

// Number of UTF-16 code units of a UTF-8 text, the character unit of Qt's
// text boxes: one per character, two for a character beyond U+FFFF, which
// takes a surrogate pair. Counted by lead bytes alone, so an ill-formed byte
// that is not a continuation byte counts as one unit.
inline int Utf16Length(std::string_view utf8) {
    int units = 0;
    for (const char c : utf8) {
        const auto b = static_cast<unsigned char>(c);
        if ((b & 0xC0) == 0x80) continue;  // continuation byte
        units += b >= 0xF0 ? 2 : 1;
    }
    return units;
}

}  // namespace paipan
