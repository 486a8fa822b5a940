// The chart text cut where its colour changes, as the result box shows it:
// the spans are laid on in table order and a later one wins where two meet.
// The HTML and RTF outputs are written from these pieces.
#pragma once

#include <cstddef>
#include <vector>

#include "chart/chart_request.h"

namespace paipan {

// The result box's default font, as the window finds it on a Debian system,
// and its size in points at the usual 96 dots per inch.
inline constexpr const char* kChartFontFamily = "Noto Sans Mono CJK SC";
inline constexpr double kChartFontPoints = 9.0;

struct TextPiece {
    std::size_t begin = 0, end = 0;  // byte range of the UTF-8 text
    int span = -1;                   // index into the spans; -1 uncoloured
};

// Consecutive pieces covering the whole text, none empty.
std::vector<TextPiece> SplitByColour(const ChartResult& chart);

}  // namespace paipan
