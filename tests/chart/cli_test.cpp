// paipan-cli, run as a separate program from another working directory.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>

#include "chart/chart_request.h"
#include "chart_test_support.h"

namespace paipan {
namespace {

namespace fs = std::filesystem;

struct ProgramRun {
    int status = -1;
    std::string out, err;
};

std::string Quote(const std::string& s) {
    std::string q = "'";
    for (char c : s) q += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return q + "'";
}

class CliTest : public ::testing::Test {
protected:
    void SetUp() override {
        dir_ = fs::temp_directory_path() / ("paipan-cli-test-" + std::to_string(::getpid()));
        fs::remove_all(dir_);
        fs::create_directories(dir_ / "cwd");
    }
    void TearDown() override { fs::remove_all(dir_); }

    // Runs the program from a working directory that holds no data files.
    ProgramRun Start(const std::vector<std::string>& args, const fs::path& exe = PAIPAN_CLI_PATH) {
        std::string cmd = "cd " + Quote((dir_ / "cwd").string()) + " && " + Quote(exe.string());
        for (const auto& a : args) cmd += " " + Quote(a);
        cmd += " >" + Quote((dir_ / "out").string()) + " 2>" + Quote((dir_ / "err").string());
        ProgramRun r;
        const int raw = std::system(cmd.c_str());
        r.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
        r.out = test::ReadAll(dir_ / "out");
        r.err = test::ReadAll(dir_ / "err");
        return r;
    }

    static std::string Expected(const ChartInput& in) {
        const auto outcome = RunChartRequest(in);
        const auto* r = std::get_if<ChartResult>(&outcome);
        return r ? r->text : "(no chart)";
    }

    fs::path dir_;
};

TEST_F(CliTest, WritesExactlyTheChartText) {
    ChartInput in = DefaultChartInput(1990, 5, 8, 14, 5);
    in.name = "李 四";
    in.place = "上海";
    in.longitude = "121";
    in.longitudeMinutes = "28";
    in.male = false;
    in.horizontal = true;
    in.annual = in.stars = false;
    in.minorLuck = in.palace = in.nightZi = true;
    const ProgramRun spaced = Start({"--name", "李 四", "--place", "上海", "--longitude", "121",
                              "--longitude-minutes", "28", "--year", "1990", "--month", "5", "--day",
                              "8", "--hour", "14", "--minute", "5", "--sex", "female", "--layout",
                              "horizontal", "--no-annual", "--no-stars", "--minor-luck", "--palace",
                              "--night-zi"});
    EXPECT_EQ(spaced.status, 0) << spaced.err;
    EXPECT_EQ(spaced.err, "");
    EXPECT_EQ(spaced.out, Expected(in));

    const ProgramRun joined = Start({"--name=李 四", "--place=上海", "--longitude=121", "--longitude-minutes=28",
                              "--year=1990", "--month=5", "--day=8", "--hour=14", "--minute=5",
                              "--sex=female", "--layout=horizontal", "--no-annual", "--no-stars",
                              "--minor-luck", "--palace", "--night-zi"});
    EXPECT_EQ(joined.status, 0) << joined.err;
    EXPECT_EQ(joined.out, spaced.out);

    // Later options win; every switch can be turned back.
    ChartInput back = DefaultChartInput(1990, 5, 8, 14, 5);
    back.deities = back.hiddenStems = back.nayin = back.stages = false;
    const ProgramRun flags = Start({"--year", "1990", "--month", "5", "--day", "8", "--hour", "14",
                             "--minute", "5", "--no-deities", "--no-hidden-stems", "--no-nayin",
                             "--no-stages", "--minor-luck", "--no-minor-luck", "--palace",
                             "--no-palace", "--night-zi", "--no-night-zi", "--no-annual", "--annual",
                             "--sex", "female", "--sex", "male", "--layout=vertical"});
    EXPECT_EQ(flags.status, 0) << flags.err;
    EXPECT_EQ(flags.out, Expected(back));
}

TEST_F(CliTest, DefaultsAreTheWindowsInitialState) {
    // Today's date as the default: past 2020 that is the year range message,
    // exactly as the window shows it when 排盘 is pressed straight away.
    for (int attempt = 0; attempt < 3; ++attempt) {
        const ChartInput before = DefaultChartInputNow();
        const ProgramRun r = Start({});
        if (DefaultChartInputNow().minute != before.minute) continue;  // the clock moved on
        const auto outcome = RunChartRequest(before);
        if (const auto* problem = std::get_if<InputProblem>(&outcome)) {
            EXPECT_EQ(r.status, 2);
            EXPECT_EQ(r.out, "");
            EXPECT_EQ(r.err, problem->message + "\n");
        } else {
            EXPECT_EQ(r.status, 0) << r.err;
            EXPECT_EQ(r.out, Expected(before));
        }
        return;
    }
    FAIL() << "the minute changed on every attempt";
}

TEST_F(CliTest, DefaultNamePlaceLongitudeAndSwitches) {
    const ProgramRun r = Start({"--year", "1990", "--month", "5", "--day", "8", "--hour", "14",
                                "--minute", "5"});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, Expected(DefaultChartInput(1990, 5, 8, 14, 5)));
    EXPECT_EQ(r.out.rfind("姓名：张三　　出生地：安徽　　经度：120度0分", 0), 0u);
    EXPECT_NE(r.out.find("\r\n乾造：　  庚　"), std::string::npos);  // male, vertical
    EXPECT_NE(r.out.find("始于："), std::string::npos);               // 流年 on
    EXPECT_EQ(r.out.find("小运："), std::string::npos);               // 小运 off
    EXPECT_EQ(r.out.find("胎元："), std::string::npos);               // 命宫/胎元 off
}

TEST_F(CliTest, HelpNamesEveryOption) {
    const ProgramRun r = Start({"--help"});
    EXPECT_EQ(r.status, 0);
    for (const char* opt : {"--name", "--place", "--longitude ", "--longitude-minutes", "--year",
                            "--month", "--day", "--hour", "--minute", "--sex", "--layout",
                            "--no-annual", "--no-stars", "--no-deities", "--no-hidden-stems",
                            "--no-nayin", "--no-minor-luck", "--no-palace", "--no-stages",
                            "--no-night-zi"})
        EXPECT_NE(r.out.find(opt), std::string::npos) << opt;
}

TEST_F(CliTest, BadCommandLinesExitTwo) {
    const std::vector<std::vector<std::string>> bad = {
        {"--colour"},           {"--sex", "other"},    {"--layout=diagonal"}, {"--year"},
        {"1990"},               {"--annual=1"},        {"--no-name"},         {"-y", "1990"},
        {"--name", "\xff\xfe"},
    };
    for (const auto& args : bad) {
        const ProgramRun r = Start(args);
        EXPECT_EQ(r.status, 2) << args[0];
        EXPECT_EQ(r.out, "") << args[0];
        EXPECT_NE(r.err.find("paipan-cli"), std::string::npos) << args[0] << ": " << r.err;
    }
}

TEST_F(CliTest, InputProblemsExitTwoWithTheMessage) {
    const ProgramRun year = Start({"--year", "2021", "--month", "5", "--day", "8"});
    EXPECT_EQ(year.status, 2);
    EXPECT_EQ(year.out, "");
    EXPECT_EQ(year.err, "请选择或输入正确的年份值，年份的值应当是介于1890与2020之间的数值！\n");
    const ProgramRun day = Start({"--year", "1990", "--month", "2", "--day", "30"});
    EXPECT_EQ(day.status, 2);
    EXPECT_EQ(day.out, "");
    EXPECT_EQ(day.err, "请检查输入数据是否出错！\n");
}

TEST_F(CliTest, MissingDataFilesExitThree) {
    const fs::path lone = dir_ / "lone" / "paipan-cli";
    fs::create_directories(lone.parent_path());
    fs::copy_file(PAIPAN_CLI_PATH, lone);
    const std::vector<std::string> args = {"--year", "1990", "--month", "5", "--day", "8"};
    ProgramRun r = Start(args, lone);
    EXPECT_EQ(r.status, 3);
    EXPECT_EQ(r.out, "");
    EXPECT_NE(r.err.find("SETSYSTEM.dll"), std::string::npos) << r.err;

    fs::copy_file(fs::path(PAIPAN_CLI_PATH).parent_path() / "SETSYSTEM.dll",
                  lone.parent_path() / "SETSYSTEM.dll");
    r = Start(args, lone);
    EXPECT_EQ(r.status, 3);
    EXPECT_EQ(r.out, "");
    EXPECT_NE(r.err.find("SETCONFIG.dll"), std::string::npos) << r.err;
}

}  // namespace
}  // namespace paipan
