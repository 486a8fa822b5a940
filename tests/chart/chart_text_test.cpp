// Main: the order of the text, its sections (four-pillar block, luck rows and
// annual table, conception pillar, life palace, minor luck) and the column
// alignment of every row. Almanac anchors: 2000-01-07 is a 甲子 day and the
// first day of the twelfth lunar month of 己卯 (1999); 小寒 2000 fell on 6
// January and 立春 on 4 February.
#include <gtest/gtest.h>

#include <chrono>
#include <initializer_list>
#include <optional>
#include <random>
#include <regex>

#include "util/program_folder.h"
#include "calendar/store.h"
#include "engine/span.h"
#include "chart_test_support.h"

namespace paipan {
namespace {

using namespace std::chrono;
using test::EngineRequest;
using test::RunMain;
using C = Corvel_BZClass;
using Want = bool (*)(const C&);

int JiaoYunYear(const C& e) { return ToCivil(e.JiaoYunTime).year; }

// The first chart, stepping through the days of [from, to], that satisfies `want`.
std::unique_ptr<C> FindChart(year_month_day from, year_month_day to, EngineRequest r, Want want, int step = 1) {
    for (sys_days d{from}; d <= sys_days{to}; d += days{step}) {
        const year_month_day ymd{d};
        r.year = int(ymd.year()), r.month = int(unsigned(ymd.month())), r.day = int(unsigned(ymd.day()));
        if (auto e = RunMain(r); want(*e)) return e;
    }
    return nullptr;
}

// The lines of a text: an empty one before a leading CR LF, none after the last.
std::vector<std::string> Lines(const std::string& text) {
    const std::regex lineBreak("\r\n");
    return {std::sregex_token_iterator(text.begin(), text.end(), lineBreak, -1), {}};
}

TEST(MainFrame, EverySectionInOrderAfreshOnEachRun) {
    const auto e = RunMain({});
    const std::string first = e->OutputStr;
    e->Main();
    EXPECT_EQ(e->OutputStr, first);
    EXPECT_TRUE(first.ends_with(e->BZ_top_ss + e->BZ_qk + e->BZ_gzMain + e->BZ_dzcg + e->BZ_ny + e->BZ_cs + e->BZ_ssa +
                                e->BZ_dycs + e->BZ_dyny + e->BZ_dyss + e->BZ_dy + e->BZ_dyxs + e->BZ_dyln + e->BZ_ty +
                                e->BZ_mg + e->BZ_xy))
        << first;
}

// One section of a chart: the whole field, or a piece of it when `whole` is
// false. With `want` set the chart is the first of [from, to], stepping
// `step` days, that it accepts.
struct SectionCase {
    EngineRequest r;
    std::string C::*field;
    std::string text;
    bool whole = true;
    Want want = nullptr;
    year_month_day from{}, to{};
    int step = 1;
};

void ExpectSections(std::initializer_list<SectionCase> cases) {
    for (const auto& c : cases) {
        const auto e = c.want ? FindChart(c.from, c.to, c.r, c.want, c.step) : RunMain(c.r);
        ASSERT_TRUE(e) << "no chart like this: " << c.text;
        const std::string& field = e.get()->*c.field;
        EXPECT_TRUE(c.whole ? field == c.text : field.find(c.text) != std::string::npos)
            << field << "\nwhere we expect\n"
            << c.text;
    }
}

// The default chart, 2000-01-07 12:00: 己卯 丁丑 甲子 庚午, voids 戌亥. A man
// of the 己 (yin) year runs backward from 丁丑; the conception pillar is 戊辰
// (stem + 1, branch + 3).
TEST(Sections, PillarRowsInBothLayouts) {
    ExpectSections({
        {{.mode = 1}, &C::BZ_gzMain, " 己卯　　　 丁丑　　　 甲子　　　 庚午　　　 (戌亥空)\r\n"},
        {{.sex = 0, .mode = 2},
         &C::BZ_gzMain,
         " 己　　　　 丁　　　　 甲　　　　 庚　　　　 (戌亥空) \r\n"
         "　　　　　卯　　　　 丑　　　　 子　　　　 午　　　　 \r\n"},
    });
}

TEST(Sections, DeitiesOrAnnualPillarsOffLeaveTheOtherRowsWhole) {
    ExpectSections({
        {{.ssp = 0}, &C::OutputStr, "时交运\r\n\r\n\r\n乾造：　  己", false},
        {{.lnp = 0}, &C::BZ_dyln, ""},
        {{.lnp = 0}, &C::BZ_dy, "大运：丙子　　乙亥　　甲戌　　癸酉　　壬申　　辛未　　庚午　　己巳　　\r\n"},
    });
}

TEST(Sections, ConceptionAndPalaceKeepTheirStarLinesWithNoStars) {
    ExpectSections({
        {{.nyp = 0, .shenshap = 0}, &C::BZ_ty, "胎元：戊辰\r\n胎元神煞：\r\n\r\n"},
        {{.nyp = 0, .shenshap = 0}, &C::BZ_mg, "\r\n命宫神煞：\r\n\r\n", false},
        {{.shenshap = 0}, &C::BZ_ty, "胎元：戊辰[大林木]　\r\n胎元神煞：\r\n\r\n"},
        // Stars on, but none for the conception pillar.
        // clang-format off
        {{}, &C::BZ_ty, "\r\n胎元神煞：\r\n\r\n", false,
         [](const C& c) { return c.GetmgtyShenSha(c.bz, c.ty_gz, c.sex2).empty(); }, 2000y / 1 / 1, 2001y / 12 / 31},
        // clang-format on
    });
}

TEST(LuckRows, StartThreeDaysToTheTermAYear) {
    // A girl born 10½ days after 立春 1990 (庚午, a yang year: her luck runs
    // backward to that term) starts her luck after 10.5 / 3 = 3.5 years.
    const CalendarRow row = ReadCalendarRow(ProgramFolder() / kCalendarFileName, 1990, 2);
    const CivilTime girl = ToCivil(MakeDateTime(1990, 2, row.JieqiDay, row.JieqiHour, row.JieqiMinute) + hours{252});
    ExpectSections({
        {{.year = girl.year, .month = girl.month, .day = girl.day, .hour = girl.hour, .minute = girl.minute, .sex = 0},
         &C::OutputStr,
         "起运：命主于出生后3年6个月0天0小时开始起运\r\n交运：命主于公历1993年8月",
         false},
        // 1990-01-15 is still the 己巳 year; a man runs backward to 小寒 (5 Jan),
        // about 3¼ years: the luck takes over in 1993, at 4 counted from 1989.
        {{.year = 1990, .month = 1, .day = 15}, &C::BZ_dyxs, "　　　 4岁　　14岁", false},
    });
}

TEST(LuckRows, SoundsAgesYearsAndAnnualPillars) {
    const Want takesOverIn1990 = [](const C& c) { return JiaoYunYear(c) == 1990; };
    ExpectSections({
        {{}, &C::BZ_dyny, "纳音[涧下水][山头火][山头火][剑锋金][剑锋金][路旁土][路旁土][大林木]\r\n"},
        // Searched for: a 1984 chart whose luck takes over in 1990.
        // clang-format off
        {{}, &C::OutputStr, "\r\n　　　 6岁　　16岁　　26岁　　36岁　　46岁　　56岁　　66岁　　76岁　　\r\n"
                            "始于：1990　　2000　　2010　　2020　　2030　　2040　　2050　　2060　　\r\n"
                            "流年：庚午　　庚辰　　庚寅　　庚子　　庚戌　　庚申　　庚午　　庚辰　　\r\n", false,
         takesOverIn1990, 1984y / 3 / 1, 1984y / 12 / 31},
        {{}, &C::BZ_dyln, "　　　己卯　　己丑　　己亥　　己酉　　己未　　己巳　　己卯　　己丑　　\r\n"
                          "止于：1999　　2009　　2019　　2029　　2039　　2049　　2059　　2069　　\r\n\r\n", false,
         takesOverIn1990, 1984y / 3 / 1, 1984y / 12 / 31},
        // clang-format on
        // A luck start of ten years or more: a two-digit first age, no space.
        // clang-format off
        {{}, &C::BZ_dyxs, "　　　1", false, [](const C& c) { return c.QiYunAge >= 10; }, 2000y / 1 / 1, 2003y / 12 / 31},
        // clang-format on
    });
}

// One column a year from birth until the luck takes over, stepping from the
// hour pillar.
TEST(MinorLuck, StepsFromTheHourPillarOneColumnAYearBeforeTheLuck) {
    ExpectSections({
        // At 00:30 the hour pillar is 甲子: a woman's minor luck runs forward.
        {{.hour = 0, .minute = 30, .sex = 0}, &C::BZ_xy, "\r\n小运：乙丑　　丙寅　　丁卯　　", false},
        // N = 0 (one column), and from 1984 with N = 3.
        // clang-format off
        {{}, &C::BZ_xy, "\r\n虚岁：0岁　　 \r\n\r\n", false,
         [](const C& c) { return JiaoYunYear(c) == c.bz_year; }, 1995y / 3 / 1, 1999y / 12 / 31},
        {{}, &C::BZ_xy, "流年：甲子　　乙丑　　丙寅　　丁卯　　\r\n虚岁：0岁　　 1岁　　 2岁　　 3岁　　 \r\n\r\n", false,
         [](const C& c) { return JiaoYunYear(c) == 1987; }, 1984y / 3 / 1, 1984y / 12 / 31},
        // clang-format on
        // A 甲子 day (60 days apart) at the 子 hour, backward with N >= 10: the
        // minor luck keeps cycling back to 癸丑 in the eleventh column.
        {{.hour = 0, .minute = 30},
         &C::BZ_xy,
         "\r\n小运：癸亥　　壬戌　　辛酉　　庚申　　己未　　戊午　　丁巳　　丙辰　　乙卯　　甲寅　　癸丑　　",
         false,
         [](const C& c) { return !c.isshun(c.bz, c.sex2) && JiaoYunYear(c) - c.bz_year >= 10; },
         1950y / 9 / 26,
         2019y / 12 / 31,
         60},
    });
}

TEST(Sections, SwitchOnlyWhenExactlyOne) {
    auto e = std::make_unique<C>();
    e->xy_str[0] = "旧";
    // clang-format off
    RunMain(*e, {.dyp = 2, .lnp = 2, .cgp = 2, .ssp = 2, .nyp = 2, .shenshap = 2, .csp = 2, .mgp = 2, .qyp = 2,
                 .xyp = 2, .jyssp = 2});
    // clang-format on
    EXPECT_EQ(e->xy_str[0], "旧");  // no minor luck worked out either
    EXPECT_EQ(e->BZ_top_ss + e->BZ_dzcg + e->BZ_ny + e->BZ_cs + e->BZ_ssa + e->BZ_dycs + e->BZ_dyny + e->BZ_dyss +
                  e->BZ_dy + e->BZ_dyxs + e->BZ_dyln + e->BZ_ty + e->BZ_mg + e->BZ_xy,
              "");
    // No 起运 lines either: the pillar rows follow the solar-term line.
    EXPECT_TRUE(e->OutputStr.ends_with("分\r\n\r\n" + e->BZ_qk + e->BZ_gzMain)) << e->OutputStr;
}

// ---- Column alignment -----------------------------------------------------

// A line cut at `first` display units (ASCII 1, any other character 2) and
// every `width` units after it; nothing when a cut falls inside a character.
std::optional<std::vector<std::string>> Cut(const std::string& line, int first, int width) {
    std::vector<std::string> pieces(1);
    int unit = 0, next = first;
    for (std::size_t i = 0, n = 1; i < line.size(); i += n, n = 1) {
        while (i + n < line.size() && (static_cast<unsigned char>(line[i + n]) & 0xC0) == 0x80) ++n;
        pieces.back() += line.substr(i, n);
        unit += n == 1 ? 1 : 2;
        if (unit > next) return std::nullopt;
        if (unit == next) pieces.emplace_back(), next += width;
    }
    return pieces;
}

// `count` cells of `width` units after `first` units, then `tail`. A cell
// starts with a character, not a blank (all-blank cells pass where allowed),
// or matches `cell` when given.
struct Grid {
    int first, width, count;
    bool blankCells = false;
    const char* cell = nullptr;
};

void ExpectCells(const std::string& line, const Grid& g, const std::string& tail = "") {
    const auto pieces = Cut(line, g.first, g.width);
    ASSERT_TRUE(pieces && pieces->size() == g.count + 2u) << line;
    EXPECT_EQ(pieces->back(), tail) << line;
    for (int k = 1; k <= g.count; ++k) {
        const std::string& c = (*pieces)[k];
        const bool ok = g.cell ? std::regex_match(c, std::regex(g.cell))
                               : (g.blankCells && std::regex_match(c, std::regex("( |　)+"))) ||
                                     !(c[0] == ' ' || c.starts_with("　"));
        EXPECT_TRUE(ok) << "[" << c << "]\n" << line;
    }
}

void ExpectAligned(const C& e) {
    const std::pair<std::string C::*, Grid> grids[] = {
        // clang-format off
        {&C::BZ_top_ss, {10, 11, 4}}, {&C::BZ_dzcg, {10, 11, 4, true}}, {&C::BZ_ny, {9, 11, 4}},
        {&C::BZ_cs, {11, 11, 4}},     {&C::BZ_ssa, {10, 11, 4, true}},  {&C::BZ_dycs, {6, 8, 8}},
        {&C::BZ_dyss, {6, 8, 8}},     {&C::BZ_dy, {6, 8, 8}},           {&C::BZ_dyln, {6, 8, 8}},
        // clang-format on
        {&C::BZ_dyny, {4, 8, 8, false, "\\[.+\\]"}},
        {&C::BZ_dyxs, {6, 8, 8, false, "( \\d|\\d\\d)岁　　"}},  // a one-digit age has a space in front
    };
    for (const auto& [field, grid] : grids)
        for (const auto& line : Lines(e.*field))
            if (!line.empty() && line != "神煞： ") ExpectCells(line, grid);
    const auto rows = Lines(e.BZ_qk + e.BZ_gzMain);  // "", the pillars[, their branches]
    ASSERT_EQ(rows.size(), e.mode2 == 1 ? 2u : 3u);
    ExpectCells(rows[1], {10, 11, 4}, "(" + e.kwstr + (e.mode2 == 1 ? "空)" : "空) "));
    if (e.mode2 != 1) ExpectCells(rows[2], {10, 11, 4});
}

TEST(Alignment, RandomChartsInBothLayouts) {
    std::mt19937 random(20240601);
    auto pick = [&](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(random); };
    for (int n = 0; n < 300 && !HasFatalFailure(); ++n) {
        EngineRequest r{.year = pick(kFirstYear, kLastYear), .month = pick(1, 12)};
        r.day = pick(1, r.month == 2 ? 28 : 30), r.hour = pick(0, 23), r.minute = pick(0, 59);
        r.sex = pick(0, 1), r.mode = pick(0, 1);
        SCOPED_TRACE(std::to_string(r.year) + "-" + std::to_string(r.month) + "-" + std::to_string(r.day) + " " +
                     std::to_string(r.hour) + ":" + std::to_string(r.minute));
        ExpectAligned(*RunMain(r));
    }
}

TEST(LuckRows, FirstAgeOfTenAfterAStartUnderTenYearsHasNoSpace) {
    // Deliberately by the age itself, not by the whole years of the start: a
    // start of 8 or 9 years can give a first age of 10 (the luck takes over
    // two calendar years on), where a space would widen the column.
    const auto e = FindChart(1963y / 1 / 1, 1966y / 12 / 31, {},
                             [](const C& c) { return c.QiYunAge < 10 && JiaoYunYear(c) - c.bz_year >= 10; });
    ASSERT_TRUE(e) << "no first age of 10 after a start under ten years";
    EXPECT_TRUE(e->BZ_dyxs.starts_with("　　　1")) << e->BZ_dyxs;
    ExpectAligned(*e);
}

}  // namespace
}  // namespace paipan
