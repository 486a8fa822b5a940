// paipan-cli --find-pillars as a built program: the stretches on stdout as
// the library finds them with the clock reading it suggests, JSON alike,
// and each kind of failure with its exit status and nothing on stdout.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <array>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <nlohmann/json.hpp>
#include <string>

#include "util/program_folder.h"
#include "calendar/pillar_search.h"
#include "calendar/store.h"
#include "chart/pillar_clock.h"

namespace paipan {
namespace {

struct CliRun {
    int status = -1;
    std::string out, err;
};

// The program with `args` (single-quoted for the shell; none holds a quote).
CliRun Cli(const std::string& args, const std::string& program = PAIPAN_CLI_PATH) {
    // One file per process: ctest runs the tests of this file side by side.
    const std::string err = ::testing::TempDir() + "find-pillars-err-" + std::to_string(getpid());
    const std::string cmd = "'" + program + "' " + args + " 2>'" + err + "'";
    CliRun r;
    std::unique_ptr<FILE, int (*)(FILE*)> pipe(popen(cmd.c_str(), "r"), pclose);
    std::array<char, 4096> buffer;
    for (std::size_t n; (n = fread(buffer.data(), 1, buffer.size(), pipe.get())) > 0;) r.out.append(buffer.data(), n);
    const int raw = pclose(pipe.release());
    r.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    std::unique_ptr<FILE, int (*)(FILE*)> file(fopen(err.c_str(), "rb"), fclose);
    for (std::size_t n; file && (n = fread(buffer.data(), 1, buffer.size(), file.get())) > 0;)
        r.err.append(buffer.data(), n);
    std::remove(err.c_str());
    return r;
}

TEST(FindPillarsCli, LinesAndJsonAsTheSearchFindsThem) {
    const PillarSearch search(ProgramFolder() / kCalendarFileName);
    const auto found = search.Find({ParsePillars("? 丙子 甲子 甲子").pillars, true, 1900, 2000});
    ASSERT_EQ(found.outcome, PillarSearchResult::Outcome::Found);
    const auto correct = ChinaClockCorrection("87", "36", ProgramFolder());
    std::string lines;
    nlohmann::json array = nlohmann::json::array();
    for (const auto& i : found.intervals) {
        const auto clock = SuggestClockTime(i, correct);
        ASSERT_TRUE(clock);
        lines += MinuteText(i.start) + "\t" + MinuteText(i.end) + "\t" + MinuteText(*clock) + "\n";
        array.push_back(
            {{"start", MinuteText(i.start, 'T')}, {"end", MinuteText(i.end, 'T')}, {"clock", MinuteText(*clock, 'T')}});
    }
    const CliRun text = Cli(
        "--find-pillars '? 丙子 甲子 甲子' --from-year 1900 --to-year=2000 --night-zi "
        "--longitude 87 --longitude-minutes 36");
    EXPECT_EQ(text.status, 0) << text.err;
    EXPECT_EQ(text.out, lines);
    const CliRun json = Cli(
        "--format json --find-pillars '?丙子甲子甲子' --from-year 1900 --to-year 2000 "
        "--night-zi --longitude 87 --longitude-minutes 36");
    EXPECT_EQ(json.status, 0) << json.err;
    EXPECT_EQ(nlohmann::json::parse(json.out), array);
    EXPECT_EQ(json.out.front(), '[');
}

// On the birthplace's own clock: Tokyo keeps UTC+9, so 139°45′ is 19 min ahead
// of its 135°E meridian, and the taiyang table puts 15 May 3 min 45 s ahead
// again. The stretch 1990-05-15 13:00–14:59 (庚午 辛巳 庚辰 癸未) is reached a
// minute inside, at 13:01, from the clock 13:01 − 22 min 45 s = 12:38:15: the
// first whole clock minute there is 12:39.
TEST(FindPillarsCli, ClockOfTheBirthplace) {
    const CliRun tokyo = Cli(
        "--find-pillars '庚午 辛巳 庚辰 癸未' --from-year 1990 --to-year 1990 "
        "--place 东京 --longitude-from-place");
    EXPECT_EQ(tokyo.status, 0) << tokyo.err;
    EXPECT_EQ(tokyo.out, "1990-05-15 13:00\t1990-05-15 14:59\t1990-05-15 12:39\n");
}

TEST(FindPillarsCli, FailuresExitWithTheirStatusAndNothingOnStdout) {
    const std::tuple<const char*, int, const char*> cases[] = {
        {"--find-pillars '甲丑 丙寅 戊辰 庚申'", 2, "甲丑不是干支：天干与地支须同为阳或同为阴\n"},
        {"--find-pillars '甲子 戊寅 ? ?' --format json", 2, "甲年、己年的月柱从丙寅起，甲年没有戊寅月\n"},
        {"--find-pillars '甲子 丙寅 ? ?' --from-year 1990 --to-year 1990", 2,
         "在1990年没有甲子年丙寅月的时刻（按真太阳时）\n"},
        {"--find-pillars '? ? 甲子 甲子' --longitude 200", 2,
         "请输入正确的经度数值！如果您不知道所在城市的经度值，请输入默认的120，约等于北京所在经度！\n"},
        {"--from-year 1990", 2,
         "paipan-cli: --from-year and --to-year go with --find-pillars\nTry 'paipan-cli --help'.\n"},
        {"--find-pillars '? ? 甲子 甲子' --from-year 十九", 2,
         "paipan-cli: --from-year and --to-year take a year such as 1990\nTry 'paipan-cli --help'.\n"},
        {"--find-pillars '? ? 甲子 甲子' --format rtf", 2,
         "paipan-cli: --find-pillars writes text or json\nTry 'paipan-cli --help'.\n"},
    };
    for (const auto& [args, status, err] : cases) {
        const CliRun r = Cli(args);
        EXPECT_EQ(r.status, status) << args;
        EXPECT_EQ(r.err, err) << args;
        EXPECT_EQ(r.out, "") << args;
    }
}

TEST(FindPillarsCli, NoCalendarFileExitsThree) {
    const std::filesystem::path lone = std::filesystem::path(::testing::TempDir()) /
                                       ("find-pillars-lone-" + std::to_string(getpid()));
    std::filesystem::create_directories(lone);
    std::filesystem::copy_file(PAIPAN_CLI_PATH, lone / "paipan-cli", std::filesystem::copy_options::overwrite_existing);
    const CliRun r = Cli("--find-pillars '? ? 甲子 甲子' --from-year 1990 --to-year 1990",
                         (lone / "paipan-cli").string());
    std::filesystem::remove_all(lone);
    EXPECT_EQ(r.status, 3);
    EXPECT_EQ(r.out, "");
    EXPECT_NE(r.err.find("找不到数据文件 SETCONFIG.dll"), std::string::npos) << r.err;
}

}  // namespace
}  // namespace paipan
