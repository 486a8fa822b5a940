// The calendar's data files: the calendar rows (SETCONFIG.dll) and the
// equation of time (SETSYSTEM.dll), read through the data layer, every value
// checked against what its column can hold.
#pragma once

#include <cstdint>
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

// While one of these is alive, the two row lookups below on this thread keep
// every row they have read in memory (read-only) and answer a repeated
// lookup from there, so a batch of charts reads each row of the data files
// once. The window makes none: each of its presses reads the files afresh.
class DataRowCache {
public:
    DataRowCache();
    ~DataRowCache();
    DataRowCache(const DataRowCache&) = delete;
    DataRowCache& operator=(const DataRowCache&) = delete;

    struct Rows;  // the remembered rows, by file
    Rows& rows() { return *rows_; }

private:
    std::unique_ptr<Rows> rows_;
    DataRowCache* outer_;
};

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

}  // namespace paipan
