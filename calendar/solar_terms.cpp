// The birth among the jie terms (节): the solar year and month the year and
// month pillars follow, and the jie terms just before and after the birth.
// A birth at the term's very minute already belongs to the new solar month.
#include <string>
#include <tuple>

#include "calendar/month_step.h"
#include "engine/corvel_bzclass.h"

namespace paipan {
namespace {

// True when the request's day, hour and minute come before the birth month's
// jie term, compared day first, then hour, then minute.
bool BeforeMonthTerm(const Corvel_BZClass& e) {
    return std::tie(e.ri, e.shi, e.fen) < std::tie(e.JieqiDay, e.JieqiHour, e.JieqiMinute);
}

}  // namespace

std::string Corvel_BZClass::FormatInt(int i) const {
    std::string text = std::to_string(i);
    if (text.size() == 1) text.insert(text.begin(), '0');
    return text;
}

void Corvel_BZClass::GetBzTime() {
    const bool before = BeforeMonthTerm(*this);
    if (yue == 1) {
        // January belongs to the solar year before; 小寒 opens its 丑 month.
        bz_year = nian - 1;
        bz_month = before ? 11 : 12;
    } else if (yue == 2) {
        // 立春 turns the solar year.
        bz_year = before ? nian - 1 : nian;
        bz_month = before ? 12 : 1;
    } else {
        bz_year = nian;
        bz_month = before ? yue - 2 : yue - 1;
    }
}

void Corvel_BZClass::CalJQ() {
    InputTime = MakeDateTime(nian, yue, ri, shi, fen);

    // The jie term of year/month as a date-time and as its display text,
    // e.g. 立春：1990年02月04日10时14分.
    auto term = [this](int year, int month, int day, int hour, int minute) {
        const std::string text = JieQiName[static_cast<std::size_t>((month - 1) * 2)] + "：" +
                                 DateTimeText({year, month, day, hour, minute, 0}, true);
        return std::pair{MakeDateTime(year, month, day, hour, minute), text};
    };
    auto adjacent = [&](int delta) {
        const YearMonth ym = MonthStep(nian, yue, delta);
        const CalendarRow row = ReadRow(ym.year, ym.month);
        return term(ym.year, ym.month, row.JieqiDay, row.JieqiHour, row.JieqiMinute);
    };

    const auto own = term(nian, yue, JieqiDay, JieqiHour, JieqiMinute);
    if (InputTime < own.first) {
        std::tie(NextJieQi, NextJQStr) = own;
        std::tie(LastJieQi, LastJQStr) = adjacent(-1);
    } else {
        // At the term's minute the birth is already past it.
        std::tie(LastJieQi, LastJQStr) = own;
        std::tie(NextJieQi, NextJQStr) = adjacent(+1);
    }
}

}  // namespace paipan
