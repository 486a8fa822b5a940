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

// Adds the notices of the lunar date `typed`, which the press `checked` took
// as the Gregorian day of its clock reading, to `out`; `chart` is the finished
// engine (nullptr when a data file stopped it). False when a data file could
// not be read: no further notices then.
bool AddLunarNotices(const LunarDate& typed, const CheckedRequest& checked, const DataSource& data,
                     const Corvel_BZClass* chart, std::vector<Notice>& out);

}  // namespace paipan
