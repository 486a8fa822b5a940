#pragma once
// Helpers shared by the RTF tests: short ways to write expected formats, the
// committed sample files, and readable failure output.

#include <fstream>
#include <iterator>
#include <optional>
#include <ostream>
#include <sstream>
#include <string>
#include <string_view>

#include "app/rtf/rtf_model.h"

namespace paipan::rtf {

inline constexpr Rgb kRed{255, 0, 0};
inline constexpr Rgb kBlue{0, 0, 255};
inline constexpr Rgb kGreen{0, 128, 0};
inline constexpr Rgb kBrown{192, 64, 0};
inline constexpr Rgb kMagenta{255, 0, 255};

// `styles` holds the letters b, i, u and s for bold, italic, underline and strikethrough.
inline RunFormat Fmt(std::string font, double points = 0, std::optional<Rgb> colour = {},
                     std::string_view styles = "") {
    RunFormat format;
    format.font = std::move(font);
    format.pointSize = points;
    format.colour = colour;
    format.bold = styles.find('b') != std::string_view::npos;
    format.italic = styles.find('i') != std::string_view::npos;
    format.underline = styles.find('u') != std::string_view::npos;
    format.strike = styles.find('s') != std::string_view::npos;
    return format;
}

inline std::string JoinedText(const RunList& runs) {
    std::string text;
    for (const Run& run : runs) text += run.text;
    return text;
}

// The bytes of a file under tests/rtf/samples.
inline std::string ReadSample(const std::string& name) {
    std::ifstream in(std::string(PAIPAN_RTF_SAMPLES) + "/" + name, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

inline void PrintTo(const Run& run, std::ostream* os) {
    *os << "{\"" << run.text << "\" font=\"" << run.format.font << "\" size=" << run.format.pointSize;
    if (run.format.colour) {
        *os << " rgb=" << int{run.format.colour->red} << ',' << int{run.format.colour->green} << ','
            << int{run.format.colour->blue};
    }
    *os << (run.format.bold ? " b" : "") << (run.format.italic ? " i" : "")
        << (run.format.underline ? " u" : "") << (run.format.strike ? " s" : "") << "}";
}

}  // namespace paipan::rtf
