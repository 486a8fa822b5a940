// The 时辰不详 result as one JSON object for scripts. Its keys are a fixed
// interface (README lists them): pillars, splits, luck, candidates.
#pragma once

#include <nlohmann/json.hpp>

#include "chart/unknown_hour.h"

namespace paipan {

nlohmann::ordered_json UnknownHourJson(const UnknownHourChart& chart);

}  // namespace paipan
