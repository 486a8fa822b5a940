// The lunar date of a Gregorian day, read from the calendar rows: the rule
// behind the chart's 农历 line, shared with the lunar date input so that a
// lunar date typed in and the chart's 农历 line can never disagree.
#pragma once

#include <compare>
#include <functional>

#include "calendar/calendar_row.h"

namespace paipan {

struct LunarDate {
    int year = 0;       // the Gregorian year in which the lunar year's 正月初一 falls
    int month = 0;      // [1, 12]
    int day = 0;        // [1, 30]
    bool leap = false;  // the month is the year's leap (闰) month

    friend auto operator<=>(const LunarDate&, const LunarDate&) = default;
};

// Reads the calendar row of a Gregorian year and month (throws DataError
// when there is none).
using CalendarRowReader = std::function<CalendarRow(int year, int month)>;

// The lunar date of Gregorian year-month-day. `row` is the row of that
// month; the rows of the month before or after come from `readRow` when the
// day lies in a lunar month the row does not describe.
LunarDate LunarDateOfDay(int year, int month, int day, const CalendarRow& row, const CalendarRowReader& readRow);

}  // namespace paipan
