// The RTF that the window's 保存 writes for a freshly made chart: the box's
// default font and size, each coloured piece in its colour, one paragraph a
// line.
#pragma once

#include <string>

#include "chart/chart_pieces.h"

namespace paipan {

std::string ChartRtf(const ChartResult& chart);

}  // namespace paipan
