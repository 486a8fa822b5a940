#include "calendar/store.h"

#include <sqlite3.h>
#include <unistd.h>

#include <algorithm>
#include <climits>
#include <memory>
#include <unordered_map>
#include <system_error>

#include "engine/span.h"

namespace paipan {
namespace {

struct DbCloser {
    void operator()(sqlite3* db) const { sqlite3_close(db); }
};
struct StmtFinalizer {
    void operator()(sqlite3_stmt* st) const { sqlite3_finalize(st); }
};
using DbHandle = std::unique_ptr<sqlite3, DbCloser>;
using StmtHandle = std::unique_ptr<sqlite3_stmt, StmtFinalizer>;

std::string FileName(const std::filesystem::path& file) {
    return file.filename().string();
}

[[noreturn]] void Unreadable(const std::filesystem::path& file) {
    throw DataError("无法读取数据文件 " + FileName(file) + "（" + file.string() +
                    "），文件可能已损坏，请重新安装本程序。");
}

}  // namespace

std::filesystem::path ProgramFolder() {
    // The executable does not move while it runs: look it up once.
    static const std::filesystem::path folder = [] {
        std::error_code ec;
        auto exe = std::filesystem::read_symlink("/proc/self/exe", ec);
        if (ec) return std::filesystem::current_path(ec);
        return exe.parent_path();
    }();
    return folder;
}

namespace {

// The file must exist, be a plain file and be readable; each failure has its
// own message.
void CheckDataFile(const std::filesystem::path& file) {
    std::error_code ec;
    const auto status = std::filesystem::status(file, ec);
    if (!std::filesystem::exists(status)) {
        throw DataError("找不到数据文件 " + FileName(file) + "（" + file.string() +
                        "），请把它放回程序所在的文件夹。");
    }
    if (!std::filesystem::is_regular_file(status)) {
        throw DataError(FileName(file) + "（" + file.string() +
                        "）不是数据文件（是文件夹或特殊文件），请把程序附带的数据文件放回程序所在的文件夹。");
    }
    if (access(file.c_str(), R_OK) != 0) {
        throw DataError("没有读取数据文件 " + FileName(file) + "（" + file.string() +
                        "）的权限，请检查这个文件的权限设置。");
    }
}

// The query ready to step, its parameters bound.
StmtHandle Prepare(sqlite3* db, const std::filesystem::path& file, const std::string& sql,
                   const std::vector<long long>& params) {
    sqlite3_stmt* rawStmt = nullptr;
    const int rc = sqlite3_prepare_v2(db, sql.c_str(), -1, &rawStmt, nullptr);
    StmtHandle stmt(rawStmt);
    if (rc != SQLITE_OK || !stmt) Unreadable(file);  // not a database, or no such table
    for (std::size_t i = 0; i < params.size(); ++i) {
        if (sqlite3_bind_int64(stmt.get(), static_cast<int>(i + 1), params[i]) != SQLITE_OK)
            Unreadable(file);
    }
    return stmt;
}

// The asked-for columns' places in the result, by name.
std::vector<int> ColumnPlaces(sqlite3_stmt* stmt, const std::filesystem::path& file,
                              const std::vector<std::string>& columnNames) {
    std::vector<int> places;
    const int count = sqlite3_column_count(stmt);
    for (const auto& name : columnNames) {
        int index = -1;
        for (int c = 0; c < count && index < 0; ++c) {
            const char* n = sqlite3_column_name(stmt, c);
            if (n && sqlite3_stricmp(n, name.c_str()) == 0) index = c;
        }
        if (index < 0) Unreadable(file);
        places.push_back(index);
    }
    return places;
}

QueryRow RowAt(sqlite3_stmt* stmt, const std::vector<int>& places) {
    QueryRow row;
    for (const int index : places) {
        const int type = sqlite3_column_type(stmt, index);
        // Integers only: a real number (6.9) is as damaged as a text.
        if (type == SQLITE_INTEGER)
            row.columns.emplace_back(sqlite3_column_int64(stmt, index));
        else
            row.columns.emplace_back(std::nullopt);
        row.damaged = row.damaged || (type != SQLITE_NULL && !row.columns.back());
    }
    return row;
}

}  // namespace

std::vector<QueryRow> QueryRows(const std::filesystem::path& file, const std::string& sql,
                                const std::vector<long long>& params,
                                const std::vector<std::string>& columnNames, std::size_t limit) {
    CheckDataFile(file);
    sqlite3* raw = nullptr;
    int rc = sqlite3_open_v2(file.c_str(), &raw, SQLITE_OPEN_READONLY, nullptr);
    DbHandle db(raw);
    if (rc != SQLITE_OK) Unreadable(file);
    const StmtHandle stmt = Prepare(db.get(), file, sql, params);
    const std::vector<int> places = ColumnPlaces(stmt.get(), file, columnNames);
    std::vector<QueryRow> rows;
    while (rows.size() < limit && (rc = sqlite3_step(stmt.get())) == SQLITE_ROW)
        rows.push_back(RowAt(stmt.get(), places));
    if (rows.size() < limit && rc != SQLITE_DONE) Unreadable(file);
    return rows;
}

std::optional<QueryRow> QueryFirstRow(const std::filesystem::path& file,
                                      const std::string& sql,
                                      const std::vector<long long>& params,
                                      const std::vector<std::string>& columnNames) {
    auto rows = QueryRows(file, sql, params, columnNames, 1);
    if (rows.empty()) return std::nullopt;
    if (rows.front().damaged) Unreadable(file);  // a text or blob where a number belongs
    return std::move(rows.front());
}

namespace {

const std::vector<std::string> kCalendarColumns = {
    "nian",      "JieqiMonth", "JieqiDay",   "JieqiHour",  "JieqiMinute",
    "Lmonth",    "JieqiNDay",  "Ldays",      "LdaysA",     "LeapFlag",
    "ZhongqiDay", "ZhongqiHour", "ZhongqiMinute"};
const std::vector<std::string> kEquationColumns = {"mon", "day", "min", "sec"};

// A value outside the range its column can hold: the file is damaged.
[[noreturn]] void BadData(const std::filesystem::path& file, const std::string& what, const std::string& fault) {
    throw DataError("数据文件 " + FileName(file) + " 中" + what + "的数据有误（" + fault +
                    "），文件可能已损坏，请重新安装本程序。");
}

[[noreturn]] void BadValue(const std::filesystem::path& file, const std::string& what,
                           const std::string& column, long long value) {
    BadData(file, what, column + "=" + std::to_string(value));
}

// The first row of a lookup; a damaged one is left to the caller to report.
std::optional<QueryRow> FirstRow(const std::filesystem::path& file, const std::string& sql,
                                 const std::vector<long long>& params, const std::vector<std::string>& columns) {
    auto rows = QueryRows(file, sql, params, columns, 1);
    if (rows.empty()) return std::nullopt;
    return std::move(rows.front());
}

int DaysInMonth(long long year, long long month) {
    static const int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    const bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
    return month == 2 && leap ? 29 : kDays[month - 1];
}

// The calendar row of a year and month from the file's first row for them,
// every value checked against what its column can hold.
CalendarRow CalendarRowOf(const std::optional<QueryRow>& row, const std::filesystem::path& file,
                          int year, int month) {
    const auto& kColumns = kCalendarColumns;
    // Only a message needs it.
    const auto what = [&] { return std::to_string(year) + "年" + std::to_string(month) + "月"; };
    auto missing = [&] {
        return DataError("数据文件 " + FileName(file) + " 中没有 " + what() +
                         "的历法数据，本程序只能排" + FirstYearText() + "年至" + LastYearText() +
                         "年出生的命盘。");
    };
    if (!row || month < 1 || month > 12) throw missing();
    if (row->damaged) BadData(file, what(), "有的值不是整数");
    const int days = DaysInMonth(year, month);
    // Inclusive ranges, in column order; LdaysA is 0, 29 or 30.
    const std::pair<long long, long long> kRanges[] = {
        {year, year}, {month, month}, {1, days}, {0, 23}, {0, 59}, {1, 12}, {1, 30},
        {29, 30},     {0, 30},        {0, 1},    {1, days}, {0, 23}, {0, 59}};
    auto num = [&](std::size_t i) -> int {
        const auto& c = row->columns[i];
        if (!c) {
            if (kColumns[i] == "LeapFlag") return 0;
            throw missing();
        }
        const bool inRange = *c >= kRanges[i].first && *c <= kRanges[i].second &&
                             (kColumns[i] != "LdaysA" || *c == 0 || *c >= 29);
        if (!inRange) BadValue(file, what(), kColumns[i], *c);
        return static_cast<int>(*c);
    };
    // In column order (a braced list is evaluated left to right, so the
    // first bad column is the one reported).
    return CalendarRow{num(0), num(1), num(2),      num(3),  num(4),  num(5), num(6),
                       num(7), num(8), num(9) != 0, num(10), num(11), num(12)};
}

// The equation of time of a day: at most 20 minutes either way, the seconds
// carrying the minutes' sign (or their own when the minutes are 0).
EquationOfTimeRow EquationOfTimeOf(const std::optional<QueryRow>& row, const std::filesystem::path& file,
                                   int month, int day) {
    const auto what = [&] { return std::to_string(month) + "月" + std::to_string(day) + "日"; };
    if (!row || (!row->damaged && (!row->columns[2] || !row->columns[3]))) {
        throw DataError("数据文件 " + FileName(file) + " 中没有 " + what() +
                        "的真太阳时数据，文件可能已损坏，请重新安装本程序。");
    }
    if (row->damaged) BadData(file, what(), "有的值不是整数");
    const long long minutes = *row->columns[2], seconds = *row->columns[3];
    if (minutes < -20 || minutes > 20) BadValue(file, what(), "min", minutes);
    if (seconds < -59 || seconds > 59) BadValue(file, what(), "sec", seconds);
    return {static_cast<int>(minutes), static_cast<int>(seconds)};
}

CalendarRow ReadCalendarRowFromFile(const std::filesystem::path& file, int year, int month) {
    return CalendarRowOf(FirstRow(file, "SELECT * FROM calEndar WHERE nian=?1 AND JieqiMonth=?2",
                                  {year, month}, kCalendarColumns),
                         file, year, month);
}

EquationOfTimeRow ReadEquationOfTimeFromFile(const std::filesystem::path& file, int month, int day) {
    return EquationOfTimeOf(FirstRow(file, "SELECT * FROM taiyang WHERE mon=?1 AND day=?2",
                                     {month, day}, kEquationColumns),
                            file, month, day);
}

// Every row of one data file, keyed by its first two columns (year * 100 +
// month, or month * 100 + day); the first row of a key wins, as in a lookup.
struct FileRows {
    std::filesystem::path file;
    std::unordered_map<int, QueryRow> rows;
};

// The file's first row for (a, b), reading the whole table into `files` the
// first time the file is asked for.
template <typename Convert>
auto Remembered(std::vector<FileRows>& files, const std::filesystem::path& file, const char* table,
                const std::vector<std::string>& columns, int a, int b, Convert convert) {
    // Compared as spelled: path comparison splits both into components.
    auto it = std::find_if(files.begin(), files.end(),
                           [&](const auto& f) { return f.file.native() == file.native(); });
    if (it == files.end()) {
        FileRows all{file, {}};
        for (auto& row : QueryRows(file, std::string("SELECT * FROM ") + table, {}, columns)) {
            if (!row.columns[0] || !row.columns[1]) continue;
            const auto key = *row.columns[0] * 100 + *row.columns[1];
            if (key >= INT_MIN && key <= INT_MAX) all.rows.emplace(static_cast<int>(key), std::move(row));
        }
        it = files.insert(files.end(), std::move(all));
    }
    const auto found = it->rows.find(a * 100 + b);
    if (found == it->rows.end()) return convert(std::nullopt, file, a, b);
    return convert(found->second, file, a, b);
}

thread_local DataRowCache* activeCache = nullptr;

}  // namespace

struct DataRowCache::Rows {
    std::vector<FileRows> calendar;
    std::vector<FileRows> equation;
};

DataRowCache::DataRowCache() : rows_(std::make_unique<Rows>()), outer_(activeCache) {
    activeCache = this;
}

DataRowCache::~DataRowCache() {
    activeCache = outer_;
}

CalendarRow ReadCalendarRow(const std::filesystem::path& file, int year, int month) {
    if (activeCache == nullptr) return ReadCalendarRowFromFile(file, year, month);
    return Remembered(activeCache->rows().calendar, file, "calEndar", kCalendarColumns, year, month,
                      CalendarRowOf);
}

EquationOfTimeRow ReadEquationOfTime(const std::filesystem::path& file, int month, int day) {
    if (activeCache == nullptr) return ReadEquationOfTimeFromFile(file, month, day);
    return Remembered(activeCache->rows().equation, file, "taiyang", kEquationColumns, month, day,
                      EquationOfTimeOf);
}

}  // namespace paipan

namespace paipan {

namespace {

// The rows of table places that `where` selects (with ?1 bound to `text`
// when it has one), in the file's order.
std::vector<PlaceRow> SelectPlaces(const std::filesystem::path& file, const std::string& where,
                                   const std::string* text) {
    std::error_code ec;
    if (!std::filesystem::is_regular_file(file, ec)) {
        throw DataError("找不到地名数据文件 " + FileName(file) + "（" + file.string() +
                        "），请把它放回程序所在的文件夹。");
    }
    sqlite3* raw = nullptr;
    const int rc = sqlite3_open_v2(file.c_str(), &raw, SQLITE_OPEN_READONLY, nullptr);
    DbHandle db(raw);
    if (rc != SQLITE_OK) Unreadable(file);
    sqlite3_stmt* rawStmt = nullptr;
    const std::string sql = "SELECT name, aliases, longitude_e6, latitude_e6, zone, level, approximate "
                            "FROM places " + where + " ORDER BY id";
    sqlite3_prepare_v2(db.get(), sql.c_str(), -1, &rawStmt, nullptr);
    StmtHandle stmt(rawStmt);
    if (!stmt) Unreadable(file);
    if (text) sqlite3_bind_text(stmt.get(), 1, text->data(), static_cast<int>(text->size()), SQLITE_STATIC);
    auto column = [&](int c) {
        const auto* p = sqlite3_column_text(stmt.get(), c);
        return p ? std::string(reinterpret_cast<const char*>(p)) : std::string();
    };
    std::vector<PlaceRow> rows;
    int step = 0;
    while ((step = sqlite3_step(stmt.get())) == SQLITE_ROW) {
        PlaceRow r{column(0), column(1), sqlite3_column_int64(stmt.get(), 2),
                   sqlite3_column_int64(stmt.get(), 3), column(4),
                   sqlite3_column_int(stmt.get(), 5), sqlite3_column_int(stmt.get(), 6) != 0};
        if (r.name.empty() || r.zone.empty()) Unreadable(file);
        rows.push_back(std::move(r));
    }
    if (step != SQLITE_DONE) Unreadable(file);
    return rows;
}

}  // namespace

std::vector<PlaceRow> ReadPlaces(const std::filesystem::path& file) { return SelectPlaces(file, "", nullptr); }

std::vector<PlaceRow> ReadPlacesNamed(const std::filesystem::path& file, const std::string& text) {
    if (text.empty() || text.find('|') != std::string::npos) return {};
    return SelectPlaces(file, "WHERE id IN (SELECT id FROM place_names WHERE name = ?1)", &text);
}

}  // namespace paipan
