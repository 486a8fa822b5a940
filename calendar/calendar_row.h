// The calendar row type: what the engine reads of one Gregorian month from
// the calendar file (calendar/store.h reads it).
#pragma once

namespace paipan {

// One row of table calEndar: one Gregorian month of one year.
struct CalendarRow {
    int nian = 0;
    int JieqiMonth = 0;
    int JieqiDay = 0;
    int JieqiHour = 0;
    int JieqiMinute = 0;
    int Lmonth = 0;
    int JieqiNDay = 0;
    int Ldays = 0;
    int LdaysA = 0;
    bool LeapFlag = false;  // NULL reads as false
    int ZhongqiDay = 0;
    int ZhongqiHour = 0;
    int ZhongqiMinute = 0;
};

}  // namespace paipan
