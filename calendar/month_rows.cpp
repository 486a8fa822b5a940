// The calendar rows: every lookup of table calEndar goes through the store,
// on the calendar file in the engine's data folder (through its row cache
// when the caller gave one). A
// missing file or row surfaces as DataError; nothing here invents a row.
#include <utility>

#include "calendar/store.h"
#include "calendar/calendar_engine.h"

namespace paipan {

std::string CalendarEngine::GetConnStr() const { return (dataFolder / kCalendarFileName).string(); }

CalendarRow CalendarEngine::ReadRow(int year, int month) const {
    const std::filesystem::path& file = CalendarFileIn(dataFolder);
    return rowCache ? rowCache->CalendarRowOf(file, year, month) : ReadCalendarRow(file, year, month);
}

void CalendarEngine::GetMonthRow() {
    using C = CalendarEngine;
    using R = CalendarRow;
    static constexpr std::pair<int R::*, int C::*> kFields[] = {{&R::JieqiMonth, &C::JieqiMonth},
                                                                {&R::JieqiDay, &C::JieqiDay},
                                                                {&R::JieqiHour, &C::JieqiHour},
                                                                {&R::JieqiMinute, &C::JieqiMinute},
                                                                {&R::Lmonth, &C::Lmonth},
                                                                {&R::JieqiNDay, &C::JieqiNDay},
                                                                {&R::Ldays, &C::Ldays},
                                                                {&R::LdaysA, &C::LdaysA},
                                                                {&R::ZhongqiDay, &C::ZhongqiDay},
                                                                {&R::ZhongqiHour, &C::ZhongqiHour},
                                                                {&R::ZhongqiMinute, &C::ZhongqiMinute}};
    const CalendarRow row = ReadRow(nian, yue);
    for (const auto& [from, to] : kFields) this->*to = row.*from;
    // The birth month's own leap mark: the lunar date reads it to mark a
    // birth inside a leap month that the month's jie day already falls in.
    LeapFlag = row.LeapFlag;
}

}  // namespace paipan
