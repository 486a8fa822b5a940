// Lunar dates as people give them (农历 input): which Gregorian day a lunar
// date is, by the same rows and the same rule as the chart's 农历 line
// (calendar/lunar_date.h), so that the lunar date typed in comes back on the
// chart for a birth at that day's clock time. A lunar day begins at local
// midnight, as the civil day does.
#pragma once

#include <chrono>
#include <filesystem>
#include <optional>
#include <string>
#include <variant>

#include "calendar/lunar_date.h"
#include "calendar/store.h"

namespace paipan {

// Why a lunar date names no day this program charts.
struct LunarRefusal {
    enum class Kind {
        NoSuchLeapMonth,  // the year's leap month is another one, or it has none
        MonthTooShort,    // day 30 of a month of 29 days
        OutsideSpan,      // its Gregorian day lies outside the years charted
    };
    Kind kind;
    int leapMonth = 0;  // NoSuchLeapMonth: the year's leap month, 0 for none
    int monthDays = 0;  // MonthTooShort: the month's length
};

// The lunar calendar of the calendar file (SETCONFIG.dll) of a data source, over the
// days the program charts: 1 January of kFirstYear to 31 December of
// kLastYear (engine/span.h). Every read goes through the store; the lookups
// throw DataError when the file or a row is missing.
class LunarCalendar {
public:
    explicit LunarCalendar(DataSource data) : data_(std::move(data)) {}

    // The lunar date of a Gregorian day of the span (or of any day the file
    // has rows for).
    LunarDate LunarDateOf(std::chrono::sys_days day) const;

    // The Gregorian day of a lunar date whose month is 1-12 and day 1-30.
    std::variant<std::chrono::sys_days, LunarRefusal> GregorianDayOf(const LunarDate& date) const;

    // The leap month of a lunar year (0 for none); months outside the span
    // are not looked at.
    int LeapMonthOf(int lunarYear) const;

    // The first and last day charted, and the lunar years they fall in.
    static std::chrono::sys_days FirstDay();
    static std::chrono::sys_days LastDay();
    static int FirstLunarYear();  // kFirstYear - 1: its 十二月 reaches into the span
    static int LastLunarYear();   // kLastYear

private:
    struct MonthStart;
    MonthStart MonthAt(std::chrono::sys_days day) const;
    MonthStart NextMonth(const MonthStart& month) const;
    [[noreturn]] void Damaged() const;  // the months of the file do not follow each other

    DataSource data_;
};

// The names the chart writes: "正月", "二月" … "十二月" and "初一" … "三十".
std::string LunarMonthName(int month);
std::string LunarDayName(int day);

// A year (or a Gregorian month or day) as typed: a whole number, plain
// decimal; a number beyond any list stays out of range.
std::optional<int> ParseWholeNumber(const std::string& text);

// A month or day as typed: its number (5, 05) or its name as the chart
// writes it (五月, 初五; also 一月, 冬月, 腊月 and a day name with 日).
// Nothing when it is neither; the number may lie outside 1-12 or 1-30.
std::optional<int> ParseLunarMonth(const std::string& text);
std::optional<int> ParseLunarDay(const std::string& text);

// "庚子年闰四月初一": the year's stem-branch, the month and the day.
std::string LunarDateText(const LunarDate& date);

}  // namespace paipan
