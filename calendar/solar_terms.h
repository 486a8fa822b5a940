// The solar year and month a corrected birth minute belongs to, from its
// Gregorian month's jie term (节). The chart (GetBzTime) and the pillar
// search both decide it here.
#pragma once

namespace paipan {

struct SolarYearMonth {
    int year = 0;   // the year whose 立春 the minute follows
    int month = 0;  // [1, 12], 1 the 寅 month from 立春 … 11 子 from 大雪, 12 丑 from 小寒
};

// A minute of Gregorian year/month on `day` at hour:minute, in a month whose
// jie term falls on termDay at termHour:termMinute. At the term's very minute
// the new solar month has begun.
SolarYearMonth SolarYearMonthOf(int year, int month, int day, int hour, int minute, int termDay, int termHour,
                                int termMinute);

}  // namespace paipan
