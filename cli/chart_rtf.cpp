#include "cli/chart_rtf.h"

#include <string_view>

#include "rtf/rtf_model.h"
#include "rtf/rtf_writer.h"
#include "chart/chart_pieces.h"

namespace paipan {

// The same runs the box gives the writer: every line end (CR LF, lone CR or
// LF) closes a paragraph and takes the format of the text before it.
std::string ChartRtf(const ChartResult& chart) {
    rtf::RunList runs;
    rtf::RunFormat plain;
    plain.font = kChartFontFamily;
    plain.pointSize = kChartFontPoints;
    const std::string_view text = chart.text;
    bool afterCr = false;
    for (const TextPiece& piece : SplitByColour(chart)) {
        rtf::RunFormat format = plain;
        if (piece.span >= 0) {
            const ColourSpan& s = chart.spans[static_cast<std::size_t>(piece.span)];
            format.colour = rtf::Rgb{s.red, s.green, s.blue};
        }
        std::string_view part = text.substr(piece.begin, piece.end - piece.begin);
        while (!part.empty()) {
            const std::size_t end = part.find_first_of("\r\n");
            if (end != 0) {
                rtf::AppendRun(runs, part.substr(0, end), format);
                afterCr = false;
            }
            if (end == std::string_view::npos) break;
            const bool lf = part[end] == '\n';
            if (!(lf && afterCr)) rtf::AppendRun(runs, "\n", runs.empty() ? format : runs.back().format);
            afterCr = !lf;
            part.remove_prefix(end + 1);
        }
    }
    return rtf::SerializeRtf(runs);
}

}  // namespace paipan
