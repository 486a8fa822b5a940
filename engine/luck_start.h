// The luck-start breakdown: the distance from the birth to the adjacent jie
// term, three days counting as one year of life, turned into whole years,
// months, days and hours, and the moment the first luck pillar takes over.
#pragma once

#include "engine/datetime.h"

namespace paipan {

struct LuckStart {
    int years = 0;
    int months = 0;  // [0, 11]
    int days = 0;    // [0, 29]
    int hours = 0;   // [0, 24] — the hours step is rounded and may reach 24
};

// The difference later − earlier in days: the exact whole-minute difference
// divided by 1440.
double DayDifference(DateTime later, DateTime earlier);

// Breaks the luck-start measure q (years with fraction) into years, months,
// days and hours, in double precision and in the traditional order.
LuckStart BreakDownLuckStart(double q);

// birth + years calendar years, then months calendar months (day clamped to
// the month's end), then days days, then hours hours.
DateTime JiaoYunFrom(DateTime birth, const LuckStart& start);

// The years of luck pillar i (0 … 7): it takes over in the year of the
// handover plus 10 i and rules that year and the nine after it; the chart
// prints above it the age in that year, counted from the solar year of birth
// (the year whose 立春 the birth follows).
struct LuckPillarYears {
    int age = 0;
    int startYear = 0;
    int lastYear = 0;
};
inline LuckPillarYears LuckPillarYearsOf(int handoverYear, int solarBirthYear, int i) {
    const int startYear = handoverYear + 10 * i;
    return {startYear - solarBirthYear, startYear, startYear + 9};
}

}  // namespace paipan
