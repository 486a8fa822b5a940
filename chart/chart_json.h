// The chart as one JSON object for scripts: the exact text plus the values
// behind it (pillars, lunar date, terms, luck, stars), and the error objects
// of the command line. The keys are a fixed interface; README lists them.
#pragma once

#include <nlohmann/json.hpp>
#include <optional>
#include <string>
#include <vector>

#include "chart/chart_request.h"

namespace paipan {

class Corvel_BZClass;

// The whole chart object of one finished press, with the birth-moment
// notices the caller made for it.
nlohmann::ordered_json ChartJson(const Corvel_BZClass& engine, const ChartResult& result,
                                 const std::vector<std::string>& notices);

// Pillar k (0 year … 3 hour) as the chart object gives it: ganzhi, nayin,
// deity, hiddenStems, stage.
nlohmann::ordered_json PillarJson(const Corvel_BZClass& engine, int k);

}  // namespace paipan
