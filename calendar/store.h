// The calendar's data files: the calendar rows (SETCONFIG.dll) and the
// equation of time (SETSYSTEM.dll), read through the data layer, every value
// checked against what its column can hold.
#pragma once

#include <filesystem>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "calendar/calendar_row.h"
#include "util/data_file.h"

namespace paipan {

inline constexpr const char* kCalendarFileName = "SETCONFIG.dll";
inline constexpr const char* kEquationOfTimeFileName = "SETSYSTEM.dll";

// The calendar row of Gregorian year/month from the calendar file.
// Throws DataError naming the file and the year-month when there is none.
CalendarRow ReadCalendarRow(const std::filesystem::path& file, int year, int month);

// One row of table taiyang: the equation of time of a calendar day. `min` is
// signed; `sec` is a magnitude when min is not 0 and signed when min is 0.
struct EquationOfTimeRow {
    int min = 0;
    int sec = 0;
};

// Throws DataError naming the file and the month-day when there is none.
EquationOfTimeRow ReadEquationOfTime(const std::filesystem::path& file, int month, int day);

// The rows read so far from the data files, for many charts in a row (a
// batch, the day's charts of an unknown hour, a pillar search): the first
// lookup in a file reads its whole table, the others answer from memory,
// exactly as the lookups above would. Whoever charts many times makes one
// and hands it on in the DataSource; not for use by two threads at once.
class DataRowCache {
public:
    DataRowCache();
    ~DataRowCache();
    DataRowCache(const DataRowCache&) = delete;
    DataRowCache& operator=(const DataRowCache&) = delete;

    CalendarRow CalendarRowOf(const std::filesystem::path& file, int year, int month);
    EquationOfTimeRow EquationOfTimeOf(const std::filesystem::path& file, int month, int day);

private:
    struct Rows;  // the remembered rows, by file
    std::unique_ptr<Rows> rows_;
};

// The calendar file in a data folder.
const std::filesystem::path& CalendarFileIn(const std::filesystem::path& folder);

// Where the lookups of a chart read: the folder of the data files, and the
// rows read so far when the caller keeps them (none: every lookup reads its
// file). A folder alone converts to a source without remembered rows.
struct DataSource {
    DataSource(std::filesystem::path dataFolder,
               DataRowCache* rowCache = nullptr)  // NOLINT(google-explicit-constructor)
        : folder(std::move(dataFolder)), rows(rowCache) {}

    std::filesystem::path folder;
    DataRowCache* rows = nullptr;

    CalendarRow CalendarRowOf(int year, int month) const;
    EquationOfTimeRow EquationOfTimeOf(int month, int day) const;
};

}  // namespace paipan
