// The data files beside the program, read through the store: every month the
// charts can reach, known jie moments, the equation of time, and the errors a
// user meets when a file, its table or a row is missing.
#include <gtest/gtest.h>

#include <chrono>

#include "calendar/store.h"
#include "engine/corvel_bzclass.h"
#include "test_support.h"

namespace paipan {
namespace {

std::filesystem::path CalendarFile() { return ProgramFolder() / kCalendarFileName; }
std::filesystem::path EquationOfTimeFile() { return ProgramFolder() / kEquationOfTimeFileName; }

bool Contains(const std::string& text, const std::string& part) {
    return text.find(part) != std::string::npos;
}

TEST(CalendarStore, EveryMonthFrom1888To2022Answers) {
    int bad = 0;
    for (int y = 1888; y <= 2022; ++y) {
        for (int m = 1; m <= 12; ++m) {
            const CalendarRow r = ReadCalendarRow(CalendarFile(), y, m);
            // A jie term falls between the 3rd and the 9th, a zhongqi term
            // between the 18th and the 24th of its Gregorian month.
            const bool ok = r.nian == y && r.JieqiMonth == m && r.JieqiDay >= 3 &&
                            r.JieqiDay <= 9 && r.JieqiHour >= 0 && r.JieqiHour <= 23 &&
                            r.JieqiMinute >= 0 && r.JieqiMinute <= 59 && r.Lmonth >= 1 &&
                            r.Lmonth <= 12 && (r.Ldays == 29 || r.Ldays == 30) &&
                            r.JieqiNDay >= 1 && r.JieqiNDay <= r.Ldays &&
                            (r.LdaysA == 0 || r.LdaysA == 29 || r.LdaysA == 30) &&
                            r.ZhongqiDay >= 18 && r.ZhongqiDay <= 24 && r.ZhongqiHour >= 0 &&
                            r.ZhongqiHour <= 23 && r.ZhongqiMinute >= 0 && r.ZhongqiMinute <= 59;
            if (!ok && ++bad <= 10) ADD_FAILURE() << "implausible row " << y << "-" << m;
        }
    }
    EXPECT_EQ(bad, 0);
}

TEST(CalendarStore, KnownJieMoments) {
    struct Case {
        int y, m, day, hour, minute;
        const char* text;
    };
    const Case cases[] = {
        {1990, 2, 4, 10, 14, "立春：1990年02月04日10时14分"},
        {2000, 2, 4, 20, 40, "立春：2000年02月04日20时40分"},
        {2020, 2, 4, 17, 3, "立春：2020年02月04日17时03分"},
    };
    for (const auto& c : cases) {
        const CalendarRow r = ReadCalendarRow(CalendarFile(), c.y, c.m);
        EXPECT_EQ(r.JieqiDay, c.day) << c.y;
        EXPECT_EQ(r.JieqiHour, c.hour) << c.y;
        EXPECT_EQ(r.JieqiMinute, c.minute) << c.y;
        // The same term as the chart prints it, a birth at its very minute.
        Corvel_BZClass e;
        test::ComputeChart(e, c.y, c.m, c.day, c.hour, c.minute);
        EXPECT_EQ(e.LastJQStr, c.text);
        EXPECT_EQ(e.bz_year, c.y);
        EXPECT_EQ(e.bz_month, 1);
    }
}

int EquationOfTimeSeconds(const EquationOfTimeRow& r) {
    if (r.min == 0) return r.sec;  // signed on its own when under a minute
    return r.min * 60 + (r.min < 0 ? -r.sec : r.sec);
}

TEST(EquationOfTime, EveryDayWithItsSignConvention) {
    using namespace std::chrono;
    int lowest = 0, highest = 0;
    int lowestMonth = 0, lowestDay = 0, highestMonth = 0, highestDay = 0;
    // Every day of a leap year, 29 February included.
    for (sys_days d = sys_days{2000y / January / 1}; d <= sys_days{2000y / December / 31};
         d += days{1}) {
        const CivilTime c = ToCivil(d);
        const EquationOfTimeRow r = ReadEquationOfTime(EquationOfTimeFile(), c.month, c.day);
        SCOPED_TRACE(testing::Message() << c.month << "-" << c.day);
        if (r.min != 0) {
            EXPECT_GE(r.sec, 0);
            EXPECT_LE(r.sec, 59);
        } else {
            EXPECT_LE(std::abs(r.sec), 59);
        }
        const int s = EquationOfTimeSeconds(r);
        if (s < lowest) std::tie(lowest, lowestMonth, lowestDay) = std::tuple{s, c.month, c.day};
        if (s > highest) std::tie(highest, highestMonth, highestDay) = std::tuple{s, c.month, c.day};
    }
    // About −14 min 14 s in mid-February, about +16 min 24 s early November.
    EXPECT_NEAR(lowest, -(14 * 60 + 14), 10);
    EXPECT_EQ(lowestMonth, 2);
    EXPECT_GE(lowestDay, 11);
    EXPECT_LE(lowestDay, 14);
    EXPECT_NEAR(highest, 16 * 60 + 24, 10);
    EXPECT_EQ(highestMonth, 11);
    EXPECT_GE(highestDay, 1);
    EXPECT_LE(highestDay, 4);
}

// Runs `read` and returns the DataError's message, or fails.
template <typename Read>
std::string DataErrorOf(Read read) {
    try {
        read();
    } catch (const DataError& error) {
        return error.what();
    }
    ADD_FAILURE() << "no DataError";
    return {};
}

TEST(CalendarStoreErrors, MissingFileTableOrRowNamesWhatIsMissing) {
    test::TempFolder empty;
    Corvel_BZClass e;
    e.dataFolder = empty.path();
    test::SetBirth(e, 1990, 5, 8, 14, 5);
    std::string message = DataErrorOf([&] { e.getNL(); });
    EXPECT_TRUE(Contains(message, "SETCONFIG.dll")) << message;
    EXPECT_TRUE(Contains(message, empty.path().string())) << message;

    test::TempFolder noTable;
    test::WriteDatabaseWithoutTables(noTable.path(), kCalendarFileName);
    e.dataFolder = noTable.path();
    message = DataErrorOf([&] { e.getNL(); });
    EXPECT_TRUE(Contains(message, "SETCONFIG.dll")) << message;

    e.dataFolder = ProgramFolder();
    test::SetBirth(e, 1700, 1, 15, 12, 0);
    message = DataErrorOf([&] { e.getNL(); });
    EXPECT_TRUE(Contains(message, "SETCONFIG.dll")) << message;
    EXPECT_TRUE(Contains(message, "1700年1月")) << message;
    EXPECT_EQ(e.ny, 0);  // no silent zero row: nothing was computed
}

TEST(CalendarStoreErrors, NeighbourRowOutsideTheTable) {
    // 1888-01-02 lies before 小寒: the last term is December 1887's, not stored.
    Corvel_BZClass e;
    test::SetBirth(e, 1888, 1, 2, 12, 0);
    e.getNL();
    const std::string message = DataErrorOf([&] { e.CalJQ(); });
    EXPECT_TRUE(Contains(message, "1887年12月")) << message;
}

TEST(EquationOfTimeErrors, MissingFileTableOrRow) {
    test::TempFolder empty;
    std::string message =
        DataErrorOf([&] { ReadEquationOfTime(empty.path() / kEquationOfTimeFileName, 5, 8); });
    EXPECT_TRUE(Contains(message, "SETSYSTEM.dll")) << message;

    test::WriteDatabaseWithoutTables(empty.path(), kEquationOfTimeFileName);
    message = DataErrorOf([&] { ReadEquationOfTime(empty.path() / kEquationOfTimeFileName, 5, 8); });
    EXPECT_TRUE(Contains(message, "SETSYSTEM.dll")) << message;

    message = DataErrorOf([&] { ReadEquationOfTime(EquationOfTimeFile(), 2, 30); });
    EXPECT_TRUE(Contains(message, "SETSYSTEM.dll")) << message;
    EXPECT_TRUE(Contains(message, "2月30日")) << message;
}

}  // namespace
}  // namespace paipan
