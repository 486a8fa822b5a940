// The notices of a chart asked for by a lunar date: which Gregorian day the
// lunar date was taken as, and, when true solar time carries the birth over
// midnight, why the chart's 农历 line shows the day next to the one typed.
#pragma once

#include <filesystem>
#include <functional>
#include <vector>

#include "birth/notices.h"

namespace paipan {

class Corvel_BZClass;

// The lunar notices followed by `solarNotices` of the Gregorian request the
// lunar date stands for; none when the lunar date fails its checks.
std::vector<Notice> LunarChartNotices(
    const ChartInput& input, const DataSource& data, const Corvel_BZClass* chart,
    const std::function<std::vector<Notice>(const ChartInput& solar)>& solarNotices);

}  // namespace paipan
