// Helpers shared by the core tests: a notifier that records messages, a
// request setter, a scratch folder and small hand-made calendar files.
#pragma once

#include <filesystem>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "calendar/store.h"
#include "engine/corvel_bzclass.h"
#include "engine/notifier.h"

namespace paipan::test {

class RecordingNotifier : public Notifier {
public:
    struct Message {
        std::string text;
        std::string caption;
    };
    void ShowMessage(const std::string& text, const std::string& caption) override {
        messages.push_back({text, caption});
    }
    std::vector<Message> messages;
};

// SetRequest with every section switch on, the given sex and night-zi switch.
void SetBirth(Corvel_BZClass& e, int year, int month, int day, int hour, int minute, int sex = 1,
              int nightZi = 0);

// A fresh empty folder under the system's temporary folder, removed again
// with everything in it when the object goes.
class TempFolder {
public:
    TempFolder();
    ~TempFolder();
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;
    const std::filesystem::path& path() const { return path_; }

private:
    std::filesystem::path path_;
};

// Writes SETCONFIG.dll into `folder` with table calEndar holding `rows`.
void WriteCalendarFile(const std::filesystem::path& folder, const std::vector<CalendarRow>& rows);

// Writes a SQLite file named `fileName` into `folder` that has no tables.
void WriteDatabaseWithoutTables(const std::filesystem::path& folder, const std::string& fileName);

// A calendar row for year/month with the fields the tests usually set.
CalendarRow Row(int year, int month, int jieDay, int jieHour, int jieMinute, int lmonth,
                int lunarDayOfJie, int ldays, int ldaysA = 0, bool leapFlag = false);

// A comma-separated file with a header row: each record maps the header's
// column names to the cells. Throws std::runtime_error when the file cannot
// be read or a line has the wrong number of cells.
using CsvRecord = std::map<std::string, std::string>;
std::vector<CsvRecord> ReadCsv(const std::filesystem::path& file);

// Runs the calendar chain of one chart on the real data files beside the test
// program: the date check, the birth month's row, the solar year and month,
// the lunar date, the jie terms and the pillars.
void ComputeChart(Corvel_BZClass& e, int year, int month, int day, int hour, int minute,
                  int sex = 1, int nightZi = 0);

}  // namespace paipan::test
