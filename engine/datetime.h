// Date-times of the engine: whole seconds on the proleptic Gregorian
// calendar, with no time zone (the birth's own clock). All calendar
// arithmetic goes through std::chrono.
#pragma once

#include <chrono>
#include <string>

namespace paipan {

using DateTime = std::chrono::sys_seconds;

struct CivilTime {
    int year = 0;
    int month = 0;   // [1, 12]
    int day = 0;     // [1, 31]
    int hour = 0;    // [0, 23]
    int minute = 0;  // [0, 59]
    int second = 0;  // [0, 59]
};

// Builds a date-time from its parts; the date must exist.
DateTime MakeDateTime(int year, int month, int day, int hour = 0, int minute = 0, int second = 0);

// Splits a date-time into calendar parts.
CivilTime ToCivil(DateTime t);

// The moment as the chart writes it: "1990年05月08日14时05分" when `padded`
// (month, day, hour and minute two digits), else "1990年5月8日14时5分".
std::string DateTimeText(const CivilTime& t, bool padded);

// True when year-month-day is a real Gregorian date.
bool IsValidDate(int year, int month, int day);

// The number of days of a Gregorian month; month in [1, 12].
int DaysInMonth(int year, int month);

// Adds whole calendar years or months, keeping the day of the month and
// taking the month's last day when that day does not exist in it.
DateTime AddYearsClamped(DateTime t, int years);
DateTime AddMonthsClamped(DateTime t, int months);

}  // namespace paipan
