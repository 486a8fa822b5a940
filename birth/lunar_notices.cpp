#include "birth/lunar_notices.h"

#include <chrono>

#include "chart/lunar_request.h"
#include "chart/corvel_bzclass.h"

namespace paipan {
namespace {

using namespace std::chrono;

std::string DayText(sys_days day) {
    const year_month_day ymd{day};
    return std::to_string(static_cast<int>(ymd.year())) + "年" + std::to_string(static_cast<unsigned>(ymd.month())) +
           "月" + std::to_string(static_cast<unsigned>(ymd.day())) + "日";
}

// The corrected (true solar) moment of a Gregorian request that passes the
// checks: from the finished chart when there is one.
CivilTime CorrectedTime(const CheckedRequest& checked, const DataSource& data, const Corvel_BZClass* chart) {
    if (chart) return CivilTime{chart->nian, chart->yue, chart->ri, chart->shi, chart->fen, 0};
    const auto eot = data.EquationOfTimeOf(checked.clock.month, checked.clock.day);
    return CorrectToTrueSolarTime(checked.solar, checked.clock, eot.min, eot.sec).corrected;
}

// The chart's 农历 line follows the corrected moment: past midnight it
// names the day before or after the one typed.
void MidnightNotice(const LunarTaken& taken, const CivilTime& t, const LunarCalendar& calendar,
                    std::vector<Notice>& out) {
    const sys_days corrected = sys_days{year{t.year} / t.month / t.day};
    if (corrected == taken.day) return;
    const LunarDate shown = calendar.LunarDateOf(corrected);
    out.push_back({NoticeKind::LunarDate, "提示：经真太阳时校正，实际出生时间为" + DateTimeText(t, false) +
                                              "，已跨过午夜到了" + (corrected < taken.day ? "前一天" : "后一天") +
                                              "，所以命盘中的农历日期是" + std::string(shown.leap ? "闰" : "") +
                                              LunarMonthName(shown.month) + LunarDayName(shown.day) +
                                              "日，而不是所输入的" + std::string(taken.lunar.leap ? "闰" : "") +
                                              LunarMonthName(taken.lunar.month) + LunarDayName(taken.lunar.day) +
                                              "；四柱也按实际出生时间排出。"});
}

}  // namespace

bool AddLunarNotices(const LunarDate& typed, const CheckedRequest& checked, const DataSource& data,
                     const Corvel_BZClass* chart, std::vector<Notice>& out) {
    const LunarTaken taken{typed, sys_days{year{checked.clock.year} / checked.clock.month / checked.clock.day}};
    out.push_back({NoticeKind::LunarDate, "提示：所输入的" + LunarInputText(taken.lunar) + "即公历" +
                                              DayText(taken.day) + "，本命盘按公历这一天的出生时间排出。"});
    try {
        MidnightNotice(taken, CorrectedTime(checked, data, chart), LunarCalendar(data), out);
    } catch (const DataError&) {
        return false;  // the chart itself reports the missing file
    }
    return true;
}

}  // namespace paipan
