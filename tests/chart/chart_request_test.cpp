// The chart request without a window: the input checks with their messages
// and resets, the true-solar-time correction and its block, the framing of
// the chart and the colour spans.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <regex>
#include <random>
#include <unistd.h>
#include <set>

#include "chart/chart_request.h"
#include "chart/sites.h"
#include "chart_test_support.h"

namespace paipan {
namespace {

namespace fs = std::filesystem;

const char* const kLongitudeMsg =
    "请输入正确的经度数值！如果您不知道所在城市的经度值，请输入默认的120，约等于北京所在经度！";
const char* const kMinutesMsg = "请输入正确的经度分值！如果您不知道所在城市的经度分值，请输入默认的0分！";

ChartInput Base() { return DefaultChartInput(1990, 5, 8, 14, 5); }

struct CheckCase {
    std::string what;
    std::function<void(ChartInput&)> change;
    std::string message;
    InputField field;
    std::string reset;
};

TEST(InputChecks, FirstFailingFieldWithItsMessageAndReset) {
    using F = InputField;
    const CheckCase cases[] = {
        {"empty degrees", [](ChartInput& in) { in.longitude = ""; }, kLongitudeMsg, F::Text3, ""},
        {"degrees text", [](ChartInput& in) { in.longitude = "东经"; }, kLongitudeMsg, F::Text3, ""},
        {"degrees 180.5", [](ChartInput& in) { in.longitude = "180.5"; }, kLongitudeMsg, F::Text3, ""},
        {"degrees -181", [](ChartInput& in) { in.longitude = "-181"; }, kLongitudeMsg, F::Text3, ""},
        {"degrees with space", [](ChartInput& in) { in.longitude = " 120"; }, kLongitudeMsg, F::Text3, ""},
        {"full-width digits", [](ChartInput& in) { in.longitude = "１２０"; }, kLongitudeMsg, F::Text3, ""},
        {"exponent", [](ChartInput& in) { in.longitude = "1e2"; }, kLongitudeMsg, F::Text3, ""},
        {"minutes 60", [](ChartInput& in) { in.longitudeMinutes = "60"; }, kMinutesMsg, F::Text4, ""},
        {"minutes -1", [](ChartInput& in) { in.longitudeMinutes = "-1"; }, kMinutesMsg, F::Text4, ""},
        {"minutes text", [](ChartInput& in) { in.longitudeMinutes = "x"; }, kMinutesMsg, F::Text4, ""},
        {"year 2021", [](ChartInput& in) { in.year = "2021"; },
         "请选择或输入正确的年份值，年份的值应当是介于1890与2020之间的数值！", F::Combo1, "1980"},
        {"year 1889", [](ChartInput& in) { in.year = "1889"; },
         "请选择或输入正确的年份值，年份的值应当是介于1890与2020之间的数值！", F::Combo1, "1980"},
        {"empty year", [](ChartInput& in) { in.year = ""; }, "请选择或输入正确的年份的数值！", F::Combo1, ""},
        {"year 1990.0", [](ChartInput& in) { in.year = "1990.0"; }, "请选择或输入正确的年份的数值！",
         F::Combo1, ""},
        {"month 13", [](ChartInput& in) { in.month = "13"; },
         "请选择或输入正确的月份值，月份的值应当是介于1与12之间的数值！", F::Combo2, "1"},
        {"month 0", [](ChartInput& in) { in.month = "0"; },
         "请选择或输入正确的月份值，月份的值应当是介于1与12之间的数值！", F::Combo2, "1"},
        {"month text", [](ChartInput& in) { in.month = "五"; }, "请选择或输入正确的月份的数值！", F::Combo2, ""},
        {"day 32", [](ChartInput& in) { in.day = "32"; },
         "请选择或输入正确的公历日期值，公历日期的值应当是介于1与31之间的数值！", F::Combo3, "1"},
        {"empty day", [](ChartInput& in) { in.day = ""; }, "请选择或输入正确的公历日期的数值！", F::Combo3, ""},
        {"hour 24", [](ChartInput& in) { in.hour = "24"; },
         "请选择或输入正确的时间值，时间的值应当是介于0与23之间的数值！", F::Combo4, "1"},
        {"hour -1", [](ChartInput& in) { in.hour = "-1"; },
         "请选择或输入正确的时间值，时间的值应当是介于0与23之间的数值！", F::Combo4, "1"},
        {"hour 12.5", [](ChartInput& in) { in.hour = "12.5"; }, "请选择或输入正确的时间的数值！", F::Combo4, ""},
        {"minute 60", [](ChartInput& in) { in.minute = "60"; },
         "请选择或输入正确的时间分值，时间分的值应当是介于0与59之间的数值！", F::Combo5, "1"},
        {"minute 5.0", [](ChartInput& in) { in.minute = "5.0"; }, "请选择或输入正确的时间分的数值！",
         F::Combo5, ""},
        {"minute 5.", [](ChartInput& in) { in.minute = "5."; }, "请选择或输入正确的时间分的数值！",
         F::Combo5, ""},
        {"degrees checked before the year",
         [](ChartInput& in) {
             in.longitude = "";
             in.year = "2021";
         },
         kLongitudeMsg, F::Text3, ""},
    };
    for (const auto& c : cases) {
        ChartInput in = Base();
        c.change(in);
        const auto outcome = RunChartRequest(in);
        const auto* p = std::get_if<InputProblem>(&outcome);
        ASSERT_TRUE(p) << c.what;
        EXPECT_EQ(p->message, c.message) << c.what;
        EXPECT_EQ(p->caption, "提示") << c.what;
        EXPECT_EQ(p->icon, MessageIcon::Information) << c.what;
        EXPECT_EQ(p->field, c.field) << c.what;
        EXPECT_EQ(p->fieldText, std::optional<std::string>(c.reset)) << c.what;
    }
}

TEST(InputChecks, DayInMonthAndAcceptedForms) {
    struct Case {
        const char *y, *m, *d;
        bool ok;
    } cases[] = {
        {"1900", "2", "29", false}, {"1981", "2", "29", false}, {"2000", "2", "29", true},
        {"1980", "2", "29", true},  {"1990", "2", "30", false}, {"1990", "4", "31", false},
        {"1990", "1", "31", true},  {"1990", "11", "31", false}, {"+1990", "05", "08", true},
    };
    for (const auto& c : cases) {
        ChartInput in = Base();
        in.year = c.y, in.month = c.m, in.day = c.d;
        const auto checked = CheckChartInput(in);
        if (c.ok) {
            EXPECT_TRUE(std::holds_alternative<CheckedClock>(checked)) << c.y << "-" << c.m << "-" << c.d;
            continue;
        }
        const auto* p = std::get_if<InputProblem>(&checked);
        ASSERT_TRUE(p) << c.y << "-" << c.m << "-" << c.d;
        EXPECT_EQ(p->message, "请检查输入数据是否出错！");
        EXPECT_EQ(p->caption, "提示");
        EXPECT_EQ(p->icon, MessageIcon::None);
        EXPECT_EQ(p->field, InputField::None);
        EXPECT_FALSE(p->fieldText.has_value());
    }
    for (const char* degrees : {"116.5", "+120", "-75", "180", "-180", ".5"}) {
        ChartInput in = Base();
        in.longitude = degrees;
        in.longitudeMinutes = "28.5";
        EXPECT_TRUE(std::holds_alternative<CheckedClock>(CheckChartInput(in))) << degrees;
    }
}

struct SolarCase {
    const char *degrees, *minutes;
    int minE, secE;
    int y, m, d, h, mi;
    std::string localLine, trueLine;
    int ty, tm, td, th, tmi;
};

TEST(TrueSolarTime, LongitudeAndEquationOfTime) {
    const SolarCase cases[] = {
        {"120", "0", 0, 0, 1990, 5, 8, 14, 5, "＋0分0秒", "＋0分0秒", 1990, 5, 8, 14, 5},
        // 116°28′: ((116 − 120) × 60 + 28) × 4 = −848 s; 23:50:52 keeps 23:50.
        {"116", "28", 0, 0, 1980, 1, 1, 0, 5, "－14分8秒", "＋0分0秒", 1979, 12, 31, 23, 50},
        {"121", "30", 0, 0, 1990, 5, 8, 14, 5, "＋6分0秒", "＋0分0秒", 1990, 5, 8, 14, 11},
        // West: the minutes are added to the negative degrees: −46 680 s.
        {"-75", "30", 0, 0, 1990, 5, 8, 14, 5, "－778分0秒", "＋0分0秒", 1990, 5, 8, 1, 7},
        {"120", "0", -3, 9, 1990, 5, 8, 14, 5, "＋0分0秒", "－3分9秒", 1990, 5, 8, 14, 1},
        {"120", "0", 0, -30, 1990, 5, 8, 14, 5, "＋0分0秒", "－0分30秒", 1990, 5, 8, 14, 4},
        {"120", "0", 0, 12, 1990, 5, 8, 14, 5, "＋0分0秒", "＋0分12秒", 1990, 5, 8, 14, 5},
        {"120", "0", 16, 25, 1990, 11, 3, 23, 50, "＋0分0秒", "＋16分25秒", 1990, 11, 4, 0, 6},
        {"116", "28", 0, 0, 1890, 1, 1, 0, 5, "－14分8秒", "＋0分0秒", 1889, 12, 31, 23, 50},
        {"121", "30", 0, 0, 2000, 2, 29, 23, 55, "＋6分0秒", "＋0分0秒", 2000, 3, 1, 0, 1},
        {"116", "28", 0, 0, 2000, 3, 1, 0, 3, "－14分8秒", "＋0分0秒", 2000, 2, 29, 23, 48},
        {"116", "28", 0, 0, 1981, 3, 1, 0, 3, "－14分8秒", "＋0分0秒", 1981, 2, 28, 23, 48},
        {"121", "0", 0, 12, 2019, 12, 31, 23, 58, "＋4分0秒", "＋0分12秒", 2020, 1, 1, 0, 2},
        // Half a second rounds away from zero; 11:59:59 lies in the minute 11:59.
        {"120", "0.125", 0, 0, 1990, 5, 8, 12, 0, "＋0分1秒", "＋0分0秒", 1990, 5, 8, 12, 0},
        {"119.5", "29.875", 0, 0, 1990, 5, 8, 12, 0, "－0分1秒", "＋0分0秒", 1990, 5, 8, 11, 59},
        // A fraction of a degree west of 120° can still give a forward shift.
        {"119.5", "59", 0, 0, 1990, 5, 8, 12, 0, "＋1分56秒", "＋0分0秒", 1990, 5, 8, 12, 1},
        {"180", "0", 0, 0, 2020, 12, 31, 20, 0, "＋240分0秒", "＋0分0秒", 2021, 1, 1, 0, 0},
    };
    for (const auto& c : cases) {
        ChartInput in = DefaultChartInput(c.y, c.m, c.d, c.h, c.mi);
        in.longitude = c.degrees;
        in.longitudeMinutes = c.minutes;
        const auto checked = CheckChartInput(in);
        ASSERT_TRUE(std::holds_alternative<CheckedClock>(checked)) << c.degrees;
        const auto s = CorrectToTrueSolarTime(in, std::get<CheckedClock>(checked), c.minE, c.secE);
        const std::string what = std::string(c.degrees) + "/" + c.minutes + " " + std::to_string(c.h);
        EXPECT_NE(s.block.find("\r\n出生地方时间＝出生钟表时间" + c.localLine + "\r\n"), std::string::npos)
            << what << "\n" << s.block;
        EXPECT_NE(s.block.find("\r\n出生真太阳时＝出生地方时间" + c.trueLine + "\r\n"), std::string::npos)
            << what << "\n" << s.block;
        EXPECT_EQ(s.corrected.year, c.ty) << what;
        EXPECT_EQ(s.corrected.month, c.tm) << what;
        EXPECT_EQ(s.corrected.day, c.td) << what;
        EXPECT_EQ(s.corrected.hour, c.th) << what;
        EXPECT_EQ(s.corrected.minute, c.tmi) << what;
        EXPECT_EQ(s.corrected.second, 0) << what;
    }
}

TEST(TrueSolarTime, BlockKeepsTheBoxTextsAsTheyStand) {
    ChartInput in = DefaultChartInput(1980, 1, 1, 0, 5);
    in.longitude = "116";
    in.longitudeMinutes = "28";
    auto s = CorrectToTrueSolarTime(in, std::get<CheckedClock>(CheckChartInput(in)), 0, 0);
    EXPECT_EQ(s.block,
              "经度：116度28分\r\n\r\n"
              "出生钟表时间＝1980年1月1日0时5分\r\n"
              "出生地方时间＝出生钟表时间－14分8秒\r\n"
              "出生真太阳时＝出生地方时间＋0分0秒\r\n"
              "实际出生时间＝1979年12月31日23时50分\r\n\r\n");
    in.month = "01";
    in.minute = "05";
    in.longitude = "116.0";
    s = CorrectToTrueSolarTime(in, std::get<CheckedClock>(CheckChartInput(in)), 0, 0);
    EXPECT_EQ(s.block.substr(0, s.block.find("出生地方")),
              "经度：116.0度28分\r\n\r\n出生钟表时间＝1980年01月1日0时05分\r\n");
}

// The corrected time as the 实际出生时间 line shows it.
CivilTime CorrectedTimeIn(const std::string& text) {
    std::smatch m;
    const std::regex line("实际出生时间＝(\\d+)年(\\d+)月(\\d+)日(\\d+)时(\\d+)分");
    EXPECT_TRUE(std::regex_search(text, m, line));
    return {std::stoi(m[1]), std::stoi(m[2]), std::stoi(m[3]), std::stoi(m[4]), std::stoi(m[5]), 0};
}

// The same chart built by hand: the engine on the corrected time, each
// check box fed to its own request value.
std::unique_ptr<Corvel_BZClass> EngineFor(const ChartInput& in, const std::string& text) {
    const CivilTime t = CorrectedTimeIn(text);
    test::EngineRequest r;
    r.year = t.year, r.month = t.month, r.day = t.day, r.hour = t.hour, r.minute = t.minute;
    r.sex = in.male ? 1 : 0;
    r.name = in.name, r.place = in.place;
    r.mode = in.horizontal ? 1 : 0;
    r.lnp = in.annual ? 1 : 0;          // Check1 流年
    r.shenshap = in.stars ? 1 : 0;      // Check2 神煞
    r.ssp = in.deities ? 1 : 0;         // Check3 十神
    r.cgp = in.hiddenStems ? 1 : 0;     // Check4 藏干
    r.nyp = in.nayin ? 1 : 0;           // Check5 纳音
    r.xyp = in.minorLuck ? 1 : 0;       // Check6 小运
    r.mgp = in.palace ? 1 : 0;          // Check7 命宫/胎元
    r.csp = in.stages ? 1 : 0;          // Check8 长生十二宫
    r.zsp = in.nightZi ? 1 : 0;         // Check9 夜子时
    const auto blockStart = text.find("　　经度：") + std::string("　　").size();
    const auto blockEnd = text.find("\r\n公历：");  // the header adds a line break
    r.realtime = text.substr(blockStart, blockEnd - blockStart);
    return test::RunMain(r);
}

const std::string kNotice =
    "——————以下排盘结果为夜子时排盘方式排出（仅影响夜子时即23~0点出生之人）——————\r\n\r\n";

std::string Tail() {
    return std::string("\r\n特别提醒：\r\n"
                       "欢迎大家把排出的结果全部复制到晴川网论坛社区请论坛上的预测师为你提供在线免费预测咨询服务！\r\n"
                       "晴川网论坛地址：") +
           kForumSite + "\r\n\r\n\r\n————以上排盘结果由晴川四柱八字排盘系统排出，仅供娱乐！ " + kHomeSite +
           "————";
}

ChartResult Chart(const ChartInput& in) {
    auto outcome = RunChartRequest(in);
    if (auto* p = std::get_if<DataProblem>(&outcome)) ADD_FAILURE() << p->message;
    if (auto* p = std::get_if<InputProblem>(&outcome)) ADD_FAILURE() << p->message;
    auto* r = std::get_if<ChartResult>(&outcome);
    return r ? *r : ChartResult{};
}

size_t Count(const std::string& text, const std::string& piece) {
    size_t n = 0;
    for (auto at = text.find(piece); at != std::string::npos; at = text.find(piece, at + 1)) ++n;
    return n;
}

TEST(ChartResultText, NoticeChartReminderFooter) {
    for (bool nightZi : {false, true}) {
        ChartInput in = DefaultChartInput(2000, 1, 6, 23, 30);
        in.nightZi = nightZi;
        const ChartResult r = Chart(in);
        const auto e = EngineFor(in, r.text);
        EXPECT_EQ(r.text, (nightZi ? kNotice : "") + e->OutputStr + Tail());
        EXPECT_EQ(Count(r.text, "姓名："), 1u);
        EXPECT_EQ(Count(r.text, "乾造："), 1u);
        // 23:xx true solar time: the day pillar is 甲子 (the next day's), or
        // 癸亥 (the calendar day's) under the night-zi rule.
        EXPECT_EQ(e->gz_str[2], nightZi ? "癸亥" : "甲子");
    }
}

TEST(ChartResultText, EachCheckBoxFeedsItsOwnSection) {
    ChartInput all = Base();
    all.minorLuck = all.palace = true;
    std::vector<std::function<void(ChartInput&)>> variants = {
        [](ChartInput&) {},
        [](ChartInput& in) { in.annual = false; },
        [](ChartInput& in) { in.stars = false; },
        [](ChartInput& in) { in.deities = false; },
        [](ChartInput& in) { in.hiddenStems = false; },
        [](ChartInput& in) { in.nayin = false; },
        [](ChartInput& in) { in.minorLuck = false; },
        [](ChartInput& in) { in.palace = false; },
        [](ChartInput& in) { in.stages = false; },
        [](ChartInput& in) { in.male = false; in.horizontal = true; },
        [](ChartInput& in) { in.name = "王五"; in.place = "上海"; in.longitude = "-75"; },
    };
    std::set<std::string> distinct;
    for (const auto& change : variants) {
        ChartInput in = all;
        change(in);
        const ChartResult r = Chart(in);
        EXPECT_EQ(r.text, EngineFor(in, r.text)->OutputStr + Tail());
        distinct.insert(r.text);
    }
    EXPECT_EQ(distinct.size(), variants.size());
}

struct Rgb {
    int r, g, b;
    bool operator==(const Rgb&) const = default;
};
constexpr Rgb kBlue{0, 0, 255}, kRed{255, 0, 0}, kGreen{0, 128, 0}, kBrown{192, 64, 0},
    kMagenta{255, 0, 255};

// The pieces of the colouring table, in its order, with their colours.
std::vector<std::pair<std::string, Rgb>> Pieces(const Corvel_BZClass& e) {
    return {{e.BZ_top_ss, kBlue}, {e.BZ_qk, kRed},     {e.BZ_gzMain, kRed},   {e.BZ_dzcg, kBlue},
            {e.BZ_ny, kGreen},    {e.BZ_cs, kBrown},   {e.BZ_ssa, kMagenta},  {e.BZ_dycs, kBrown},
            {e.BZ_dyny, kGreen},  {e.BZ_dyss, kBlue},  {e.BZ_dy, kRed},       {e.BZ_dyxs, kRed},
            {e.BZ_dyln, kBlue},   {e.BZ_ty, kBrown},   {e.BZ_mg, kBrown},     {e.BZ_xy, kBlue},
            {"特别提醒：", kRed}};
}

// Every span covers exactly its piece; empty pieces give no span.
void ExpectSpansOnPieces(const ChartResult& r, const Corvel_BZClass& e) {
    const std::u16string text = test::ToUtf16(r.text);
    std::vector<std::pair<std::string, Rgb>> expected;
    for (auto& p : Pieces(e))
        if (!p.first.empty()) expected.push_back(p);
    ASSERT_EQ(r.spans.size(), expected.size());
    for (std::size_t i = 0; i < expected.size(); ++i) {
        const ColourSpan& s = r.spans[i];
        ASSERT_LE(static_cast<std::size_t>(s.start + s.length), text.size());
        EXPECT_EQ(text.substr(static_cast<std::size_t>(s.start), static_cast<std::size_t>(s.length)),
                  test::ToUtf16(expected[i].first))
            << "span " << i;
        EXPECT_EQ((Rgb{s.red, s.green, s.blue}), expected[i].second) << "span " << i;
    }
}

TEST(ColourSpans, LandOnTheirPieces) {
    std::vector<ChartInput> inputs;
    ChartInput full = Base();
    full.minorLuck = full.palace = true;
    inputs.push_back(full);
    ChartInput off = DefaultChartInput(2000, 1, 7, 0, 30);
    off.annual = off.stars = off.deities = off.hiddenStems = off.nayin = off.stages = false;
    inputs.push_back(off);
    ChartInput night = DefaultChartInput(2000, 1, 6, 23, 30);
    night.nightZi = night.horizontal = true;
    night.name = "😀 Ｚ";  // a character outside the BMP counts two UTF-16 units
    inputs.push_back(night);
    for (const auto& in : inputs) {
        const ChartResult r = Chart(in);
        ExpectSpansOnPieces(r, *EngineFor(in, r.text));
    }
    // With every optional box cleared only the 乾造 label, the pillar rows,
    // the luck row, the age row and the reminder heading are coloured.
    EXPECT_EQ(Chart(off).spans.size(), 5u);
}

TEST(ColourSpans, FirstOccurrenceAndPiecesAfterThePillarLabel) {
    Corvel_BZClass e;
    e.BZ_qk = "\r\n乾造：　 ";
    e.BZ_gzMain = "甲\r\n";
    e.BZ_dzcg = "乙\r\n";
    e.BZ_dy = "大运：";
    e.BZ_ny = "甲";  // also inside the pillar row: its first occurrence is taken
    e.OutputStr = "😀头\r\n大运：" + e.BZ_qk + e.BZ_gzMain + e.BZ_dzcg + "大运：";
    const ChartResult r = ComposeChartResult(e, false);
    // 😀 is two units: 大运： first at 5; the 乾造 label at 8 (7 units with
    // its CR LF), the pillar row right after it at 15, the hidden stems at 18.
    ASSERT_EQ(r.spans.size(), 6u);
    auto at = [&](int i) { return std::pair{r.spans[i].start, r.spans[i].length}; };
    EXPECT_EQ(at(0), (std::pair{8, 7}));   // BZ_qk
    EXPECT_EQ(at(1), (std::pair{15, 3}));  // BZ_gzMain
    EXPECT_EQ(at(2), (std::pair{18, 3}));  // BZ_dzcg
    EXPECT_EQ(at(3), (std::pair{15, 1}));  // BZ_ny
    EXPECT_EQ(at(4), (std::pair{5, 3}));   // BZ_dy, first occurrence
    EXPECT_EQ(Utf16Length("😀"), 2);
    EXPECT_EQ(Utf16Length("甲a　"), 3);
    EXPECT_EQ(Utf16Length(""), 0);
}

TEST(DataFiles, MissingOrDamagedFileIsADataProblem) {
    const fs::path dir = fs::temp_directory_path() / ("paipan-chart-test-" + std::to_string(::getpid()));
    fs::remove_all(dir);
    fs::create_directories(dir);
    auto problem = [&] {
        const auto outcome = RunChartRequest(Base(), dir);
        const auto* p = std::get_if<DataProblem>(&outcome);
        return p ? *p : DataProblem{"(no data problem)", ""};
    };
    DataProblem p = problem();
    EXPECT_EQ(p.caption, "错误");
    EXPECT_NE(p.message.find("SETSYSTEM.dll"), std::string::npos) << p.message;

    fs::copy_file(ProgramFolder() / kEquationOfTimeFileName, dir / kEquationOfTimeFileName);
    p = problem();
    EXPECT_NE(p.message.find("SETCONFIG.dll"), std::string::npos) << p.message;

    std::ofstream(dir / kCalendarFileName) << "not a database at all";
    p = problem();
    EXPECT_NE(p.message.find("SETCONFIG.dll"), std::string::npos) << p.message;
    fs::remove_all(dir);
}

TEST(ChartResultText, MonthAndDayLookedUpByTheirNumbers) {
    ChartInput padded = Base();
    padded.month = "05";
    padded.day = "08";
    const ChartResult a = Chart(padded);
    const ChartResult b = Chart(Base());
    EXPECT_NE(a.text.find("出生钟表时间＝1990年05月08日14时5分"), std::string::npos);
    const auto cut = [](const std::string& t) { return t.substr(t.find("出生地方时间")); };
    EXPECT_EQ(cut(a.text), cut(b.text));
}

TEST(ChartResultText, CorrectedTimeReachesTheEngine) {
    ChartInput in = DefaultChartInput(1980, 1, 1, 0, 5);
    in.longitude = "116";
    in.longitudeMinutes = "28";
    const ChartResult r = Chart(in);
    EXPECT_NE(r.text.find("出生钟表时间＝1980年1月1日0时5分"), std::string::npos);
    EXPECT_NE(r.text.find("公历：1979年12月31日23时"), std::string::npos) << r.text;
    const CivilTime t = CorrectedTimeIn(r.text);
    EXPECT_EQ(t.year, 1979);

    ChartInput west = DefaultChartInput(1890, 1, 1, 0, 5);
    west.longitude = "100";
    EXPECT_NE(Chart(west).text.find("公历：1889年12月31日"), std::string::npos);
}

// ---- Column alignment -----------------------------------------------------

void ExpectColumns(const std::string& line, int first, int width, int count, bool blankCellsAllowed,
                   const std::string& what) {
    const auto c = test::CutColumns(line, first, width, count);
    ASSERT_TRUE(c) << what << ": a column start falls inside a character\n" << line;
    EXPECT_TRUE(test::IsBlank(c->prefix) || !test::StartsBlank(c->prefix)) << what << "\n" << line;
    for (const auto& cell : c->cells) {
        if (blankCellsAllowed && test::IsBlank(cell)) continue;
        EXPECT_FALSE(test::StartsBlank(cell)) << what << ": cell [" << cell << "]\n" << line;
    }
}

void ExpectBlockAligned(const Corvel_BZClass& e) {
    using test::Lines;
    const std::string block =
        e.BZ_top_ss + e.BZ_qk + e.BZ_gzMain + e.BZ_dzcg + e.BZ_ny + e.BZ_cs + e.BZ_ssa;
    ASSERT_NE(e.OutputStr.find("\r\n" + block), std::string::npos);  // whole lines of the text
    for (const auto& l : Lines(e.BZ_top_ss)) if (!l.empty()) ExpectColumns(l, 10, 11, 4, false, "十神");
    const auto rows = Lines(e.BZ_qk + e.BZ_gzMain);
    ASSERT_GE(rows.size(), 3u);
    const auto pillar = test::CutColumns(rows[1], 10, 11, 4);
    ASSERT_TRUE(pillar) << rows[1];
    EXPECT_EQ(pillar->tail, "(" + e.kwstr + (e.mode2 == 1 ? "空)" : "空) "));
    ExpectColumns(rows[1].substr(0, rows[1].size() - pillar->tail.size()), 10, 11, 4, false, "柱");
    if (e.mode2 != 1) ExpectColumns(rows[2], 10, 11, 4, false, "地支");
    for (const auto& l : Lines(e.BZ_dzcg)) if (!l.empty()) ExpectColumns(l, 10, 11, 4, true, "藏干");
    for (const auto& l : Lines(e.BZ_ny)) if (!l.empty()) {
        ExpectColumns(l, 9, 11, 4, false, "纳音");
        EXPECT_EQ(test::DisplayWidth(l), 9 + 44);
    }
    for (const auto& l : Lines(e.BZ_cs)) if (!l.empty()) ExpectColumns(l, 11, 11, 4, false, "长生");
    for (const auto& l : Lines(e.BZ_ssa))
        if (!l.empty() && l != "神煞： ") ExpectColumns(l, 10, 11, 4, true, "神煞");
}

void ExpectLuckAligned(const Corvel_BZClass& e) {
    for (const std::string* s : {&e.BZ_dycs, &e.BZ_dyss, &e.BZ_dy, &e.BZ_dyln})
        for (const auto& l : test::Lines(*s)) if (!l.empty()) {
            ExpectColumns(l, 6, 8, 8, false, "大运/流年");
            EXPECT_EQ(test::DisplayWidth(l), 6 + 64) << l;
        }
    for (const auto& l : test::Lines(e.BZ_dyny)) if (!l.empty()) {
        const auto c = test::CutColumns(l, 4, 8, 8);
        ASSERT_TRUE(c) << l;
        for (const auto& cell : c->cells) EXPECT_EQ(cell.front(), '[') << l;
        EXPECT_EQ(c->tail, "");
    }
    const auto ages = test::Lines(e.BZ_dyxs);
    const auto c = test::CutColumns(ages[0], 6, 8, 8);
    ASSERT_TRUE(c) << ages[0];
    EXPECT_EQ(c->tail, "");
    for (const auto& cell : c->cells) {
        // A one-digit age is padded with one ASCII space in front.
        EXPECT_TRUE(std::regex_match(cell, std::regex("( \\d|\\d\\d)岁　　"))) << ages[0];
    }
}

TEST(Alignment, RandomChartsInBothLayouts) {
    std::mt19937 random(20240601);
    auto pick = [&](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(random); };
    for (int n = 0; n < 300; ++n) {
        test::EngineRequest r;
        r.year = pick(1890, 2020), r.month = pick(1, 12), r.hour = pick(0, 23), r.minute = pick(0, 59);
        r.day = pick(1, 28 + (r.month == 2 ? 0 : 2));
        r.sex = pick(0, 1);
        r.mode = pick(0, 1);
        const auto e = test::RunMain(r);
        SCOPED_TRACE(std::to_string(r.year) + "-" + std::to_string(r.month) + "-" + std::to_string(r.day) +
                     " " + std::to_string(r.hour) + ":" + std::to_string(r.minute));
        ExpectBlockAligned(*e);
        ExpectLuckAligned(*e);
        if (HasFatalFailure()) return;
    }
}

}  // namespace
}  // namespace paipan
