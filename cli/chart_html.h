// The chart as one complete UTF-8 HTML5 document: the text in a <pre> with a
// monospace CJK font stack, each coloured piece in a <span> of its colour.
#pragma once

#include <string>

#include "chart/chart_request.h"

namespace paipan {

std::string ChartHtml(const ChartResult& chart);

}  // namespace paipan
