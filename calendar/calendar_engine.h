// The calendar's part of the chart engine (Corvel_BZClass, chart/corvel_bzclass.h):
// the calendar lookups, on the engine's record.
//
//   calendar/month_rows.cpp    the calendar rows of the birth month and its neighbours
//   calendar/solar_terms.cpp   solar year and month, the jie terms around the birth
//   calendar/lunar_date.cpp    the lunar date (getNL, GetNongLi)
#pragma once

#include <filesystem>
#include <string>

#include "calendar/calendar_row.h"
#include "calendar/store.h"
#include "engine/notifier.h"
#include "engine/pillar_engine.h"

namespace paipan {

class CalendarEngine : public PillarEngine {
public:
    // ---- Calendar row fields (GetMonthRow) --------------------------------
    int JieqiMonth = 0, JieqiDay = 0, JieqiHour = 0, JieqiMinute = 0, Lmonth = 0, JieqiNDay = 0, Ldays = 0, LdaysA = 0,
        ZhongqiDay = 0, ZhongqiHour = 0, ZhongqiMinute = 0;
    bool LeapFlag = false;  // leap mark of the birth month's row

    // ---- Where the engine reads its data and shows its messages ----------
    // Not part of the chart: the folder holding SETCONFIG.dll, which the
    // caller sets before the first calendar lookup, the rows read so far when
    // the caller charts many times (none: each lookup reads the file), and
    // the message sink (none: messages are dropped).
    std::filesystem::path dataFolder;
    DataRowCache* rowCache = nullptr;
    Notifier* notifier = nullptr;

    // Both from one data source.
    void SetDataSource(const DataSource& data) {
        dataFolder = data.folder;
        rowCache = data.rows;
    }

    // ---- Operations -------------------------------------------------------
    std::string FormatInt(int i) const;  // calendar/solar_terms.cpp
    void CalJQ();                        // calendar/solar_terms.cpp
    void GetBzTime();                    // calendar/solar_terms.cpp
    void GetNongLi();                    // calendar/lunar_date.cpp
    std::string GetNongLiStr() const;    // calendar/lunar_date.cpp
    std::string GetBirthStr() const;     // calendar/lunar_date.cpp
    void getNL();                        // calendar/lunar_date.cpp

    // The row of another month, for the lookups that step into the month
    // before or after the birth (throws DataError like GetMonthRow).
    CalendarRow ReadRow(int year, int month) const;  // calendar/month_rows.cpp

protected:
    // getNL's steps (date check, month row, solar year and month, lunar
    // date), which Main begins with: false when the date failed its check.
    bool LunarDateSteps();  // calendar/lunar_date.cpp

private:
    std::string GetConnStr() const;  // the calendar file in the data folder
    void GetMonthRow();              // loads the birth month's row into the fields

    // The date check shared by getNL and Main: false (and the message shown)
    // when the request's date cannot exist.
    bool CheckDate() const;  // calendar/lunar_date.cpp
};

}  // namespace paipan
