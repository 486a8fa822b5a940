// Every day from December 1889 to January 2021: the lunar date that the
// calendar rows give must be the reference calendar's, whose fixture lists
// the first day of every lunar month.
#include <gtest/gtest.h>

#include <chrono>

#include "engine/corvel_bzclass.h"
#include "test_support.h"

namespace paipan {
namespace {

using namespace std::chrono;

struct LunarMonthStart {
    sys_days first;
    int year, month;
    bool leap;
};

std::vector<LunarMonthStart> ReferenceMonths() {
    std::vector<LunarMonthStart> months;
    for (const auto& r : test::ReadCsv(std::filesystem::path(PAIPAN_FIXTURES_DIR) / "lunar_months.csv")) {
        const std::string& date = r.at("date");  // YYYY-MM-DD
        const year_month_day ymd{year{std::stoi(date.substr(0, 4))},
                                 month{static_cast<unsigned>(std::stoi(date.substr(5, 2)))},
                                 day{static_cast<unsigned>(std::stoi(date.substr(8, 2)))}};
        months.push_back({sys_days{ymd}, std::stoi(r.at("lunar_year")), std::stoi(r.at("month")),
                          r.at("leap") == "1"});
    }
    return months;
}

TEST(LunarDateEveryDay, MatchesTheReferenceCalendar) {
    const auto months = ReferenceMonths();
    ASSERT_GT(months.size(), 1600u);
    const sys_days first{year{1889} / December / 1};
    const sys_days last{year{2021} / January / 31};
    ASSERT_LE(months.front().first, first);

    Corvel_BZClass e;  // each day's getNL rewrites every field it reports
    std::size_t current = 0;
    int checked = 0, mismatches = 0;
    for (sys_days d = first; d <= last; d += days{1}) {
        while (current + 1 < months.size() && months[current + 1].first <= d) ++current;
        ASSERT_LT(current + 1, months.size()) << "fixture ends too early";
        const LunarMonthStart& m = months[current];
        const int lunarDay = static_cast<int>((d - m.first).count()) + 1;

        const CivilTime c = ToCivil(d);
        test::SetBirth(e, c.year, c.month, c.day, 12, 0);
        e.getNL();
        ++checked;
        if (e.nn != m.year || e.ny != m.month || e.nr != lunarDay || e.leap != m.leap) {
            if (++mismatches <= 20) {
                ADD_FAILURE() << c.year << "-" << c.month << "-" << c.day << ": got " << e.nn << "/"
                              << (e.leap ? "闰" : "") << e.ny << "/" << e.nr << ", expected "
                              << m.year << "/" << (m.leap ? "闰" : "") << m.month << "/" << lunarDay;
            }
        }
    }
    EXPECT_EQ(checked, 47909);  // every day of the range
    EXPECT_EQ(mismatches, 0);
}

}  // namespace
}  // namespace paipan
