// The solar year and month, the jie terms around the birth, the luck-start
// breakdown and the lunar date, on hand-made calendar rows.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <tuple>

#include "engine/luck_start.h"
#include "chart/corvel_bzclass.h"
#include "test_support.h"

namespace paipan {
namespace {

using std::chrono::minutes;
using test::Row;

// The moment a term text such as 立春：1990年02月04日10时14分 names.
DateTime TermTime(const std::string& text) {
    int y = 0, m = 0, d = 0, h = 0, min = 0;
    const std::string numbers = text.substr(text.find("：") + 3);
    std::sscanf(numbers.c_str(), "%d年%d月%d日%d时%d分", &y, &m, &d, &h, &min);
    return MakeDateTime(y, m, d, h, min);
}

// The name a term text such as 立春：1990年02月04日10时14分 begins with.
std::string TermName(const std::string& text) { return text.substr(0, text.find("：")); }

TEST(SolarTerms, SolarYearMonthAndTheTermsAround) {
    test::TempFolder folder;
    test::WriteCalendarFile(folder.path,
                            {Row(1989, 12, 7, 11, 21, 11, 10, 30), Row(1990, 1, 5, 22, 33, 12, 10, 30),  // 大雪 小寒
                             Row(1990, 2, 4, 10, 14, 1, 10, 30), Row(1990, 3, 6, 4, 19, 2, 10, 30),    // 立春 惊蛰
                             Row(1990, 4, 5, 9, 13, 3, 10, 30), Row(1990, 5, 6, 3, 35, 4, 10, 30),     // 清明 立夏
                             Row(1990, 6, 6, 7, 46, 5, 10, 30), Row(1990, 12, 7, 12, 14, 10, 10, 30),  // 芒种 大雪
                             Row(1991, 1, 6, 0, 28, 11, 10, 30)});                                     // 小寒
    // Birth; solar year and month; the jie terms before and after.
    const std::tuple<int, int, int, int, int, int, int, const char*, const char*> cases[] = {
        // January before 小寒: the solar year before, 子 month; 大雪 of the December before.
        {1990, 1, 3, 8, 0, 1989, 11, "大雪：1989年12月07日11时21分", "小寒：1990年01月05日22时33分"},
        {1990, 1, 5, 22, 33, 1989, 12, "小寒：1990年01月05日22时33分", "立春：1990年02月04日10时14分"},
        // 立春 turns the solar year at its very minute, and for any later hour of its day.
        {1990, 2, 4, 10, 13, 1989, 12, "小寒：1990年01月05日22时33分", "立春：1990年02月04日10时14分"},
        {1990, 2, 4, 10, 14, 1990, 1, "立春：1990年02月04日10时14分", "惊蛰：1990年03月06日04时19分"},
        {1990, 2, 4, 11, 0, 1990, 1, "立春：1990年02月04日10时14分", "惊蛰：1990年03月06日04时19分"},
        {1990, 2, 1, 23, 59, 1989, 12, "小寒：1990年01月05日22时33分", "立春：1990年02月04日10时14分"},
        // March to December: month − 2 before the term, month − 1 from it on.
        {1990, 5, 6, 3, 34, 1990, 3, "清明：1990年04月05日09时13分", "立夏：1990年05月06日03时35分"},
        {1990, 5, 6, 3, 35, 1990, 4, "立夏：1990年05月06日03时35分", "芒种：1990年06月06日07时46分"},
        // The day decides first: the day after the term at an earlier hour is past it.
        {1990, 5, 7, 1, 0, 1990, 4, "立夏：1990年05月06日03时35分", "芒种：1990年06月06日07时46分"},
        // December after 大雪: the next term is 小寒 of the following January.
        {1990, 12, 7, 12, 14, 1990, 11, "大雪：1990年12月07日12时14分", "小寒：1991年01月06日00时28分"},
        {1990, 12, 31, 23, 59, 1990, 11, "大雪：1990年12月07日12时14分", "小寒：1991年01月06日00时28分"},
    };
    Corvel_BZClass e;
    e.dataFolder = folder.path;
    for (const auto& [y, m, d, h, min, bzYear, bzMonth, last, next] : cases) {
        SCOPED_TRACE(testing::Message() << m << "-" << d << " " << h << ":" << min);
        test::SetBirth(e, y, m, d, h, min);
        e.getNL();
        e.CalJQ();
        EXPECT_EQ(std::tie(e.bz_year, e.bz_month), std::tie(bzYear, bzMonth));
        EXPECT_EQ(std::tie(e.LastJQStr, e.NextJQStr), std::tuple(last, next));
        EXPECT_EQ(std::tie(e.LastJieQi, e.NextJieQi), std::tuple(TermTime(last), TermTime(next)));
        EXPECT_EQ(std::tie(e.LastJieName, e.NextJieName), std::tuple(TermName(last), TermName(next)));
        EXPECT_EQ(e.InputTime, MakeDateTime(y, m, d, h, min));
    }
    EXPECT_EQ(e.FormatInt(0) + e.FormatInt(7) + e.FormatInt(12) + e.FormatInt(2020), "0007122020");
}

LuckStart BreakDownMinutes(int distance) {
    // As the pillars compute it: a difference of two date-times, divided by three.
    const DateTime birth = MakeDateTime(1990, 5, 8, 14, 5);
    return BreakDownLuckStart(DayDifference(birth + minutes{distance}, birth) / 3);
}

TEST(LuckStart, BreakdownOfTheDistanceToTheTerm) {
    const DateTime t = MakeDateTime(2000, 2, 28, 12, 0);  // whole minutes, across 29 February
    EXPECT_EQ(DayDifference(MakeDateTime(2000, 3, 1, 12, 0), t), 2.0);
    EXPECT_EQ(DayDifference(t + minutes{1}, t), 1.0 / 1440);
    EXPECT_EQ(DayDifference(t + std::chrono::seconds{59}, t), 0.0);
    EXPECT_EQ(DayDifference(t, t + std::chrono::hours{36}), -1.5);
    const std::pair<int, std::array<int, 4>> cases[] = {
        {10 * 1440, {3, 4, 0, 0}},        // 10 days: 3 years 4 months
        {1440 + 720, {0, 6, 0, 0}},       // 1.5 days: half a year
        {10512, {2, 5, 5, 24}},           // 7.3 days: the hours reach 24, no carry into days
        {7920, {1, 10, 0, 0}},            // 5.5 days: 0 days, not -1 days 24 hours
        {0, {0, 0, 0, 0}},                // born at the term's minute
        {3 * 1440, {1, 0, 0, 0}},         // three days are one year
        {15120, {3, 6, 0, 0}},            // 10.5 days
        {10 * 1440 + 30, {3, 4, 2, 12}},  // each minute is two hours of life
    };
    for (const auto& [distance, expected] : cases) {
        const LuckStart s = BreakDownMinutes(distance);
        EXPECT_EQ((std::array{s.years, s.months, s.days, s.hours}), expected) << distance;
    }
    // Every whole-minute distance up to 40 days (a jie term is never further).
    int outOfRange = 0;
    for (int m = 0; m <= 40 * 1440; ++m) {
        const LuckStart s = BreakDownMinutes(m);
        const bool ok = s.years >= 0 && s.years <= 13 && s.months >= 0 && s.months <= 11 && s.days >= 0 &&
                        s.days <= 29 && s.hours >= 0 && s.hours <= 24;
        if (!ok && ++outOfRange <= 5) ADD_FAILURE() << m << " minutes";
    }
    EXPECT_EQ(outOfRange, 0);
}

TEST(LuckStart, TakeOverAddsYearsThenMonthsThenDaysThenHours) {
    const std::tuple<DateTime, LuckStart, DateTime> cases[] = {
        {MakeDateTime(1990, 5, 8, 14, 5), {3, 4, 0, 0}, MakeDateTime(1993, 9, 8, 14, 5)},
        // 31 January + 1 month is the last day of February, then the days.
        {MakeDateTime(1999, 1, 31, 10, 0), {1, 1, 5, 0}, MakeDateTime(2000, 3, 5, 10, 0)},
        {MakeDateTime(2001, 1, 31, 10, 30), {0, 1, 0, 0}, MakeDateTime(2001, 2, 28, 10, 30)},
        // 29 February + 1 year is 28 February; + 4 years stays 29 February.
        {MakeDateTime(2000, 2, 29, 6, 0), {1, 0, 0, 0}, MakeDateTime(2001, 2, 28, 6, 0)},
        {MakeDateTime(2000, 2, 29, 8, 0), {4, 0, 0, 0}, MakeDateTime(2004, 2, 29, 8, 0)},
        // 24 hours carry into the next day (and here the next month).
        {MakeDateTime(1990, 1, 26, 23, 0), {2, 5, 5, 24}, MakeDateTime(1992, 7, 2, 23, 0)},
        // Months cross the year end.
        {MakeDateTime(1990, 11, 30, 8, 0), {0, 3, 0, 2}, MakeDateTime(1991, 2, 28, 10, 0)},
        {MakeDateTime(1999, 11, 30, 0, 0), {0, 3, 0, 0}, MakeDateTime(2000, 2, 29, 0, 0)},
        {MakeDateTime(1990, 5, 31, 1, 2), {0, 11, 0, 0}, MakeDateTime(1991, 4, 30, 1, 2)},
    };
    for (const auto& [birth, start, taken] : cases) EXPECT_EQ(JiaoYunFrom(birth, start), taken);
}

TEST(LunarDate, FromTheCalendarRows) {
    // Row(year, month, jie day, hour, minute, Lmonth, lunar day of the jie day, Ldays, LdaysA,
    //     LeapFlag)
    const CalendarRow may1990 = Row(1990, 5, 6, 3, 35, 4, 12, 29);
    const CalendarRow leapJune2020 = Row(2020, 6, 5, 12, 58, 4, 14, 29, 0, true);
    const CalendarRow leapAug2030 = Row(2030, 8, 7, 20, 0, 6, 2, 29, 30, true);
    // What; the rows; the birth; the lunar year, month, day and leap mark.
    using Rows = std::vector<CalendarRow>;
    const std::tuple<const char*, Rows, int, int, int, int, int, int, bool> cases[] = {
        {"on the jie day: the row's month and day", {may1990}, 1990, 5, 6, 1990, 4, 12, false},
        {"after the jie day, inside Lmonth", {may1990}, 1990, 5, 20, 1990, 4, 26, false},
        {"before the jie day, inside Lmonth", {may1990}, 1990, 5, 1, 1990, 4, 7, false},
        {"January stepping back reads December of the year before",
         {Row(1990, 1, 5, 22, 33, 12, 2, 30), Row(1989, 12, 7, 11, 21, 11, 10, 29)},
         // clang-format off
         1990, 1, 2, 1989, 11, 28, false},
        // clang-format on
        {"January in lunar month 12: the lunar year before",
         // clang-format off
         {Row(1990, 1, 5, 22, 33, 12, 9, 29)}, 1990, 1, 20, 1989, 12, 24, false},
        // clang-format on
        {"February in lunar month 12: the lunar year before",
         // clang-format off
         {Row(1985, 2, 4, 11, 12, 12, 15, 30)}, 1985, 2, 10, 1984, 12, 21, false},
        // clang-format on
        {"February in lunar month 1: its own year",
         // clang-format off
         {Row(1990, 2, 4, 10, 14, 1, 9, 30)}, 1990, 2, 10, 1990, 1, 15, false},
        // clang-format on
        {"December overflowing reads January of the year after",
         {Row(1990, 12, 7, 12, 14, 10, 20, 30), Row(1991, 1, 6, 0, 28, 11, 21, 30)},
         // clang-format off
         1990, 12, 25, 1990, 11, 8, false},
        // clang-format on
        {"overflowing into a leap month: the next row's month number is lower",
         // clang-format off
         {Row(2020, 5, 5, 8, 51, 4, 13, 30), leapJune2020}, 2020, 5, 25, 2020, 4, 3, true},
        // clang-format on
        {"stepping back into a leap month takes the previous row's mark",
         {Row(2023, 3, 6, 4, 36, 3, 2, 30), Row(2023, 2, 4, 10, 42, 2, 14, 29, 0, true)},
         // clang-format off
         2023, 3, 3, 2023, 2, 28, true},
        // clang-format on
        // The birth month's own leap mark, as this program reads it.
        {"after the jie day inside a leap Lmonth", {leapJune2020}, 2020, 6, 10, 2020, 4, 19, true},
        {"before the jie day inside a leap Lmonth", {leapJune2020}, 2020, 6, 2, 2020, 4, 11, true},
        {"LdaysA > 0, inside a leap Lmonth", {leapAug2030}, 2030, 8, 6, 2030, 6, 1, true},
        {"LdaysA > 0, the ordinary month before a leap month of the same number",
         // clang-format off
         {leapAug2030}, 2030, 8, 5, 2030, 6, 30, false},
        // clang-format on
        {"LdaysA > 0, the month before an ordinary Lmonth",
         // clang-format off
         {Row(2030, 9, 8, 8, 0, 8, 1, 30, 29)}, 2030, 9, 3, 2030, 7, 25, false},
        // clang-format on
        {"LdaysA > 0, the month before lunar month 1 is 12 of the lunar year before",
         // clang-format off
         {Row(2031, 2, 4, 8, 0, 1, 1, 30, 29)}, 2031, 2, 2, 2030, 12, 28, false},
        // clang-format on
    };
    for (const auto& [what, rows, y, m, d, nn, ny, nr, leap] : cases) {
        SCOPED_TRACE(what);
        test::TempFolder folder;
        test::WriteCalendarFile(folder.path, rows);
        Corvel_BZClass e;
        e.dataFolder = folder.path;
        test::SetBirth(e, y, m, d, 12, 0);
        e.getNL();
        EXPECT_EQ(std::tie(e.nn, e.ny, e.nr, e.leap), std::tie(nn, ny, nr, leap));
    }
}

TEST(LunarDate, ImpossibleDatesAreRefusedWithAMessage) {
    test::TempFolder folder;  // each row: jie day 4 is lunar day 1 of month 1
    test::WriteCalendarFile(folder.path, {Row(1996, 2, 4, 9, 8, 1, 1, 30), Row(2000, 2, 4, 20, 40, 1, 1, 30),
                                          Row(1990, 1, 4, 22, 33, 1, 1, 30)});
    const std::tuple<int, int, int, bool> cases[] = {{1996, 2, 29, true},  {2000, 2, 29, true},   {1990, 1, 31, true},
                                                     {1900, 2, 29, false}, {1990, 2, 29, false},  {1990, 2, 30, false},
                                                     {1990, 4, 31, false}, {1990, 11, 31, false}, {1990, 13, 1, false},
                                                     {1990, 0, 1, false},  {1990, 1, 0, false},   {1990, 1, 32, false}};
    for (const auto& [y, m, d, passes] : cases) {
        SCOPED_TRACE(testing::Message() << y << "-" << m << "-" << d);
        test::RecordingNotifier notifier;
        Corvel_BZClass e;
        e.dataFolder = folder.path;
        e.notifier = &notifier;
        test::SetBirth(e, y, m, d, 12, 0);
        e.getNL();
        if (passes) {
            EXPECT_TRUE(notifier.messages.empty());
            EXPECT_EQ(std::tie(e.ny, e.nr), std::tuple(1, d - 3));
        } else {
            EXPECT_EQ(notifier.messages, std::vector<std::string>{"提示|请检查输入数据是否出错！"});
            EXPECT_EQ(std::tie(e.ny, e.bz_year, e.JieqiDay), std::tuple(0, 0, 0));  // none computed
            e.notifier = nullptr;  // the message is dropped, still nothing computed
            e.getNL();
            EXPECT_EQ(e.ny, 0);
        }
    }
}

TEST(LunarDate, LunarAndGregorianTexts) {
    const std::tuple<int, int, int, bool, const char*> cases[] = {{1990, 5, 8, false, "庚午年[路旁土]五月初八日"},
                                                                  {1990, 5, 8, true, "庚午年[路旁土]闰五月初八日"},
                                                                  {1984, 1, 1, false, "甲子年[海中金]正月初一日"},
                                                                  {1984, 11, 30, false, "甲子年[海中金]十一月三十日"}};
    Corvel_BZClass e;
    for (const auto& [nn, ny, nr, leap, text] : cases) {
        std::tie(e.nn, e.ny, e.nr, e.leap) = std::tie(nn, ny, nr, leap);
        EXPECT_EQ(e.GetNongLiStr(), text);
    }
    test::SetBirth(e, 1990, 5, 8, 14, 5);
    EXPECT_EQ(e.GetBirthStr(), "1990年05月08日14时05分");
    test::SetBirth(e, 2001, 12, 31, 0, 0);
    EXPECT_EQ(e.GetBirthStr(), "2001年12月31日00时00分");
}

}  // namespace
}  // namespace paipan
