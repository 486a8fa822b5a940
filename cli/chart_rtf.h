// The RTF that the window's 保存 writes for a freshly made chart: the box's
// default font and size, each coloured piece in its colour, one paragraph a
// line.
#pragma once

#include <string>

#include "chart/chart_request.h"

namespace paipan {

// The box's default font as the window finds it on this system, and its size
// in points at the usual 96 dots per inch.
inline constexpr const char* kChartFontFamily = "Noto Sans Mono CJK SC";
inline constexpr double kChartFontPoints = 9.0;

std::string ChartRtf(const ChartResult& chart);

}  // namespace paipan
