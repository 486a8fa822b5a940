// A chart asked for by a lunar date: the lunar checks in their order, the
// chart of the Gregorian day, and the notices that name that day.
#include <gtest/gtest.h>

#include <algorithm>

#include "util/program_folder.h"
#include "birth/notices.h"
#include "chart/lunar_request.h"

namespace paipan {
namespace {

ChartInput Lunar(const std::string& year, const std::string& month, const std::string& day, bool leap = false) {
    ChartInput in = DefaultChartInput(2000, 1, 1, 12, 0);
    in.lunar = true, in.leapMonth = leap;
    in.year = year, in.month = month, in.day = day;
    return in;
}

// Each check's message and field; the first failing check wins, and no box
// is reset (the boxes stay as typed).
TEST(LunarChecks, FirstFailingCheckWithItsMessage) {
    const struct {
        ChartInput in;
        InputField field;
        const char* message;
    } cases[] = {
        {Lunar("x", "13", "31"), InputField::Year, "请选择或输入正确的年份的数值！"},
        {Lunar("2020", "闰五", "初一"), InputField::Month, "请选择或输入正确的月份的数值！"},
        {Lunar("2020", "5", "五"), InputField::Day, "请选择或输入正确的农历日期的数值！"},
        // clang-format off
        {Lunar("3000", "13", "31"), InputField::Month, "请选择或输入正确的农历月份值，月份的值应当是介于1与12之间的数值！"},
        {Lunar("3000", "0", "1"), InputField::Month, "请选择或输入正确的农历月份值，月份的值应当是介于1与12之间的数值！"},
        {Lunar("3000", "5", "31"), InputField::Day, "请选择或输入正确的农历日期值，日期的值应当是介于1与30之间的数值！"},
        {Lunar("1798", "5", "1"), InputField::Year, "请选择或输入正确的农历年份值，年份的值应当是介于1799与2100之间的数值！"},
        {Lunar("2101", "1", "1"), InputField::Year, "请选择或输入正确的农历年份值，年份的值应当是介于1799与2100之间的数值！"},
        // clang-format on
        {Lunar("2021", "4", "30", true), InputField::Month, "农历2021年没有闰四月（该年没有闰月）！"},
        {Lunar("2020", "五月", "初一", true), InputField::Month, "农历2020年没有闰五月（该年闰四月）！"},
        {Lunar("1990", "4", "30"), InputField::Day, "农历1990年四月只有29天！"},
        {Lunar("2020", "4", "三十", true), InputField::Day, "农历2020年闰四月只有29天！"},
        {Lunar("2100", "十二月", "初二"), InputField::Year,
         "农历2100年十二月初二不在本程序可排的日期范围（公历1800年1月1日至2100年12月31日）之内！"},
        {Lunar("1799", "11", "30"), InputField::Year,
         "农历1799年十一月三十不在本程序可排的日期范围（公历1800年1月1日至2100年12月31日）之内！"},
    };
    for (const auto& c : cases) {
        const auto outcome = RunChartRequest(c.in, ProgramFolder());
        ASSERT_TRUE(std::holds_alternative<InputProblem>(outcome)) << c.message;
        const auto& p = std::get<InputProblem>(outcome);
        EXPECT_EQ(p.message, c.message);
        EXPECT_EQ(p.caption, "提示");
        EXPECT_EQ(p.field, c.field) << c.message;
        EXPECT_FALSE(p.fieldText) << c.message;
    }
    // The lunar checks come first: a bad longitude is reported only after them.
    ChartInput both = Lunar("2021", "4", "1", true);
    both.longitude = "";
    EXPECT_EQ(std::get<InputProblem>(RunChartRequest(both, ProgramFolder())).message,
              "农历2021年没有闰四月（该年没有闰月）！");
    both.leapMonth = false;
    EXPECT_EQ(std::get<InputProblem>(RunChartRequest(both, ProgramFolder())).field, InputField::LongitudeDegrees);
    // A leap mark belongs to lunar dates only.
    ChartInput solar = DefaultChartInput(2020, 5, 23, 12, 0);
    solar.leapMonth = true;
    EXPECT_TRUE(std::holds_alternative<InputProblem>(RunChartRequest(solar, ProgramFolder())));
}

// The chart is exactly that of the Gregorian day, clock time unchanged (the
// lunar day begins at local midnight, so 23:30 stays on that day).
TEST(LunarChart, IsTheChartOfTheGregorianDay) {
    const struct {
        ChartInput lunar;
        int year, month, day;
    } cases[] = {
        {Lunar("2020", "四月", "初一", true), 2020, 5, 23}, {Lunar("2020", "04", "1"), 2020, 4, 23},
        {Lunar("1900", "八月", "初一", true), 1900, 9, 24}, {Lunar("1799", "十二月", "初七"), 1800, 1, 1},
        {Lunar("2100", "十二月", "初一"), 2100, 12, 31},
    };
    for (auto c : cases) {
        for (const char* hour : {"0", "23"}) {
            c.lunar.hour = hour, c.lunar.minute = "30";
            ChartInput solar = DefaultChartInput(c.year, c.month, c.day, 0, 30);
            solar.hour = hour;
            const auto a = RunChartRequest(c.lunar, ProgramFolder()), b = RunChartRequest(solar, ProgramFolder());
            ASSERT_TRUE(std::holds_alternative<ChartResult>(a)) << c.year << "-" << c.month << "-" << c.day;
            EXPECT_EQ(std::get<ChartResult>(a).text, std::get<ChartResult>(b).text);
        }
    }
}

// 农历1990年五月初一 at 00:05 and 116°28′: the corrected time falls on the
// day before, so the chart's 农历 line shows 四月廿九日 and a notice says why.
TEST(LunarChart, NoticesNameTheDayAndAMidnightCrossing) {
    ChartInput in = Lunar("1990", "5", "1");
    in.hour = "0", in.minute = "5", in.longitude = "116", in.longitudeMinutes = "28";
    const auto chart = RunChartRequest(in, ProgramFolder());
    ASSERT_TRUE(std::holds_alternative<ChartResult>(chart));
    EXPECT_NE(std::get<ChartResult>(chart).text.find("农历：庚午年[路旁土]四月廿九日"), std::string::npos);
    const auto notices = ChartNoticeTexts(in, {}, ProgramFolder());
    ASSERT_GE(notices.size(), 2u);
    EXPECT_EQ(notices[0], "提示：所输入的农历1990年五月初一即公历1990年5月24日，本命盘按公历这一天的出生时间排出。");
    EXPECT_NE(notices[1].find("实际出生时间为1990年5月23日23时54分，已跨过午夜到了前一天"), std::string::npos);
    EXPECT_NE(notices[1].find("农历日期是四月廿九日，而不是所输入的五月初一"), std::string::npos);
    in.hour = "12";  // no crossing: only the day
    const auto noon = ChartNoticeTexts(in, {}, ProgramFolder());
    EXPECT_EQ(noon.front(), notices[0]);
    EXPECT_EQ(std::count_if(noon.begin(), noon.end(), [](const std::string& n) { return n.find("午夜") != n.npos; }),
              0);
    EXPECT_TRUE(ChartNoticeTexts(Lunar("2021", "4", "1", true), {}, ProgramFolder()).empty());  // refused: no notices
}

}  // namespace
}  // namespace paipan
