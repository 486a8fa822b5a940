#include "rtf/rtf_writer.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <map>

#include "rtf/rtf_reader.h"
#include "rtf/rtf_text.h"

namespace paipan::rtf {
namespace {

// The fonts and colours the runs use, in order of first use; a run refers
// to them by position.
struct Tables {
    std::vector<std::string> fonts;
    std::vector<Rgb> colours;

    explicit Tables(const RunList& runs) {
        for (const Run& run : runs) {
            const RunFormat& format = run.format;
            if (fontIndex_.emplace(format.font, fonts.size()).second) {
                fonts.push_back(format.font);
            }
            if (format.colour && colourIndex_.emplace(Key(*format.colour), colours.size()).second) {
                colours.push_back(*format.colour);
            }
        }
    }
    std::size_t FontIndex(const std::string& font) const { return fontIndex_.at(font); }
    std::size_t ColourIndex(const Rgb& rgb) const { return colourIndex_.at(Key(rgb)); }

private:
    static std::uint32_t Key(const Rgb& rgb) {
        return (std::uint32_t{rgb.red} << 16) | (std::uint32_t{rgb.green} << 8) | rgb.blue;
    }
    std::map<std::string, std::size_t> fontIndex_;
    std::map<std::uint32_t, std::size_t> colourIndex_;
};

void AppendHexByte(std::string& out, unsigned char byte) {
    char buf[5];
    std::snprintf(buf, sizeof buf, "\\'%02x", byte);
    out += buf;
}

// \uN takes a signed 16-bit value; characters beyond U+FFFF go as a
// surrogate pair. '?' is the one-character fallback declared by \uc1,
// written as \'3f: some readers take a literal '?' and the character after
// it for the fallback and lose the next character ("即23" became "即3").
void AppendUnicode(std::string& out, char32_t cp) {
    if (cp > 0xFFFF) {
        AppendUnicode(out, 0xD800 + ((cp - 0x10000) >> 10));
        AppendUnicode(out, 0xDC00 + ((cp - 0x10000) & 0x3FF));
        return;
    }
    const long value = cp <= 0x7FFF ? static_cast<long>(cp) : static_cast<long>(cp) - 65536;
    out += "\\u" + std::to_string(value) + "\\'3f";
}

// An ASCII character of a font name: the table's separator, RTF's special
// characters and control characters go as \'hh.
void AppendFontNameAscii(std::string& out, char c) {
    if (c == ';' || c == '\\' || c == '{' || c == '}' || c < 0x20 || c == 0x7F) {
        AppendHexByte(out, static_cast<unsigned char>(c));
    } else {
        out.push_back(c);
    }
}

// A font name in GBK bytes, as Chinese word processors write them;
// nullopt when GBK lacks one of its characters.
std::optional<std::string> GbkFontName(std::string_view name, CodePageConverter& converter) {
    std::string out;
    for (std::size_t pos = 0; pos < name.size();) {
        const std::size_t start = pos;
        const char32_t cp = NextCodePoint(name, pos);
        if (cp < 0x80) {
            AppendFontNameAscii(out, static_cast<char>(cp));
            continue;
        }
        const auto bytes = converter.Encode(kCodePageChinese, name.substr(start, pos - start));
        if (!bytes || cp == kReplacementChar) {
            return std::nullopt;
        }
        for (const char byte : *bytes) {
            AppendHexByte(out, static_cast<unsigned char>(byte));
        }
    }
    return out;
}

std::string UnicodeFontName(std::string_view name) {
    std::string out;
    for (std::size_t pos = 0; pos < name.size();) {
        const char32_t cp = NextCodePoint(name, pos);
        if (cp < 0x80) {
            AppendFontNameAscii(out, static_cast<char>(cp));
        } else {
            AppendUnicode(out, cp);
        }
    }
    return out;
}

void AppendFontTable(std::string& out, const std::vector<std::string>& fonts) {
    CodePageConverter converter;
    out += "{\\fonttbl";
    for (std::size_t i = 0; i < fonts.size(); ++i) {
        const std::string& name = fonts[i];
        const bool ascii = std::all_of(name.begin(), name.end(),
                                       [](char c) { return static_cast<unsigned char>(c) < 0x80; });
        out += "{\\f" + std::to_string(i) + "\\fnil";
        if (ascii) {
            out += "\\fcharset0 " + UnicodeFontName(name);
        } else {
            out += "\\fcharset134 " + GbkFontName(name, converter).value_or(UnicodeFontName(name));
        }
        out += ";}";
    }
    out += "}\r\n";
}

void AppendColourTable(std::string& out, const std::vector<Rgb>& colours) {
    out += "{\\colortbl;";  // entry 0 empty: the automatic colour
    for (const Rgb& rgb : colours) {
        out += "\\red" + std::to_string(rgb.red) + "\\green" + std::to_string(rgb.green) + "\\blue" +
               std::to_string(rgb.blue) + ";";
    }
    out += "}\r\n";
}

// \plain first, so that each run states its whole format. The face goes
// twice: as the CJK (associated) font after \dbch for readers that keep a
// separate face for Chinese, then as the regular font after \loch.
void AppendFormat(std::string& out, const RunFormat& format, const Tables& tables) {
    const std::string font = std::to_string(tables.FontIndex(format.font));
    out += "\\plain\\dbch\\af" + font + "\\loch\\f" + font;
    if (format.pointSize > 0) {
        const double halfPoints = std::min(std::round(format.pointSize * 2), double{kMaxHalfPoints});
        out += "\\fs" + std::to_string(std::max(1L, std::lround(halfPoints)));
    }
    if (format.colour) {
        out += "\\cf" + std::to_string(tables.ColourIndex(*format.colour) + 1);
    }
    if (format.bold) out += "\\b";
    if (format.italic) out += "\\i";
    if (format.underline) out += "\\ul";
    if (format.strike) out += "\\strike";
    out += ' ';
}

void AppendText(std::string& out, std::string_view text) {
    for (std::size_t pos = 0; pos < text.size();) {
        const char32_t cp = NextCodePoint(text, pos);
        switch (cp) {
        case U'\n': out += "\\par\r\n"; break;
        case U'\t': out += "\\tab "; break;
        case 0x2028: out += "\\line "; break;
        case U'\\':
        case U'{':
        case U'}':
            out += '\\';
            out += static_cast<char>(cp);
            break;
        default:
            if (cp >= 0x20 && cp < 0x7F) {
                out += static_cast<char>(cp);
            } else {
                AppendUnicode(out, cp);
            }
        }
    }
}

}  // namespace

std::string SerializeRtf(const RunList& runs) {
    const Tables tables(runs);
    std::string out = "{\\rtf1\\ansi\\ansicpg936\\deff0\\uc1";
    AppendFontTable(out, tables.fonts);
    AppendColourTable(out, tables.colours);
    out += "\\pard";
    for (const Run& run : runs) {
        AppendFormat(out, run.format, tables);
        AppendText(out, run.text);
    }
    out += "\r\n}\r\n";
    return out;
}

}  // namespace paipan::rtf
