// Main: the date check, the order of the text, the four-pillar block, the
// luck rows and annual table, the conception pillar, life palace and minor
// luck. Pillars used as anchors are almanac facts: 2000-01-07 is a 甲子 day
// and the first day of the twelfth lunar month of 己卯 (1999); 小寒 2000 fell
// on 6 January and 立春 on 4 February.
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <regex>

#include "calendar/store.h"
#include "chart_test_support.h"

namespace paipan {
namespace {

using namespace std::chrono;
using test::EngineRequest;
using test::RunMain;

class Recorder : public Notifier {
public:
    void ShowMessage(const std::string& text, const std::string& caption) override {
        messages.push_back(caption + "|" + text);
    }
    std::vector<std::string> messages;
};

TEST(MainFrame, RejectsImpossibleDatesAndKeepsEverything) {
    struct Case {
        int y, m, d;
        bool accepted;
    } cases[] = {
        {2000, 2, 29, true},  {1900, 2, 29, false}, {2001, 2, 29, false}, {2000, 2, 30, false},
        {1999, 4, 31, false}, {1999, 11, 31, false}, {1999, 1, 31, true},  {1980, 2, 29, true},
    };
    for (const auto& c : cases) {
        Recorder recorder;
        Corvel_BZClass e;
        e.notifier = &recorder;
        e.OutputStr = "old";
        e.BZ_qk = "old qk";
        e.BZ_xy = "old xy";
        const DateTime before = e.JiaoYunTime;
        EngineRequest r;
        r.year = c.y, r.month = c.m, r.day = c.d;
        test::Apply(e, r);
        e.Main();
        if (c.accepted) {
            EXPECT_TRUE(recorder.messages.empty()) << c.y << "-" << c.m << "-" << c.d;
            EXPECT_NE(e.OutputStr, "old");
        } else {
            ASSERT_EQ(recorder.messages.size(), 1u) << c.y << "-" << c.m << "-" << c.d;
            EXPECT_EQ(recorder.messages[0], "提示|请检查输入数据是否出错！");
            EXPECT_EQ(e.OutputStr, "old");
            EXPECT_EQ(e.BZ_qk, "old qk");
            EXPECT_EQ(e.BZ_xy, "old xy");
            EXPECT_EQ(e.JiaoYunTime, before);
        }
    }
}

TEST(MainFrame, HeaderLinesAndSectionOrder) {
    EngineRequest r;
    r.name = "李四";
    r.place = "北京";
    r.realtime = "块\r\n";
    const auto e = RunMain(r);
    const std::string head = "姓名：李四　　出生地：北京　　块\r\n\r\n"
                             "公历：2000年01月07日12时00分　　农历：己卯年[城头土]十二月初一日\r\n"
                             "小寒：2000年01月06日";
    EXPECT_EQ(e->OutputStr.rfind(head, 0), 0u) << e->OutputStr;
    EXPECT_NE(e->OutputStr.find("　　立春：2000年02月04日"), std::string::npos);
    const std::string sections = e->BZ_top_ss + e->BZ_qk + e->BZ_gzMain + e->BZ_dzcg + e->BZ_ny +
                                 e->BZ_cs + e->BZ_ssa + e->BZ_dycs + e->BZ_dyny + e->BZ_dyss +
                                 e->BZ_dy + e->BZ_dyxs + e->BZ_dyln + e->BZ_ty + e->BZ_mg + e->BZ_xy;
    ASSERT_GT(e->OutputStr.size(), sections.size());
    EXPECT_EQ(e->OutputStr.substr(e->OutputStr.size() - sections.size()), sections);
    // The header ends with the luck-start lines and their empty line.
    const std::string header = e->OutputStr.substr(0, e->OutputStr.size() - sections.size());
    EXPECT_TRUE(std::regex_search(header, std::regex("\r\n\r\n起运：命主于出生后\\d+年\\d+个月\\d+天\\d+"
                                                     "小时开始起运\r\n交运：命主于公历\\d+年\\d+月\\d+日"
                                                     "\\d+时交运\r\n\r\n$")))
        << header;
}

TEST(MainFrame, CallingMainTwiceGivesTheSameText) {
    auto e = RunMain(EngineRequest{});
    const std::string first = e->OutputStr;
    const std::string xy = e->BZ_xy;
    e->Main();
    EXPECT_EQ(e->OutputStr, first);
    EXPECT_EQ(e->BZ_xy, xy);
}

TEST(MainFrame, MissingCalendarFileThrowsDataError) {
    Corvel_BZClass e;
    e.dataFolder = std::filesystem::temp_directory_path() / "paipan-no-such-folder";
    test::Apply(e, EngineRequest{});
    e.OutputStr = "old";
    EXPECT_THROW(e.Main(), DataError);
    EXPECT_EQ(e.OutputStr, "old");
}

TEST(PillarBlock, BothLayoutsOfTheJiaZiDay) {
    // 2000-01-07 12:00: year 己卯 (before 立春), month 丁丑 (after 小寒), day
    // 甲子 (voids 戌亥), hour 庚午.
    EngineRequest r;
    r.mode = 1;
    auto h = RunMain(r);
    EXPECT_EQ(h->BZ_qk, "\r\n乾造：　 ");
    EXPECT_EQ(h->BZ_gzMain, " 己卯　　　 丁丑　　　 甲子　　　 庚午　　　 (戌亥空)\r\n");
    for (Value mode : {Value(0), Value(2)}) {
        r.mode = mode;
        r.sex = 0;
        auto v = RunMain(r);
        EXPECT_EQ(v->BZ_qk, "\r\n坤造：　 ");
        EXPECT_EQ(v->BZ_gzMain,
                  " 己　　　　 丁　　　　 甲　　　　 庚　　　　 (戌亥空) \r\n"
                  "　　　　　卯　　　　 丑　　　　 子　　　　 午　　　　 \r\n");
    }
    // Ten deities of 己 丁 甲 庚 seen from 甲; hidden stems of 卯 丑 子 午.
    EXPECT_EQ(h->BZ_top_ss, " 　　　　 正财　　　 伤官　　　 日主　　　 七杀　　　 \r\n");
    EXPECT_EQ(h->BZ_dzcg,
              "　　　　　乙劫财　　 癸正印　　 癸正印　　 丁伤官　　 \r\n"
              "　　　　　　　　　　 辛正官　　 　　　　　 己正财　　 \r\n"
              "　　　　　　　　　　 己正财　　 　　　　　 　　　　　 \r\n");
    EXPECT_EQ(h->BZ_ny, "纳音　　 [城头土]　 [涧下水]　 [海中金]　 [路旁土]　 \r\n");
    // 甲 at 卯 丑 子 午: 帝旺 冠带 沐浴 死.
    EXPECT_EQ(h->BZ_cs, "　　　　　 帝旺　　　 冠带　　　 沐浴　　　 死　　　　 \r\n");
    EXPECT_EQ(h->BZ_ssa, h->GetShenSha(h->bz, 1) + "\r\n");
}

TEST(PillarBlock, TenDeitiesOffLeavesTwoEmptyLines) {
    EngineRequest r;
    r.ssp = 0;
    auto e = RunMain(r);
    EXPECT_EQ(e->BZ_top_ss, "");
    EXPECT_EQ(e->BZ_dyss, "");
    EXPECT_NE(e->OutputStr.find("时交运\r\n\r\n\r\n乾造：　  己"), std::string::npos) << e->OutputStr;
}

TEST(PillarBlock, SwitchesOnlyCountWhenExactlyOne) {
    EngineRequest r;
    r.lnp = r.cgp = r.ssp = r.nyp = r.shenshap = r.csp = r.mgp = r.qyp = r.xyp = r.dyp = r.jyssp = 2;
    auto e = RunMain(r);
    for (const std::string* s : {&e->BZ_top_ss, &e->BZ_dzcg, &e->BZ_ny, &e->BZ_cs, &e->BZ_ssa,
                                 &e->BZ_dycs, &e->BZ_dyny, &e->BZ_dyss, &e->BZ_dy, &e->BZ_dyxs,
                                 &e->BZ_dyln, &e->BZ_ty, &e->BZ_mg, &e->BZ_xy})
        EXPECT_EQ(*s, "");
    EXPECT_EQ(e->OutputStr.find("起运："), std::string::npos);
    EXPECT_FALSE(e->BZ_qk.empty());
    EXPECT_FALSE(e->BZ_gzMain.empty());
    // The text ends with the pillar rows, right after the solar-term line.
    EXPECT_EQ(e->OutputStr.substr(e->OutputStr.size() - e->BZ_gzMain.size() - e->BZ_qk.size()),
              e->BZ_qk + e->BZ_gzMain);
}

TEST(LuckStart, ThreeAndAHalfYears) {
    // A girl born 10½ days after 立春 1990 (庚午, a yang year: her luck runs
    // backward from that term): 10.5 / 3 = 3.5 years.
    const CalendarRow row = ReadCalendarRow(ProgramFolder() / kCalendarFileName, 1990, 2);
    const DateTime term = MakeDateTime(1990, 2, row.JieqiDay, row.JieqiHour, row.JieqiMinute);
    const CivilTime birth = ToCivil(term + days{10} + hours{12});
    EngineRequest r;
    r.year = birth.year, r.month = birth.month, r.day = birth.day;
    r.hour = birth.hour, r.minute = birth.minute, r.sex = 0;
    auto e = RunMain(r);
    EXPECT_DOUBLE_EQ(e->QiYunAge, 3.5);
    EXPECT_NE(e->OutputStr.find("起运：命主于出生后3年6个月0天0小时开始起运\r\n交运：命主于公历1993年8月"),
              std::string::npos)
        << e->OutputStr;
}

TEST(LuckRows, BackwardLuckOfTheJiaZiDay) {
    // A man born in a 己 (yin) year runs backward from the month 丁丑.
    auto e = RunMain(EngineRequest{});
    EXPECT_EQ(e->BZ_dy, "大运：丙子　　乙亥　　甲戌　　癸酉　　壬申　　辛未　　庚午　　己巳　　\r\n");
    EXPECT_EQ(e->BZ_dyny, "纳音[涧下水][山头火][山头火][剑锋金][剑锋金][路旁土][路旁土][大林木]\r\n");
    EXPECT_EQ(e->BZ_dyss, "　　　食神　　劫财　　比肩　　正印　　枭神　　正官　　七杀　　正财　　\r\n");
    EXPECT_EQ(e->BZ_dycs, "　　　沐浴　　长生　　养　　　胎　　　绝　　　墓　　　死　　　病　　　\r\n");
}

// Searches the days of a range (at 12:00) for a chart that satisfies `want`.
std::unique_ptr<Corvel_BZClass> FindChart(year_month_day from, year_month_day to, int sex,
                                          const std::function<bool(const Corvel_BZClass&)>& want,
                                          EngineRequest r = {}) {
    std::unique_ptr<Corvel_BZClass> found;
    test::ForEachDay(from, to, [&](int y, int m, int d) {
        r.year = y, r.month = m, r.day = d, r.sex = sex;
        auto e = RunMain(r);
        if (!want(*e)) return false;
        found = std::move(e);
        return true;
    });
    return found;
}

int JiaoYunYear(const Corvel_BZClass& e) { return ToCivil(e.JiaoYunTime).year; }

TEST(LuckRows, AgesAndAnnualTableFrom1990) {
    auto e = FindChart(1984y / 3 / 1, 1984y / 12 / 31, 1, [](const Corvel_BZClass& c) {
        return c.bz_year == 1984 && JiaoYunYear(c) == 1990;
    });
    ASSERT_TRUE(e) << "no 1984 birth whose luck takes over in 1990";
    EXPECT_EQ(e->BZ_dyxs, "　　　 6岁　　16岁　　26岁　　36岁　　46岁　　56岁　　66岁　　76岁　　\r\n");
    const auto rows = test::Lines(e->BZ_dyln);
    ASSERT_EQ(rows.size(), 14u);  // 始于, ten annual rows, 止于, empty line, end
    EXPECT_EQ(rows[0], "始于：1990　　2000　　2010　　2020　　2030　　2040　　2050　　2060　　");
    EXPECT_EQ(rows[1], "流年：庚午　　庚辰　　庚寅　　庚子　　庚戌　　庚申　　庚午　　庚辰　　");
    EXPECT_EQ(rows[10], "　　　己卯　　己丑　　己亥　　己酉　　己未　　己巳　　己卯　　己丑　　");
    EXPECT_EQ(rows[11], "止于：1999　　2009　　2019　　2029　　2039　　2049　　2059　　2069　　");
    EXPECT_EQ(rows[12], "");
    EXPECT_EQ(rows[13], "");
}

TEST(LuckRows, TenYearStartHasNoLeadingSpace) {
    auto e = FindChart(2000y / 1 / 1, 2003y / 12 / 31, 1,
                       [](const Corvel_BZClass& c) { return c.QiYunAge >= 10; });
    ASSERT_TRUE(e) << "no luck start of ten years";
    EXPECT_EQ(e->BZ_dyxs.rfind("　　　1", 0), 0u) << e->BZ_dyxs;

    // A start of 8 or 9 years can still give a first age of 10 (the luck
    // takes over two calendar years on): two digits, no space either, so the
    // column keeps its 8 units.
    auto late = FindChart(1963y / 1 / 1, 1966y / 12 / 31, 1, [](const Corvel_BZClass& c) {
        return c.QiYunAge < 10 && JiaoYunYear(c) - c.bz_year >= 10;
    });
    ASSERT_TRUE(late) << "no first age of 10 after a start under ten years";
    EXPECT_EQ(late->BZ_dyxs.rfind("　　　1", 0), 0u) << late->BZ_dyxs;
    EXPECT_EQ(test::DisplayWidth(test::Lines(late->BZ_dyxs)[0]), 6 + 8 * 8);
}

TEST(LuckRows, BirthBeforeLiChunCountsFromTheYearBefore) {
    // 1990-01-15: still the 己巳 year; a man runs backward from 小寒 (5 Jan),
    // about 3 years 3 months, so the luck takes over in 1993: 4 years counted
    // from 1989, where the Gregorian year would give 3.
    EngineRequest r;
    r.year = 1990, r.month = 1, r.day = 15;
    auto e = RunMain(r);
    EXPECT_EQ(e->bz_year, 1989);
    EXPECT_EQ(JiaoYunYear(*e), 1993);
    EXPECT_EQ(e->BZ_dyxs.rfind("　　　 4岁　　14岁", 0), 0u) << e->BZ_dyxs;
}

TEST(LuckRows, AnnualTableSwitchedOff) {
    EngineRequest r;
    r.lnp = 0;
    auto e = RunMain(r);
    EXPECT_EQ(e->BZ_dyln, "");
    for (const char* label : {"始于：", "流年：丙", "止于："})
        EXPECT_EQ(e->OutputStr.find(label), std::string::npos) << label;
    EXPECT_FALSE(e->BZ_dy.empty());
    EXPECT_FALSE(e->BZ_dyxs.empty());
}

TEST(ExtraPillars, ConceptionAndPalaceWithoutSoundOrStars) {
    EngineRequest r;
    r.nyp = 0;
    r.shenshap = 0;
    auto e = RunMain(r);
    // Month 丁丑: conception pillar 戊辰 (stem + 1, branch + 3).
    EXPECT_EQ(e->ty_str, "戊辰");
    EXPECT_EQ(e->BZ_ty, "胎元：戊辰\r\n胎元神煞：\r\n\r\n");
    EXPECT_EQ(e->BZ_mg, "命宫：" + e->mg_str + "\r\n命宫神煞：\r\n\r\n");
    r.nyp = 1;
    EXPECT_EQ(RunMain(r)->BZ_ty, "胎元：戊辰[大林木]　\r\n胎元神煞：\r\n\r\n");
}

TEST(ExtraPillars, StarsOnAndNoneFound) {
    auto e = FindChart(2000y / 1 / 1, 2001y / 12 / 31, 1, [](const Corvel_BZClass& c) {
        std::string list = c.GetmgtyShenSha(c.bz, c.ty_gz, c.sex2);
        return list.empty();
    });
    ASSERT_TRUE(e) << "no conception pillar without stars";
    EXPECT_NE(e->BZ_ty.find("\r\n胎元神煞：\r\n\r\n"), std::string::npos) << e->BZ_ty;

    auto withStars = RunMain(EngineRequest{});
    std::string list = withStars->GetmgtyShenSha(withStars->bz, withStars->mg_gz, 1);
    ASSERT_FALSE(list.empty());
    EXPECT_NE(withStars->BZ_mg.find("命宫神煞：" + withStars->c_mgtyshensha(list) + "\r\n\r\n"),
              std::string::npos);
}

TEST(MinorLuck, OneColumnWhenTheLuckTakesOverInTheChartYear) {
    auto e = FindChart(1995y / 3 / 1, 1999y / 12 / 31, 1,
                       [](const Corvel_BZClass& c) { return JiaoYunYear(c) == c.bz_year; });
    ASSERT_TRUE(e) << "no chart with N = 0";
    const auto rows = test::Lines(e->BZ_xy);
    ASSERT_EQ(rows.size(), 7u);
    EXPECT_EQ(rows[1], "小运：" + e->xy_str[0] + "　　");
    EXPECT_EQ(rows[4], "虚岁：0岁　　 ");
    EXPECT_EQ(rows[5], "");
}

TEST(MinorLuck, RunsFromTheHourPillarBothWays) {
    // 2000-01-07 00:30 has the hour pillar 甲子 (day 甲子, 子 hour). In the 己
    // (yin) year a woman runs forward, a man backward.
    EngineRequest r;
    r.hour = 0, r.minute = 30, r.sex = 0;
    auto fwd = RunMain(r);
    EXPECT_EQ(fwd->gz_str[3], "甲子");
    EXPECT_NE(fwd->BZ_xy.find("小运：乙丑　　丙寅　　丁卯　　"), std::string::npos) << fwd->BZ_xy;
    r.sex = 1;
    auto back = RunMain(r);
    EXPECT_NE(back->BZ_xy.find("小运：癸亥　　壬戌"), std::string::npos) << back->BZ_xy;

    // Some 甲子 day 60k days later with the 子 hour, backward and N >= 10.
    std::unique_ptr<Corvel_BZClass> far;
    for (int k = -300; k <= 300 && !far; ++k) {
        const CivilTime d = ToCivil(MakeDateTime(2000, 1, 7) + days{60 * k});
        if (d.year < 1891 || d.year > 2019) continue;
        for (int sex : {0, 1}) {
            EngineRequest q;
            q.year = d.year, q.month = d.month, q.day = d.day, q.hour = 0, q.minute = 30, q.sex = sex;
            auto e = RunMain(q);
            if (!e->isshun(e->bz, sex) && JiaoYunYear(*e) - e->bz_year >= 10) {
                far = std::move(e);
                break;
            }
        }
    }
    ASSERT_TRUE(far) << "no backward 甲子 hour with ten years of minor luck";
    EXPECT_EQ(far->gz_str[3], "甲子");
    EXPECT_EQ(far->xy_str[10], "癸丑");
    EXPECT_NE(far->BZ_xy.find("甲寅　　癸丑　　"), std::string::npos) << far->BZ_xy;
}

TEST(MinorLuck, AnnualPillarsAndAgesFrom1984) {
    auto e = FindChart(1984y / 3 / 1, 1984y / 12 / 31, 1, [](const Corvel_BZClass& c) {
        return c.bz_year == 1984 && JiaoYunYear(c) == 1987;
    });
    ASSERT_TRUE(e) << "no 1984 chart with N = 3";
    const auto rows = test::Lines(e->BZ_xy);
    ASSERT_EQ(rows.size(), 7u);
    EXPECT_EQ(rows[3], "流年：甲子　　乙丑　　丙寅　　丁卯　　");
    EXPECT_EQ(rows[4], "虚岁：0岁　　 1岁　　 2岁　　 3岁　　 ");
    // Stage rows: the day stem's stage at the minor-luck and at the annual branches.
    EXPECT_EQ(rows[0], "　　　" + e->GetSWB(e->xy_gz[0][1]) + "　　" + e->GetSWB(e->xy_gz[1][1]) +
                           "　　" + e->GetSWB(e->xy_gz[2][1]) + "　　" +
                           e->GetSWB(e->xy_gz[3][1]) + "　　");
    EXPECT_EQ(rows[2], "　　　" + e->GetSWB(0) + "　　" + e->GetSWB(1) + "　　" + e->GetSWB(2) +
                           "　　" + e->GetSWB(3) + "　　");
}

TEST(MinorLuck, OffLeavesTheFieldsAlone) {
    EngineRequest r;
    r.xyp = 0;
    Corvel_BZClass e;
    e.xy_str[0] = "旧";
    test::Apply(e, r);
    e.Main();
    EXPECT_EQ(e.BZ_xy, "");
    EXPECT_EQ(e.xy_str[0], "旧");
}

}  // namespace
}  // namespace paipan
