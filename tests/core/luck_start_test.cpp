// The luck-start breakdown and the take-over moment.
#include <gtest/gtest.h>

#include <chrono>

#include "calendar/luck_start.h"

namespace paipan {
namespace {

TEST(LuckStart, DayDifferenceCountsWholeMinutes) {
    const DateTime t = MakeDateTime(2000, 2, 28, 12, 0);
    EXPECT_EQ(DayDifference(MakeDateTime(2000, 3, 1, 12, 0), t), 2.0);  // across 29 February
    EXPECT_EQ(DayDifference(t + std::chrono::minutes{1}, t), 1.0 / 1440);
    EXPECT_EQ(DayDifference(t + std::chrono::seconds{59}, t), 0.0);
    EXPECT_EQ(DayDifference(t, t + std::chrono::hours{36}), -1.5);
}

TEST(LuckStart, BreakdownOfTheDistanceToTheTerm) {
    // The distance is taken between two date-times and divided by three, the
    // way the pillars compute it.
    struct Case {
        int minutes;  // distance from the birth to the term
        LuckStart expected;
    };
    const Case cases[] = {
        {10 * 1440, {3, 4, 0, 0}},        // 10 days: 3 years 4 months
        {1440 + 720, {0, 6, 0, 0}},       // 1.5 days: half a year
        {10512, {2, 5, 5, 24}},           // 7.3 days: the hours reach 24, no carry into days
        {0, {0, 0, 0, 0}},                // born at the term's minute
        {3 * 1440, {1, 0, 0, 0}},         // three days are one year
        {10 * 1440 + 30, {3, 4, 2, 12}},  // each minute is two hours of life
        // 5.5 days: exactly 1 year 10 months. The months step lands on 10 and
        // leaves a remainder a hair below zero: 0 days, not -1 days 24 hours.
        {7920, {1, 10, 0, 0}},
    };
    const DateTime birth = MakeDateTime(1990, 5, 8, 14, 5);
    for (const auto& c : cases) {
        const double q = DayDifference(birth + std::chrono::minutes{c.minutes}, birth) / 3;
        const LuckStart s = BreakDownLuckStart(q);
        EXPECT_EQ(s.years, c.expected.years) << c.minutes;
        EXPECT_EQ(s.months, c.expected.months) << c.minutes;
        EXPECT_EQ(s.days, c.expected.days) << c.minutes;
        EXPECT_EQ(s.hours, c.expected.hours) << c.minutes;
    }
    const LuckStart half = BreakDownLuckStart(3.5);
    EXPECT_EQ(half.years, 3);
    EXPECT_EQ(half.months, 6);
    EXPECT_EQ(half.days, 0);
    EXPECT_EQ(half.hours, 0);
}

TEST(LuckStart, PartsStayInTheirRanges) {
    // Every whole-minute distance up to 40 days (a jie term is never further).
    const DateTime birth = MakeDateTime(2000, 1, 1);
    int outOfRange = 0;
    for (int m = 0; m <= 40 * 1440; ++m) {
        const auto s = BreakDownLuckStart(DayDifference(birth + std::chrono::minutes{m}, birth) / 3);
        const bool ok = s.years >= 0 && s.years <= 13 && s.months >= 0 && s.months <= 11 &&
                        s.days >= 0 && s.days <= 29 && s.hours >= 0 && s.hours <= 24;
        if (!ok && ++outOfRange <= 5) ADD_FAILURE() << m << " minutes";
    }
    EXPECT_EQ(outOfRange, 0);
}

TEST(LuckStart, TakeOverAddsYearsThenMonthsThenDaysThenHours) {
    struct Case {
        DateTime birth;
        LuckStart start;
        DateTime expected;
    };
    const Case cases[] = {
        {MakeDateTime(1990, 5, 8, 14, 5), {3, 4, 0, 0}, MakeDateTime(1993, 9, 8, 14, 5)},
        // 31 January + 1 month is the last day of February, then the days.
        {MakeDateTime(1999, 1, 31, 10, 0), {1, 1, 5, 0}, MakeDateTime(2000, 3, 5, 10, 0)},
        // 29 February + 1 year is 28 February.
        {MakeDateTime(2000, 2, 29, 6, 0), {1, 0, 0, 0}, MakeDateTime(2001, 2, 28, 6, 0)},
        // 24 hours carry into the next day (and here the next month).
        {MakeDateTime(1990, 1, 26, 23, 0), {2, 5, 5, 24}, MakeDateTime(1992, 7, 2, 23, 0)},
        // Months cross the year end.
        {MakeDateTime(1990, 11, 30, 8, 0), {0, 3, 0, 2}, MakeDateTime(1991, 2, 28, 10, 0)},
    };
    for (const auto& c : cases) EXPECT_EQ(JiaoYunFrom(c.birth, c.start), c.expected);
}

}  // namespace
}  // namespace paipan
