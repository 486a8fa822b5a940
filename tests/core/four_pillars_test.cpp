// The four pillars and what is derived from them, with the solar year and
// month set by hand (no calendar file needed).
#include <gtest/gtest.h>

#include <tuple>

#include "chart/corvel_bzclass.h"
#include "test_support.h"

namespace paipan {
namespace {

struct Birth {
    int bzYear, bzMonth;
    int year, month, day, hour, minute = 30, nightZi = 0, sex = 1;
};

Corvel_BZClass Chart(const Birth& b) {
    Corvel_BZClass e;
    test::SetBirth(e, b.year, b.month, b.day, b.hour, b.minute, b.sex, b.nightZi);
    e.bz_year = b.bzYear;
    e.bz_month = b.bzMonth;
    e.GetEightWordInfo();
    return e;
}

using Texts3 = std::array<std::string, 3>;
using Texts4 = std::array<std::string, 4>;

TEST(FourPillars, YearMonthDayAndHour) {
    const std::pair<Birth, Texts4> cases[] = {
        {{1984, 1, 2000, 1, 7, 12}, {"甲子", "丙寅", "甲子", "庚午"}},  // 2000-01-07 is a 甲子 day
        {{1984, 10, 2000, 1, 7, 12}, {"甲子", "乙亥", "甲子", "庚午"}},
        {{1984, 11, 2000, 1, 7, 12}, {"甲子", "丙子", "甲子", "庚午"}},
        {{1984, 12, 2000, 1, 7, 12}, {"甲子", "丁丑", "甲子", "庚午"}},
        {{1985, 1, 2000, 1, 7, 12}, {"乙丑", "戊寅", "甲子", "庚午"}},
        {{1985, 12, 2000, 1, 7, 12}, {"乙丑", "己丑", "甲子", "庚午"}},
        {{1990, 1, 2000, 1, 7, 12}, {"庚午", "戊寅", "甲子", "庚午"}},
        {{1889, 3, 2000, 1, 7, 12}, {"己丑", "戊辰", "甲子", "庚午"}},
        {{1881, 10, 1881, 11, 26, 12}, {"辛巳", "己亥", "甲子", "庚午"}},  // a 甲子 day
        // 2000-01-06 is 癸亥; from 23:00 the next day's pillar, but with the
        // night-zi rule the calendar day's (the hour keeps the next day's stem).
        {{1999, 12, 2000, 1, 6, 23, 0}, {"己卯", "丁丑", "甲子", "甲子"}},
        {{1999, 12, 2000, 1, 6, 23, 30, 1}, {"己卯", "丁丑", "癸亥", "甲子"}},
        {{1999, 12, 2000, 1, 6, 0, 30}, {"己卯", "丁丑", "癸亥", "壬子"}},  // 子 of the same day
        {{1999, 12, 2000, 1, 6, 0, 30, 1}, {"己卯", "丁丑", "癸亥", "壬子"}},
        {{1999, 12, 2000, 1, 6, 22, 59}, {"己卯", "丁丑", "癸亥", "癸亥"}},  // still 亥
        {{1999, 12, 2000, 1, 6, 22, 59, 1}, {"己卯", "丁丑", "癸亥", "癸亥"}},
        {{1999, 12, 2000, 1, 7, 1, 0}, {"己卯", "丁丑", "甲子", "乙丑"}},
    };
    for (const auto& [b, pillars] : cases) {
        EXPECT_EQ(Chart(b).gz_str, pillars) << b.bzYear << "/" << b.bzMonth << " " << b.year << "-" << b.month << "-"
                                            << b.day << " " << b.hour << ":" << b.minute << " night zi " << b.nightZi;
    }
}

TEST(FourPillars, SoundElementsDeitiesAndHiddenStems) {
    // 甲子 year, 癸酉 month, 甲子 day, 丁卯 hour: 子, 酉 and 卯 hold one hidden stem.
    const auto e = Chart({1984, 8, 2000, 1, 7, 5});
    EXPECT_EQ(e.gz_ny, (Texts4{"海中金", "剑锋金", "海中金", "炉中火"}));
    EXPECT_EQ(e.gan_ss, (Texts4{"比肩", "正印", "日主", "伤官"}));
    EXPECT_EQ(
        e.cg_str,
        (std::array<Texts3, 4>{{{"癸", "　", "　"}, {"辛", "　", "　"}, {"癸", "　", "　"}, {"乙", "　", "　"}}}));
    EXPECT_EQ(
        e.cg_ss,
        (std::array<Texts3, 4>{
            {{"正印", "　　", "　　"}, {"正官", "　　", "　　"}, {"正印", "　　", "　　"}, {"劫财", "　　", "　　"}}}));
    EXPECT_EQ(e.cg_g[1], (std::array<int, 3>{7, -1, -1}));
    // 己丑 year against a 甲 day: 正财; 丑 holds 癸 辛 己.
    const auto f = Chart({1949, 8, 1949, 10, 1, 12});
    EXPECT_EQ(f.gan_ss[0], "正财");
    EXPECT_EQ(f.cg_str[0], (Texts3{"癸", "辛", "己"}));
    EXPECT_EQ(f.cg_ss[0], (Texts3{"正印", "正官", "正财"}));
}

TEST(FourPillars, LuckPillarsLuckStartConceptionAndLifePalace) {
    // 甲子 year, 丙寅 month, 1984-03-01 a 甲午 day: a man runs forward, a woman backward.
    auto forward = Chart({1984, 1, 1984, 3, 1, 12, 0});
    auto backward = Chart({1984, 1, 1984, 3, 1, 12, 0, 0, 0});
    EXPECT_EQ(forward.gz_ny[2], "砂中金");
    EXPECT_EQ(forward.dy_str,
              (std::array<std::string, 8>{"丁卯", "戊辰", "己巳", "庚午", "辛未", "壬申", "癸酉", "甲戌"}));
    EXPECT_EQ(backward.dy_str,
              (std::array<std::string, 8>{"乙丑", "甲子", "癸亥", "壬戌", "辛酉", "庚申", "己未", "戊午"}));
    EXPECT_EQ(forward.dy_gz[0], (GanZhi{3, 3}));
    EXPECT_EQ(forward.dy_ss[0] + backward.dy_ss[0], "伤官劫财");  // 丁 and 乙 against 甲
    EXPECT_EQ(forward.ty_str, "丁巳");
    EXPECT_EQ(forward.ty_serial, 53);
    // Forward to the next jie term ten days later, backward to the last a day and a half before.
    for (auto* e : {&forward, &backward}) {
        e->InputTime = MakeDateTime(1984, 3, 1, 12, 0);
        e->NextJieQi = MakeDateTime(1984, 3, 11, 12, 0);
        e->LastJieQi = MakeDateTime(1984, 2, 29, 0, 0);
        e->GetEightWordInfo();
    }
    EXPECT_NEAR(forward.QiYunAge, 10.0 / 3, 1e-9);
    EXPECT_NEAR(backward.QiYunAge, 0.5, 1e-12);
    // 寅 month, 卯 hour, 甲 year: palace 丙子. 子 month, 子 hour: palace branch 巳.
    const auto a = Chart({1984, 1, 1984, 3, 1, 5});
    EXPECT_EQ(std::tie(a.mg_str, a.mg_gz[1], a.mg_serial), std::tuple("丙子", GanZhi{2, 0}, 12));
    EXPECT_EQ(Chart({1984, 11, 1984, 12, 20, 0}).mg_gz[1][1], 5);
}

}  // namespace
}  // namespace paipan
