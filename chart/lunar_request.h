// A request whose date boxes hold a lunar date (历法 农历): the lunar checks
// with their messages, then the Gregorian request it stands for. Hour and
// minute stay the clock time of the birth; the lunar day begins at local
// midnight, so the chart is the ordinary chart of that Gregorian day.
#pragma once

#include <chrono>
#include <filesystem>
#include <optional>
#include <string>
#include <variant>

#include "calendar/lunar_input.h"
#include "chart/chart_request.h"

namespace paipan {

// A lunar date that passed the checks and the Gregorian day it is.
struct LunarTaken {
    LunarDate lunar;
    std::chrono::sys_days day;
};

// The lunar checks, in this order, stopping at the first problem: year,
// month and day each a number or a name (正月, 初五), month 1-12, day 1-30,
// the lunar year in the span, the leap mark on that year's leap month, the
// day within the month, the Gregorian day in the span. A problem leaves
// every box as typed (no reset text). Throws DataError.
std::variant<LunarTaken, InputProblem> CheckLunarDate(const ChartInput& input, const LunarCalendar& calendar);

// The request as the chart takes it: a Gregorian request as it is, a lunar
// one with its date boxes holding the Gregorian day (plain decimal) and its
// calendar 公历. A leap mark on a Gregorian date is a problem of its own.
// Throws DataError.
std::variant<ChartInput, InputProblem> SolarChartInput(const ChartInput& input, const DataSource& data);

// The same keeping the lunar date that was typed (none for a Gregorian request).
struct SolarRequest {
    ChartInput input;
    std::optional<LunarDate> lunar;
};
std::variant<SolarRequest, InputProblem> SolarRequestOf(const ChartInput& input, const DataSource& data);

// `input` with its date boxes set to the Gregorian `day`, calendar 公历.
ChartInput WithSolarDate(ChartInput input, std::chrono::sys_days day);

// The date boxes of a request turned to the other calendar (公历 ↔ 农历) when
// they hold a date of the span, the lunar month and day written as names
// (四月, 初一); nothing when they do not (or the calendar file cannot be
// read): the boxes then stay as they are.
std::optional<ChartInput> InOtherCalendar(const ChartInput& input, const DataSource& data);

// "农历2020年闰四月初一", as the messages and notices name a lunar date.
std::string LunarInputText(const LunarDate& date);

}  // namespace paipan
