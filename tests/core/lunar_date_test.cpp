// The lunar date from hand-made calendar rows: each case writes the rows it
// needs into a fresh calendar file, so a lookup of any other month fails
// loudly with a DataError.
#include <gtest/gtest.h>

#include "engine/corvel_bzclass.h"
#include "test_support.h"

namespace paipan {
namespace {

using test::Row;

struct LunarCase {
    const char* what;
    std::vector<CalendarRow> rows;
    int y, m, d;
    int nn, ny, nr;
    bool leap;
};

void PrintTo(const LunarCase& c, std::ostream* os) { *os << c.what; }

class LunarDate : public ::testing::TestWithParam<LunarCase> {};

TEST_P(LunarDate, FromTheCalendarRows) {
    const LunarCase& c = GetParam();
    test::TempFolder folder;
    test::WriteCalendarFile(folder.path(), c.rows);
    Corvel_BZClass e;
    e.dataFolder = folder.path();
    test::SetBirth(e, c.y, c.m, c.d, 12, 0);
    e.getNL();
    EXPECT_EQ(e.nn, c.nn);
    EXPECT_EQ(e.ny, c.ny);
    EXPECT_EQ(e.nr, c.nr);
    EXPECT_EQ(e.leap, c.leap);
}

// Row(year, month, jie day, hour, minute, Lmonth, lunar day of the jie day,
//     Ldays, LdaysA, LeapFlag)
INSTANTIATE_TEST_SUITE_P(Rules, LunarDate, ::testing::Values(
    LunarCase{"on the jie day: the row's own lunar month and day",
              {Row(1990, 5, 6, 3, 35, 4, 12, 29)}, 1990, 5, 6, 1990, 4, 12, false},
    LunarCase{"after the jie day, inside Lmonth",
              {Row(1990, 5, 6, 3, 35, 4, 12, 29)}, 1990, 5, 20, 1990, 4, 26, false},
    LunarCase{"before the jie day, inside Lmonth",
              {Row(1990, 5, 6, 3, 35, 4, 12, 29)}, 1990, 5, 1, 1990, 4, 7, false},
    LunarCase{"January stepping back reads December of the year before",
              {Row(1990, 1, 5, 22, 33, 12, 2, 30), Row(1989, 12, 7, 11, 21, 11, 10, 29)},
              1990, 1, 2, 1989, 11, 28, false},
    LunarCase{"January in lunar month 12 belongs to the lunar year before",
              {Row(1990, 1, 5, 22, 33, 12, 9, 29)}, 1990, 1, 20, 1989, 12, 24, false},
    LunarCase{"February in lunar month 12 belongs to the lunar year before",
              {Row(1985, 2, 4, 11, 12, 12, 15, 30)}, 1985, 2, 10, 1984, 12, 21, false},
    LunarCase{"February in lunar month 1 belongs to its own year",
              {Row(1990, 2, 4, 10, 14, 1, 9, 30)}, 1990, 2, 10, 1990, 1, 15, false},
    LunarCase{"December overflowing reads January of the year after",
              {Row(1990, 12, 7, 12, 14, 10, 20, 30), Row(1991, 1, 6, 0, 28, 11, 21, 30)},
              1990, 12, 25, 1990, 11, 8, false},
    LunarCase{"overflowing into a leap month: the next row's month number is lower",
              {Row(2020, 5, 5, 8, 51, 4, 13, 30), Row(2020, 6, 5, 12, 58, 4, 14, 29, 0, true)},
              2020, 5, 25, 2020, 4, 3, true},
    LunarCase{"stepping back into a leap month takes the previous row's mark",
              {Row(2023, 3, 6, 4, 36, 3, 2, 30), Row(2023, 2, 4, 10, 42, 2, 14, 29, 0, true)},
              2023, 3, 3, 2023, 2, 28, true},
    // The birth month's own leap mark, as this program reads it.
    LunarCase{"after the jie day inside a leap Lmonth keeps the mark",
              {Row(2020, 6, 5, 12, 58, 4, 14, 29, 0, true)}, 2020, 6, 10, 2020, 4, 19, true},
    LunarCase{"before the jie day inside a leap Lmonth keeps the mark",
              {Row(2020, 6, 5, 12, 58, 4, 14, 29, 0, true)}, 2020, 6, 2, 2020, 4, 11, true},
    LunarCase{"month before Lmonth carried by the row (LdaysA), still inside Lmonth, leap",
              {Row(2030, 8, 7, 20, 0, 6, 2, 29, 30, true)}, 2030, 8, 6, 2030, 6, 1, true},
    LunarCase{"the month before a leap month is the ordinary month of the same number",
              {Row(2030, 8, 7, 20, 0, 6, 2, 29, 30, true)}, 2030, 8, 5, 2030, 6, 30, false},
    LunarCase{"the month before an ordinary Lmonth, length from LdaysA",
              {Row(2030, 9, 8, 8, 0, 8, 1, 30, 29)}, 2030, 9, 3, 2030, 7, 25, false},
    LunarCase{"the month before lunar month 1 is month 12 of the lunar year before",
              {Row(2031, 2, 4, 8, 0, 1, 1, 30, 29)}, 2031, 2, 2, 2030, 12, 28, false}));

TEST(LunarDateCheck, ImpossibleDatesAreRefusedWithAMessage) {
    test::TempFolder folder;
    test::WriteCalendarFile(folder.path(), {Row(1996, 2, 4, 9, 8, 1, 1, 30),
                                            Row(2000, 2, 4, 20, 40, 1, 1, 30),
                                            Row(1990, 1, 4, 22, 33, 1, 1, 30)});
    struct Case {
        int y, m, d;
        bool passes;
    };
    const Case cases[] = {
        {1996, 2, 29, true},  {2000, 2, 29, true},   {1990, 1, 31, true},
        {1900, 2, 29, false}, {1990, 2, 29, false},  {1990, 2, 30, false},
        {1990, 4, 31, false}, {1990, 11, 31, false}, {1990, 13, 1, false},
        {1990, 1, 0, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.y << "-" << c.m << "-" << c.d);
        test::RecordingNotifier notifier;
        Corvel_BZClass e;
        e.dataFolder = folder.path();
        e.notifier = &notifier;
        test::SetBirth(e, c.y, c.m, c.d, 12, 0);
        e.getNL();
        if (c.passes) {
            EXPECT_TRUE(notifier.messages.empty());
            EXPECT_EQ(e.ny, 1);
            EXPECT_EQ(e.nr, c.d - 3);
        } else {
            ASSERT_EQ(notifier.messages.size(), 1u);
            EXPECT_EQ(notifier.messages[0].text, "请检查输入数据是否出错！");
            EXPECT_EQ(notifier.messages[0].caption, "提示");
            EXPECT_EQ(e.ny, 0);  // nothing computed
            EXPECT_EQ(e.bz_year, 0);
            EXPECT_EQ(e.JieqiDay, 0);
        }
    }
    // Without a notifier the message is dropped and still nothing is computed.
    Corvel_BZClass silent;
    silent.dataFolder = folder.path();
    test::SetBirth(silent, 1990, 2, 30, 12, 0);
    silent.getNL();
    EXPECT_EQ(silent.ny, 0);
}

TEST(LunarDateText, LunarAndGregorianTexts) {
    struct Case {
        int nn, ny, nr;
        bool leap;
        const char* text;
    };
    const Case cases[] = {
        {1990, 5, 8, false, "庚午年[路旁土]五月初八日"},
        {1990, 5, 8, true, "庚午年[路旁土]闰五月初八日"},
        {1984, 1, 1, false, "甲子年[海中金]正月初一日"},
        {1984, 11, 30, false, "甲子年[海中金]十一月三十日"},
        {1889, 12, 21, false, "己丑年[霹雳火]十二月廿一日"},
    };
    for (const auto& c : cases) {
        Corvel_BZClass e;
        e.nn = c.nn;
        e.ny = c.ny;
        e.nr = c.nr;
        e.leap = c.leap;
        EXPECT_EQ(e.GetNongLiStr(), c.text);
    }

    Corvel_BZClass e;
    test::SetBirth(e, 1990, 5, 8, 14, 5);
    EXPECT_EQ(e.GetBirthStr(), "1990年05月08日14时05分");
    test::SetBirth(e, 2001, 12, 31, 0, 0);
    EXPECT_EQ(e.GetBirthStr(), "2001年12月31日00时00分");
}

}  // namespace
}  // namespace paipan
