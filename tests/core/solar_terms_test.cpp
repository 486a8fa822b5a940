// The solar year and month and the jie terms around the birth, on a small
// hand-made calendar file whose term moments are chosen for each boundary.
#include <gtest/gtest.h>

#include "engine/corvel_bzclass.h"
#include "test_support.h"

namespace paipan {
namespace {

using test::Row;

class SolarTerms : public ::testing::Test {
protected:
    void SetUp() override {
        // Lunar columns are plain filler here: every birth below stays inside
        // the row's lunar month or the one after it.
        test::WriteCalendarFile(folder.path(), {
            Row(1989, 12, 7, 11, 21, 11, 10, 30),  // 大雪
            Row(1990, 1, 5, 22, 33, 12, 10, 30),   // 小寒
            Row(1990, 2, 4, 10, 14, 1, 10, 30),    // 立春 at 10:14
            Row(1990, 3, 6, 4, 19, 2, 10, 30),     // 惊蛰
            Row(1990, 4, 5, 9, 13, 3, 10, 30),     // 清明
            Row(1990, 5, 6, 3, 35, 4, 10, 30),     // 立夏
            Row(1990, 6, 6, 7, 46, 5, 10, 30),     // 芒种
            Row(1990, 12, 7, 12, 14, 10, 10, 30),  // 大雪
            Row(1991, 1, 6, 0, 28, 11, 10, 30),    // 小寒
        });
        e.dataFolder = folder.path();
    }

    void Birth(int y, int m, int d, int h, int min) {
        test::SetBirth(e, y, m, d, h, min);
        e.getNL();  // loads the birth month's row and sets the solar year and month
        e.CalJQ();
    }

    test::TempFolder folder;
    Corvel_BZClass e;
};

TEST_F(SolarTerms, FormatIntPadsOneDigit) {
    EXPECT_EQ(e.FormatInt(0), "00");
    EXPECT_EQ(e.FormatInt(7), "07");
    EXPECT_EQ(e.FormatInt(12), "12");
    EXPECT_EQ(e.FormatInt(2020), "2020");
}

TEST_F(SolarTerms, SolarYearMonthAndTheTermsAround) {
    struct Case {
        int y, m, d, h, min;
        int bzYear, bzMonth;
        const char* last;
        const char* next;
    };
    const Case cases[] = {
        // January before 小寒: the solar year before, 子 month; 大雪 of the December before.
        {1990, 1, 3, 8, 0, 1989, 11, "大雪：1989年12月07日11时21分", "小寒：1990年01月05日22时33分"},
        // At the very minute of 小寒 the 丑 month has begun.
        {1990, 1, 5, 22, 33, 1989, 12, "小寒：1990年01月05日22时33分", "立春：1990年02月04日10时14分"},
        // One minute before 立春: still the old solar year.
        {1990, 2, 4, 10, 13, 1989, 12, "小寒：1990年01月05日22时33分", "立春：1990年02月04日10时14分"},
        // At the minute of 立春: the new solar year and its first month.
        {1990, 2, 4, 10, 14, 1990, 1, "立春：1990年02月04日10时14分", "惊蛰：1990年03月06日04时19分"},
        // Any hour after the term's hour on the 立春 day.
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
    for (const auto& c : cases) {
        Birth(c.y, c.m, c.d, c.h, c.min);
        SCOPED_TRACE(testing::Message() << c.y << "-" << c.m << "-" << c.d << " " << c.h << ":" << c.min);
        EXPECT_EQ(e.bz_year, c.bzYear);
        EXPECT_EQ(e.bz_month, c.bzMonth);
        EXPECT_EQ(e.LastJQStr, c.last);
        EXPECT_EQ(e.NextJQStr, c.next);
        EXPECT_EQ(e.InputTime, MakeDateTime(c.y, c.m, c.d, c.h, c.min));
        EXPECT_LE(e.LastJieQi, e.InputTime);
        EXPECT_GT(e.NextJieQi, e.InputTime);
    }
}

TEST_F(SolarTerms, TermDateTimesMatchTheirTexts) {
    Birth(1990, 2, 4, 10, 14);
    EXPECT_EQ(e.LastJieQi, MakeDateTime(1990, 2, 4, 10, 14));
    EXPECT_EQ(e.NextJieQi, MakeDateTime(1990, 3, 6, 4, 19));
    Birth(1990, 1, 3, 8, 0);
    EXPECT_EQ(e.LastJieQi, MakeDateTime(1989, 12, 7, 11, 21));
    Birth(1990, 12, 8, 0, 0);
    EXPECT_EQ(e.NextJieQi, MakeDateTime(1991, 1, 6, 0, 28));
}

TEST_F(SolarTerms, AMissingNeighbourRowIsADataError) {
    // 1990-06 is there, 1990-07 is not: a birth after 芒种 needs it.
    Birth(1990, 6, 5, 12, 0);  // before the term: reads May, which is there
    EXPECT_EQ(e.LastJQStr, "立夏：1990年05月06日03时35分");
    test::SetBirth(e, 1990, 6, 10, 12, 0);
    e.getNL();
    try {
        e.CalJQ();
        FAIL() << "no error for the missing July row";
    } catch (const DataError& error) {
        EXPECT_NE(std::string(error.what()).find("1990年7月"), std::string::npos) << error.what();
        EXPECT_NE(std::string(error.what()).find("SETCONFIG.dll"), std::string::npos);
    }
}

}  // namespace
}  // namespace paipan
