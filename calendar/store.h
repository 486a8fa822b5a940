// The one data layer of the program: every read of the two data files beside
// the executable goes through here. Each lookup opens the file read-only,
// runs one query with bound integer parameters, reads named columns of the
// first row and closes the file again.
#pragma once

#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "engine/calendar_row.h"

namespace paipan {

// A problem with a data file that the user can meet (file missing, damaged,
// no row for a date). what() is a Chinese message meant for the user, UTF-8.
class DataError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

inline constexpr const char* kCalendarFileName = "SETCONFIG.dll";
inline constexpr const char* kEquationOfTimeFileName = "SETSYSTEM.dll";

// The folder that holds the running executable (not the working directory).
std::filesystem::path ProgramFolder();

// One query against a read-only SQLite file. The SQL text is fixed by the
// caller; every value comes in as a bound integer parameter (?1, ?2, ...).
// Returns the named integer columns of the first row (a NULL column reads as
// nothing), or no row at all. Throws DataError when the file is missing or
// cannot be read as the expected database.
struct QueryRow {
    std::vector<std::optional<long long>> columns;  // in the order asked for
    bool damaged = false;  // a column holds text or a blob where a number belongs
};
// Every row of the query, at most `limit` (the caller judges damaged rows).
std::vector<QueryRow> QueryRows(const std::filesystem::path& file, const std::string& sql,
                                const std::vector<long long>& params,
                                const std::vector<std::string>& columnNames,
                                std::size_t limit = SIZE_MAX);
std::optional<QueryRow> QueryFirstRow(const std::filesystem::path& file,
                                      const std::string& sql,
                                      const std::vector<long long>& params,
                                      const std::vector<std::string>& columnNames);

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

namespace paipan {

// One row of table places in the gazetteer file: a birthplace with the names
// people type for it, its seat in millionths of a degree (east and north
// positive) and its IANA time zone.
struct PlaceRow {
    std::string name;     // full hierarchical name, parts separated by spaces
    std::string aliases;  // short names separated by '|'
    long long longitudeE6 = 0;
    long long latitudeE6 = 0;
    std::string zone;
    int level = 0;  // 0 province or country, 1 prefecture or city, 2 county
    bool approximate = false;  // placed at the seat of the division above it
};

// Every row, in the file's order (a division is followed by those under it).
// Throws DataError when the file is missing or unreadable.
std::vector<PlaceRow> ReadPlaces(const std::filesystem::path& file);
// Only the rows whose full name or one of whose short names is `text`, in
// the file's order, without reading the others into memory.
std::vector<PlaceRow> ReadPlacesNamed(const std::filesystem::path& file, const std::string& text);

}  // namespace paipan
