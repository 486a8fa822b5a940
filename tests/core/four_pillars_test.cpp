// The four pillars and what is derived from them, with the solar year and
// month set by hand (no calendar file needed).
#include <gtest/gtest.h>

#include <chrono>

#include "engine/corvel_bzclass.h"
#include "test_support.h"

namespace paipan {
namespace {

struct Birth {
    int bzYear, bzMonth;
    int year, month, day, hour;
    int sex = 1;
    int nightZi = 0;
    int minute = 30;
};

Corvel_BZClass Pillars(const Birth& b) {
    Corvel_BZClass e;
    test::SetBirth(e, b.year, b.month, b.day, b.hour, b.minute, b.sex, b.nightZi);
    e.bz_year = b.bzYear;
    e.bz_month = b.bzMonth;
    e.GetEightWordInfo();
    return e;
}

TEST(FourPillars, YearPillarFollowsTheSolarYear) {
    struct Case {
        int bzYear;
        const char* pillar;
        const char* nayin;
    };
    const Case cases[] = {{1984, "甲子", "海中金"}, {1990, "庚午", "路旁土"}, {1889, "己丑", "霹雳火"}};
    for (const auto& c : cases) {
        const auto e = Pillars({c.bzYear, 3, 2000, 1, 7, 12});
        EXPECT_EQ(e.gz_str[0], c.pillar) << c.bzYear;
        EXPECT_EQ(e.gz_ny[0], c.nayin) << c.bzYear;
    }
}

TEST(FourPillars, MonthPillarFromTheYearStem) {
    struct Case {
        int bzYear, bzMonth;
        const char* pillar;
    };
    const Case cases[] = {
        {1984, 1, "丙寅"}, {1984, 10, "乙亥"}, {1984, 11, "丙子"}, {1984, 12, "丁丑"},  // 甲 year
        {1985, 1, "戊寅"}, {1985, 12, "己丑"},                                     // 乙 year
        {1990, 1, "戊寅"},                                                          // 庚 year
    };
    for (const auto& c : cases) {
        EXPECT_EQ(Pillars({c.bzYear, c.bzMonth, 2000, 1, 7, 12}).gz_str[1], c.pillar)
            << c.bzYear << "/" << c.bzMonth;
    }
}

TEST(FourPillars, DayPillarOfKnownDates) {
    struct Case {
        int y, m, d;
        const char* pillar;
    };
    const Case cases[] = {
        {1881, 11, 26, "甲子"}, {1949, 10, 1, "甲子"}, {2000, 1, 7, "甲子"}, {1900, 1, 1, "甲戌"}};
    for (const auto& c : cases) {
        EXPECT_EQ(Pillars({1984, 3, c.y, c.m, c.d, 12}).gz_str[2], c.pillar) << c.y;
    }
}

TEST(FourPillars, EveryDayStepsTheDayPillarByOne) {
    using namespace std::chrono;
    const sys_days first{year{1881} / November / 26};
    const sys_days last{year{2021} / December / 31};
    int expected = 0;  // 1881-11-26 is a 甲子 day
    int wrong = 0;
    Corvel_BZClass e;
    e.bz_year = 1984;
    e.bz_month = 3;
    for (sys_days d = first; d <= last; d += days{1}) {
        const CivilTime c = ToCivil(d);
        test::SetBirth(e, c.year, c.month, c.day, 12, 0);
        e.GetEightWordInfo();
        if (e.gz_serial[2] != expected && ++wrong <= 5) {
            ADD_FAILURE() << c.year << "-" << c.month << "-" << c.day << " " << e.gz_str[2];
        }
        expected = (expected + 1) % 60;
    }
    EXPECT_EQ(wrong, 0);
}

TEST(FourPillars, LateEveningAndNightZi) {
    struct Case {
        int day, hour, minute, nightZi;
        const char* dayPillar;
        const char* hourPillar;
    };
    // 2000-01-07 is a 甲子 day, so 2000-01-06 is 癸亥.
    const Case cases[] = {
        {6, 23, 30, 0, "甲子", "甲子"},  // from 23:00 the next day's pillar
        {6, 23, 0, 0, "甲子", "甲子"},
        {6, 23, 30, 1, "癸亥", "甲子"},  // night zi: the calendar day's pillar, next day's hour stem
        {6, 0, 30, 0, "癸亥", "壬子"},   // 00:30: 子 hour of the same day
        {6, 0, 30, 1, "癸亥", "壬子"},   // the switch matters only from 23:00
        {6, 22, 59, 0, "癸亥", "癸亥"},  // 22:59: still the 亥 hour
        {6, 22, 59, 1, "癸亥", "癸亥"},
        {7, 1, 0, 0, "甲子", "乙丑"},
    };
    for (const auto& c : cases) {
        const auto e = Pillars({1999, 11, 2000, 1, c.day, c.hour, 1, c.nightZi, c.minute});
        EXPECT_EQ(e.gz_str[2], c.dayPillar) << c.day << " " << c.hour << " " << c.nightZi;
        EXPECT_EQ(e.gz_str[3], c.hourPillar) << c.day << " " << c.hour << " " << c.nightZi;
    }
}

TEST(FourPillars, TenDeitiesAndHiddenStems) {
    // 1984 (甲子) solar month 8 (酉), 2000-01-07 (甲子 day), 05:30 (卯 hour).
    const auto e = Pillars({1984, 8, 2000, 1, 7, 5});
    EXPECT_EQ(e.gz_str[1], "癸酉");
    EXPECT_EQ(e.gan_ss[2], "日主");
    EXPECT_EQ(e.gan_ss[0], "比肩");  // 甲 against 甲
    // 子, 酉, 子 and 卯 hold one hidden stem: the other two slots are blank.
    for (std::size_t k = 0; k < 4; ++k) {
        for (std::size_t j = 1; j < 3; ++j) {
            EXPECT_EQ(e.cg_g[k][j], -1) << k;
            EXPECT_EQ(e.cg_str[k][j], "　") << k;
            EXPECT_EQ(e.cg_ss[k][j], "　　") << k;
        }
    }
    EXPECT_EQ(e.cg_str[0][0], "癸");
    EXPECT_EQ(e.cg_ss[0][0], "正印");
    EXPECT_EQ(e.cg_str[1][0], "辛");
    EXPECT_EQ(e.cg_ss[1][0], "正官");
    EXPECT_EQ(e.cg_str[3][0], "乙");
    EXPECT_EQ(e.cg_ss[3][0], "劫财");

    // 1949 (己丑) against a 甲 day: 正财; 丑 holds 癸 辛 己.
    const auto f = Pillars({1949, 8, 1949, 10, 1, 12});
    EXPECT_EQ(f.gan_ss[0], "正财");
    EXPECT_EQ(f.cg_str[0], (std::array<std::string, 3>{"癸", "辛", "己"}));
    EXPECT_EQ(f.cg_ss[0], (std::array<std::string, 3>{"正印", "正官", "正财"}));
}

TEST(FourPillars, LuckPillarsAndConceptionFromTheMonthPillar) {
    // Solar month 1 of a 甲 year: month pillar 丙寅. A man with a yang year
    // stem runs forward, a woman backward.
    const auto forward = Pillars({1984, 1, 1984, 3, 1, 12, 1});
    const auto backward = Pillars({1984, 1, 1984, 3, 1, 12, 0});
    ASSERT_EQ(forward.gz_str[1], "丙寅");
    EXPECT_EQ(forward.dy_str, (std::array<std::string, 8>{"丁卯", "戊辰", "己巳", "庚午", "辛未",
                                                         "壬申", "癸酉", "甲戌"}));
    EXPECT_EQ(backward.dy_str, (std::array<std::string, 8>{"乙丑", "甲子", "癸亥", "壬戌", "辛酉",
                                                          "庚申", "己未", "戊午"}));
    EXPECT_EQ(forward.ty_str, "丁巳");
    EXPECT_EQ(forward.ty_serial, 53);
    EXPECT_EQ(forward.dy_gz[0], (GanZhi{3, 3}));
    // 1984-03-01 is a 甲午 day: the 丁卯 luck pillar's 丁 is 伤官, 乙丑's 乙 劫财.
    EXPECT_EQ(forward.gz_str[2], "甲午");
    EXPECT_EQ(forward.dy_ss[0], "伤官");
    EXPECT_EQ(backward.dy_ss[0], "劫财");
}

TEST(FourPillars, LifePalace) {
    // 寅 month, 卯 hour (05:30), 甲 year: 丙子.
    const auto a = Pillars({1984, 1, 1984, 3, 1, 5});
    EXPECT_EQ(a.mg_str, "丙子");
    EXPECT_EQ(a.mg_gz[1], (GanZhi{2, 0}));
    EXPECT_EQ(a.mg_serial, 12);
    // 子 month, 子 hour (00:30): palace branch 巳.
    const auto b = Pillars({1984, 11, 1984, 12, 20, 0});
    EXPECT_EQ(b.mg_gz[1][1], 5);
}

TEST(FourPillars, LuckStartMeasure) {
    Corvel_BZClass e;
    test::SetBirth(e, 1984, 3, 1, 12, 0, 1);
    e.bz_year = 1984;  // 甲: forward for a man, backward for a woman
    e.bz_month = 1;
    e.InputTime = MakeDateTime(1984, 3, 1, 12, 0);
    e.NextJieQi = MakeDateTime(1984, 3, 11, 12, 0);  // ten days later
    e.LastJieQi = MakeDateTime(1984, 2, 29, 0, 0);   // a day and a half before
    e.GetEightWordInfo();
    EXPECT_NEAR(e.QiYunAge, 3.3333333333, 1e-9);
    e.sex2 = 0;
    e.GetEightWordInfo();
    EXPECT_NEAR(e.QiYunAge, 0.5, 1e-12);
}

}  // namespace
}  // namespace paipan
