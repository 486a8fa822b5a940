// The calendar rows: every lookup of table calEndar goes through the store's
// ReadCalendarRow, on the calendar file in the engine's data folder. A
// missing file or row surfaces as DataError; nothing here invents a row.
#include <utility>

#include "calendar/store.h"
#include "engine/corvel_bzclass.h"

namespace paipan {

std::string Corvel_BZClass::GetConnStr() const {
    return (dataFolder / kCalendarFileName).string();
}

CalendarRow Corvel_BZClass::ReadRow(int year, int month) const {
    // A batch reads a few rows per chart: the file's path is made once per
    // data folder, not on every row.
    thread_local std::filesystem::path folder, file;
    if (file.empty() || folder.native() != dataFolder.native()) {
        folder = dataFolder;
        file = GetConnStr();
    }
    return ReadCalendarRow(file, year, month);
}

void Corvel_BZClass::GetMonthRow() {
    using C = Corvel_BZClass;
    using R = CalendarRow;
    static constexpr std::pair<int R::*, int C::*> kFields[] = {
        {&R::JieqiMonth, &C::JieqiMonth}, {&R::JieqiDay, &C::JieqiDay},   {&R::JieqiHour, &C::JieqiHour},
        {&R::JieqiMinute, &C::JieqiMinute}, {&R::Lmonth, &C::Lmonth},     {&R::JieqiNDay, &C::JieqiNDay},
        {&R::Ldays, &C::Ldays},           {&R::LdaysA, &C::LdaysA},       {&R::ZhongqiDay, &C::ZhongqiDay},
        {&R::ZhongqiHour, &C::ZhongqiHour}, {&R::ZhongqiMinute, &C::ZhongqiMinute}};
    const CalendarRow row = ReadRow(nian, yue);
    for (const auto& [from, to] : kFields) this->*to = row.*from;
    // The birth month's own leap mark: the lunar date reads it to mark a
    // birth inside a leap month that the month's jie day already falls in.
    LeapFlag = row.LeapFlag;
}

}  // namespace paipan
