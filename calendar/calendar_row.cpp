// The calendar rows: every lookup of table calEndar goes through the store's
// ReadCalendarRow, on the calendar file in the engine's data folder. A
// missing file or row surfaces as DataError; nothing here invents a row.
#include "calendar/store.h"
#include "engine/corvel_bzclass.h"

namespace paipan {

std::string Corvel_BZClass::GetConnStr() const {
    return (dataFolder / kCalendarFileName).string();
}

CalendarRow Corvel_BZClass::ReadRow(int year, int month) const {
    return ReadCalendarRow(GetConnStr(), year, month);
}

void Corvel_BZClass::GetMonthRow() {
    const CalendarRow row = ReadRow(nian, yue);
    JieqiMonth = row.JieqiMonth;
    JieqiDay = row.JieqiDay;
    JieqiHour = row.JieqiHour;
    JieqiMinute = row.JieqiMinute;
    Lmonth = row.Lmonth;
    JieqiNDay = row.JieqiNDay;
    Ldays = row.Ldays;
    LdaysA = row.LdaysA;
    // The birth month's own leap mark: the lunar date reads it to mark a
    // birth inside a leap month that the month's jie day already falls in.
    LeapFlag = row.LeapFlag;
    ZhongqiDay = row.ZhongqiDay;
    ZhongqiHour = row.ZhongqiHour;
    ZhongqiMinute = row.ZhongqiMinute;
}

}  // namespace paipan
