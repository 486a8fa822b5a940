// 时辰不详: the hour candidates of a clock day. The expected values come from
// the almanac rules (五鼠遁, the 立春 of 1990), hand-counted day pillars, and
// above all from the normal chart itself at clock minutes inside each row.
#include <gtest/gtest.h>

#include <random>
#include <string>

#include "util/program_folder.h"
#include "calendar/store.h"
#include "chart/unknown_hour.h"
#include "chart/corvel_bzclass.h"
#include "engine/span.h"

namespace paipan {
namespace {

using std::chrono::minutes;

const Corvel_BZClass& Names() {
    static const Corvel_BZClass e;
    return e;
}

std::string Text(GanZhi gz) { return Names().GetG(gz[0]) + Names().GetZ(gz[1]); }

// The data files, each row read once for the whole suite.
DataSource Data() {
    static DataRowCache rows;
    return DataSource(ProgramFolder(), &rows);
}

ChartInput Day(int y, int m, int d, std::string degrees = "120", std::string minutesText = "0") {
    ChartInput in = DefaultChartInput(y, m, d, 0, 0);
    in.longitude = std::move(degrees);
    in.longitudeMinutes = std::move(minutesText);
    in.unknownHour = true;
    return in;
}

UnknownHourChart Candidates(const ChartInput& in) {
    auto outcome = RunUnknownHourRequest(in, Data());
    EXPECT_TRUE(std::holds_alternative<UnknownHourChart>(outcome));
    return std::get<UnknownHourChart>(std::move(outcome));
}

// The pillars the normal chart gives at clock minute `m` of the input's day.
Pillars ChartPillarsAt(ChartInput in, int m, DateTime* trueSolar = nullptr) {
    in.unknownHour = false;
    in.hour = std::to_string(m / 60);
    in.minute = std::to_string(m % 60);
    Pillars p{};
    RunChartRequest(
        in, Data(),
        [&](const Corvel_BZClass& e, const ChartResult&) {
            p = e.bz;
            if (trueSolar) *trueSolar = e.InputTime;
        },
        Colouring::None);
    return p;
}

int MinuteOfDay(DateTime t) {
    const CivilTime c = ToCivil(t);
    return c.hour * 60 + c.minute;
}

// 五鼠遁 (the hour stems from the day stem): 甲己还加甲，乙庚丙作初，丙辛从戊起，
// 丁壬庚子居，戊癸何方发，壬子是真途. 1949-10-01 is a 甲子 day, so the five days
// from it carry the day stems 甲 乙 丙 丁 戊, one of each group.
TEST(UnknownHour, HourPillarsFollowTheFiveRatsRule) {
    const struct {
        int day;
        const char* ziHour;  // the 子 hour of that day stem
    } cases[] = {{1, "甲子"}, {2, "丙子"}, {3, "戊子"}, {4, "庚子"}, {5, "壬子"}};
    static const char* kStems[] = {"甲", "乙", "丙", "丁", "戊", "己", "庚", "辛", "壬", "癸"};
    for (const auto& c : cases) {
        const UnknownHourChart chart = Candidates(Day(1949, 10, c.day));
        const std::string zi = c.ziHour;
        int ziStem = 0;
        while (zi.rfind(kStems[ziStem], 0) != 0) ++ziStem;
        // The rows of the day's own pillar: 子 (early) … 亥, one stem on per 时辰.
        int seen = 0;
        for (const HourCandidate& row : chart.candidates) {
            if (row.pillars[2] != chart.blockCharts[0].bz[2]) continue;
            const int branch = row.pillars[3][1];
            EXPECT_EQ(Text(row.pillars[3]).substr(0, 3), kStems[(ziStem + branch) % 10]) << c.ziHour << " " << branch;
            ++seen;
        }
        EXPECT_EQ(seen, 12) << c.ziHour;
    }
}

// 立春 1990: 4 February 10:14 (the calendar's term minute, as in the almanac).
// At 120°0′ the 巳 hour (09:00-10:59 true solar) is cut at the term.
TEST(UnknownHour, JieDayShowsBothSidesOfTheTerm) {
    const UnknownHourChart chart = Candidates(Day(1990, 2, 4));
    ASSERT_EQ(chart.candidates.size(), 14u);  // 子 early … 亥, 子 late, and 巳 twice
    ASSERT_GE(chart.splits.size(), 2u);
    const PillarSplit& year = chart.splits[0];
    const PillarSplit& month = chart.splits[1];
    EXPECT_EQ(ToCivil(year.at).hour * 60 + ToCivil(year.at).minute, 10 * 60 + 14);
    EXPECT_EQ(year.pillar, 0);
    EXPECT_EQ(Text(year.before) + Text(year.after), "己巳庚午");
    EXPECT_EQ(month.pillar, 1);
    EXPECT_EQ(Text(month.before) + Text(month.after), "丁丑戊寅");
    EXPECT_EQ(month.at, year.at);

    const HourCandidate& before = chart.candidates[static_cast<std::size_t>(year.firstRowAfter - 1)];
    const HourCandidate& after = chart.candidates[static_cast<std::size_t>(year.firstRowAfter)];
    EXPECT_EQ(Text(before.pillars[3]), "辛巳");
    EXPECT_EQ(Text(after.pillars[3]), "辛巳");
    EXPECT_EQ(Text(before.pillars[1]), "丁丑");
    EXPECT_EQ(Text(after.pillars[1]), "戊寅");
    EXPECT_EQ(after.start, year.at);
    EXPECT_EQ(before.end + minutes(1), after.start);

    ASSERT_EQ(chart.luck.size(), 2u);  // 己 year, male: backward; 庚 year: forward
    EXPECT_FALSE(chart.luck[0].forward);
    EXPECT_TRUE(chart.luck[1].forward);
    EXPECT_EQ(chart.luck[0].rows.back() + 1, chart.luck[1].rows.front());
    ASSERT_EQ(chart.blockCharts.size(), 2u);
    EXPECT_EQ(chart.blockCharts[0].gz_str[1], "丁丑");
    EXPECT_EQ(chart.blockCharts[1].gz_str[1], "戊寅");
    const std::string& text = chart.result.text;
    EXPECT_NE(text.find("年柱由己巳变为庚午，月柱由丁丑变为戊寅（立春交节）"), std::string::npos);
}

// The rows cover the clock day without gap or overlap, neighbours differ,
// and at a random clock minute inside each row the normal chart has the
// row's four pillars and true solar time.
void ExpectRowsMatchTheChart(const ChartInput& in, const UnknownHourChart& chart, std::mt19937& rng) {
    const auto& rows = chart.candidates;
    ASSERT_FALSE(rows.empty());
    EXPECT_EQ(MinuteOfDay(rows.front().clockStart), 0);
    EXPECT_EQ(MinuteOfDay(rows.back().clockEnd), 24 * 60 - 1);
    for (std::size_t r = 0; r < rows.size(); ++r) {
        const HourCandidate& row = rows[r];
        if (r > 0) {
            EXPECT_EQ(rows[r - 1].clockEnd + minutes(1), row.clockStart);
            EXPECT_NE(rows[r - 1].pillars, row.pillars);
        }
        EXPECT_EQ(row.end - row.start, row.clockEnd - row.clockStart);
        const int a = MinuteOfDay(row.clockStart), b = MinuteOfDay(row.clockEnd);
        for (int m : {a, b, std::uniform_int_distribution<int>(a, b)(rng)}) {
            DateTime trueSolar{};
            EXPECT_EQ(ChartPillarsAt(in, m, &trueSolar), row.pillars)
                << in.year << "-" << in.month << "-" << in.day << " " << in.longitude << "° minute " << m;
            EXPECT_EQ(trueSolar, row.start + minutes(m - a));
        }
    }
}

TEST(UnknownHour, EveryRowHasTheChartsPillarsOnRandomDays) {
    std::mt19937 rng(20261207);
    std::uniform_int_distribution<int> year(kFirstYear, kLastYear), month(1, 12), day(1, 28), degrees(73, 135),
        coin(0, 1), minute(0, 59);
    for (int i = 0; i < 300; ++i) {
        ChartInput in = Day(year(rng), month(rng), day(rng), std::to_string(degrees(rng)), std::to_string(minute(rng)));
        if (i % 25 == 0) in.longitude = i % 50 == 0 ? "-179" : "180";  // the far ends of the longitudes
        if (i == 1) in = Day(kFirstYear, 1, 1, "-179", "59");          // the span's first and last days
        if (i == 2) in = Day(kLastYear, 12, 31, "180", "0");
        in.nightZi = coin(rng) == 1;
        in.male = coin(rng) == 1;
        const UnknownHourChart chart = Candidates(in);
        ExpectRowsMatchTheChart(in, chart, rng);
        for (const LuckSequence& luck : chart.luck)
            for (int r : luck.rows)
                EXPECT_EQ(chart.candidates[static_cast<std::size_t>(r)].pillars[1], luck.monthPillar);
        if (HasFailure()) return;
    }
}

// 2000-11-03: 301 days after 2000-01-07 (a 甲子 day), so 乙丑, and the 4th is
// 丙寅. Early November the equation of time is about +16 minutes: at 120°
// the clock day ends after true-solar midnight.
TEST(UnknownHour, NightZiRuleBothWays) {
    ChartInput in = Day(2000, 11, 3);
    const UnknownHourChart plain = Candidates(in);
    ASSERT_EQ(plain.candidates.size(), 13u);
    const HourCandidate& late = plain.candidates.back();
    EXPECT_EQ(ToCivil(late.start).hour, 23);
    EXPECT_EQ(Text(late.pillars[2]) + Text(late.pillars[3]), "丙寅戊子");  // 丙辛从戊起
    ASSERT_EQ(plain.splits.size(), 1u);
    EXPECT_EQ(plain.splits[0].cause, SplitCause::LateZi);
    EXPECT_EQ(Text(plain.splits[0].before) + Text(plain.splits[0].after), "乙丑丙寅");
    EXPECT_EQ(Text(plain.candidates.front().pillars[3]), "丙子");  // 乙庚丙作初

    in.nightZi = true;
    const UnknownHourChart night = Candidates(in);
    ASSERT_EQ(night.candidates.size(), 14u);  // the late 子 hour cut at true-solar midnight
    const HourCandidate& beforeMidnight = night.candidates[12];
    const HourCandidate& afterMidnight = night.candidates[13];
    EXPECT_EQ(MinuteOfDay(beforeMidnight.end), 23 * 60 + 59);
    EXPECT_EQ(MinuteOfDay(afterMidnight.start), 0);
    EXPECT_EQ(Text(beforeMidnight.pillars[2]) + Text(beforeMidnight.pillars[3]), "乙丑戊子");
    EXPECT_EQ(Text(afterMidnight.pillars[2]) + Text(afterMidnight.pillars[3]), "丙寅戊子");
    ASSERT_EQ(night.splits.size(), 1u);
    EXPECT_EQ(night.splits[0].cause, SplitCause::Midnight);
    EXPECT_NE(night.result.text.find("夜子时：第13行"), std::string::npos);
}

// 乌鲁木齐, 87°36′E, on China's clock: the clock day starts in the 亥 hour of
// the day before (true solar time about 2 h 10 min behind).
// 2000-06-15: 160 days after 2000-01-07, so 甲辰; the 14th is 癸卯.
TEST(UnknownHour, FarWestShiftsTheRows) {
    const UnknownHourChart chart = Candidates(Day(2000, 6, 15, "87", "36"));
    ASSERT_EQ(chart.candidates.size(), 13u);
    const HourCandidate& first = chart.candidates.front();
    EXPECT_EQ(Text(first.pillars[2]) + Text(first.pillars[3]), "癸卯癸亥");
    EXPECT_EQ(ToCivil(first.start).day, 14);
    const HourCandidate& zi = chart.candidates[1];
    EXPECT_EQ(Text(zi.pillars[2]) + Text(zi.pillars[3]), "甲辰甲子");  // 甲己还加甲
    EXPECT_EQ(MinuteOfDay(zi.start), 23 * 60);
    EXPECT_GT(MinuteOfDay(zi.clockStart), 50);  // 23:00 + 2 h 9 min 36 s ± the equation of time
    EXPECT_LT(MinuteOfDay(zi.clockStart), 90);
    EXPECT_EQ(Text(chart.candidates.back().pillars[3]).substr(3), "亥");
    EXPECT_EQ(chart.blockCharts[0].gz_str[2], "甲辰");
    ASSERT_EQ(chart.splits.size(), 1u);
    EXPECT_EQ(chart.splits[0].pillar, 2);
    EXPECT_EQ(chart.splits[0].firstRowAfter, 1);
}

// A birth abroad on its own clock: Tokyo keeps UTC+9, so its clock runs
// against 135°E and 139°45′ is (4 × 60 + 45) × 4 s = 19 min ahead of it. The
// header says which clock, and every row still charts as the normal chart.
TEST(UnknownHour, BirthAbroadOnItsOwnClock) {
    ChartInput in = Day(2000, 6, 15, "139", "45");
    in.zone = "Asia/Tokyo", in.zonePlace = "东京";
    const UnknownHourChart chart = Candidates(in);
    EXPECT_NE(chart.result.text.find("钟表时区＝东京时间（UTC+9，标准经线东经135°）\r\n"
                                     "出生地方时间＝出生钟表时间＋19分0秒\r\n"),
              std::string::npos)
        << chart.result.text;
    std::mt19937 rng(25);
    ExpectRowsMatchTheChart(in, chart, rng);
}

TEST(UnknownHour, TextKeepsTheChartsColumnsInBothLayouts) {
    for (const bool horizontal : {true, false}) {
        ChartInput in = Day(1990, 2, 4);
        in.horizontal = horizontal;
        const std::string text = Candidates(in).result.text;
        EXPECT_EQ(text.rfind(kUnknownHourFirstLine, 0), 0u);
        // The pillar line: pillars at units 10, 21, 32, the unknown hour at 43.
        const std::size_t qk = text.find("乾造：");
        const std::size_t unknown = text.find(horizontal ? "不详" : "不", qk);
        ASSERT_NE(unknown, std::string::npos);
        EXPECT_EQ(DisplayWidth(std::string_view(text).substr(qk, unknown - qk)), 43);
        // Every table line has its luck-start column at the same unit.
        const std::size_t table = text.find("\r\n行　");
        ASSERT_NE(table, std::string::npos);
        std::size_t at = table + 2;
        for (int line = 0; line < 15; ++line) {
            const std::size_t end = text.find("\r\n", at);
            const std::string_view row(text.data() + at, end - at);
            const std::size_t luck = line == 0 ? row.find("起运") : row.find("小时");
            ASSERT_NE(luck, std::string_view::npos) << row;
            const std::size_t cell = line == 0 ? luck : row.rfind("　", row.rfind("年", luck)) + 3;
            EXPECT_EQ(DisplayWidth(row.substr(0, cell)), 76) << row;
            at = end + 2;
        }
    }
}

TEST(UnknownHour, InputChecksSkipTheHourAndMinute) {
    ChartInput in = Day(1990, 2, 4);
    in.hour = "x";
    in.minute = "99";
    EXPECT_TRUE(std::holds_alternative<UnknownHourChart>(RunUnknownHourRequest(in, Data())));
    in.day = "30";
    in.month = "2";
    EXPECT_TRUE(std::holds_alternative<InputProblem>(RunUnknownHourRequest(in, Data())));
    in = Day(1990, 2, 4, "200");
    EXPECT_TRUE(std::holds_alternative<InputProblem>(RunUnknownHourRequest(in, Data())));
}

}  // namespace
}  // namespace paipan
