// The one data layer of the program: every read of the data files beside the
// executable (the calendar, the equation of time, the gazetteer) goes
// through here. Each query opens the file read-only, runs one fixed SQL text
// with bound parameters, reads the columns asked for and closes the file.
#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

struct sqlite3_stmt;

namespace paipan {

// A problem with a data file that the user can meet (file missing, damaged,
// no row for a date). what() is a Chinese message meant for the user, UTF-8.
class DataError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// The file's own name, as the messages show it.
std::string DataFileName(const std::filesystem::path& file);
// Throws the DataError that says the file cannot be read as a data file.
[[noreturn]] void ThrowUnreadable(const std::filesystem::path& file);

// One query against a read-only SQLite file. The SQL text is fixed by the
// caller; every value comes in as a bound integer parameter (?1, ?2, ...).
// Returns the named integer columns of the rows (a NULL column reads as
// nothing), at most `limit` of them (the caller judges damaged rows).
// Throws DataError when the file is missing or cannot be read as the
// expected database.
struct QueryRow {
    std::vector<std::optional<long long>> columns;  // in the order asked for
    bool damaged = false;                           // a column holds text or a blob where a number belongs
};
std::vector<QueryRow> QueryRows(const std::filesystem::path& file, const std::string& sql,
                                const std::vector<long long>& params, const std::vector<std::string>& columnNames,
                                std::size_t limit = SIZE_MAX);

// The same for a lookup by text (?1, ?2, ... bound to `params`): `row` is
// called for each row in turn, and reads the columns it needs, by their
// place in the SQL's list. The caller has checked that the file is there.
class DataRowReader {
public:
    std::string Text(int column) const;  // NULL reads as ""
    // SQLite's own reading of a number: NULL, and text that is no number, read as 0.
    long long Number(int column) const;

private:
    friend void ForEachRow(const std::filesystem::path&, const std::string&, const std::vector<std::string>&,
                           const std::function<void(const DataRowReader&)>&);
    explicit DataRowReader(sqlite3_stmt* stmt) : stmt_(stmt) {}
    sqlite3_stmt* stmt_;
};
void ForEachRow(const std::filesystem::path& file, const std::string& sql, const std::vector<std::string>& params,
                const std::function<void(const DataRowReader&)>& row);

}  // namespace paipan
