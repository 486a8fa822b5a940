// Lunar dates to Gregorian days and back on the real calendar file: every day
// of the span both ways, almanac facts, and the refusals.
#include <gtest/gtest.h>

#include <chrono>
#include <vector>

#include "util/program_folder.h"
#include "calendar/lunar_input.h"
#include "calendar/store.h"
#include "engine/span.h"

namespace paipan {
namespace {

using namespace std::chrono;
using Kind = LunarRefusal::Kind;

LunarCalendar Calendar(DataRowCache* rows = nullptr) { return LunarCalendar(DataSource(ProgramFolder(), rows)); }

// Every lunar day whose Gregorian day lies in the span turns into that day
// and back into itself by the chart's own reading, and every Gregorian day of
// the span is reached exactly once; each refusal is one a lunar date of the
// span's edges or of a short or absent month can have.
TEST(LunarInput, EveryDayOfTheSpanBothWays) {
    DataRowCache cache;  // the calendar rows read once for the whole span
    const LunarCalendar calendar = Calendar(&cache);
    const sys_days first = LunarCalendar::FirstDay(), last = LunarCalendar::LastDay();
    std::vector<int> reached(static_cast<std::size_t>((last - first).count() + 1), 0);
    int bad = 0;
    for (int y = LunarCalendar::FirstLunarYear(); y <= LunarCalendar::LastLunarYear(); ++y) {
        for (int m = 1; m <= 12; ++m) {
            for (const bool leap : {false, true}) {
                for (int d = 1; d <= 30; ++d) {
                    const LunarDate date{y, m, d, leap};
                    const auto result = calendar.GregorianDayOf(date);
                    if (const auto* day = std::get_if<sys_days>(&result)) {
                        ++reached[static_cast<std::size_t>((*day - first).count())];
                        if (calendar.LunarDateOf(*day) != date && ++bad <= 10)
                            ADD_FAILURE() << y << "-" << m << (leap ? "L" : "") << "-" << d;
                        continue;
                    }
                    const LunarRefusal r = std::get<LunarRefusal>(result);
                    const bool edge = y == LunarCalendar::FirstLunarYear() || y == LunarCalendar::LastLunarYear();
                    const bool expected = r.kind == Kind::NoSuchLeapMonth ? leap
                                          : r.kind == Kind::MonthTooShort ? d == 30 && r.monthDays == 29
                                                                          : edge;
                    if (!expected && ++bad <= 10)
                        ADD_FAILURE() << "refused " << y << "-" << m << (leap ? "L" : "") << "-" << d;
                }
            }
        }
    }
    EXPECT_EQ(bad, 0);
    int missed = 0;
    for (std::size_t i = 0; i < reached.size(); ++i) {
        // Every Gregorian day comes back from its own lunar date, once.
        if (reached[i] != 1 && ++missed <= 10) ADD_FAILURE() << "day " << i << " reached " << reached[i] << " times";
    }
    EXPECT_EQ(missed, 0);
    EXPECT_EQ(reached.size(), 109938u);  // 1800-01-01 … 2100-12-31
}

// Almanac facts (the Hong Kong Observatory's tables as Debian's
// python3-lunardate 0.2.0 carries them): 春节, leap months, month lengths.
TEST(LunarInput, AlmanacFacts) {
    const LunarCalendar calendar = Calendar();
    struct Case {
        LunarDate lunar;
        year_month_day solar;
    };
    const Case cases[] = {
        // clang-format off
        {{1900, 1, 1}, 1900y / January / 31},          {{1912, 1, 1}, 1912y / February / 18},
        {{1950, 1, 1}, 1950y / February / 17},         {{1984, 1, 1}, 1984y / February / 2},
        {{2000, 1, 1}, 2000y / February / 5},          {{2020, 1, 1}, 2020y / January / 25},
        {{2050, 1, 1}, 2050y / January / 23},          {{2099, 1, 1}, 2099y / January / 21},
        {{2020, 4, 1, true}, 2020y / May / 23},        {{2023, 2, 1, true}, 2023y / March / 22},
        {{2033, 11, 1, true}, 2033y / December / 22},  {{1900, 8, 1, true}, 1900y / September / 24},
        {{1990, 4, 1}, 1990y / April / 25},            {{1990, 5, 1}, 1990y / May / 24},
        // clang-format on
        {{2020, 4, 30}, 2020y / May / 22},  // 四月 2020 has 30 days: the day before 闰四月初一
    };
    for (const auto& c : cases) {
        const auto day = calendar.GregorianDayOf(c.lunar);
        ASSERT_TRUE(std::holds_alternative<sys_days>(day)) << c.lunar.year << "-" << c.lunar.month;
        EXPECT_EQ(year_month_day{std::get<sys_days>(day)}, c.solar) << c.lunar.year << "-" << c.lunar.month;
    }
    EXPECT_EQ(calendar.LeapMonthOf(2020), 4);
    EXPECT_EQ(calendar.LeapMonthOf(2023), 2);
    EXPECT_EQ(calendar.LeapMonthOf(2033), 11);
    EXPECT_EQ(calendar.LeapMonthOf(1900), 8);
    EXPECT_EQ(calendar.LeapMonthOf(2021), 0);
}

TEST(LunarInput, Refusals) {
    const LunarCalendar calendar = Calendar();
    struct Case {
        LunarDate lunar;
        Kind kind;
        int detail;  // the year's leap month, or the month's length
    };
    const Case cases[] = {
        {{2021, 4, 1, true}, Kind::NoSuchLeapMonth, 0},  // 2021 has no leap month
        {{2020, 5, 1, true}, Kind::NoSuchLeapMonth, 4},  // 2020's is 闰四月
        {{1990, 4, 30}, Kind::MonthTooShort, 29},        // 1990-04-25 … 05-23
        {{2020, 4, 30, true}, Kind::MonthTooShort, 29},  // 2020-05-23 … 06-20
        {{kLastYear, 12, 2}, Kind::OutsideSpan, 0},     {{kFirstYear - 1, 11, 15}, Kind::OutsideSpan, 0},
    };
    for (const auto& c : cases) {
        const auto result = calendar.GregorianDayOf(c.lunar);
        ASSERT_TRUE(std::holds_alternative<LunarRefusal>(result)) << c.lunar.year << "-" << c.lunar.month;
        const auto r = std::get<LunarRefusal>(result);
        EXPECT_EQ(r.kind, c.kind) << c.lunar.year << "-" << c.lunar.month;
        EXPECT_EQ(c.kind == Kind::MonthTooShort ? r.monthDays : r.leapMonth, c.detail);
    }
    // 1800-01-01 … 01-24 lie in the lunar year before the span's first.
    EXPECT_EQ(calendar.LunarDateOf(sys_days{1800y / January / 24}).year, 1799);
    EXPECT_EQ(calendar.LunarDateOf(sys_days{1800y / January / 25}), (LunarDate{1800, 1, 1}));
}

TEST(LunarInput, NamesAndTypedNumbers) {
    EXPECT_EQ(LunarMonthName(1), "正月");
    EXPECT_EQ(LunarMonthName(12), "十二月");
    EXPECT_EQ(LunarDayName(21), "廿一");
    // clang-format off
    const std::pair<const char*, std::optional<int>> months[] = {
        {"5", 5}, {"05", 5}, {"五月", 5}, {"正月", 1}, {"一月", 1}, {"十一月", 11}, {"冬月", 11}, {"腊月", 12}, {"13", 13},
        {"5.5", std::nullopt}, {"闰五月", std::nullopt}, {"", std::nullopt}};
    // clang-format on
    for (const auto& [text, month] : months) EXPECT_EQ(ParseLunarMonth(text), month) << text;
    const std::pair<const char*, std::optional<int>> days[] = {
        {"初五", 5}, {"初十", 10}, {"廿九", 29}, {"三十", 30}, {"十五日", 15}, {"31", 31}, {"五", std::nullopt}};
    for (const auto& [text, day] : days) EXPECT_EQ(ParseLunarDay(text), day) << text;
    EXPECT_EQ(LunarDateText({2020, 4, 1, true}), "庚子年闰四月初一");
}

}  // namespace
}  // namespace paipan
