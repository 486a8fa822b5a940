#include "cli/chart_html.h"

#include <cstdio>
#include <string_view>

#include "chart/chart_pieces.h"

namespace paipan {
namespace {

// After the box's font, the monospace CJK faces of other systems, whose
// Chinese characters are also two Latin cells wide.
constexpr const char* kOtherFonts =
    "\"Source Han Mono SC\", \"Sarasa Mono SC\", \"WenQuanYi Zen Hei Mono\", \"NSimSun\", monospace";

// Escapes markup characters; CR LF and lone CR become LF.
void AppendEscaped(std::string& out, std::string_view text) {
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        switch (c) {
        case '&': out += "&amp;"; break;
        case '<': out += "&lt;"; break;
        case '>': out += "&gt;"; break;
        case '"': out += "&quot;"; break;
        case '\r':
            if (i + 1 < text.size() && text[i + 1] == '\n') ++i;
            out += '\n';
            break;
        default: out += c;
        }
    }
}

}  // namespace

std::string ChartHtml(const ChartResult& chart) {
    std::string html =
        "<!DOCTYPE html>\n<html lang=\"zh-CN\">\n<head>\n<meta charset=\"utf-8\">\n"
        "<title>四柱八字排盘</title>\n<style>\npre { font-family: ";
    html += std::string("\"") + kChartFontFamily + "\", " + kOtherFonts;
    html += "; font-size: 12pt; line-height: 1.3; }\n</style>\n</head>\n<body>\n<pre>";
    const std::string_view text = chart.text;
    for (const TextPiece& piece : SplitByColour(chart)) {
        const std::string_view part = text.substr(piece.begin, piece.end - piece.begin);
        if (piece.span < 0) {
            AppendEscaped(html, part);
            continue;
        }
        const ColourSpan& s = chart.spans[static_cast<std::size_t>(piece.span)];
        char style[48];
        std::snprintf(style, sizeof style, "<span style=\"color:#%02x%02x%02x\">", s.red, s.green, s.blue);
        html += style;
        AppendEscaped(html, part);
        html += "</span>";
    }
    html += "</pre>\n</body>\n</html>\n";
    return html;
}

}  // namespace paipan
