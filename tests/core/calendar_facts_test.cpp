// Almanac facts checked through the whole calendar chain on the real data:
// lunar new year days, leap months, the day pillars of well-known dates and
// the turn of the solar year at the minute of 立春.
#include <gtest/gtest.h>

#include "engine/corvel_bzclass.h"
#include "test_support.h"

namespace paipan {
namespace {

Corvel_BZClass Lunar(int y, int m, int d) {
    Corvel_BZClass e;
    test::SetBirth(e, y, m, d, 12, 0);
    e.getNL();
    return e;
}

TEST(CalendarFacts, LunarNewYearDays) {
    struct Case {
        int y, m, d;
    };
    const Case cases[] = {{1900, 1, 31}, {1949, 1, 29}, {1984, 2, 2}, {2000, 2, 5}, {2020, 1, 25}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.y);
        const auto day = Lunar(c.y, c.m, c.d);
        EXPECT_EQ(day.nn, c.y);
        EXPECT_EQ(day.ny, 1);
        EXPECT_EQ(day.nr, 1);
        EXPECT_FALSE(day.leap);
        // The eve belongs to the twelfth month of the lunar year before.
        const auto eve = c.d > 1 ? Lunar(c.y, c.m, c.d - 1) : Lunar(c.y, c.m - 1, 31);
        EXPECT_EQ(eve.nn, c.y - 1);
        EXPECT_EQ(eve.ny, 12);
        EXPECT_GE(eve.nr, 29);
    }
    EXPECT_EQ(Lunar(1984, 2, 2).GetNongLiStr(), "甲子年[海中金]正月初一日");
}

TEST(CalendarFacts, LeapMonths) {
    struct Case {
        int y, m, d;  // a day in the middle of the leap month
        int month;
        int firstMonth, firstDay;  // its first day
    };
    const Case cases[] = {
        {1900, 10, 8, 8, 9, 24},  // 闰八月
        {1987, 8, 8, 6, 7, 26},   // 闰六月
        {1995, 10, 8, 8, 9, 25},  // 闰八月
        {2001, 6, 5, 4, 5, 23},   // 闰四月
        {2017, 8, 6, 6, 7, 23},   // 闰六月
        {2020, 6, 5, 4, 5, 23},   // 闰四月
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.y);
        const auto mid = Lunar(c.y, c.m, c.d);
        EXPECT_EQ(mid.nn, c.y);
        EXPECT_EQ(mid.ny, c.month);
        EXPECT_TRUE(mid.leap);
        const auto first = Lunar(c.y, c.firstMonth, c.firstDay);
        EXPECT_EQ(first.ny, c.month);
        EXPECT_EQ(first.nr, 1);
        EXPECT_TRUE(first.leap);
        // The day before is the last day of the ordinary month of that number.
        const auto before = Lunar(c.y, c.firstMonth, c.firstDay - 1);
        EXPECT_EQ(before.ny, c.month);
        EXPECT_GE(before.nr, 29);
        EXPECT_FALSE(before.leap);
    }
    EXPECT_EQ(Lunar(2020, 5, 23).GetNongLiStr(), "庚子年[壁上土]闰四月初一日");
}

TEST(CalendarFacts, DayPillarsOfWellKnownDates) {
    struct Case {
        int y, m, d;
        const char* day;
    };
    const Case cases[] = {{1949, 10, 1, "甲子"}, {2000, 1, 7, "甲子"}, {1900, 1, 1, "甲戌"}};
    for (const auto& c : cases) {
        Corvel_BZClass e;
        test::ComputeChart(e, c.y, c.m, c.d, 12, 0);
        EXPECT_EQ(e.gz_str[2], c.day) << c.y;
    }
}

TEST(CalendarFacts, SolarYearTurnsAtTheMinuteOf立春) {
    // 立春 1990: 4 February 10:14. 1989 is 己巳, 1990 庚午; a 己 year ends in
    // the 丁丑 month, a 庚 year opens with 戊寅.
    Corvel_BZClass before, at;
    test::ComputeChart(before, 1990, 2, 4, 10, 13);
    test::ComputeChart(at, 1990, 2, 4, 10, 14);
    EXPECT_EQ(before.gz_str[0], "己巳");
    EXPECT_EQ(before.gz_str[1], "丁丑");
    EXPECT_EQ(before.NextJQStr, "立春：1990年02月04日10时14分");
    EXPECT_EQ(at.gz_str[0], "庚午");
    EXPECT_EQ(at.gz_str[1], "戊寅");
    EXPECT_EQ(at.LastJQStr, "立春：1990年02月04日10时14分");
    // The lunar new year of 1990 came on 27 January: both are in 正月.
    EXPECT_EQ(before.ny, 1);
    EXPECT_EQ(at.nn, 1990);
}

TEST(CalendarFacts, LateEveningWithAndWithoutNightZi) {
    Corvel_BZClass nextDay, nightZi;
    test::ComputeChart(nextDay, 2000, 1, 6, 23, 30, 1, 0);
    test::ComputeChart(nightZi, 2000, 1, 6, 23, 30, 1, 1);
    EXPECT_EQ(nextDay.gz_str[2], "甲子");
    EXPECT_EQ(nextDay.gz_str[3], "甲子");
    EXPECT_EQ(nightZi.gz_str[2], "癸亥");
    EXPECT_EQ(nightZi.gz_str[3], "甲子");
    // The year and month pillars do not move: 己卯 year, 丁丑 month.
    EXPECT_EQ(nightZi.gz_str[0], "己卯");
    EXPECT_EQ(nightZi.gz_str[1], "丁丑");
}

}  // namespace
}  // namespace paipan
