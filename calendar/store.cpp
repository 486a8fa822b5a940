#include "calendar/store.h"

#include <algorithm>
#include <climits>
#include <memory>
#include <unordered_map>
#include <system_error>

#include "engine/datetime.h"
#include "engine/span.h"

namespace paipan {

namespace {

const std::vector<std::string> kCalendarColumns = {
    "nian",  "JieqiMonth", "JieqiDay", "JieqiHour",  "JieqiMinute", "Lmonth",       "JieqiNDay",
    "Ldays", "LdaysA",     "LeapFlag", "ZhongqiDay", "ZhongqiHour", "ZhongqiMinute"};
const std::vector<std::string> kEquationColumns = {"mon", "day", "min", "sec"};

// A value outside the range its column can hold: the file is damaged.
[[noreturn]] void BadData(const std::filesystem::path& file, const std::string& what, const std::string& fault) {
    throw DataError("数据文件 " + DataFileName(file) + " 中" + what + "的数据有误（" + fault +
                    "），文件可能已损坏，请重新安装本程序。");
}

[[noreturn]] void BadValue(const std::filesystem::path& file, const std::string& what, const std::string& column,
                           long long value) {
    BadData(file, what, column + "=" + std::to_string(value));
}

// The first row of a lookup; a damaged one is left to the caller to report.
std::optional<QueryRow> FirstRow(const std::filesystem::path& file, const std::string& sql,
                                 const std::vector<long long>& params, const std::vector<std::string>& columns) {
    auto rows = QueryRows(file, sql, params, columns, 1);
    if (rows.empty()) return std::nullopt;
    return std::move(rows.front());
}

// The calendar row of a year and month from the file's first row for them,
// every value checked against what its column can hold.
CalendarRow CalendarRowOf(const std::optional<QueryRow>& row, const std::filesystem::path& file, int year, int month) {
    const auto& kColumns = kCalendarColumns;
    // Only a message needs it.
    const auto what = [&] { return std::to_string(year) + "年" + std::to_string(month) + "月"; };
    auto missing = [&] {
        return DataError("数据文件 " + DataFileName(file) + " 中没有 " + what() + "的历法数据，本程序只能排" +
                         FirstYearText() + "年至" + LastYearText() + "年出生的命盘。");
    };
    if (!row || month < 1 || month > 12) throw missing();
    if (row->damaged) BadData(file, what(), "有的值不是整数");
    const int days = DaysInMonth(year, month);
    // Inclusive ranges, in column order; LdaysA is 0, 29 or 30.
    const std::pair<long long, long long> kRanges[] = {{year, year}, {month, month}, {1, days}, {0, 23}, {0, 59},
                                                       {1, 12},      {1, 30},        {29, 30},  {0, 30}, {0, 1},
                                                       {1, days},    {0, 23},        {0, 59}};
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
EquationOfTimeRow EquationOfTimeOf(const std::optional<QueryRow>& row, const std::filesystem::path& file, int month,
                                   int day) {
    const auto what = [&] { return std::to_string(month) + "月" + std::to_string(day) + "日"; };
    if (!row || (!row->damaged && (!row->columns[2] || !row->columns[3]))) {
        throw DataError("数据文件 " + DataFileName(file) + " 中没有 " + what() +
                        "的真太阳时数据，文件可能已损坏，请重新安装本程序。");
    }
    if (row->damaged) BadData(file, what(), "有的值不是整数");
    const long long minutes = *row->columns[2], seconds = *row->columns[3];
    if (minutes < -20 || minutes > 20) BadValue(file, what(), "min", minutes);
    if (seconds < -59 || seconds > 59) BadValue(file, what(), "sec", seconds);
    return {static_cast<int>(minutes), static_cast<int>(seconds)};
}

CalendarRow ReadCalendarRowFromFile(const std::filesystem::path& file, int year, int month) {
    return CalendarRowOf(
        FirstRow(file, "SELECT * FROM calEndar WHERE nian=?1 AND JieqiMonth=?2", {year, month}, kCalendarColumns), file,
        year, month);
}

EquationOfTimeRow ReadEquationOfTimeFromFile(const std::filesystem::path& file, int month, int day) {
    return EquationOfTimeOf(
        FirstRow(file, "SELECT * FROM taiyang WHERE mon=?1 AND day=?2", {month, day}, kEquationColumns), file, month,
        day);
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
    auto it = std::find_if(files.begin(), files.end(), [&](const auto& f) { return f.file.native() == file.native(); });
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

}  // namespace

struct DataRowCache::Rows {
    std::vector<FileRows> calendar;
    std::vector<FileRows> equation;
};

DataRowCache::DataRowCache() : rows_(std::make_unique<Rows>()) {}

DataRowCache::~DataRowCache() = default;

CalendarRow DataRowCache::CalendarRowOf(const std::filesystem::path& file, int year, int month) {
    return Remembered(rows_->calendar, file, "calEndar", kCalendarColumns, year, month, paipan::CalendarRowOf);
}

EquationOfTimeRow DataRowCache::EquationOfTimeOf(const std::filesystem::path& file, int month, int day) {
    return Remembered(rows_->equation, file, "taiyang", kEquationColumns, month, day, paipan::EquationOfTimeOf);
}

CalendarRow ReadCalendarRow(const std::filesystem::path& file, int year, int month) {
    return ReadCalendarRowFromFile(file, year, month);
}

EquationOfTimeRow ReadEquationOfTime(const std::filesystem::path& file, int month, int day) {
    return ReadEquationOfTimeFromFile(file, month, day);
}

const std::filesystem::path& CalendarFileIn(const std::filesystem::path& folder) {
    // Made once per thread and folder: a batch reads a few rows per chart.
    thread_local std::filesystem::path lastFolder, file;
    if (file.empty() || lastFolder.native() != folder.native()) {
        lastFolder = folder;
        file = folder / kCalendarFileName;
    }
    return file;
}

CalendarRow DataSource::CalendarRowOf(int year, int month) const {
    const std::filesystem::path& file = CalendarFileIn(folder);
    return rows ? rows->CalendarRowOf(file, year, month) : ReadCalendarRow(file, year, month);
}

EquationOfTimeRow DataSource::EquationOfTimeOf(int month, int day) const {
    const std::filesystem::path file = folder / kEquationOfTimeFileName;
    return rows ? rows->EquationOfTimeOf(file, month, day) : ReadEquationOfTime(file, month, day);
}

}  // namespace paipan
