// Helpers shared by the core tests: a notifier that records messages, the
// request setter, a scratch folder and hand-made calendar files.
#pragma once

#include <sqlite3.h>
#include <stdlib.h>

#include <filesystem>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "util/program_folder.h"
#include "calendar/store.h"
#include "chart/corvel_bzclass.h"
#include "engine/notifier.h"

namespace paipan::test {

struct RecordingNotifier : Notifier {
    void ShowMessage(const std::string& text, const std::string& caption) override {
        messages.push_back(caption + "|" + text);
    }
    std::vector<std::string> messages;  // "caption|text"
};

// SetRequest with every section switch on; the data files beside the test
// program unless the test chose a folder.
inline void SetBirth(Corvel_BZClass& e, int year, int month, int day, int hour, int minute, int sex = 1,
                     int nightZi = 0) {
    if (e.dataFolder.empty()) e.dataFolder = ProgramFolder();
    // clang-format off
    e.SetRequest(EngineRequest{.year = year, .month = month, .day = day, .hour = hour,
                               .minute = minute, .sex = sex, .mode = 1, .zsp = nightZi});
    // clang-format on
}

// A fresh folder under the temporary folder, removed with its contents at the end.
struct TempFolder {
    TempFolder() : path(Create()) {}
    ~TempFolder() { std::filesystem::remove_all(path, ignored); }
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;
    static std::filesystem::path Create() {
        std::string name = (std::filesystem::temp_directory_path() / "paipan-core-XXXXXX").string();
        if (!mkdtemp(name.data())) throw std::runtime_error("cannot create a temporary folder");
        return name;
    }
    std::error_code ignored;
    const std::filesystem::path path;
};

// Creates the SQLite file `file` and runs the statements `sql` in it.
inline void WriteDatabase(const std::filesystem::path& file, const std::string& sql) {
    sqlite3* raw = nullptr;
    const int rc = sqlite3_open(file.c_str(), &raw);
    const std::unique_ptr<sqlite3, int (*)(sqlite3*)> db(raw, sqlite3_close);
    if (rc != SQLITE_OK || sqlite3_exec(raw, sql.c_str(), nullptr, nullptr, nullptr) != SQLITE_OK) {
        throw std::runtime_error(file.string() + ": " + sqlite3_errmsg(raw) + " in: " + sql);
    }
}

// A calendar row; the zhongqi columns, which no result reads, are filler.
inline CalendarRow Row(int year, int month, int jieDay, int jieHour, int jieMinute, int lmonth, int lunarDayOfJie,
                       int ldays, int ldaysA = 0, bool leapFlag = false) {
    return {year, month, jieDay, jieHour, jieMinute, lmonth, lunarDayOfJie, ldays, ldaysA, leapFlag, 20, 12, 0};
}

// SETCONFIG.dll in `folder`, its table calEndar holding `rows`.
inline void WriteCalendarFile(const std::filesystem::path& folder, const std::vector<CalendarRow>& rows) {
    std::string sql =
        "CREATE TABLE calEndar (nian, JieqiMonth, JieqiDay, JieqiHour, JieqiMinute, Lmonth, "
        "JieqiNDay, Ldays, LdaysA, LeapFlag, ZhongqiDay, ZhongqiHour, ZhongqiMinute);";
    for (const auto& r : rows) {
        std::string values;
        for (int cell : {r.nian, r.JieqiMonth, r.JieqiDay, r.JieqiHour, r.JieqiMinute, r.Lmonth, r.JieqiNDay, r.Ldays,
                         r.LdaysA, r.LeapFlag ? 1 : 0, r.ZhongqiDay, r.ZhongqiHour, r.ZhongqiMinute}) {
            values += "," + std::to_string(cell);
        }
        sql += "INSERT INTO calEndar VALUES (" + values.substr(1) + ");";
    }
    WriteDatabase(folder / kCalendarFileName, sql);
}

}  // namespace paipan::test
