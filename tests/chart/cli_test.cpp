// paipan-cli, run as a built program from a working directory that holds no
// data files: stdout byte for byte the chart request's text, exit status 2
// for a bad command line or an input problem, 3 for missing data files.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <nlohmann/json.hpp>
#include <limits>
#include <random>
#include <regex>
#include <set>

#include "util/program_folder.h"
#include "util/utf8.h"
#include "rtf/rtf_reader.h"
#include "chart/chart_json.h"
#include "cli/chart_html.h"
#include "cli/compact_json.h"
#include "chart/chart_request.h"
#include "chart/unknown_hour.h"
#include "chart_test_support.h"

namespace paipan {
namespace {

namespace fs = std::filesystem;
using Args = std::vector<std::string>;

using test::ProgramRun;

class CliTest : public ::testing::Test {
protected:
    const fs::path dir_ = fs::temp_directory_path() / ("paipan-cli-test-" + std::to_string(::getpid()));
    void SetUp() override { fs::create_directories(dir_ / "cwd"); }
    void TearDown() override { fs::remove_all(dir_); }

    // `args` run with `in` as stdin; stdout goes to `out` when it is given.
    ProgramRun Run(const Args& args, const fs::path& exe = PAIPAN_CLI_PATH, const std::string& in = "",
                   const fs::path& out = {}) const {
        return test::RunProgram(exe, args, in, dir_, dir_ / "cwd", out);
    }
};

TEST_F(CliTest, WritesExactlyTheChartText) {
    ChartInput plain = DefaultChartInput(1990, 5, 8, 14, 5), in = plain, back = plain;
    in.name = "李 四", in.place = "上海", in.longitude = "121", in.longitudeMinutes = "28";
    in.male = in.annual = in.stars = false;
    in.horizontal = in.minorLuck = in.palace = in.nightZi = true;
    back.deities = back.hiddenStems = back.nayin = back.stages = false;
    const std::pair<Args, ChartInput> cases[] = {
        // Values after '=' or as the next argument.
        // clang-format off
        {{"--name=李 四", "--place", "上海", "--longitude=121", "--longitude-minutes", "28", "--year=1990", "--month",
          "5", "--day=8", "--hour", "14", "--minute=5", "--sex=female", "--layout", "horizontal", "--no-annual",
          "--no-stars", "--minor-luck", "--palace", "--night-zi"}, in},
        // clang-format on
        // Later options win; every switch can be turned back.
        // clang-format off
        {{"--year", "1990", "--month", "5", "--day", "8", "--hour", "14", "--minute", "5", "--no-deities",
          "--no-hidden-stems", "--no-nayin", "--no-stages", "--minor-luck", "--no-minor-luck", "--palace",
          "--no-palace", "--night-zi", "--no-night-zi", "--no-annual", "--annual", "--sex", "female", "--sex",
          "male", "--layout=vertical"}, back},
        // clang-format on
        // Everything else as the window starts.
        {{"--year", "1990", "--month", "5", "--day", "8", "--hour", "14", "--minute", "5"}, plain},
    };
    for (const auto& [args, input] : cases) {
        const ProgramRun r = Run(args);
        const auto outcome = RunChartRequest(input, ProgramFolder());
        ASSERT_TRUE(std::holds_alternative<ChartResult>(outcome));
        EXPECT_EQ(r.status, 0) << r.err;
        // Only notices on stderr (the window's 安徽 at 120° is one), each a line of its own.
        EXPECT_TRUE(std::regex_match(r.err, std::regex("(提示：[^\n]*\n)*"))) << r.err;
        EXPECT_EQ(r.out, std::get<ChartResult>(outcome).text);
    }
}

TEST_F(CliTest, BirthplaceOptions) {
    const Args date = {"--year", "1988", "--month", "7", "--day", "1", "--hour", "12", "--minute", "0"};
    const auto with = [&](Args more) {
        more.insert(more.end(), date.begin(), date.end());
        return Run(more);
    };
    const ProgramRun locate = Run({"--locate", "乌鲁木齐"});
    EXPECT_EQ(locate.status, 0);
    EXPECT_EQ(locate.out.substr(0, locate.out.find('\n') + 1), "新疆维吾尔自治区 乌鲁木齐市\t87\t38\tAsia/Shanghai\n");
    EXPECT_EQ(Run({"--locate", "纽约"}).out, "美国 纽约\t-74\t0\tAmerica/New_York\n");
    const ProgramRun none = Run({"--locate", "无此地名"});
    EXPECT_EQ(std::make_pair(none.status, none.out), std::make_pair(2, std::string()));
    EXPECT_NE(none.err.find("没有找到"), std::string::npos);

    // The longitude the window's choice would fill, the chart otherwise the same.
    const ProgramRun fromPlace = with({"--place", "乌鲁木齐", "--longitude-from-place"});
    const ProgramRun typed = with({"--place", "乌鲁木齐", "--longitude", "87", "--longitude-minutes", "38"});
    EXPECT_EQ(fromPlace.status, 0);
    EXPECT_EQ(fromPlace.out, typed.out);
    EXPECT_NE(fromPlace.err.find("提示：钟表时间1988年7月1日12时0分（时区 Asia/Shanghai）正值夏令时"),
              std::string::npos);
    EXPECT_EQ(with({"--quiet"}).err, "");
    EXPECT_EQ(with({"--quiet"}).out, with({}).out);
    // Never a silent pick; never two longitudes.
    const ProgramRun twice = with({"--place", "伊宁", "--longitude-from-place"});
    EXPECT_EQ(std::make_pair(twice.status, twice.out), std::make_pair(2, std::string()));
    EXPECT_NE(twice.err.find("伊宁县"), std::string::npos);
    EXPECT_EQ(with({"--place", "无此地名", "--longitude-from-place"}).status, 2);
    EXPECT_EQ(with({"--place", "合肥", "--longitude-from-place", "--longitude", "117"}).status, 2);
}

TEST_F(CliTest, ProblemsExitTwoWithNothingOnStdout) {
    const std::string year = "请选择或输入正确的年份值，年份的值应当是介于1800与2100之间的数值！\n";
    const std::pair<Args, std::string> cases[] = {
        // Bad command lines: a usage message naming the program.
        // clang-format off
        {{"--colour"}, "paipan-cli"},      {{"--sex", "other"}, "paipan-cli"}, {{"--layout=diagonal"}, "paipan-cli"},
        {{"--year"}, "paipan-cli"},        {{"1990"}, "paipan-cli"},           {{"--annual=1"}, "paipan-cli"},
        {{"--no-name"}, "paipan-cli"},     {{"-y", "1990"}, "paipan-cli"},     {{"--name", "\xff\xfe"}, "paipan-cli"},
        // clang-format on
        // Input problems: the window's message, exactly.
        {{"--year", "2101", "--month", "5", "--day", "8"}, year},
        {{"--year", "1799", "--month", "12", "--day", "31"}, year},
        {{"--year", "1990", "--month", "2", "--day", "30"}, "请检查输入数据是否出错！\n"},
    };
    for (const auto& [args, err] : cases) {
        const ProgramRun r = Run(args);
        EXPECT_EQ(r.status, 2) << r.err;
        EXPECT_EQ(r.out, "");
        EXPECT_TRUE(err.ends_with("\n") ? r.err == err : r.err.find(err) != std::string::npos) << r.err;
    }
}

// With no options the request is the window's start-up one: today's date and
// the clock time now, inside the span, charted like any other.
TEST_F(CliTest, NoOptionsChartTheMomentNow) {
    const auto text = [](const ChartInput& in) {
        return std::get<ChartResult>(RunChartRequest(in, ProgramFolder())).text;
    };
    const std::string before = text(DefaultChartInputNow());
    const ProgramRun r = Run({"--quiet"});
    const std::string after = text(DefaultChartInputNow());  // the minute may turn meanwhile
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.err, "");
    EXPECT_TRUE(r.out == before || r.out == after) << r.out;
}

TEST_F(CliTest, MissingOrDamagedDataFilesExitThree) {
    const fs::path lone = dir_ / "lone";
    fs::create_directories(lone);
    fs::copy_file(PAIPAN_CLI_PATH, lone / "paipan-cli");
    const auto expectExitThree = [&](const char* file) {
        const ProgramRun r = Run({"--year", "1990", "--month", "5", "--day", "8"}, lone / "paipan-cli");
        EXPECT_EQ(r.status, 3);
        EXPECT_EQ(r.out, "");
        EXPECT_NE(r.err.find(file), std::string::npos) << r.err;
    };
    expectExitThree("SETSYSTEM.dll");
    fs::copy_file(fs::path(PAIPAN_CLI_PATH).parent_path() / "SETSYSTEM.dll", lone / "SETSYSTEM.dll");
    expectExitThree("SETCONFIG.dll");
    std::ofstream(lone / "SETCONFIG.dll") << "not a database at all";
    expectExitThree("SETCONFIG.dll");
    // A batch stops at once on a data fault, after that line's error object.
    const ProgramRun r = Run({"--batch"}, lone / "paipan-cli", "{\"year\":1990}\n{\"year\":1991}\n");
    EXPECT_EQ(r.status, 3);
    EXPECT_EQ(nlohmann::json::parse(r.out)["error"]["kind"], "data");
}

using nlohmann::json;
const Args k1949 = {"--year", "1949", "--month", "10", "--day", "1", "--hour", "15", "--minute", "0"};

std::string Plain(const std::string& crlf) { return std::regex_replace(crlf, std::regex("\r\n"), "\n"); }

struct JsonCase {
    Args args;
    std::string pillars, voids, lunar, solar, last, next, clock;
    bool forward;
    std::size_t notices;  // with no birthplace: only the 15:10 birth is near a 时辰 edge
};
// clang-format off: one birth a row
const JsonCase kJsonCases[] = {
    {k1949, "己丑 癸酉 甲子 壬申", "戌亥", "1949 8 10 0", "1949 8", "白露 1949-09-08", "寒露 1949-10-08",
     "1949-10-01T15:", false, 1},
    {{"--year=2000", "--month=1", "--day=1", "--hour=12", "--minute=0", "--sex=female"},
     "己卯 丙子 戊午 戊午",
     "子丑",
     "1999 11 25 0",
     "1999 11",
     "大雪 1999-12-07",
     "小寒 2000-01-06",
     "2000-01-01T11:5",
     true,
     0},
    {{"--year=2020", "--month=5", "--day=23", "--hour=10", "--minute=0"},
     "庚子 辛巳",
     "",
     "2020 4 1 1",
     "2020 4",
     "立夏 2020-05-05",
     "芒种 2020-06-05",
     "2020-05-23T10:",
     true,
     0},
    // 2020-01-28: lunar 正月初四 (the new year fell on 25 January) but the
    // solar month is still the twelfth, 丁丑, until 立春 on 4 February;
    // a 庚午 day, its 巳 hour 辛巳.
    {{"--year=2020", "--month=1", "--day=28", "--hour=10", "--minute=0"},
     "己亥 丁丑 庚午 辛巳",
     "戌亥",
     "2020 1 4 0",
     "2019 12",
     "小寒 2020-01-06",
     "立春 2020-02-04",
     "2020-01-28T09:4",
     false,
     0},
};
// clang-format on

// Pillars, lunar dates and terms of almanac dates: 1949-10-01 is 己丑年
// 癸酉月 甲子日, lunar 八月初十, between 白露 (8 Sep) and 寒露 (9 Oct);
// 2000-01-01 is 戊午日 of 己卯年 丙子月, lunar 十一月廿五, between 大雪 and
// 小寒; 2020-05-23 is the first day of 闰四月. (寒露 1949 fell late on 8 October:
// 2021's was on 8 October 09:39, and 72 years earlier at the same place in the
// leap cycle the terms come about 13.5 hours later.)
TEST_F(CliTest, JsonHoldsTheChartValues) {
    for (const JsonCase& c : kJsonCases) {
        Args args = c.args;
        args.insert(args.end(), {"--format", "json", "--no-stars", "--place", ""});
        const ProgramRun r = Run(args);
        ASSERT_EQ(r.status, 0) << r.err;
        ASSERT_TRUE(r.out.ends_with("}\n") && r.out.find('\n') == r.out.size() - 1);
        const json j = json::parse(r.out);
        Args textArgs = c.args;
        textArgs.insert(textArgs.end(), {"--no-stars", "--place", ""});
        EXPECT_EQ(j["text"], Run(textArgs).out);
        std::string pillars;
        for (const auto& p : j["pillars"]) pillars += (pillars.empty() ? "" : " ") + p["ganzhi"].get<std::string>();
        EXPECT_TRUE(pillars.starts_with(c.pillars)) << pillars;
        if (!c.voids.empty()) {
            EXPECT_EQ(j["voids"], c.voids);
        }
        const auto& l = j["lunar"];
        EXPECT_EQ(std::to_string(l["year"].get<int>()) + " " + std::to_string(l["month"].get<int>()) + " " +
                      std::to_string(l["day"].get<int>()) + " " + (l["leap"].get<bool>() ? "1" : "0"),
                  c.lunar);
        EXPECT_EQ(std::to_string(j["solarYear"].get<int>()) + " " + std::to_string(j["solarMonth"].get<int>()),
                  c.solar);
        for (const auto& [key, want] : {std::pair{"last", c.last}, {"next", c.next}}) {
            const auto& t = j["terms"][key];
            EXPECT_EQ(t["name"].get<std::string>() + " " + t["time"].get<std::string>().substr(0, 10), want);
        }
        EXPECT_TRUE(j["trueSolarTime"].get<std::string>().starts_with(c.clock)) << j["trueSolarTime"];
        EXPECT_EQ(j["luck"]["forward"], c.forward);
        EXPECT_EQ(j["luck"]["pillars"].size(), 8u);
        EXPECT_EQ(j["notices"].size(), c.notices);
        for (const char* key : {"conception", "palace"}) EXPECT_EQ(j[key].get<std::string>().size(), 6u);
        EXPECT_EQ(j["pillars"][2]["deity"], "日主");
    }
}

TEST_F(CliTest, JsonPillarsCarryTheirSoundStageAndStars) {
    // 1949-10-01: the day 甲子 takes 海中金; its stars as printed in the chart's columns.
    // clang-format off
    const json j = json::parse(Run([] { Args a = k1949; a.insert(a.end(), {"--format", "json"}); return a; }()).out);
    // clang-format on
    EXPECT_EQ(j["pillars"][2]["nayin"], "海中金");
    EXPECT_EQ(j["pillars"][2]["stage"], "沐浴");
    const std::string text = j["text"];
    for (const char* pillar : {"year", "month", "day", "hour"})
        for (const auto& star : j["stars"][pillar]) EXPECT_NE(text.find(star.get<std::string>()), std::string::npos);
}

// The 1949 chart with minor luck and palace, as the library makes it, and
// paipan-cli's arguments for it in `format`.
// The name has markup and a character beyond U+FFFF (two UTF-16 units) before
// every coloured piece.
const char* const kOddName = "<𠀀李>";
ChartResult Chart1949() {
    ChartInput in = DefaultChartInput(1949, 10, 1, 15, 0);
    in.minorLuck = in.palace = true;
    in.name = kOddName;
    return std::get<ChartResult>(RunChartRequest(in, ProgramFolder()));
}
Args Args1949(const char* format) {
    Args args = k1949;
    args.insert(args.end(), {"--minor-luck", "--palace", "--name", kOddName, "--format", format});
    return args;
}

// The colour spans count UTF-16 units. Per the Unicode standard (and RFC
// 2781): 𝄞 U+1D11E (UTF-8 F0 9D 84 9E) is the pair D834 DD1E; the first and
// last code points past U+FFFF are D800 DC00 and DBFF DFFF; 甲 U+7532 (UTF-8
// E7 94 B2) is one unit.
TEST(Utf16, PairsPastTheBmpOneUnitBelowItAndBack) {
    const std::string text =
        "\xE7\x94\xB2\xF0\x9D\x84\x9E\xF0\x90\x80\x80\xF4\x8F\xBF\xBF"
        "a";
    const std::u16string units = {0x7532, 0xD834, 0xDD1E, 0xD800, 0xDC00, 0xDBFF, 0xDFFF, u'a'};
    EXPECT_EQ(ToUtf16(text), units);
    EXPECT_EQ(FromUtf16(units), text);
    // An ill-formed byte, and surrogates out of their pair, are U+FFFD (EF BF BD).
    EXPECT_EQ(ToUtf16("\xFF"
                      "a"),
              (std::u16string{0xFFFD, u'a'}));
    EXPECT_EQ(FromUtf16(std::u16string{0xDD1E, 0xD834, u'a'}),
              "\xEF\xBF\xBD\xEF\xBF\xBD"
              "a");
    // Both edges of the surrogate range: D7FF and E000 are characters, a lone
    // D800 or DFFF is not.
    EXPECT_EQ(FromUtf16(std::u16string{0xD7FF, 0xD800, u'a', 0xDFFF, 0xE000}),
              "\xED\x9F\xBF\xEF\xBF\xBD"
              "a\xEF\xBF\xBD\xEE\x80\x80");
}

TEST_F(CliTest, HtmlCarriesTheTextAndItsColours) {
    const ChartResult chart = Chart1949();
    const std::string html = Run(Args1949("html")).out;
    ASSERT_TRUE(html.starts_with("<!DOCTYPE html>") && html.find("charset=\"utf-8\"") != std::string::npos);
    // Each coloured piece is one span of its colour, in the colouring table's order.
    const std::regex spanRe("<span style=\"color:#([0-9a-f]{6})\">([^<]*)</span>");
    const std::u16string all = ToUtf16(chart.text);
    std::size_t n = 0;
    for (auto it = std::sregex_iterator(html.begin(), html.end(), spanRe); it != std::sregex_iterator(); ++it, ++n) {
        ASSERT_LT(n, chart.spans.size());
        const ColourSpan& s = chart.spans[n];
        char hex[8];
        std::snprintf(hex, sizeof hex, "%02x%02x%02x", s.red, s.green, s.blue);
        EXPECT_EQ((*it)[1], hex);
        EXPECT_EQ((*it)[2],
                  Plain(FromUtf16(all.substr(static_cast<std::size_t>(s.start), static_cast<std::size_t>(s.length)))));
    }
    EXPECT_EQ(n, chart.spans.size());
    const auto pre = html.find("<pre>") + 5;
    ASSERT_TRUE(html.substr(pre).starts_with("姓名：&lt;𠀀李&gt;　　"));
    std::string shown = std::regex_replace(html.substr(pre, html.find("</pre>") - pre), std::regex("<[^>]*>"), "");
    for (const auto& [entity, c] : {std::pair{"&lt;", "<"}, {"&gt;", ">"}, {"&quot;", "\""}, {"&amp;", "&"}})
        shown = std::regex_replace(shown, std::regex(entity), c);
    EXPECT_EQ(shown, Plain(chart.text));
}

// Every character of a text that is not a line end, with its colour as
// 0xRRGGBB (-1: none).
using ColouredText = std::vector<std::pair<char32_t, long>>;
void AddColoured(ColouredText& out, const std::string& utf8, long colour) {
    for (std::size_t pos = 0; pos < utf8.size();) {
        const char32_t c = NextCodePoint(utf8, pos);
        if (c != '\r' && c != '\n') out.push_back({c, colour});
    }
}
long Rgb(int r, int g, int b) { return r << 16 | g << 8 | b; }

TEST_F(CliTest, RtfCarriesTheTextAndItsColours) {
    // Read back by the project's reader: the same text, the coloured runs in the table's colours.
    const ChartResult chart = Chart1949();
    const auto runs = rtf::ParseRtf(Run(Args1949("rtf")).out);
    ASSERT_TRUE(runs);
    std::string text;
    ColouredText got, want;
    for (const auto& run : *runs) {
        text += run.text;
        EXPECT_EQ(run.format.font, "Noto Sans Mono CJK SC");
        const auto& c = run.format.colour;
        AddColoured(got, run.text, c ? Rgb(c->red, c->green, c->blue) : -1);
    }
    EXPECT_EQ(text, Plain(chart.text));
    // The colour of each character from the spans, counted in UTF-16 units.
    const std::u16string all = ToUtf16(chart.text);
    std::vector<long> colour(all.size(), -1);
    for (const ColourSpan& s : chart.spans)
        std::fill_n(colour.begin() + s.start, s.length, Rgb(s.red, s.green, s.blue));
    for (std::size_t u = 0; u < all.size(); ++u) {
        const std::size_t units = all[u] >= 0xD800 && all[u] < 0xDC00 ? 2 : 1;
        AddColoured(want, FromUtf16(all.substr(u, units)), colour[u]);
        u += units - 1;
    }
    EXPECT_EQ(got, want);
}

TEST_F(CliTest, OutputFileIsReplacedWholeOrNotAtAll) {
    const fs::path target = dir_ / "chart.txt";
    std::ofstream(target) << "old";
    Args args = k1949;
    args.insert(args.end(), {"--output", target.string()});
    ProgramRun r = Run(args);
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(test::ReadAll(target), Run(k1949).out);
    // An input problem or an unwritable place leaves the old file.
    std::ofstream(target) << "old";
    args[1] = "2101";
    EXPECT_EQ(Run(args).status, 2);
    args[1] = "1949";
    args.back() = (dir_ / "no-such-folder" / "x.txt").string();
    r = Run(args);
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("无法写入文件"), std::string::npos) << r.err;
    EXPECT_EQ(test::ReadAll(target), "old");
    EXPECT_EQ(fs::directory_iterator(dir_) != fs::directory_iterator(), true);
    for (const auto& entry : fs::directory_iterator(dir_))
        EXPECT_FALSE(entry.path().filename().string().starts_with("."));
    for (const Args& bad : {Args{"--format", "pdf"}, Args{"--format=svg"}, Args{"--batch", "--format", "html"}}) {
        r = Run(bad);
        EXPECT_EQ(r.status, 2) << bad[1];
    }
    r = Run({"--format", "json", "--colour"});
    EXPECT_EQ(json::parse(r.out)["error"]["kind"], "usage");
}

TEST_F(CliTest, BatchAnswersEveryLineInOrder) {
    const std::string in =  // the last line without LF at its end
        "{\"year\":1949,\"month\":10,\"day\":1,\"hour\":15,\"minute\":0}\n"
        "[1,2]\n"
        "{\"year\":\"1949\",\"month\":10,\"day\":1,\"hour\":15,\"stars\":true,\"name\":\"李四\"}\r\n"
        "{\"colour\":\"red\"}\n"
        "{\"year\":1949,\"month\":2,\"day\":30}\n"
        "{\"year\":1949,\"longitude\":200}\n"
        "{\"year\":1949,\"stars\":1}\n"
        "{\"year\":1949,\"month\":10,\"day\":1,\"hour\":15,\"longitude\":121.5,\"sex\":\"female\"}";
    const ProgramRun r = Run({"--no-stars", "--minute", "0", "--batch"}, PAIPAN_CLI_PATH, in);
    EXPECT_EQ(r.status, 0) << r.err;
    std::vector<json> lines;
    std::istringstream out(r.out);
    for (std::string line; std::getline(out, line);) lines.push_back(json::parse(line));
    ASSERT_EQ(lines.size(), 8u);
    const char* kinds[] = {"", "request", "", "request", "input", "input", "request", ""};
    for (std::size_t i = 0; i < lines.size(); ++i) {
        EXPECT_EQ(lines[i]["line"], i + 1);
        EXPECT_EQ(lines[i].contains("error") ? lines[i]["error"]["kind"].get<std::string>() : "", kinds[i]) << i;
    }
    // Defaults from the command line (no stars), overridden per line.
    // clang-format off
    EXPECT_EQ(lines[0]["text"], Run([] { Args a = k1949; a.push_back("--no-stars"); return a; }()).out);
    EXPECT_EQ(lines[2]["text"], Run([] { Args a = k1949; a.insert(a.end(), {"--name", "李四"}); return a; }()).out);
    // clang-format on
    EXPECT_EQ(lines[3]["error"]["field"], "colour");
    EXPECT_EQ(lines[4]["error"]["field"], nullptr);
    EXPECT_EQ(lines[5]["error"]["field"], "longitude");
    EXPECT_NE(lines[7]["text"].get<std::string>().find("经度：121.5度0分"), std::string::npos);
    EXPECT_NE(lines[7]["text"].get<std::string>().find("坤造"), std::string::npos);
}

// More than three read buffers (64 KiB each) of requests padded with
// spaces: a line whose LF is the buffer's last byte, one whose LF is the
// next buffer's first, one crossing in its middle, and lines that are JSON
// but not objects.
TEST_F(CliTest, BatchLinesAcrossTheReadBuffer) {
    const std::string request = "{\"year\":1949,\"month\":10,\"day\":1,\"hour\":15,\"minute\":0";
    std::string in;
    const auto padTo = [&](std::size_t lfAt) {  // the request, closed so that its LF is at byte lfAt
        in += request + std::string(lfAt - in.size() - request.size() - 1, ' ') + "}\n";
    };
    padTo(65535);
    in += "null\n";
    padTo(2 * 65536);
    in += "[]\n";
    padTo(3 * 65536 + 40000);
    in += "{\"year\":2000,\"month\":1,\"day\":1,\"hour\":12,\"minute\":0}";
    ASSERT_EQ(in.find("\n", 65536), 65536u + 4);
    const ProgramRun r = Run({"--no-stars", "--batch"}, PAIPAN_CLI_PATH, in);
    EXPECT_EQ(r.status, 0) << r.err;
    std::vector<json> lines;
    std::istringstream out(r.out);
    for (std::string line; std::getline(out, line);) lines.push_back(json::parse(line));
    ASSERT_EQ(lines.size(), 6u);
    // clang-format off
    const std::string chart1949 = Run([] { Args a = k1949; a.push_back("--no-stars"); return a; }()).out;
    // clang-format on
    for (const std::size_t i : {0, 2, 4}) EXPECT_EQ(lines[i]["text"], chart1949) << i;
    EXPECT_EQ(lines[5]["text"],
              Run({"--year=2000", "--month=1", "--day=1", "--hour=12", "--minute=0", "--no-stars"}).out);
    for (const std::size_t i : {1, 3})
        EXPECT_EQ(lines[i],
                  json::parse("{\"error\":{\"kind\":\"request\",\"message\":\"第" + std::to_string(i + 1) +
                              "行不是一个JSON对象。\",\"field\":null},\"line\":" + std::to_string(i + 1) + "}"));
}

// A stdout that cannot take the chart (a full disk, here /dev/full) fails
// with status 1, for one chart, a batch and a --locate list, whether the write fails at
// once (more than the stream's buffer) or only when it is flushed at the end.
TEST_F(CliTest, FullStdoutExitsOne) {
    if (!fs::exists("/dev/full")) GTEST_SKIP() << "no /dev/full";
    const std::string line = "{\"year\":1949,\"month\":10,\"day\":1,\"hour\":15,\"minute\":0}\n";
    std::string many;
    for (int i = 0; i < 20; ++i) many += line;
    const std::pair<Args, std::string> cases[] = {
        {k1949, ""}, {{"--batch"}, line}, {{"--batch"}, many}, {{"--batch"}, "null\n"}, {{"--locate", "合肥"}, ""}};
    for (const auto& [args, in] : cases) {
        const ProgramRun r = Run(args, PAIPAN_CLI_PATH, in, "/dev/full");
        EXPECT_EQ(r.status, 1) << in.size() << " " << r.err;
    }
    EXPECT_EQ(Run(k1949, PAIPAN_CLI_PATH, "", "/dev/full").err, "paipan-cli: cannot write to stdout\n");
}

// DumpCompact against the JSON library's own serializer, which it must
// match byte for byte: every escape, UTF-8 of each length at the edges of
// the fast path, malformed UTF-8 (repaired by the library), texts longer
// than the output buffer, numbers at their limits and nested values.
TEST(DumpCompact, MatchesTheLibrarysSerializer) {
    using ordered = nlohmann::ordered_json;
    std::string controls;
    for (char c = 1; c < 0x20; ++c) controls += c;
    const std::string strings[] = {
        // clang-format off
        "", "a", controls, "\"\\/", "\x7f", "é", "中", "𠀀", "\xE0\xA0\x80", "\xE1\x80\x80", "\xEC\xBF\xBF",
        "\xED\x80\x80", "\xED\x9F\xBF", "\xEE\x80\x80", "\xEF\xBF\xBF", "\xF4\x8F\xBF\xBF", "x\xE4\xB8\xADy",
        "\xFF", "\xC0\x80", "\xE0\x80\x80", "\xED\xA0\x80", "\xF4\x90\x80\x80", "\xE4\xB8", "ab\xF0\x9F\x98",
        "\xE4\xB8\xAD\x80", std::string(9000, 'x') + "\"" + std::string(9000, 'y'),
        [] { std::string s; for (int i = 0; i < 5000; ++i) s += "中"; return s + "\n"; }(),
        // clang-format on
    };
    for (const std::string& s : strings) {
        const ordered values[] = {s, ordered::array({s, 1}), {{"k", s}}, {{s, s}}};
        for (const ordered& v : values) {
            std::string out = "left over";
            DumpCompact(v, out);
            EXPECT_EQ(out, v.dump(-1, ' ', false, ordered::error_handler_t::replace)) << s.substr(0, 40);
        }
    }
    const ordered others[] = {
        // clang-format off
        0, -1, 9, 10, -10, std::numeric_limits<std::int64_t>::min(), std::numeric_limits<std::int64_t>::max(),
        std::numeric_limits<std::uint64_t>::max(), 1.5, -0.25, true, false, nullptr, ordered::array(),
        ordered::object(), ordered::parse(R"({"a":[1,{"b":null,"c":true,"d":false}],"":[[],{}],"z":-7})"),
        // clang-format on
    };
    for (const ordered& v : others) {
        std::string out = "left over";
        DumpCompact(v, out);
        EXPECT_EQ(out, v.dump(-1, ' ', false, ordered::error_handler_t::replace));
    }
}

// The same on keys that need escapes, text repaired inside an object, and
// whole charts as the batch writes them.
TEST(DumpCompact, MatchesTheLibraryOnKeysRepairsAndWholeCharts) {
    using json = nlohmann::ordered_json;
    const auto dump = [](const json& v) { return v.dump(-1, ' ', false, json::error_handler_t::replace); };
    // clang-format off
    json values = {{"text", "晴川\r\n\t\"引号\" \\ \b\f\x01\x1f\x7f end"}, {"emoji", "\U0001F600\u00e9"},
                   {"键\"\n", "v"}, {"n", -12}, {"u", 18446744073709551615ull}, {"f", 1.5}, {"yes", true},
                   {"none", nullptr}, {"o", json::object()}, {"a", json::array({1, "x", json::array()})}};
    // clang-format on
    std::string out = "left over";
    DumpCompact(values, out);
    EXPECT_EQ(out, dump(values));
    // Ill-formed UTF-8 is repaired as the library repairs it.
    for (const char* bad :
         {"\xC0\xAF", "a\xE0\x80\x80", "\xED\xA0\x80", "\xF4\x90\x80\x80", "\xE6\x99", "\x80", "\xFF"}) {
        values["bad"] = bad;
        DumpCompact(values, out);
        EXPECT_EQ(out, dump(values)) << bad;
    }
    std::mt19937 random(7);  // fixed: the same charts every run
    auto pick = [&](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(random); };
    for (int i = 0; i < 40; ++i) {
        const int year = pick(1890, 2020), month = pick(1, 12), day = pick(1, 28), hour = pick(0, 23),
                  minute = pick(0, 59);
        ChartInput in = DefaultChartInput(year, month, day, hour, minute);
        in.male = i % 2, in.horizontal = i % 3 == 0, in.minorLuck = in.palace = i % 4 == 0;
        RunChartRequest(in, ProgramFolder(), [&](const Corvel_BZClass& e, const ChartResult& r) {
            const json chart = ChartJson(e, r, {"提示：一条"});
            DumpCompact(chart, out);
            EXPECT_EQ(out, dump(chart)) << in.year << "-" << in.month << "-" << in.day;
        });
    }
}

TEST_F(CliTest, HelpNamesEveryOption) {
    const ProgramRun r = Run({"--help"});
    EXPECT_EQ(r.status, 0);
    for (std::string name : {"format",
                             "output",
                             "batch",
                             "name",
                             "place",
                             "longitude",
                             "longitude-minutes",
                             "year",
                             "month",
                             "day",
                             "hour",
                             "minute",
                             "sex",
                             "layout",
                             "no-annual",
                             "no-stars",
                             "no-deities",
                             "no-hidden-stems",
                             "no-nayin",
                             "no-minor-luck",
                             "no-palace",
                             "no-stages",
                             "no-night-zi",
                             "unknown-hour",
                             "no-unknown-hour",
                             "locate",
                             "longitude-from-place",
                             "quiet"})
        EXPECT_NE(r.out.find("--" + name + " "), std::string::npos) << name;
}

// A birth abroad read on its own clock, from the place named, --zone or the
// batch key "zone"; corrections worked by hand from the standard meridian.
TEST_F(CliTest, BirthClockOfThePlace) {
    const Args date = {"--year", "1990", "--month", "5", "--day", "8", "--hour", "10", "--minute", "0"};
    const auto with = [&](Args more) {
        more.insert(more.end(), date.begin(), date.end());
        return Run(more);
    };
    // 123°07'W on 120°W: -3°07' = -12 min 28 s (not -972 min on 120°E).
    const ProgramRun vancouver = with({"--place", "温哥华", "--longitude-from-place"});
    EXPECT_EQ(vancouver.status, 0);
    EXPECT_NE(
        vancouver.out.find("出生钟表时间＝1990年5月8日10时0分\r\n钟表时区＝温哥华时间（UTC-8，标准经线西经120°）\r\n"
                           "出生地方时间＝出生钟表时间－12分28秒\r\n"),
        std::string::npos);
    EXPECT_NE(vancouver.err.find("提示：出生钟表时间按温哥华时间"), std::string::npos) << vancouver.err;
    EXPECT_NE(vancouver.err.find("正值夏令时"), std::string::npos) << vancouver.err;
    const ProgramRun zone = with({"--zone", "America/Vancouver", "--longitude=-124", "--longitude-minutes=53"});
    EXPECT_NE(
        zone.out.find("钟表时区＝America/Vancouver（UTC-8，标准经线西经120°）\r\n出生地方时间＝出生钟表时间－12分28秒"),
        std::string::npos);
    // A name of places in two zones: refused with the places, or read on China's clock with a notice.
    const ProgramRun taiping = with({"--place", "太平", "--longitude-from-place"});
    EXPECT_EQ(std::make_pair(taiping.status, taiping.out), std::make_pair(2, std::string()));
    EXPECT_NE(taiping.err.find("辽宁省 阜新市 太平区"), std::string::npos) << taiping.err;
    EXPECT_NE(taiping.err.find("台湾省 台中市 太平区"), std::string::npos) << taiping.err;
    const ProgramRun saigon = with({"--place", "西贡", "--longitude-from-place"});
    EXPECT_EQ(saigon.status, 2);
    EXPECT_NE(saigon.err.find("越南 胡志明市"), std::string::npos) << saigon.err;
    EXPECT_NE(saigon.err.find("香港特别行政区 西贡区"), std::string::npos) << saigon.err;
    const ProgramRun typed = with({"--place", "太平"});
    EXPECT_EQ(typed.out.find("钟表时区"), std::string::npos);
    EXPECT_NE(typed.err.find("可指不同时区的几个地点"), std::string::npos) << typed.err;
    for (const std::string zone : {"Mars/Olympus", "Asia"}) {  // "Asia": a folder of zones
        const ProgramRun unknown = with({"--zone", zone});
        EXPECT_EQ(std::make_pair(unknown.status, unknown.out), std::make_pair(2, std::string())) << zone;
        EXPECT_NE(unknown.err.find(zone), std::string::npos) << unknown.err;
    }
}

// The batch: the key "zone", or the place's own; 139°45'E on 135°E is +19 min.
TEST_F(CliTest, BirthClockInTheBatch) {
    const ProgramRun batch = Run(
        {"--batch"}, PAIPAN_CLI_PATH,
        "{\"year\":1990,\"month\":5,\"day\":8,\"hour\":10,\"minute\":0,\"zone\":\"Asia/Tokyo\","
        "\"longitude\":139,\"longitude-minutes\":45}\n"
        "{\"year\":1990,\"month\":5,\"day\":8,\"hour\":10,\"minute\":0,\"place\":\"东京\","
        "\"longitude\":139,\"longitude-minutes\":45}\n");
    const std::string tokyo = "钟表时区＝东京时间（UTC+9，标准经线东经135°）\\r\\n出生地方时间＝出生钟表时间＋19分0秒";
    const std::string named =
        "钟表时区＝Asia/Tokyo（UTC+9，标准经线东经135°）\\r\\n出生地方时间＝出生钟表时间＋19分0秒";
    EXPECT_NE(batch.out.find(named), std::string::npos) << batch.out.substr(0, 400);
    EXPECT_NE(batch.out.find(tokyo, batch.out.find('\n')), std::string::npos);
}

}  // namespace
}  // namespace paipan

namespace paipan {
namespace {

// --unknown-hour: the same text as the library's, not with --hour or
// --minute, JSON with its four keys.
TEST_F(CliTest, UnknownHour) {
    const Args day = {"--unknown-hour", "--year", "1990", "--month", "2", "--day", "4", "--quiet"};
    const ProgramRun text = Run(day);
    EXPECT_EQ(text.status, 0);
    ChartInput in = DefaultChartInput(1990, 2, 4, 0, 0);
    in.unknownHour = true;
    const auto outcome = RunUnknownHourRequest(in, ProgramFolder());
    ASSERT_TRUE(std::holds_alternative<UnknownHourChart>(outcome));
    EXPECT_EQ(text.out, std::get<UnknownHourChart>(outcome).result.text);

    for (const Args& bad : {Args{"--unknown-hour", "--hour", "3"}, Args{"--minute=5", "--unknown-hour"}}) {
        const ProgramRun r = Run(bad);
        EXPECT_EQ(r.status, 2);
        EXPECT_EQ(r.out, "");
        EXPECT_NE(r.err.find("--unknown-hour cannot be combined with --hour or --minute"), std::string::npos);
    }

    Args json = day;
    json.insert(json.end(), {"--format", "json"});
    const auto object = nlohmann::ordered_json::parse(Run(json).out);
    std::vector<std::string> keys;
    for (const auto& item : object.items()) keys.push_back(item.key());
    EXPECT_EQ(keys, (std::vector<std::string>{"pillars", "splits", "luck", "candidates"}));
    EXPECT_EQ(object["splits"][0]["at"], "1990-02-04T10:14");  // 立春, true solar time
    EXPECT_EQ(object["candidates"][6]["clockStart"], "1990-02-04T10:28");
    EXPECT_EQ(object["candidates"][6]["pillars"], (nlohmann::ordered_json{"庚午", "戊寅", "庚子", "辛巳"}));
}

// --unknown-hour in batch and in the other formats.
TEST_F(CliTest, UnknownHourInBatchAndOtherFormats) {
    const Args day = {"--unknown-hour", "--year", "1990", "--month", "2", "--day", "4", "--quiet"};
    const ProgramRun batch = Run({"--batch"}, PAIPAN_CLI_PATH,
                                 "{\"unknown-hour\":true,\"year\":1990,\"month\":2,\"day\":4}\n"
                                 "{\"unknown-hour\":true,\"hour\":3}\n");
    const auto first = nlohmann::json::parse(batch.out.substr(0, batch.out.find('\n')));
    EXPECT_EQ(first["candidates"].size(), 14u);
    EXPECT_EQ(first["line"], 1);
    EXPECT_NE(batch.out.find("\"kind\":\"request\""), std::string::npos);

    for (const char* format : {"rtf", "html"}) {
        Args other = day;
        other.insert(other.end(), {"--format", format});
        const ProgramRun r = Run(other);
        EXPECT_EQ(r.status, 0) << format;
        EXPECT_EQ(r.out.rfind(format == std::string("rtf") ? "{\\rtf" : "<!DOCTYPE html>", 0), 0u) << format;
    }
}

}  // namespace
}  // namespace paipan
