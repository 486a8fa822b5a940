// Lunar date to Gregorian day by walking the lunar months: a first guess
// from the month number, then whole months forward or back, each month
// found by the chart's own rule, until the asked-for month is reached.
#include "calendar/lunar_input.h"

#include <algorithm>
#include <tuple>

#include "calendar/store.h"
#include "engine/pillar_engine.h"
#include "engine/span.h"
#include "engine/value.h"

namespace paipan {
namespace {

using namespace std::chrono;

// The order of the lunar months: by year, number, and the leap month after
// the ordinary month of its number.
auto MonthKey(const LunarDate& d) { return std::tuple(d.year, d.month, d.leap); }

// The symbol tables of the chart, for names exactly as it writes them.
const PillarEngine& Tables() {
    static const PillarEngine tables;
    return tables;
}

// A typed whole number; a number too large for the lists stays out of range.
std::optional<int> WholeNumber(const std::string& text) {
    if (text.find('.') != std::string::npos) return std::nullopt;
    const auto value = ParseDecimal(text);
    if (!value) return std::nullopt;
    if (*value > 100000) return 100000;
    if (*value < -100000) return -100000;
    return static_cast<int>(*value);
}

std::string WithoutSuffix(const std::string& text, const std::string& suffix) {
    if (text.size() > suffix.size() && text.compare(text.size() - suffix.size(), suffix.size(), suffix) == 0)
        return text.substr(0, text.size() - suffix.size());
    return text;
}

}  // namespace

// The lunar month around a day: its first day and its name (day 1).
struct LunarCalendar::MonthStart {
    sys_days start;
    LunarDate month;
};

void LunarCalendar::Damaged() const {
    throw DataError("数据文件 " + std::string(kCalendarFileName) +
                    " 中的农历月份前后不接，文件可能已损坏，请重新安装本程序。");
}

sys_days LunarCalendar::FirstDay() { return sys_days{year{kFirstYear} / January / 1}; }
sys_days LunarCalendar::LastDay() { return sys_days{year{kLastYear} / December / 31}; }
int LunarCalendar::FirstLunarYear() { return kFirstYear - 1; }
int LunarCalendar::LastLunarYear() { return kLastYear; }

LunarDate LunarCalendar::LunarDateOf(sys_days day) const {
    const year_month_day ymd{day};
    const int y = static_cast<int>(ymd.year());
    const int m = static_cast<int>(static_cast<unsigned>(ymd.month()));
    const int d = static_cast<int>(static_cast<unsigned>(ymd.day()));
    const auto read = [this](int ry, int rm) { return data_.CalendarRowOf(ry, rm); };
    return LunarDateOfDay(y, m, d, read(y, m), read);
}

LunarCalendar::MonthStart LunarCalendar::MonthAt(sys_days day) const {
    LunarDate d = LunarDateOf(day);
    const sys_days start = day - days{d.day - 1};
    d.day = 1;
    return {start, d};
}

// The month after: a month has 29 or 30 days, so the 30th day from its start
// is its day 30 or already the next month's first.
LunarCalendar::MonthStart LunarCalendar::NextMonth(const MonthStart& m) const {
    const sys_days day30 = m.start + days{29};
    return MonthAt(LunarDateOf(day30).day == 30 ? day30 + days{1} : day30);
}

std::variant<sys_days, LunarRefusal> LunarCalendar::GregorianDayOf(const LunarDate& date) const {
    using Kind = LunarRefusal::Kind;
    const auto outside = LunarRefusal{Kind::OutsideSpan};
    // 正月初一 falls between 21 January and 20 February; a month is 29.53 days.
    sys_days guess = sys_days{year{date.year} / February / 5} +
                     days{(date.month - 1) * 2953 / 100 + (date.leap ? 29 : 0)};
    guess = std::clamp(guess, FirstDay(), LastDay());
    MonthStart m = MonthAt(guess);
    for (int direction = 0, steps = 0; MonthKey(m.month) != MonthKey(date); ++steps) {
        // The guess is at most two months off; a walk that goes on finds no
        // order in the file's months.
        if (steps > 24) Damaged();
        const int step = MonthKey(m.month) < MonthKey(date) ? 1 : -1;
        // Stepped over it: there is no such month between the two.
        if (direction != 0 && step != direction) {
            if (!date.leap) Damaged();
            return LunarRefusal{Kind::NoSuchLeapMonth, LeapMonthOf(date.year)};
        }
        direction = step;
        if (step < 0) {
            if (m.start <= FirstDay()) return outside;  // the month before ends before the span
            m = MonthAt(m.start - days{1});
        } else {
            m = NextMonth(m);
            if (m.start > LastDay()) return outside;
        }
    }
    if (date.day == 30 && LunarDateOf(m.start + days{29}).day != 30) return LunarRefusal{Kind::MonthTooShort, 0, 29};
    const sys_days day = m.start + days{date.day - 1};
    if (day < FirstDay() || day > LastDay()) return outside;
    return day;
}

int LunarCalendar::LeapMonthOf(int lunarYear) const {
    // 20 February always lies in 正月 (its first day falls 21 January to
    // 20 February); the year's months follow it until the next 正月.
    MonthStart m = MonthAt(sys_days{year{lunarYear} / February / 20});
    for (int i = 0; i < 14 && m.month.year == lunarYear; ++i) {
        if (m.month.leap) return m.month.month;
        m = NextMonth(m);
    }
    return 0;
}

std::string LunarMonthName(int month) { return Tables().NlMonthName.at(static_cast<std::size_t>(month)) + "月"; }

std::string LunarDayName(int day) { return Tables().NlDayName.at(static_cast<std::size_t>(day)); }

std::optional<int> ParseWholeNumber(const std::string& text) { return WholeNumber(text); }

std::optional<int> ParseLunarMonth(const std::string& text) {
    if (auto n = WholeNumber(text)) return n;
    const std::string name = WithoutSuffix(text, "月");
    if (name == "一" || name == "冬" || name == "腊") return name == "一" ? 1 : name == "冬" ? 11 : 12;
    for (int m = 1; m <= 12; ++m)
        if (name == Tables().NlMonthName[static_cast<std::size_t>(m)]) return m;
    return std::nullopt;
}

std::optional<int> ParseLunarDay(const std::string& text) {
    if (auto n = WholeNumber(text)) return n;
    const std::string name = WithoutSuffix(text, "日");
    for (int d = 1; d <= 30; ++d)
        if (name == Tables().NlDayName[static_cast<std::size_t>(d)]) return d;
    return std::nullopt;
}

std::string LunarDateText(const LunarDate& date) {
    const int s = YearSerialOf(date.year);
    const PillarEngine& t = Tables();
    return t.GetG(s % 10) + t.GetZ(s % 12) + "年" + (date.leap ? "闰" : "") + LunarMonthName(date.month) +
           LunarDayName(date.day);
}

}  // namespace paipan
