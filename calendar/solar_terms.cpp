// The birth among the jie terms (节): the solar year and month the year and
// month pillars follow, and the jie terms just before and after the birth.
// A birth at the term's very minute already belongs to the new solar month.
#include <string>
#include <utility>

#include "calendar/month_step.h"
#include "calendar/solar_terms.h"
#include "calendar/calendar_engine.h"

namespace paipan {

SolarYearMonth SolarYearMonthOf(int year, int month, int day, int hour, int minute, int termDay, int termHour,
                                int termMinute) {
    // Before the term compared day first, then hour, then minute.
    const bool before = std::tie(day, hour, minute) < std::tie(termDay, termHour, termMinute);
    if (month == 1) return {year - 1, before ? 11 : 12};  // 小寒 opens the 丑 month
    if (month == 2) return before ? SolarYearMonth{year - 1, 12} : SolarYearMonth{year, 1};  // 立春
    return {year, before ? month - 2 : month - 1};
}

std::string CalendarEngine::FormatInt(int i) const {
    std::string text = std::to_string(i);
    if (text.size() == 1) text.insert(text.begin(), '0');
    return text;
}

void CalendarEngine::GetBzTime() {
    const SolarYearMonth solar = SolarYearMonthOf(nian, yue, ri, shi, fen, JieqiDay, JieqiHour, JieqiMinute);
    bz_year = solar.year;
    bz_month = solar.month;
}

void CalendarEngine::CalJQ() {
    InputTime = MakeDateTime(nian, yue, ri, shi, fen);

    // The jie term of year/month as a date-time, by name, and as its display
    // text, e.g. 立春：1990年02月04日10时14分.
    struct Term {
        DateTime at;
        std::string name, text;
    };
    auto term = [this](int year, int month, int day, int hour, int minute) {
        const std::string& name = JieQiName[static_cast<std::size_t>((month - 1) * 2)];
        return Term{MakeDateTime(year, month, day, hour, minute), name,
                    name + "：" + DateTimeText({year, month, day, hour, minute, 0}, true)};
    };
    auto adjacent = [&](int delta) {
        const YearMonth ym = MonthStep(nian, yue, delta);
        const CalendarRow row = ReadRow(ym.year, ym.month);
        return term(ym.year, ym.month, row.JieqiDay, row.JieqiHour, row.JieqiMinute);
    };

    Term own = term(nian, yue, JieqiDay, JieqiHour, JieqiMinute);
    // At the term's minute the birth is already past it.
    const bool beforeOwn = InputTime < own.at;
    Term other = adjacent(beforeOwn ? -1 : +1);
    Term& last = beforeOwn ? other : own;
    Term& next = beforeOwn ? own : other;
    LastJieQi = last.at, LastJieName = std::move(last.name), LastJQStr = std::move(last.text);
    NextJieQi = next.at, NextJieName = std::move(next.name), NextJQStr = std::move(next.text);
}

}  // namespace paipan
