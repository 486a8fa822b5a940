// paipan-cli with lunar dates: --convert both ways in text and JSON, every
// refusal on stderr with exit status 2, the chart of the Gregorian day on
// stdout with the notices on stderr, and batch lines.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <nlohmann/json.hpp>
#include <regex>
#include <sstream>

#include "chart/chart_request.h"
#include "chart_test_support.h"

namespace paipan {
namespace {

namespace fs = std::filesystem;
using Args = std::vector<std::string>;

using test::ProgramRun;

ProgramRun RunCli(const Args& args, const std::string& in = "") {
    const fs::path dir = fs::temp_directory_path() / ("paipan-lunar-cli-" + std::to_string(::getpid()));
    ProgramRun r = test::RunProgram(PAIPAN_CLI_PATH, args, in, dir);
    fs::remove_all(dir);
    return r;
}

Args LunarDate(const std::string& y, const std::string& m, const std::string& d) {
    return {"--calendar", "lunar", "--year", y, "--month", m, "--day", d};
}

Args With(Args a, const Args& more) {
    a.insert(a.end(), more.begin(), more.end());
    return a;
}

TEST(LunarCli, ConvertBothWays) {
    const std::pair<Args, std::string> cases[] = {
        {{"--year", "2020", "--month", "5", "--day", "23", "--convert"}, "农历：庚子年闰四月初一\n"},
        {With(LunarDate("2020", "4", "1"), {"--leap-month", "--convert"}), "公历：2020年05月23日\n"},
        {With(LunarDate("2033", "十一月", "初一"), {"--leap-month", "--convert"}), "公历：2033年12月22日\n"},
        {{"--year", "1800", "--month", "1", "--day", "1", "--convert"}, "农历：己未年十二月初七\n"},
        {{"--year", "2020", "--month", "5", "--day", "23", "--convert", "--format", "json"},
         R"({"solar":"2020-05-23","lunar":{"year":2020,"month":4,"day":1,"leap":true}})"
         "\n"},
        {With(LunarDate("2020", "4", "1"), {"--leap-month", "--convert", "--format=json"}),
         R"({"solar":"2020-05-23","lunar":{"year":2020,"month":4,"day":1,"leap":true}})"
         "\n"},
    };
    for (const auto& [args, out] : cases) {
        const ProgramRun r = RunCli(args);
        EXPECT_EQ(r.status, 0) << r.err;
        EXPECT_EQ(r.out, out);
        EXPECT_EQ(r.err, "");
    }
}

// Every lunar refusal, for 排盘 and for --convert: the message alone on
// stderr, exit status 2, nothing on stdout (JSON: the error object).
TEST(LunarCli, EveryRefusalExitsWithItsMessage) {
    const std::pair<Args, std::string> cases[] = {
        {LunarDate("二〇二〇", "5", "1"), "请选择或输入正确的年份的数值！"},
        {LunarDate("2020", "端月", "1"), "请选择或输入正确的月份的数值！"},
        {LunarDate("2020", "5", "初"), "请选择或输入正确的农历日期的数值！"},
        {LunarDate("2020", "13", "1"), "请选择或输入正确的农历月份值，月份的值应当是介于1与12之间的数值！"},
        {LunarDate("2020", "5", "31"), "请选择或输入正确的农历日期值，日期的值应当是介于1与30之间的数值！"},
        {LunarDate("1798", "5", "1"), "请选择或输入正确的农历年份值，年份的值应当是介于1799与2100之间的数值！"},
        {With(LunarDate("2021", "4", "1"), {"--leap-month"}), "农历2021年没有闰四月（该年没有闰月）！"},
        {With(LunarDate("2020", "5", "1"), {"--leap-month"}), "农历2020年没有闰五月（该年闰四月）！"},
        {LunarDate("1990", "4", "30"), "农历1990年四月只有29天！"},
        {With(LunarDate("2020", "4", "30"), {"--leap-month"}), "农历2020年闰四月只有29天！"},
        {LunarDate("2100", "12", "2"),
         "农历2100年十二月初二不在本程序可排的日期范围（公历1800年1月1日至2100年12月31日）之内！"},
    };
    for (const auto& [args, message] : cases) {
        for (const Args& extra : {Args{}, Args{"--convert"}}) {
            const ProgramRun r = RunCli(With(args, extra));
            EXPECT_EQ(r.status, 2) << message;
            EXPECT_EQ(r.err, message + "\n");
            EXPECT_EQ(r.out, "");
        }
    }
    const ProgramRun json = RunCli(With(LunarDate("1990", "4", "30"), {"--convert", "--format", "json"}));
    EXPECT_EQ(json.status, 2);
    EXPECT_EQ(json.out, R"({"error":{"kind":"input","message":"农历1990年四月只有29天！","field":"day"}})"
                        "\n");
    // A leap mark on a Gregorian date is a usage error.
    const ProgramRun usage = RunCli({"--year", "2020", "--month", "5", "--day", "23", "--leap-month"});
    EXPECT_EQ(usage.status, 2);
    EXPECT_NE(usage.err.find("--leap-month needs --calendar lunar"), std::string::npos);
}

TEST(LunarCli, ChartOfTheGregorianDayWithNotices) {
    const Args time = {"--hour", "0", "--minute", "5", "--longitude", "116", "--longitude-minutes", "28"};
    const ProgramRun lunar = RunCli(With(LunarDate("1990", "五月", "初一"), time));
    const ProgramRun solar = RunCli(With({"--year", "1990", "--month", "5", "--day", "24"}, time));
    EXPECT_EQ(lunar.status, 0);
    EXPECT_EQ(lunar.out, solar.out);
    EXPECT_EQ(lunar.err.rfind("提示：所输入的农历1990年五月初一即公历1990年5月24日", 0), 0u) << lunar.err;
    EXPECT_NE(lunar.err.find("已跨过午夜到了前一天"), std::string::npos);
    EXPECT_EQ(RunCli(With(With(LunarDate("1990", "五月", "初一"), time), {"--quiet"})).err, "");
}

TEST(LunarCli, BatchKeys) {
    const std::string in =
        R"({"calendar":"lunar","year":2020,"month":"四月","day":1,"leap-month":true,"hour":12,"minute":0})"
        "\n"
        R"({"calendar":"lunar","year":2021,"month":4,"day":1,"leap-month":true})"
        "\n"
        R"({"year":2020,"month":5,"day":23,"hour":12,"minute":0})"
        "\n";
    const ProgramRun r = RunCli({"--batch", "--quiet"}, in);
    EXPECT_EQ(r.status, 0) << r.err;
    std::vector<nlohmann::json> lines;
    std::istringstream out(r.out);
    for (std::string line; std::getline(out, line);) lines.push_back(nlohmann::json::parse(line));
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ(lines[0]["text"], lines[2]["text"]);  // the same chart as 2020-05-23
    EXPECT_EQ(lines[0]["lunar"], nlohmann::json::parse(R"({"year":2020,"month":4,"day":1,"leap":true})"));
    EXPECT_NE(lines[0]["notices"][0].get<std::string>().find("即公历2020年5月23日"), std::string::npos);
    EXPECT_EQ(lines[1]["error"]["message"], "农历2021年没有闰四月（该年没有闰月）！");
    EXPECT_EQ(lines[1]["line"], 2);
}

}  // namespace
}  // namespace paipan
