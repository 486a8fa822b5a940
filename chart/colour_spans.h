// Which pieces of a result text the box colours: every section of the
// engine's chart (kChartSections) and the reminder's title.
#pragma once

#include <string>
#include <vector>

#include "chart/chart_request.h"

namespace paipan {

class Corvel_BZClass;

// The spans of `text`, which holds the engine's chart, in the order of the
// section table.
std::vector<ColourSpan> ColourSpans(const std::string& text, const Corvel_BZClass& engine);

}  // namespace paipan
