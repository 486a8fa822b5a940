// 八字反查 on the real calendar data: what it lists charts to the pillars
// searched (checked by charting), every chart is found again, the reference
// charts of tests/fixtures/eightchar.csv are found, and each refusal reads
// as it should.
#include <gtest/gtest.h>

#include <fstream>
#include <random>
#include <sstream>

#include "util/program_folder.h"
#include "calendar/pillar_search.h"
#include "chart/chart_request.h"
#include "chart/pillar_clock.h"
#include "chart/corvel_bzclass.h"

namespace paipan {
namespace {

using Minutes = std::chrono::sys_time<std::chrono::minutes>;

const PillarSearch& Search() {
    static const PillarSearch search(ProgramFolder() / kCalendarFileName);
    return search;
}

// The years the calendar data beside the tests covers: the whole span, or
// 1890-2020 while the data still holds only 1888-2022.
std::pair<int, int> Years() {
    PillarQuery probe{ParsePillars("甲子 丙寅 ? ?").pillars};
    if (Search().Find(probe).outcome != PillarSearchResult::Outcome::NoData) return {kFirstYear, kLastYear};
    return {1890, 2020};
}

PillarSearchResult Find(const std::string& text, bool nightZi = false) {
    const ParsedPillars parsed = ParsePillars(text);
    EXPECT_EQ(parsed.error, "") << text;
    const auto [from, to] = Years();
    return Search().Find({parsed.pillars, nightZi, from, to});
}

Minutes ToMinutes(const CivilTime& t) {
    return std::chrono::floor<std::chrono::minutes>(MakeDateTime(t.year, t.month, t.day, t.hour, t.minute));
}
CivilTime ToCivilMinute(Minutes t) { return ToCivil(std::chrono::time_point_cast<std::chrono::seconds>(t)); }

// The four pillars the engine charts for a corrected minute.
Pillars ChartAt(const CivilTime& t, bool nightZi) {
    Corvel_BZClass e;
    e.dataFolder = ProgramFolder();
    e.SetRequest(EngineRequest{
        .year = t.year, .month = t.month, .day = t.day, .hour = t.hour, .minute = t.minute, .zsp = nightZi});
    e.getNL();
    e.CalJQ();
    e.GetEightWordInfo();
    return e.bz;
}

bool Matches(const PillarPattern& pattern, const Pillars& p) {
    for (std::size_t k = 0; k < 4; ++k)
        if (pattern[k] && *pattern[k] != p[k]) return false;
    return true;
}

// The pillars and corrected time a 排盘 press gives a clock reading.
struct Pressed {
    Pillars pillars{};
    CivilTime corrected{};
};
std::optional<Pressed> Press(const CivilTime& clock, const std::string& degrees, const std::string& minutes,
                             bool nightZi) {
    ChartInput in = DefaultChartInput(clock.year, clock.month, clock.day, clock.hour, clock.minute);
    in.longitude = degrees, in.longitudeMinutes = minutes, in.nightZi = nightZi;
    std::optional<Pressed> out;
    RunChartRequest(
        in, ProgramFolder(),
        [&](const Corvel_BZClass& e, const ChartResult&) {
            out = Pressed{e.bz, {e.nian, e.yue, e.ri, e.shi, e.fen, 0}};
        },
        Colouring::None);
    return out;
}

std::string Text(const CivilTime& t) { return MinuteText(t); }

TEST(PillarSearchInput, ForgivingTextAndWhatIsRefused) {
    const GanZhi jiaZi{0, 0}, bingYin{2, 2}, wuChen{4, 4}, gengShen{6, 8};
    const std::pair<const char*, PillarPattern> accepted[] = {
        {"甲子 丙寅 戊辰 庚申", {jiaZi, bingYin, wuChen, gengShen}},
        {"甲子丙寅戊辰庚申", {jiaZi, bingYin, wuChen, gengShen}},
        {"  甲子　丙寅\t戊辰　　庚申 ", {jiaZi, bingYin, wuChen, gengShen}},
        {"? 丙寅 * 庚申", {std::nullopt, bingYin, std::nullopt, gengShen}},
        {"？丙寅不限庚申", {std::nullopt, bingYin, std::nullopt, gengShen}},
    };
    for (const auto& [text, pillars] : accepted) {
        const ParsedPillars p = ParsePillars(text);
        EXPECT_EQ(p.error, "") << text;
        EXPECT_EQ(p.pillars, pillars) << text;
    }
    const std::pair<const char*, const char*> refused[] = {
        {"甲丑 丙寅 戊辰 庚申", "甲丑不是干支：天干与地支须同为阳或同为阴"},
        {"子酉 丙寅 戊辰 庚申", "看不懂“子酉”：每柱写一个干支（如甲子），不限的柱写“?”、“？”、“*”或“不限”"},
        {"甲子 丙寅 戊辰 庚x", "看不懂“庚x”：每柱写一个干支（如甲子），不限的柱写“?”、“？”、“*”或“不限”"},
        {"甲子年丙寅月戊辰日庚申时",
         "看不懂“年丙寅月戊辰…”：每柱写一个干支（如甲子），不限的柱写“?”、“？”、“*”或“不限”"},
        {"甲子 丙寅 戊辰", "八字须写四柱（年柱、月柱、日柱、时柱），这里只有3柱；不限的柱写“?”或“不限”"},
        {"甲子 丙寅 戊辰 庚申 辛酉", "八字只有四柱，多出了“辛酉”"},
        {"", "八字须写四柱（年柱、月柱、日柱、时柱），这里只有0柱；不限的柱写“?”或“不限”"},
        {"\xff", "八字的文字不是有效的UTF-8编码"},
    };
    for (const auto& [text, message] : refused) EXPECT_EQ(ParsePillars(text).error, message) << text;
}

TEST(PillarSearchInput, PickerListsFollowTheFiveTigersAndFiveRats) {
    // 甲己之年丙作首 (寅 month), 甲己还加甲 (子 hour): the traditional rhymes.
    const auto months = MonthPillarsOf(5);  // 己
    ASSERT_EQ(months.size(), 12u);
    EXPECT_EQ(PillarText(months.front()), "丙寅");
    EXPECT_EQ(PillarText(months[9]), "乙亥");
    EXPECT_EQ(PillarText(months.back()), "丁丑");
    EXPECT_EQ(PillarText(MonthPillarsOf(1).front()), "戊寅");  // 乙庚之岁戊为头
    const auto hours = HourPillarsOf(0, false), late = HourPillarsOf(0, true);
    ASSERT_EQ(hours.size(), 12u);
    ASSERT_EQ(late.size(), 13u);
    EXPECT_EQ(PillarText(hours.front()), "甲子");
    EXPECT_EQ(PillarText(hours.back()), "乙亥");
    EXPECT_EQ(PillarText(late.back()), "丙子");                      // the next day (乙) starts at 丙子
    EXPECT_EQ(PillarText(HourPillarsOf(9, false).front()), "壬子");  // 戊癸何方发，壬子是真途
}

TEST(PillarSearchRefusals, EachReasonOnce) {
    using Outcome = PillarSearchResult::Outcome;
    auto query = [](const char* text, bool nightZi, int from, int to) {
        return Search().Find({ParsePillars(text).pillars, nightZi, from, to});
    };
    const std::tuple<const char*, bool, int, int, Outcome, const char*> cases[] = {
        {"甲子 戊寅 ? ?", false, 1990, 1990, Outcome::Refused, "甲年、己年的月柱从丙寅起，甲年没有戊寅月"},
        {"? ? 甲子 丙子", false, 1990, 1990, Outcome::Refused, "甲日、己日的时柱从甲子起，甲日没有丙子时"},
        {"? ? 己卯 戊子", true, 1990, 1990, Outcome::Refused,
         "甲日、己日的时柱从甲子起，夜子时（23点起）用次日的丙子，己日没有戊子时"},
        {"? ? 甲子 ?", false, 1990, 1990, Outcome::Refused, "至少要给出两柱，其余的柱可写“?”或“不限”"},
        {"甲子 丙寅 ? ?", false, 1700, 1990, Outcome::Refused,
         "查找的年份须在1800年至2100年之间，起始年份不能晚于结束年份"},
        {"甲子 丙寅 ? ?", false, 1991, 1990, Outcome::Refused,
         "查找的年份须在1800年至2100年之间，起始年份不能晚于结束年份"},
        // 1990 is a 己巳 year until 立春 and a 庚午 year after it (any almanac).
        {"甲子 丙寅 ? ?", false, 1990, 1990, Outcome::NotFound, "在1990年没有甲子年丙寅月的时刻（按真太阳时）"},
        // The 戊寅 month of 1990 runs from 立春 (4 February, a 庚子 day) for 30
        // days, 1991 is a 辛未 year: no 乙酉 day (the 46th from 庚子) in it.
        {"庚午 戊寅 乙酉 ?", false, 1990, 1991, Outcome::NotFound,
         "在1990年至1991年之间没有庚午年戊寅月乙酉日的时刻（按真太阳时）"},
    };
    for (const auto& [text, nightZi, from, to, outcome, reason] : cases) {
        const auto r = query(text, nightZi, from, to);
        EXPECT_EQ(r.outcome, outcome) << text;
        EXPECT_EQ(r.reason, reason) << text;
        EXPECT_TRUE(r.intervals.empty()) << text;
    }
}

// Under the night-zi rule the late 子 hour carries the next day's stem: the
// clock reading 2000-01-06 00:00 at 120° (true solar 2000-01-05 23:55) charts
// 己卯 丙子 壬戌 壬子, which only the night-zi search accepts.
TEST(PillarSearchNightZi, LateZiHourTakesTheNextDaysStem) {
    const auto pressed = Press({2000, 1, 6, 0, 0, 0}, "120", "0", true);
    ASSERT_TRUE(pressed);
    const PillarPattern expected = ParsePillars("己卯 丙子 壬戌 壬子").pillars;
    ASSERT_TRUE(Matches(expected, pressed->pillars));
    auto in2000 = [](const char* text, bool nightZi) {
        return Search().Find({ParsePillars(text).pillars, nightZi, 2000, 2000});
    };
    const auto found = in2000("己卯 丙子 壬戌 壬子", true);
    ASSERT_EQ(found.intervals.size(), 1u);
    EXPECT_EQ(Text(found.intervals[0].start), "2000-01-05 23:00");
    EXPECT_EQ(Text(found.intervals[0].end), "2000-01-05 23:59");
    EXPECT_EQ(in2000("己卯 丙子 壬戌 壬子", false).outcome, PillarSearchResult::Outcome::Refused);
    // Without the rule, 23:00-00:59 is one stretch: all four pillars hold across midnight.
    const auto off = in2000("己卯 丙子 癸亥 壬子", false);
    ASSERT_EQ(off.intervals.size(), 1u);
    EXPECT_EQ(Text(off.intervals[0].start), "2000-01-05 23:00");
    EXPECT_EQ(Text(off.intervals[0].end), "2000-01-06 00:59");
}

// 立春 1990 fell on 4 February at 10:14, in the 巳 hour of a 庚子 day: the
// year and month turn at that minute, inside the hour; the whole month and
// the 子 hour at a Gregorian month's end come out whole.
TEST(PillarSearchBoundaries, JieMinuteHourEdgesAndMonthEnds) {
    const std::pair<const char*, std::vector<std::string>> cases[] = {
        {"己巳 丁丑 庚子 辛巳", {"1990-02-04 09:00–1990-02-04 10:13"}},
        {"庚午 戊寅 庚子 辛巳", {"1990-02-04 10:14–1990-02-04 10:59"}},
        {"庚午 戊寅 庚子 ?", {"1990-02-04 10:14–1990-02-04 22:59"}},
        {"庚午 戊寅 ? ?", {"1990-02-04 10:14–1990-03-06 04:18"}},
        // 1990-01-31 is a 丙申 day: its 子 hour begins at 23:00 of the 30th.
        {"己巳 丁丑 丙申 戊子", {"1990-01-30 23:00–1990-01-31 00:59"}},
    };
    for (const auto& [text, expected] : cases) {
        const ParsedPillars parsed = ParsePillars(text);
        const auto found = Search().Find({parsed.pillars, false, 1990, 1990});
        std::vector<std::string> texts;
        for (const auto& i : found.intervals) texts.push_back(Text(i.start) + "–" + Text(i.end));
        EXPECT_EQ(texts, expected) << text;
    }
}

std::vector<std::vector<std::string>> Fixture(const std::string& name) {
    std::ifstream in(std::filesystem::path(PAIPAN_FIXTURES_DIR) / name);
    std::vector<std::vector<std::string>> rows;
    std::string line;
    for (std::getline(in, line); std::getline(in, line);) {
        std::istringstream cells(line);
        auto& row = rows.emplace_back();
        for (std::string cell; std::getline(cells, cell, ',');) row.push_back(cell);
    }
    return rows;
}

bool Contains(const std::vector<PillarInterval>& found, const CivilTime& t) {
    const Minutes m = ToMinutes(t);
    return std::any_of(found.begin(), found.end(),
                       [&](const PillarInterval& i) { return ToMinutes(i.start) <= m && m <= ToMinutes(i.end); });
}

// The reference charts (an independent library's pillars of true solar
// times, tests/fixtures/eightchar.csv) are found again from their pillars.
TEST(PillarSearchFacts, ReferenceChartsAreFound) {
    const auto rows = Fixture("eightchar.csv");
    ASSERT_GT(rows.size(), 300u);
    const auto [from, to] = Years();
    int checked = 0;
    for (const auto& r : rows) {
        const CivilTime t{std::stoi(r[0]), std::stoi(r[1]), std::stoi(r[2]), std::stoi(r[3]), std::stoi(r[4]), 0};
        if (r[18] == "1" || t.year < from || t.year > to) continue;  // a jie term's own minute
        const std::string pillars = r[6] + " " + r[7] + " " + r[8] + " " + r[9];
        EXPECT_TRUE(Contains(Find(pillars).intervals, t)) << pillars << " at " << Text(t);
        ++checked;
    }
    EXPECT_GT(checked, 300);
    // 1949-10-01 15:00 (Beijing clock, 116°24′): 己丑 癸酉 甲子 壬申, the 申
    // hour of true solar time, whole.
    // Sixty years on, 2009-09-16 is again a 甲子 day in the 癸酉 month.
    const auto found = Find("己丑 癸酉 甲子 壬申");
    std::vector<std::string> texts;
    for (const auto& i : found.intervals) texts.push_back(Text(i.start) + "–" + Text(i.end));
    EXPECT_EQ(texts,
              (std::vector<std::string>{"1949-10-01 15:00–1949-10-01 16:59", "2009-09-16 15:00–2009-09-16 16:59"}));
}

// Random clock readings of the years covered, anywhere in China's longitudes,
// both night-zi rules: the search for the pillars the press gave lists the
// corrected moment.
TEST(PillarSearchProperty, EveryChartIsFoundAgain) {
    const auto [from, to] = Years();
    std::mt19937 random(20261207);
    auto pick = [&](int low, int high) { return std::uniform_int_distribution<int>(low, high)(random); };
    for (int i = 0; i < 300; ++i) {
        const CivilTime clock{pick(from, to), pick(1, 12), pick(1, 28), pick(0, 23), pick(0, 59), 0};
        const bool nightZi = i % 2 == 1;
        const auto pressed = Press(clock, std::to_string(pick(73, 134)), std::to_string(pick(0, 59)), nightZi);
        ASSERT_TRUE(pressed) << Text(clock);
        if (pressed->corrected.year < from || pressed->corrected.year > to) continue;
        std::string pillars;
        for (const GanZhi& p : pressed->pillars) pillars += PillarText(p) + " ";
        const auto found = Find(pillars, nightZi);
        EXPECT_TRUE(Contains(found.intervals, pressed->corrected))
            << pillars << (nightZi ? "night zi " : "") << "at " << Text(pressed->corrected);
    }
}

struct Place {
    std::string degrees, minutes;
};

// The suggested clock reading, pressed, gives the pattern; it lands at least
// a minute inside (two when the correction skips a minute there), and it is
// the first such clock minute: a minute earlier is not.
void CheckClock(const PillarPattern& pattern, const PillarInterval& stretch, bool nightZi, const Place& at,
                const std::string& where) {
    const auto clock = SuggestClockTime(stretch, ChinaClockCorrection(at.degrees, at.minutes, ProgramFolder()));
    ASSERT_TRUE(clock) << "no clock reading for " << where;
    const auto pressed = Press(*clock, at.degrees, at.minutes, nightZi);
    ASSERT_TRUE(pressed) << where;
    EXPECT_TRUE(Matches(pattern, pressed->pillars)) << where << " clock " << Text(*clock);
    const Minutes start = ToMinutes(stretch.start);
    if (ToMinutes(stretch.end) == start) return;
    const auto lands = ToMinutes(pressed->corrected) - start;
    EXPECT_TRUE(lands == std::chrono::minutes{1} || lands == std::chrono::minutes{2}) << where;
    const auto earlier = Press(ToCivilMinute(ToMinutes(*clock) - std::chrono::minutes{1}), at.degrees, at.minutes,
                               nightZi);
    ASSERT_TRUE(earlier) << where;
    EXPECT_LE(ToMinutes(earlier->corrected), start) << where;
}

// Every stretch listed (at most `most`, spread evenly) charts to the pattern
// at both ends, a minute beyond either end does not (except at the edge of
// the years searched), and its clock reading passes CheckClock.
void CheckStretches(const std::string& text, bool nightZi, const Place& at, std::size_t most) {
    const PillarPattern pattern = ParsePillars(text).pillars;
    const auto found = Find(text, nightZi);
    ASSERT_FALSE(found.intervals.empty()) << text;
    const auto [from, to] = Years();
    const Minutes first = ToMinutes({from, 1, 1, 0, 0, 0}), last = ToMinutes({to, 12, 31, 23, 59, 0});
    const std::size_t stride = std::max<std::size_t>(1, found.intervals.size() / most);
    for (std::size_t i = 0; i < found.intervals.size(); i += stride) {
        const auto& [start, end] = found.intervals[i];
        const std::string where = text + " " + Text(start) + "–" + Text(end);
        EXPECT_TRUE(Matches(pattern, ChartAt(start, nightZi))) << where;
        EXPECT_TRUE(Matches(pattern, ChartAt(end, nightZi))) << where;
        const Minutes before = ToMinutes(start) - std::chrono::minutes{1};
        const Minutes after = ToMinutes(end) + std::chrono::minutes{1};
        if (before >= first) {
            EXPECT_FALSE(Matches(pattern, ChartAt(ToCivilMinute(before), nightZi))) << where;
        }
        if (after <= last) {
            EXPECT_FALSE(Matches(pattern, ChartAt(ToCivilMinute(after), nightZi))) << where;
        }
        CheckClock(pattern, found.intervals[i], nightZi, at, where);
    }
}

TEST(PillarSearchProperty, StretchesChartToThePillarsAndNoFurther) {
    CheckStretches("庚午 辛巳 庚辰 癸未", false, {"120", "0"}, 20);
    CheckStretches("? 丙子 甲子 甲子", false, {"116", "28"}, 20);
    CheckStretches("? 丙子 甲子 甲子", true, {"87", "36"}, 20);  // 乌鲁木齐
    CheckStretches("? ? 癸亥 壬子", true, {"126", "38"}, 40);
    CheckStretches("? ? 甲子 甲子", false, {"121", "30"}, 40);
    CheckStretches("甲子 丙寅 ? ?", false, {"120", "0"}, 10);
    CheckStretches("? 丁丑 ? 丙子", true, {"120", "0"}, 40);
}

}  // namespace
}  // namespace paipan
