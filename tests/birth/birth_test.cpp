// The birth-moment assistant on the real data files: gazetteer points and
// ranking, the time-zone verdicts against the C library's own reading of
// the zone files, and each notice on both sides of its threshold, the other
// candidate's pillars taken from almanac facts.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <set>
#include <ctime>

#include "util/program_folder.h"
#include "birth/clock_zone.h"
#include "birth/gazetteer.h"
#include "birth/notices.h"
#include "../core/test_support.h"

namespace paipan {
namespace {

const Gazetteer& Places() {
    static const Gazetteer g = Gazetteer::Load(ProgramFolder() / kGazetteerFileName);
    return g;
}

TEST(Gazetteer, SeatsMatchKnownCoordinates) {
    // Published coordinates of each city's centre (atlas values).
    // clang-format off
    const struct { const char* name; double lon, lat; } cases[] = {
        {"北京市", 116.40, 39.90},          {"上海市", 121.47, 31.23},
        {"安徽省 合肥市", 117.27, 31.86},  {"广东省 广州市", 113.26, 23.13},
        {"黑龙江省 哈尔滨市", 126.63, 45.75}, {"新疆维吾尔自治区 乌鲁木齐市", 87.62, 43.83},
        {"西藏自治区 拉萨市", 91.13, 29.65}, {"四川省 成都市", 104.07, 30.66},
        {"陕西省 西安市", 108.94, 34.34},   {"福建省 福州市", 119.30, 26.08},
        {"内蒙古自治区 呼和浩特市", 111.75, 40.84}, {"新疆维吾尔自治区 喀什地区 喀什市", 75.99, 39.47},
        {"台湾省 台北市", 121.56, 25.04},  {"香港特别行政区 中西区", 114.15, 22.28},
        {"美国 纽约", -74.01, 40.71},      {"英国 伦敦", -0.13, 51.51},
        // clang-format on
    };
    for (const auto& c : cases) {
        const Place* p = Places().Named(c.name);
        ASSERT_NE(p, nullptr) << c.name;
        EXPECT_NEAR(p->longitude, c.lon, 0.1) << c.name;
        EXPECT_NEAR(p->latitude, c.lat, 0.1) << c.name;
    }
    EXPECT_EQ(Places().Named("乌鲁木齐")->zone, "Asia/Shanghai");  // Beijing time, not tzdata's UTC+6
    EXPECT_EQ(Places().Named("台北")->zone, "Asia/Taipei");
    EXPECT_EQ(Places().Named("旧金山")->zone, "America/Los_Angeles");
    EXPECT_GE(Places().places().size(), 4100u);
}

TEST(Gazetteer, SeatsAgreeWithGeoNames) {
    // GeoNames' points of the seats of government (id, longitude, latitude),
    // an independent source: each prefecture or province stands within 0.1°
    // (cosine-corrected) of its seat, not at its first county.
    const struct {
        const char* name;
        int geonamesId;
        double lon, lat;
    } cases[] = {
        {"内蒙古自治区 锡林郭勒盟", 2033824, 116.03333, 43.96667},   // Xilin Hot, not 二连浩特
        {"青海省 海西蒙古族藏族自治州", 1281378, 97.37457, 37.376},  // Delingha, not 格尔木
        {"西藏自治区 阿里地区", 1280003, 80.09758, 32.50124},        // Shiquanhe (噶尔)
        {"西藏自治区 那曲市", 1280517, 92.05729, 31.47678},
        {"重庆市", 1814906, 106.55278, 29.56278},  // not 万州
        {"江苏省 苏州市", 1886760, 120.59538, 31.30408},
        {"江苏省 南通市", 1799722, 120.87472, 32.03028},
        {"江苏省 连云港市", 10859300, 119.21556, 34.59845},
        {"海南省 三亚市", 1796556, 109.505, 18.24306},
        {"湖北省 鄂州市", 6642286, 114.88655, 30.39607},
        {"安徽省 合肥市", 1808722, 117.28083, 31.86389},
        {"山西省 大同市", 2037799, 113.29139, 40.09361},
        {"河北省 邢台市", 1788927, 114.49417, 37.06306},
        {"内蒙古自治区 鄂尔多斯市", 8347664, 109.78157, 39.6086},
    };
    for (const auto& c : cases) {
        const Place* p = Places().Named(c.name);
        ASSERT_NE(p, nullptr) << c.name;
        const double dx = (p->longitude - c.lon) * std::cos(c.lat * 3.14159265358979 / 180);
        EXPECT_LT(std::hypot(dx, p->latitude - c.lat), 0.1) << c.name << " GeoNames " << c.geonamesId;
        EXPECT_FALSE(p->approximate) << c.name;
    }
    // 三沙 at 永兴岛 (16°50'N 112°20'E), not at 海口; 金门 on Taiwan's clock whichever province lists it.
    EXPECT_NEAR(Places().Named("海南省 三沙市")->longitude, 112.34, 0.05);
    for (const Place* p : Places().AllNamed("金门")) EXPECT_EQ(p->zone, "Asia/Taipei") << p->name;
}

TEST(Gazetteer, WorldCitiesByTheNamesPeopleType) {
    // A name of several places lists them all, the more populous first
    // (GeoNames' figures); traditional and older names find the same city.
    const struct {
        const char* query;
        std::vector<std::string> first;
    } cases[] = {
        {"科隆", {"德国 科隆", "厄瓜多尔 科隆群岛"}},
        {"西贡", {"越南 胡志明市", "香港特别行政区 西贡区"}},
        {"圣地亚哥", {"智利 圣地亚哥", "美国 圣迭戈"}},
        {"芙蓉", {"马来西亚 芙蓉", "湖南省 长沙市 芙蓉区"}},
        {"太平", {"马来西亚 太平", "辽宁省 阜新市 太平区", "台湾省 台中市 太平区"}},
        // clang-format off
        {"東京", {"日本 东京"}},      {"臺北", {"台湾省 台北市"}},     {"溫哥華", {"加拿大 温哥华"}},
        {"汉城", {"韩国 首尔"}},      {"三藩市", {"美国 旧金山"}},     {"雪梨", {"澳大利亚 悉尼"}},
        {"槟榔屿", {"马来西亚 槟城"}}, {"火奴鲁鲁", {"美国 檀香山"}},
        {"加德满都", {"尼泊尔 加德满都"}}, {"加尔各答", {"印度 加尔各答"}}, {"仰光", {"缅甸 仰光"}},
        {"基辅", {"乌克兰 基辅"}},    {"布宜诺斯艾利斯", {"阿根廷 布宜诺斯艾利斯"}},
        {"马六甲", {"马来西亚 马六甲"}}, {"京都", {"日本 京都"}},     {"列治文", {"加拿大 列治文"}},
        {"圣彼得堡", {"俄罗斯 圣彼得堡"}}, {"阿布扎比", {"阿拉伯联合酋长国 阿布扎比"}},
        // clang-format on
    };
    for (const auto& c : cases) {
        const auto m = Places().Search(c.query);
        ASSERT_GE(m.size(), c.first.size()) << c.query;
        for (std::size_t i = 0; i < c.first.size(); ++i)
            EXPECT_EQ(Places().places()[m[i].index].name, c.first[i]) << c.query;
    }
    std::set<std::string> auckland;
    for (const auto& m : Places().Search("奥克兰")) auckland.insert(Places().places()[m.index].name);
    EXPECT_TRUE(auckland.count("新西兰 奥克兰") && auckland.count("美国 奥克兰"));
    EXPECT_EQ(Places().Named("亚庇")->zone, "Asia/Kuching");  // Sabah keeps Kuching's clock
}

TEST(Gazetteer, RanksAndNeverPicksSilently) {
    const struct {
        const char* query;
        std::vector<std::string> first;
        std::size_t best;
    } cases[] = {
        {"和田", {"新疆维吾尔自治区 和田地区", "新疆维吾尔自治区 和田地区 和田市"}, 1},
        {"伊宁", {"新疆维吾尔自治区 伊犁哈萨克自治州 伊宁市", "新疆维吾尔自治区 伊犁哈萨克自治州 伊宁县"}, 2},
        {"朝阳区", {"北京市 朝阳区", "吉林省 长春市 朝阳区"}, 2},
        {"合肥", {"安徽省 合肥市", "安徽省 合肥市 瑶海区"}, 1},
        {"乌鲁", {"新疆维吾尔自治区 乌鲁木齐市"}, 1},
        {"安徽 肥西", {"安徽省 合肥市 肥西县"}, 1},
    };
    for (const auto& c : cases) {
        const auto m = Places().Search(c.query);
        ASSERT_GE(m.size(), c.first.size()) << c.query;
        for (std::size_t i = 0; i < c.first.size(); ++i)
            EXPECT_EQ(Places().places()[m[i].index].name, c.first[i]) << c.query;
        std::size_t best = 0;
        while (best < m.size() && m[best].best) ++best;
        EXPECT_EQ(best, c.best) << c.query;
    }
    EXPECT_EQ(Places().Search("安徽").size(), 20u);
    EXPECT_TRUE(Places().Search("无此地名").empty());
}

// White space around a typed or pasted name (a line end included) is not
// part of it.
TEST(Gazetteer, WhiteSpaceAroundANameIsNotPartOfIt) {
    const auto indexes = [](std::string_view query) {
        std::vector<int> out;
        for (const auto& m : Places().Search(query)) out.push_back(m.index);
        return out;
    };
    for (const char* padded : {" 合肥 ", "合肥\r\n", "\t合肥\t", "合肥  "}) {
        EXPECT_EQ(indexes(padded), indexes("合肥")) << padded;
        EXPECT_EQ(Places().Named(padded), Places().Named("合肥")) << padded;
    }
    EXPECT_EQ(Places().Named("合肥")->name, "安徽省 合肥市");
    EXPECT_TRUE(Places().Search(" \t\r\n").empty());
}

TEST(Gazetteer, LongitudeBoxesAddTheMinutesAlsoWest) {
    const struct {
        double lon;
        int deg, min;
    } cases[] = {
        {117 + 14 / 60.0, 117, 14}, {-(74 + 1 / 60.0), -75, 59}, {-74.0, -74, 0},   {120.0, 120, 0}, {-0.1, -1, 54},
        {179.9999, 180, 0},         {-180.0, -180, 0},           {87.6317, 87, 38},
    };
    for (const auto& c : cases) {
        const auto b = LongitudeBoxesOf(c.lon);
        EXPECT_EQ(b.degrees, c.deg) << c.lon;
        EXPECT_EQ(b.minutes, c.min) << c.lon;
    }
}

// The C library's reading of the same zone files: is summer time in force at
// local clock time y-m-d h:mi?
int GlibcIsDst(const char* zone, int y, int m, int d, int h, int mi) {
    setenv("TZ", zone, 1);
    tzset();
    std::tm tm{};
    tm.tm_year = y - 1900, tm.tm_mon = m - 1, tm.tm_mday = d, tm.tm_hour = h, tm.tm_min = mi;
    tm.tm_isdst = -1;
    const std::time_t t = std::mktime(&tm);
    std::tm back{};
    localtime_r(&t, &back);
    return back.tm_isdst;
}

TEST(ClockZone, ChinaSummersAgreeWithTheCLibrary) {
    // China's summer time 1986-1991, the dates the State Council announced
    // (1988 as tzdata has it).
    const struct {
        int year, sm, sd, em, ed;
    } periods[] = {
        {1986, 5, 4, 9, 14},  {1987, 4, 12, 9, 13}, {1988, 4, 17, 9, 11},
        {1989, 4, 16, 9, 17}, {1990, 4, 15, 9, 16}, {1991, 4, 14, 9, 15},
    };
    for (const auto& p : periods) {
        const auto in = ExamineClockTime("Asia/Shanghai", {p.year, 7, 1, 12, 0, 0});
        ASSERT_TRUE(in) << p.year;
        EXPECT_EQ(in->kind, ClockTimeInZone::Kind::DaylightSaving) << p.year;
        EXPECT_EQ(in->save.count(), 60);
        const auto& s = in->periodStart;
        const auto& e = in->periodEnd;
        EXPECT_EQ(std::make_tuple(s.month, s.day, e.month, e.day), std::make_tuple(p.sm, p.sd, p.em, p.ed));
        // The minute before each change is on the old clock, the hour after on the new one.
        EXPECT_EQ(GlibcIsDst("Asia/Shanghai", p.year, s.month, s.day, s.hour - 1, 59), 0);
        EXPECT_EQ(GlibcIsDst("Asia/Shanghai", p.year, s.month, s.day, s.hour + 1, 0), 1);
        EXPECT_EQ(GlibcIsDst("Asia/Shanghai", p.year, e.month, e.day, e.hour - 2, 59), 1);
        EXPECT_EQ(GlibcIsDst("Asia/Shanghai", p.year, e.month, e.day, e.hour, 0), 0);
        EXPECT_EQ(ExamineClockTime("Asia/Shanghai", {p.year, 12, 1, 12, 0, 0})->kind, ClockTimeInZone::Kind::Standard);
    }
    using Kind = ClockTimeInZone::Kind;
    EXPECT_EQ(ExamineClockTime("Asia/Shanghai", {1988, 4, 17, 2, 30, 0})->kind, Kind::Nonexistent);
    EXPECT_EQ(ExamineClockTime("Asia/Shanghai", {1988, 9, 11, 1, 30, 0})->kind, Kind::Repeated);
    EXPECT_EQ(ExamineClockTime("Asia/Shanghai", {1992, 7, 1, 12, 0, 0})->kind, Kind::Standard);
    // Hong Kong kept summer time in 1975 (20 April to 19 October), Taiwan in
    // 1974 (1 April to the end of 30 September, clocks back at midnight).
    const auto hk = ExamineClockTime("Asia/Hong_Kong", {1975, 7, 1, 10, 0, 0});
    EXPECT_EQ(hk->kind, Kind::DaylightSaving);
    EXPECT_EQ(std::make_pair(hk->periodStart.day, hk->periodEnd.day), std::make_pair(20, 19));
    const auto tw = ExamineClockTime("Asia/Taipei", {1974, 7, 1, 10, 0, 0});
    EXPECT_EQ(tw->kind, Kind::DaylightSaving);
    EXPECT_EQ(std::make_tuple(tw->periodStart.month, tw->periodStart.day, tw->periodEnd.month, tw->periodEnd.day,
                              tw->periodEnd.hour),
              std::make_tuple(4, 1, 10, 1, 0));
    EXPECT_FALSE(ExamineClockTime("Nowhere/Else", {1988, 7, 1, 12, 0, 0}));
}

// A request whose corrected (true solar) time is exactly `target`, at 120°E:
// the clock minute is searched around it.
ChartInput AtSolarTime(int y, int mo, int d, int h, int mi, const std::string& place = "杭州") {
    const DateTime target = MakeDateTime(y, mo, d, h, mi);
    for (int shift = -40; shift <= 40; ++shift) {
        const CivilTime c = ToCivil(target + std::chrono::minutes{shift});
        ChartInput in = DefaultChartInput(c.year, c.month, c.day, c.hour, c.minute);
        in.place = place;
        const auto clock = std::get<CheckedClock>(CheckChartInput(in));
        const auto eot = ReadEquationOfTime(ProgramFolder() / kEquationOfTimeFileName, c.month, c.day);
        const CivilTime t = CorrectToTrueSolarTime(in, clock, eot.min, eot.sec).corrected;
        if (MakeDateTime(t.year, t.month, t.day, t.hour, t.minute) == target) return in;
    }
    ADD_FAILURE() << "no clock time gives the target";
    return {};
}

std::vector<Notice> Of(const std::vector<Notice>& all, NoticeKind kind) {
    std::vector<Notice> out;
    for (const auto& n : all)
        if (n.kind == kind) out.push_back(n);
    return out;
}

// The whole text of each notice, on both sides of its threshold and at the
// threshold itself. 立春 1990 fell at 4 February 10:14 (China time): before it
// the year is 己巳 and the month 丁丑, from it 庚午 and 戊寅. 1 January 2000 is
// a 戊午 day (己未 the next): its 未 hour is 己未, its 申 hour 庚申, its 亥 hour
// 癸亥; a 己 day's 子 hour is 甲子. Summer time in China, 1988: 17 April 2:00
// to 11 September (tz database); many Chinese sources give 10 April.
struct NoticeCase {
    ChartInput in;
    NoticeKind kind;
    std::string text;  // empty: no notice of this kind
};

void ExpectNotices(const std::vector<NoticeCase>& cases, const std::string& zone = {}) {
    for (const auto& c : cases) {
        const auto found = Of(ChartNotices(c.in, zone, ProgramFolder()), c.kind);
        const std::string at = zone + " " + c.in.place + " " + c.in.year + "-" + c.in.month + "-" + c.in.day + " " +
                               c.in.hour + ":" + c.in.minute;
        if (c.text.empty()) {
            EXPECT_TRUE(found.empty()) << at << " " << found.front().text;
            continue;
        }
        ASSERT_EQ(found.size(), 1u) << at;
        EXPECT_EQ(found[0].text, c.text) << at;
    }
}

const std::string kJie = "提示：出生时间（真太阳时1990年2月4日";
const std::string kBefore立春 = "在立春（1990年02月04日10时14分）之前";
const std::string kAfter立春 = "在立春（1990年02月04日10时14分）之后";
const std::string kTo戊寅 =
    "分钟；如出生在立春之后，月柱为戊寅、年柱为庚午（本盘月柱丁丑），大运和起运时间也随之改变。";
const std::string kTo丁丑 =
    "分钟；如出生在立春之前，月柱为丁丑、年柱为己巳（本盘月柱戊寅），大运和起运时间也随之改变。";

TEST(Notices, JieTermWithinHalfAnHourEitherSide) {
    ExpectNotices({
        {AtSolarTime(1990, 2, 4, 9, 43), NoticeKind::JieTerm, {}},
        {AtSolarTime(1990, 2, 4, 9, 44), NoticeKind::JieTerm, kJie + "9时44分）" + kBefore立春 + "30" + kTo戊寅},
        {AtSolarTime(1990, 2, 4, 10, 13), NoticeKind::JieTerm, kJie + "10时13分）" + kBefore立春 + "1" + kTo戊寅},
        {AtSolarTime(1990, 2, 4, 10, 14), NoticeKind::JieTerm, kJie + "10时14分）" + kAfter立春 + "0" + kTo丁丑},
        {AtSolarTime(1990, 2, 4, 10, 44), NoticeKind::JieTerm, kJie + "10时44分）" + kAfter立春 + "30" + kTo丁丑},
        {AtSolarTime(1990, 2, 4, 10, 45), NoticeKind::JieTerm, {}},
    });
}

std::string HourEdge(const char* at, int edge, bool after, int gap, const std::string& other) {
    const std::string e = std::to_string(edge);
    return "提示：出生时间（真太阳时" + std::string(at) + "）在" + e + "时的时辰交界" + (after ? "之后" : "之前") +
           std::to_string(gap) + "分钟；如出生在" + e + "时" + (after ? "之前" : "之后") + "，" + other + "。";
}

TEST(Notices, HourEdgeWithinTenMinutesEitherSide) {
    ExpectNotices({
        {AtSolarTime(2000, 1, 1, 14, 49), NoticeKind::HourEdge, {}},
        {AtSolarTime(2000, 1, 1, 14, 50), NoticeKind::HourEdge,
         HourEdge("14时50分", 15, false, 10, "时柱为庚申（本盘时柱己未）")},
        {AtSolarTime(2000, 1, 1, 14, 59), NoticeKind::HourEdge,
         HourEdge("14时59分", 15, false, 1, "时柱为庚申（本盘时柱己未）")},
        {AtSolarTime(2000, 1, 1, 15, 0), NoticeKind::HourEdge,
         HourEdge("15时0分", 15, true, 0, "时柱为己未（本盘时柱庚申）")},
        {AtSolarTime(2000, 1, 1, 15, 10), NoticeKind::HourEdge,
         HourEdge("15时10分", 15, true, 10, "时柱为己未（本盘时柱庚申）")},
        {AtSolarTime(2000, 1, 1, 15, 11), NoticeKind::HourEdge, {}},
        // Across 23:00 the day changes too (the traditional rule).
        {AtSolarTime(2000, 1, 1, 22, 55), NoticeKind::HourEdge,
         HourEdge("22时55分", 23, false, 5, "时柱为甲子、日柱为己未（本盘时柱癸亥）")},
        {AtSolarTime(2000, 1, 1, 23, 0), NoticeKind::HourEdge,
         HourEdge("23时0分", 23, true, 0, "时柱为癸亥、日柱为戊午（本盘时柱甲子）")},
    });
}

TEST(Notices, NightZiFromTenMinutesBefore23To1) {
    const std::string traditional = "传统方式（23时起即用次日的日柱）", night = "夜子时方式（23时至0时仍用当天的日柱）";
    const std::string in子 = "）在子时（23时至1时）之内，按本盘所用的";
    ChartInput nightRule = AtSolarTime(2000, 1, 1, 23, 30);
    nightRule.nightZi = true;
    ExpectNotices({
        {AtSolarTime(2000, 1, 1, 22, 49), NoticeKind::NightZi, {}},
        {AtSolarTime(2000, 1, 1, 22, 50), NoticeKind::NightZi,
         "提示：出生时间（真太阳时22时50分）临近子时（23时起）；如出生在23时之后，按本盘所用的" + traditional +
             "，日柱为己未、时柱为甲子；按" + night + "，日柱为戊午、时柱为甲子。"},
        {AtSolarTime(2000, 1, 1, 23, 30), NoticeKind::NightZi,
         "提示：出生时间（真太阳时23时30分" + in子 + traditional + "，日柱为己未、时柱为甲子；按" + night +
             "，日柱为戊午、时柱为甲子。"},
        {nightRule, NoticeKind::NightZi,
         "提示：出生时间（真太阳时23时30分" + in子 + night + "，日柱为戊午、时柱为甲子；按" + traditional +
             "，日柱为己未、时柱为甲子。"},
        {AtSolarTime(2000, 1, 2, 0, 59), NoticeKind::NightZi,
         "提示：出生时间（真太阳时0时59分" + in子 + traditional + "，日柱为己未、时柱为甲子；按" + night +
             "，日柱为己未、时柱为甲子。"},
        {AtSolarTime(2000, 1, 2, 1, 0), NoticeKind::NightZi, {}},
    });
}

TEST(Notices, DefaultLongitudeFarFromThePlace) {
    ChartInput urumqi = DefaultChartInput(1995, 3, 1, 12, 0), urumqiSet = urumqi;
    urumqi.place = urumqiSet.place = "乌鲁木齐";
    urumqiSet.longitude = "87", urumqiSet.longitudeMinutes = "38";
    ExpectNotices({
        {urumqi, NoticeKind::DefaultLongitude,
         "提示：经度是默认的120度0分，而出生地区“乌鲁木齐”（新疆维吾尔自治区 乌鲁木齐市）的经度约为87°38′E，"
         "相差超过1度；如在该地出生，请把经度改为87度38分。"},
        {urumqiSet, NoticeKind::DefaultLongitude, {}},
        {AtSolarTime(1995, 3, 1, 12, 0, "杭州"), NoticeKind::DefaultLongitude, {}},
    });
}

const std::string kDisputed =
    "提示：1988年夏令时的开始日期说法不一：时区数据库记为4月17日，许多中国资料记为4月10日。"
    "出生在这一周的，请核对当时钟表是否已拨快1小时；如已拨快，标准时间应减去1小时。";

TEST(Notices, ClockChangesInTheBirthplacesZone) {
    ExpectNotices({
        {DefaultChartInput(1988, 7, 1, 12, 0), NoticeKind::DaylightSaving,
         "提示：钟表时间1988年7月1日12时0分（时区 Asia/Shanghai）正值夏令时（1988年4月17日2时0分起至"
         "1988年9月11日2时0分止，钟表拨快1小时），对应的标准时间为1988年7月1日11时0分。本命盘按输入的钟表时间排出；"
         "如要按标准时间排盘，请把出生时间减去1小时。"},
        {DefaultChartInput(1992, 7, 1, 12, 0), NoticeKind::DaylightSaving, {}},
        {DefaultChartInput(1988, 4, 10, 1, 59), NoticeKind::DisputedStart, {}},
        {DefaultChartInput(1988, 4, 10, 2, 0), NoticeKind::DisputedStart, kDisputed},
        {DefaultChartInput(1988, 4, 17, 1, 59), NoticeKind::DisputedStart, kDisputed},
        {DefaultChartInput(1988, 4, 17, 3, 0), NoticeKind::DisputedStart, {}},
        {DefaultChartInput(1988, 4, 17, 2, 30), NoticeKind::NonexistentTime,
         "提示：钟表时间1988年4月17日2时30分（时区 Asia/Shanghai）并不存在：当时钟表从1988年4月17日2时0分直接拨快到"
         "3时0分。请核对出生时间；本命盘按输入的钟表时间排出。"},
        {DefaultChartInput(1988, 9, 11, 1, 30), NoticeKind::RepeatedTime,
         "提示：钟表时间1988年9月11日1时30分（时区 Asia/Shanghai）出现过两次：当时钟表从1988年9月11日2时0分拨回到"
         "1时0分，第一次是夏令时，第二次是标准时间。本命盘按输入的钟表时间排出；如出生在第一次，标准时间应减去1小时。"},
    });
    EXPECT_EQ(Of(ChartNotices(DefaultChartInput(1988, 7, 1, 12, 0), {}, ProgramFolder()), NoticeKind::DaylightSaving)[0]
                  .shiftMinutes,
              60);
    ChartInput bad = DefaultChartInput(1988, 7, 1, 12, 0);
    bad.hour = "24";
    EXPECT_TRUE(ChartNotices(bad, {}, ProgramFolder()).empty());
}

// Without the equation-of-time file no chart is made, yet what the clock
// reading and the place tell still holds, word for word: the summer-time
// notice and 安徽's longitude (the 12:00 birth, 11:56 true solar time, lies
// near no boundary, so nothing that needs the chart is missing).
TEST(Notices, ClockNoticesSurviveAMissingEquationOfTimeFile) {
    test::TempFolder folder;
    for (const char* name : {kCalendarFileName, kGazetteerFileName})
        std::filesystem::copy_file(ProgramFolder() / name, folder.path / name);
    const ChartInput in = DefaultChartInput(1988, 7, 1, 12, 0);
    ASSERT_TRUE(std::holds_alternative<DataProblem>(RunChartRequest(in, folder.path)));
    const auto withFile = NoticeTexts(ChartNotices(in, {}, ProgramFolder()));
    ASSERT_EQ(withFile.size(), 2u);
    EXPECT_EQ(NoticeTexts(ChartNotices(in, {}, folder.path)), withFile);
}

// The disputed week is mainland China's alone: Hong Kong and Taiwan kept no
// summer time in 1988, and New York's had begun on 3 April (tz database).
TEST(Notices, OtherZonesKeepTheirOwnClocks) {
    for (const char* zone : {"Asia/Hong_Kong", "Asia/Taipei", "America/New_York"})
        ExpectNotices({{DefaultChartInput(1988, 4, 10, 2, 0), NoticeKind::DisputedStart, {}},
                       {DefaultChartInput(1988, 4, 12, 12, 0), NoticeKind::DisputedStart, {}}},
                      zone);
    for (const char* place : {"香港", "台北", "纽约"}) {
        ChartInput in = DefaultChartInput(1988, 4, 12, 12, 0);
        in.place = place;
        ExpectNotices({{in, NoticeKind::DisputedStart, {}}});
    }
    ChartInput newYork = DefaultChartInput(1988, 4, 12, 12, 0);
    newYork.place = "纽约";
    ExpectNotices(
        {{newYork, NoticeKind::DaylightSaving,
          "提示：钟表时间1988年4月12日12时0分（时区 America/New_York）正值夏令时（1988年4月3日2时0分起至"
          "1988年10月30日2时0分止，钟表拨快1小时），对应的标准时间为1988年4月12日11时0分。本命盘按输入的钟表时间排出；"
          "如要按标准时间排盘，请把出生时间减去1小时。"}});
    // Hong Kong's own summer of 1975, from the place named or the zone given.
    ChartInput hk = DefaultChartInput(1975, 7, 1, 10, 0);
    ExpectNotices({{hk, NoticeKind::DaylightSaving, {}}});
    EXPECT_EQ(Of(ChartNotices(hk, "Asia/Hong_Kong", ProgramFolder()), NoticeKind::DaylightSaving).size(), 1u);
    hk.place = "香港";
    EXPECT_EQ(Of(ChartNotices(hk, {}, ProgramFolder()), NoticeKind::DaylightSaving).size(), 1u);
}

}  // namespace
}  // namespace paipan
