#include "test_support.h"

#include <sqlite3.h>
#include <stdlib.h>

#include <fstream>
#include <sstream>
#include <stdexcept>

namespace paipan::test {

void SetBirth(Corvel_BZClass& e, int year, int month, int day, int hour, int minute, int sex,
              int nightZi) {
    e.SetRequest(year, month, day, hour, minute, sex, "张三", "安徽", 1, 1, 1, 1, 1, 1, 1, 1, 1, 1,
                 nightZi, 1, 1);
}

TempFolder::TempFolder() {
    std::string pattern = (std::filesystem::temp_directory_path() / "paipan-core-XXXXXX").string();
    if (!mkdtemp(pattern.data())) throw std::runtime_error("cannot create a temporary folder");
    path_ = pattern;
}

TempFolder::~TempFolder() {
    std::error_code ec;
    std::filesystem::remove_all(path_, ec);
}

namespace {

void Exec(sqlite3* db, const std::string& sql) {
    char* err = nullptr;
    if (sqlite3_exec(db, sql.c_str(), nullptr, nullptr, &err) != SQLITE_OK) {
        const std::string message = err ? err : "sqlite error";
        sqlite3_free(err);
        throw std::runtime_error(message + " in: " + sql);
    }
}

struct Database {
    explicit Database(const std::filesystem::path& file) {
        if (sqlite3_open(file.c_str(), &db) != SQLITE_OK) throw std::runtime_error("cannot open db");
    }
    ~Database() { sqlite3_close(db); }
    Database(const Database&) = delete;
    Database& operator=(const Database&) = delete;
    sqlite3* db = nullptr;
};

}  // namespace

void WriteCalendarFile(const std::filesystem::path& folder, const std::vector<CalendarRow>& rows) {
    Database file(folder / kCalendarFileName);
    Exec(file.db,
         "CREATE TABLE calEndar (nian INTEGER, JieqiMonth INTEGER, JieqiDay INTEGER, "
         "JieqiHour INTEGER, JieqiMinute INTEGER, Lmonth INTEGER, JieqiNDay INTEGER, "
         "Ldays INTEGER, LdaysA INTEGER, LeapFlag INTEGER, ZhongqiDay INTEGER, "
         "ZhongqiHour INTEGER, ZhongqiMinute INTEGER)");
    Exec(file.db, "BEGIN");
    for (const auto& r : rows) {
        const int cells[] = {r.nian,   r.JieqiMonth, r.JieqiDay, r.JieqiHour, r.JieqiMinute,
                             r.Lmonth, r.JieqiNDay,  r.Ldays,    r.LdaysA,    r.LeapFlag ? 1 : 0,
                             r.ZhongqiDay, r.ZhongqiHour, r.ZhongqiMinute};
        std::string sql = "INSERT INTO calEndar VALUES (";
        for (std::size_t i = 0; i < std::size(cells); ++i) {
            sql += (i ? "," : "") + std::to_string(cells[i]);
        }
        Exec(file.db, sql + ")");
    }
    Exec(file.db, "COMMIT");
}

void WriteDatabaseWithoutTables(const std::filesystem::path& folder, const std::string& fileName) {
    Database file(folder / fileName);
    // A table of another name, so the file is a real, non-empty database.
    Exec(file.db, "CREATE TABLE other (x INTEGER)");
}

CalendarRow Row(int year, int month, int jieDay, int jieHour, int jieMinute, int lmonth,
                int lunarDayOfJie, int ldays, int ldaysA, bool leapFlag) {
    CalendarRow r;
    r.nian = year;
    r.JieqiMonth = month;
    r.JieqiDay = jieDay;
    r.JieqiHour = jieHour;
    r.JieqiMinute = jieMinute;
    r.Lmonth = lmonth;
    r.JieqiNDay = lunarDayOfJie;
    r.Ldays = ldays;
    r.LdaysA = ldaysA;
    r.LeapFlag = leapFlag;
    r.ZhongqiDay = 20;
    r.ZhongqiHour = 12;
    r.ZhongqiMinute = 0;
    return r;
}

namespace {

std::vector<std::string> SplitCells(const std::string& line) {
    std::vector<std::string> cells;
    std::string cell;
    std::istringstream in(line);
    while (std::getline(in, cell, ',')) cells.push_back(cell);
    if (!line.empty() && line.back() == ',') cells.emplace_back();
    return cells;
}

}  // namespace

std::vector<CsvRecord> ReadCsv(const std::filesystem::path& file) {
    std::ifstream in(file);
    std::string line;
    if (!in || !std::getline(in, line)) throw std::runtime_error("cannot read " + file.string());
    const auto header = SplitCells(line);
    std::vector<CsvRecord> records;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (line.empty()) continue;
        const auto cells = SplitCells(line);
        if (cells.size() != header.size()) {
            throw std::runtime_error(file.string() + ": wrong number of cells in: " + line);
        }
        CsvRecord record;
        for (std::size_t i = 0; i < cells.size(); ++i) record[header[i]] = cells[i];
        records.push_back(std::move(record));
    }
    return records;
}

void ComputeChart(Corvel_BZClass& e, int year, int month, int day, int hour, int minute, int sex,
                  int nightZi) {
    SetBirth(e, year, month, day, hour, minute, sex, nightZi);
    e.getNL();
    e.CalJQ();
    e.GetEightWordInfo();
}

}  // namespace paipan::test
