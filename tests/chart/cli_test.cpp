// paipan-cli, run as a built program from a working directory that holds no
// data files: stdout byte for byte the chart request's text, exit status 2
// for a bad command line or an input problem, 3 for missing data files.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <regex>

#include "chart/chart_request.h"
#include "chart_test_support.h"

namespace paipan {
namespace {

namespace fs = std::filesystem;
using Args = std::vector<std::string>;

struct ProgramRun {
    int status = -1;
    std::string out, err;
};

class CliTest : public ::testing::Test {
protected:
    const fs::path dir_ = fs::temp_directory_path() / ("paipan-cli-test-" + std::to_string(::getpid()));
    void SetUp() override { fs::create_directories(dir_ / "cwd"); }
    void TearDown() override { fs::remove_all(dir_); }

    ProgramRun Run(const Args& args, const fs::path& exe = PAIPAN_CLI_PATH) const {
        const auto quote = [](const std::string& s) {
            return "'" + std::regex_replace(s, std::regex("'"), "'\\''") + "'";
        };
        std::string cmd = "cd " + quote((dir_ / "cwd").string()) + " && " + quote(exe.string());
        for (const auto& a : args) cmd += " " + quote(a);
        const int raw = std::system((cmd + " >" + quote((dir_ / "out").string()) + " 2>" + quote((dir_ / "err").string())).c_str());
        return {WIFEXITED(raw) ? WEXITSTATUS(raw) : -1, test::ReadAll(dir_ / "out"), test::ReadAll(dir_ / "err")};
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
        {{"--name=李 四", "--place", "上海", "--longitude=121", "--longitude-minutes", "28", "--year=1990", "--month",
          "5", "--day=8", "--hour", "14", "--minute=5", "--sex=female", "--layout", "horizontal", "--no-annual",
          "--no-stars", "--minor-luck", "--palace", "--night-zi"}, in},
        // Later options win; every switch can be turned back.
        {{"--year", "1990", "--month", "5", "--day", "8", "--hour", "14", "--minute", "5", "--no-deities",
          "--no-hidden-stems", "--no-nayin", "--no-stages", "--minor-luck", "--no-minor-luck", "--palace",
          "--no-palace", "--night-zi", "--no-night-zi", "--no-annual", "--annual", "--sex", "female", "--sex",
          "male", "--layout=vertical"}, back},
        // Everything else as the window starts.
        {{"--year", "1990", "--month", "5", "--day", "8", "--hour", "14", "--minute", "5"}, plain},
    };
    for (const auto& [args, input] : cases) {
        const ProgramRun r = Run(args);
        const auto outcome = RunChartRequest(input);
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
    EXPECT_NE(fromPlace.err.find("提示：钟表时间1988年7月1日12时0分（时区 Asia/Shanghai）正值夏令时"), std::string::npos);
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
    const std::string year = "请选择或输入正确的年份值，年份的值应当是介于1890与2020之间的数值！\n";
    const std::pair<Args, std::string> cases[] = {
        // Bad command lines: a usage message naming the program.
        {{"--colour"}, "paipan-cli"},      {{"--sex", "other"}, "paipan-cli"}, {{"--layout=diagonal"}, "paipan-cli"},
        {{"--year"}, "paipan-cli"},        {{"1990"}, "paipan-cli"},           {{"--annual=1"}, "paipan-cli"},
        {{"--no-name"}, "paipan-cli"},     {{"-y", "1990"}, "paipan-cli"},     {{"--name", "\xff\xfe"}, "paipan-cli"},
        // Input problems: the window's message, exactly.
        {{"--year", "2021", "--month", "5", "--day", "8"}, year},
        {{"--year", "1990", "--month", "2", "--day", "30"}, "请检查输入数据是否出错！\n"},
        {{}, year},  // the date defaults to today's, past 2020, as in the window
    };
    for (const auto& [args, err] : cases) {
        const ProgramRun r = Run(args);
        EXPECT_EQ(r.status, 2) << r.err;
        EXPECT_EQ(r.out, "");
        EXPECT_TRUE(err.ends_with("\n") ? r.err == err : r.err.find(err) != std::string::npos) << r.err;
    }
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
}

TEST_F(CliTest, HelpNamesEveryOption) {
    const ProgramRun r = Run({"--help"});
    EXPECT_EQ(r.status, 0);
    for (std::string name : {"name", "place", "longitude", "longitude-minutes", "year", "month", "day", "hour", "minute",
                             "sex", "layout", "no-annual", "no-stars", "no-deities", "no-hidden-stems", "no-nayin",
                             "no-minor-luck", "no-palace", "no-stages", "no-night-zi", "locate", "longitude-from-place", "quiet"})
        EXPECT_NE(r.out.find("--" + name + " "), std::string::npos) << name;
}

}  // namespace
}  // namespace paipan
