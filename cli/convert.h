// paipan-cli --convert: the date of the request in the other calendar, one
// line on stdout (公历 → "农历：庚子年闰四月初一", 农历 → "公历：2020年05月23日"),
// or with JSON one object for both directions.
#pragma once

#include "chart/chart_request.h"

namespace paipan::cli {

// Checks the date as 排盘 would (the lunar checks, or the Gregorian year,
// month, day and day-in-month checks) and prints it in the other calendar.
// Returns the exit status: 0 printed, 2 a bad date (message on stderr),
// 3 the calendar file missing or unreadable, 1 stdout not writable.
int ConvertDate(const ChartInput& input, bool json);

}  // namespace paipan::cli
