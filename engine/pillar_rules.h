// The rules that turn a corrected birth minute, placed in its solar year and
// month, into the four pillars. The chart (engine/four_pillars.cpp) and the
// pillar search (calendar/pillar_search.cpp) both go through these, so a
// moment the search lists charts to the pillars it was asked for.
#pragma once

#include <array>

#include "engine/ganzhi.h"

namespace paipan {

using Pillars = std::array<GanZhi, 4>;  // rows year, month, day, hour

// The branch of a solar month: 1 (from 立春) is 寅 … 10 亥, 11 子, 12 丑.
constexpr int MonthBranchOf(int solarMonth) { return solarMonth >= 11 ? solarMonth - 11 : solarMonth + 1; }

// The month stem from the year stem (五虎遁): a 甲 or 己 year runs 丙寅 … 乙亥,
// and its 子 and 丑 months take the stems of the year after (丙子, 丁丑).
constexpr int MonthStemOf(int branch, int yearStem) {
    const int base = branch > 1 ? yearStem % 5 : (yearStem + 1) % 5;
    return (branch + base * 2) % 10;
}

// The hour stem from the day stem (五鼠遁): a 甲 or 己 day starts at 甲子.
constexpr int HourStemOf(int branch, int dayStem) { return (branch + (dayStem % 5) * 2) % 10; }

// The hour branch of a clock hour 0-23: 23 and 0 are 子, 1-2 丑, … 21-22 亥.
constexpr int HourBranchOf(int hour) { return ((hour == 23 ? 0 : hour) + 1) / 2 % 12; }

// Whole days from 1881-11-26, a 甲子 day, to the civil date (negative before).
int DaysSinceJiaZiDay(int year, int month, int day);

// The four pillars of a corrected minute on civil date year-month-day at
// `hour`, in solar year `solarYear` and solar month `solarMonth` (1 = 寅).
// `nightZi`: from 23:00 the calendar day keeps its own day pillar (夜子时).
Pillars PillarsAt(int solarYear, int solarMonth, int year, int month, int day, int hour, bool nightZi);

}  // namespace paipan
