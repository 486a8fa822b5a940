// The lunar date of the birth, counted from the calendar rows without any
// astronomy: each row says on which lunar month and day the month's jie day
// falls, and the birth day is counted forward or back from there.
//
// Leap months, as this program reads them:
//  * The birth month's own row carries a leap mark (LeapFlag). A birth that
//    stays in that row's lunar month (Lmonth) takes the mark, so a day inside
//    a leap month whose jie day also falls in it keeps its 闰.
//  * When the birth lies in the lunar month before Lmonth without reading the
//    previous row (LdaysA > 0) and Lmonth is a leap month, the birth's month
//    is the ordinary month of the same number: month Lmonth, not leap.
#include "calendar/lunar_date.h"

#include <string>

#include "calendar/month_step.h"
#include "calendar/calendar_engine.h"

namespace paipan {
namespace {

int NextLunarMonth(int month) { return month == 12 ? 1 : month + 1; }
int PreviousLunarMonth(int month) { return month == 1 ? 12 : month - 1; }

struct LunarDay {
    int month = 0;
    int day = 0;
    bool leap = false;
};

// The Gregorian month of the day and its calendar row.
struct MonthRow {
    int year = 0, month = 0;
    const CalendarRow& row;
};

// A day after the jie day: in Lmonth, or past its end in the month after.
LunarDay AfterJieDay(const MonthRow& m, int n, const CalendarRowReader& readRow) {
    const CalendarRow& r = m.row;
    if (n <= r.Ldays) return {r.Lmonth, n, r.LeapFlag};
    // When the next row's jie day falls in a lower month number, the month
    // just entered is the leap month repeating that number.
    LunarDay d{NextLunarMonth(r.Lmonth), n - r.Ldays, false};
    const YearMonth next = MonthStep(m.year, m.month, +1);
    const CalendarRow row = readRow(next.year, next.month);
    if (row.Lmonth < d.month) d = {row.Lmonth, d.day, true};
    return d;
}

// A day on or before the jie day, where the lunar month before Lmonth is
// the previous row's.
LunarDay UpToJieDay(const MonthRow& m, int n, const CalendarRowReader& readRow) {
    const CalendarRow& r = m.row;
    if (n > r.Ldays) return {NextLunarMonth(r.Lmonth), n - r.Ldays, false};
    if (n > 0) return {r.Lmonth, n, r.LeapFlag};
    // Before the first day of Lmonth: the previous row's lunar month.
    const YearMonth previous = MonthStep(m.year, m.month, -1);
    const CalendarRow row = readRow(previous.year, previous.month);
    return {row.Lmonth, n + row.Ldays, row.LeapFlag};
}

// A day on or before the jie day, where the row carries the length of the
// lunar month before Lmonth itself (LdaysA). Before a leap month that month
// is the ordinary month of the same number.
LunarDay UpToJieDayWithMonthBefore(const CalendarRow& r, int n) {
    if (n > 0) return {r.Lmonth, n, r.LeapFlag};
    return {r.LeapFlag ? r.Lmonth : PreviousLunarMonth(r.Lmonth), n + r.LdaysA, false};
}

}  // namespace

LunarDate LunarDateOfDay(int year, int month, int day, const CalendarRow& row, const CalendarRowReader& readRow) {
    const int n = row.JieqiNDay + (day - row.JieqiDay);  // the lunar day, counted from the jie day
    const MonthRow m{year, month, row};
    LunarDay d;
    if (day > row.JieqiDay) {
        d = AfterJieDay(m, n, readRow);
    } else if (row.LdaysA == 0) {
        d = UpToJieDay(m, n, readRow);
    } else {
        d = UpToJieDayWithMonthBefore(row, n);
    }
    // Lunar months 11 and 12 in January or February belong to the lunar
    // year that began the Gregorian year before.
    return {d.month > row.JieqiMonth ? year - 1 : year, d.month, d.day, d.leap};
}

bool CalendarEngine::CheckDate() const {
    // 29 February only in Gregorian leap years, day 31 only in the long
    // months. A day or month outside the calendar fails as well: the window
    // never sends one, and nothing sensible could be computed from it.
    if (IsValidDate(nian, yue, ri)) return true;
    if (notifier) notifier->ShowMessage("请检查输入数据是否出错！", "提示");
    return false;
}

void CalendarEngine::GetNongLi() {
    // The birth month's row as GetMonthRow loaded it into the fields.
    CalendarRow row;
    row.JieqiMonth = JieqiMonth;
    row.JieqiDay = JieqiDay;
    row.Lmonth = Lmonth;
    row.JieqiNDay = JieqiNDay;
    row.Ldays = Ldays;
    row.LdaysA = LdaysA;
    row.LeapFlag = LeapFlag;
    const LunarDate d = LunarDateOfDay(nian, yue, ri, row, [this](int y, int m) { return ReadRow(y, m); });
    nn = d.year;
    ny = d.month;
    nr = d.day;
    leap = d.leap;
}

std::string CalendarEngine::GetNongLiStr() const {
    const int s = YearSerialOf(nn);
    return GetG(s % 10) + GetZ(s % 12) + "年[" + NaYin.at(static_cast<std::size_t>(s / 2)) + "]" + (leap ? "闰" : "") +
           NlMonthName.at(static_cast<std::size_t>(ny)) + "月" + NlDayName.at(static_cast<std::size_t>(nr)) + "日";
}

std::string CalendarEngine::GetBirthStr() const { return DateTimeText({nian, yue, ri, shi, fen, 0}, true); }

bool CalendarEngine::LunarDateSteps() {
    if (!CheckDate()) return false;
    GetMonthRow();
    GetBzTime();
    GetNongLi();
    return true;
}

void CalendarEngine::getNL() { LunarDateSteps(); }

}  // namespace paipan
