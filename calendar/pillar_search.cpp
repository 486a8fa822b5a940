#include "calendar/pillar_search.h"

#include <algorithm>
#include <chrono>

#include "calendar/solar_terms.h"
#include "calendar/store.h"
#include "calendar/calendar_engine.h"
#include "util/utf8.h"

namespace paipan {
namespace {

using Minute = PillarSearch::Minute;
constexpr Minute kDay = 1440;

Minute FloorDiv(Minute a, Minute b) { return a >= 0 ? a / b : -((-a + b - 1) / b); }

Minute MinuteOf(int y, int m, int d, int hour = 0, int minute = 0) {
    using namespace std::chrono;
    const sys_days date{year{y} / month{static_cast<unsigned>(m)} / day{static_cast<unsigned>(d)}};
    return date.time_since_epoch().count() * kDay + hour * 60 + minute;
}

CivilTime CivilOf(Minute t) {
    using namespace std::chrono;
    const Minute days = FloorDiv(t, kDay);
    const year_month_day ymd{sys_days{std::chrono::days{days}}};
    const auto inDay = static_cast<int>(t - days * kDay);
    return {static_cast<int>(ymd.year()),
            static_cast<int>(static_cast<unsigned>(ymd.month())),
            static_cast<int>(static_cast<unsigned>(ymd.day())),
            inDay / 60,
            inDay % 60,
            0};
}

int SerialOf(GanZhi p) {
    // The serial n with n mod 10 = stem and n mod 12 = branch (same polarity).
    return Mod(6 * p[0] - 5 * p[1], 60);
}

std::string Name(GanZhi p) {
    return std::string(kStemNames[static_cast<std::size_t>(p[0])]) +
           std::string(kBranchNames[static_cast<std::size_t>(p[1])]);
}

template <std::size_t N>
int IndexIn(const std::array<std::string_view, N>& names, char32_t cp) {
    std::string utf8;
    AppendUtf8(utf8, cp);
    for (std::size_t i = 0; i < N; ++i)
        if (names[i] == utf8) return static_cast<int>(i);
    return -1;
}

bool IsSpace(char32_t cp) { return cp == U' ' || cp == U'\t' || cp == U'\u3000'; }

// The text from `pos` to the next space, at most six characters, for a message.
std::string Unclear(std::string_view text, std::size_t pos) {
    std::string out;
    for (int count = 0; pos < text.size(); ++count) {
        const char32_t cp = NextCodePoint(text, pos);
        if (IsSpace(cp)) break;
        if (count == 6) return out + "…";
        AppendUtf8(out, cp);
    }
    return out;
}

std::string NotUnderstood(std::string_view text, std::size_t pos) {
    return "看不懂“" + Unclear(text, pos) + "”：每柱写一个干支（如甲子），不限的柱写“?”、“？”、“*”或“不限”";
}

// One pillar read at `pos` (spaces already skipped); the error when none is there.
std::optional<GanZhi> ReadPillar(std::string_view text, std::size_t& pos, std::string& error) {
    const std::size_t at = pos;
    const char32_t first = NextCodePoint(text, pos);
    if (first == U'?' || first == U'？' || first == U'*') return std::nullopt;
    std::size_t after = pos;
    const char32_t second = pos < text.size() ? NextCodePoint(text, after) : 0;
    if (first == U'不' && second == U'限') {
        pos = after;
        return std::nullopt;
    }
    const int stem = IndexIn(kStemNames, first), branch = IndexIn(kBranchNames, second);
    if (stem < 0 || branch < 0) {
        error = NotUnderstood(text, at);
        return std::nullopt;
    }
    pos = after;
    if (stem % 2 != branch % 2) {
        error = Name({stem, branch}) + "不是干支：天干与地支须同为阳或同为阴";
        return std::nullopt;
    }
    return GanZhi{stem, branch};
}

constexpr const char* kPillarSuffix[] = {"年", "月", "日", "时"};

}  // namespace

ParsedPillars ParsePillars(std::string_view text) {
    ParsedPillars parsed;
    if (!IsUtf8(text)) return {{}, "八字的文字不是有效的UTF-8编码"};
    std::size_t count = 0, pos = 0;
    while (pos < text.size()) {
        std::size_t next = pos;
        if (IsSpace(NextCodePoint(text, next))) {
            pos = next;
            continue;
        }
        if (count == 4) return {{}, "八字只有四柱，多出了“" + Unclear(text, pos) + "”"};
        auto pillar = ReadPillar(text, pos, parsed.error);
        if (!parsed.error.empty()) return parsed;
        parsed.pillars[count++] = pillar;
    }
    if (count < 4) {
        parsed.error = "八字须写四柱（年柱、月柱、日柱、时柱），这里只有" + std::to_string(count) +
                       "柱；不限的柱写“?”或“不限”";
    }
    return parsed;
}

std::string PillarText(const std::optional<GanZhi>& pillar) { return pillar ? Name(*pillar) : "不限"; }

std::vector<GanZhi> MonthPillarsOf(int yearStem) {
    std::vector<GanZhi> pillars;
    for (int solarMonth = 1; solarMonth <= 12; ++solarMonth) {
        const int branch = MonthBranchOf(solarMonth);
        pillars.push_back({MonthStemOf(branch, yearStem), branch});
    }
    return pillars;
}

std::vector<GanZhi> HourPillarsOf(int dayStem, bool nightZi) {
    std::vector<GanZhi> pillars;
    for (int branch = 0; branch < 12; ++branch) pillars.push_back({HourStemOf(branch, dayStem), branch});
    // The late 子 hour (23:00) under the night-zi rule: the day is still this
    // one, the hour stem already the next day's.
    if (nightZi) pillars.push_back({HourStemOf(0, (dayStem + 1) % 10), 0});
    return pillars;
}

namespace {

std::string StemName(int stem) { return std::string(kStemNames[static_cast<std::size_t>(stem)]); }

// "甲年、己年的月柱从丙寅起，甲年没有戊寅月"
std::string MonthProblem(GanZhi year, GanZhi month) {
    const auto allowed = MonthPillarsOf(year[0]);
    if (std::find(allowed.begin(), allowed.end(), month) != allowed.end()) return "";
    const int a = year[0] % 5;
    return StemName(a) + "年、" + StemName(a + 5) + "年的月柱从" + Name(allowed.front()) + "起，" + StemName(year[0]) +
           "年没有" + Name(month) + "月";
}

// "甲日、己日的时柱从甲子起，甲日没有丙子时"; under the night-zi rule the
// late 子 hour takes the next day's stem, which the message names for a 子 hour.
std::string HourProblem(GanZhi day, GanZhi hour, bool nightZi) {
    const auto allowed = HourPillarsOf(day[0], nightZi);
    if (std::find(allowed.begin(), allowed.end(), hour) != allowed.end()) return "";
    const int a = day[0] % 5;
    std::string text = StemName(a) + "日、" + StemName(a + 5) + "日的时柱从" + Name(allowed.front()) + "起，";
    if (nightZi && hour[1] == 0) text += "夜子时（23点起）用次日的" + Name(allowed.back()) + "，";
    return text + StemName(day[0]) + "日没有" + Name(hour) + "时";
}

std::string YearsText(const PillarQuery& q) {
    if (q.fromYear == q.toYear) return std::to_string(q.fromYear) + "年";
    return std::to_string(q.fromYear) + "年至" + std::to_string(q.toYear) + "年之间";
}

}  // namespace

std::string QueryProblem(const PillarQuery& q) {
    const auto& p = q.pillars;
    const auto given = std::count_if(p.begin(), p.end(), [](const auto& x) { return x.has_value(); });
    if (given < 2) return "至少要给出两柱，其余的柱可写“?”或“不限”";
    if (q.fromYear < kFirstYear || q.toYear > kLastYear || q.fromYear > q.toYear) {
        return "查找的年份须在" + FirstYearText() + "年至" + LastYearText() + "年之间，起始年份不能晚于结束年份";
    }
    if (p[0] && p[1]) {
        if (auto problem = MonthProblem(*p[0], *p[1]); !problem.empty()) return problem;
    }
    if (p[2] && p[3]) return HourProblem(*p[2], *p[3], q.nightZi);
    return "";
}

std::string LunarDateText(const CivilTime& t, const DataSource& data) {
    CalendarEngine e;
    e.SetDataSource(data);
    e.SetRequest(EngineRequest{.year = t.year, .month = t.month, .day = t.day, .hour = t.hour, .minute = t.minute});
    e.getNL();
    return e.GetNongLiStr();
}

PillarSearch::PillarSearch(const std::filesystem::path& calendarFile) {
    DataRowCache cache;  // the whole table read once
    for (int y = kFirstYear; y <= kLastYear; ++y) {
        for (int m = 1; m <= 12; ++m) {
            Month month;
            month.start = MinuteOf(y, m, 1);
            try {
                const CalendarRow row = cache.CalendarRowOf(calendarFile, y, m);
                month.present = true;
                month.termDay = row.JieqiDay, month.termHour = row.JieqiHour, month.termMinute = row.JieqiMinute;
                month.term = MinuteOf(y, m, row.JieqiDay, row.JieqiHour, row.JieqiMinute);
            } catch (const DataError& e) {
                if (missingMessage_.empty()) missingMessage_ = e.what();
            }
            months_.push_back(month);
        }
    }
    // The year and month pillars of each half of a month, as the chart decides them.
    for (Month& month : months_) {
        if (!month.present) continue;
        const Pillars before = *Evaluate(month.start, false), from = *Evaluate(month.term, false);
        month.yearBefore = before[0], month.monthBefore = before[1];
        month.yearFrom = from[0], month.monthFrom = from[1];
    }
}

const PillarSearch::Month* PillarSearch::MonthOf(Minute t) const {
    const CivilTime c = CivilOf(t);
    const long index = (c.year - kFirstYear) * 12L + c.month - 1;
    if (index < 0 || index >= static_cast<long>(months_.size())) return nullptr;
    const Month& month = months_[static_cast<std::size_t>(index)];
    return month.present ? &month : nullptr;
}

std::optional<Pillars> PillarSearch::Evaluate(Minute t, bool nightZi) const {
    const Month* month = MonthOf(t);
    if (!month) return std::nullopt;
    const CivilTime c = CivilOf(t);
    const SolarYearMonth solar = SolarYearMonthOf(c.year, c.month, c.day, c.hour, c.minute, month->termDay,
                                                  month->termHour, month->termMinute);
    return paipan::PillarsAt(solar.year, solar.month, c.year, c.month, c.day, c.hour, nightZi);
}

std::optional<Pillars> PillarSearch::PillarsAt(const CivilTime& t, bool nightZi) const {
    if (!IsValidDate(t.year, t.month, t.day)) return std::nullopt;
    return Evaluate(MinuteOf(t.year, t.month, t.day, t.hour, t.minute), nightZi);
}

namespace {

using Window = PillarSearch::Window;

// An open pillar fits anything. Compared index by index: std::array's ==
// goes through memcmp, which was half of a search's time.
bool Fits(const std::optional<GanZhi>& wanted, const GanZhi& p) {
    return !wanted || ((*wanted)[0] == p[0] && (*wanted)[1] == p[1]);
}

bool Matches(const PillarPattern& pattern, const Pillars& p) {
    return Fits(pattern[0], p[0]) && Fits(pattern[1], p[1]) && Fits(pattern[2], p[2]) && Fits(pattern[3], p[3]);
}

bool YearMonthMatch(const PillarPattern& pattern, const GanZhi& year, const GanZhi& month) {
    return Fits(pattern[0], year) && Fits(pattern[1], month);
}

}  // namespace

// The stretches of [from, to] whose solar year and month have the pattern's
// year and month pillars: halves of Gregorian months, joined when they meet.
std::vector<PillarSearch::Window> PillarSearch::SolarWindows(const PillarQuery& q, Minute from, Minute to) const {
    std::vector<Window> windows;
    auto add = [&](Minute first, Minute last) {
        first = std::max(first, from), last = std::min(last, to);
        if (first > last) return;
        if (!windows.empty() && windows.back().last + 1 >= first)
            windows.back().last = std::max(windows.back().last, last);
        else
            windows.push_back({first, last});
    };
    const CivilTime a = CivilOf(from), b = CivilOf(to);
    const auto firstIndex = static_cast<std::size_t>((a.year - kFirstYear) * 12 + a.month - 1);
    const auto lastIndex = static_cast<std::size_t>((b.year - kFirstYear) * 12 + b.month - 1);
    for (std::size_t i = firstIndex; i <= lastIndex; ++i) {
        const Month& m = months_[i];
        const Minute end = i + 1 < months_.size() ? months_[i + 1].start - 1 : MinuteOf(kLastYear + 1, 1, 1) - 1;
        if (YearMonthMatch(q.pillars, m.yearBefore, m.monthBefore)) add(m.start, m.term - 1);
        if (YearMonthMatch(q.pillars, m.yearFrom, m.monthFrom)) add(m.term, end);
    }
    return windows;
}

namespace {

// The stretches of chart day `day` (days since 1970-01-01) where the pattern's
// hour can stand, each an hour wider on both sides than the rule says, so
// that the hour-by-hour check decides the edges.
void DayWindows(const PillarQuery& q, Minute day, std::vector<Window>& out) {
    const Minute base = day * kDay;
    auto add = [&](Minute first, Minute last) { out.push_back({first - 60, last + 60}); };
    if (!q.pillars[3]) {
        add(base - 60, base + kDay - 1);  // from 23:00 of the day before to midnight
        return;
    }
    const int branch = (*q.pillars[3])[1];
    if (branch == 0) {
        add(base - 60, base + 59);  // 23:00 of the day before to 00:59
        if (q.nightZi) add(base + 23 * 60, base + kDay - 1);
        return;
    }
    add(base + (2 * branch - 1) * 60, base + (2 * branch + 1) * 60 - 1);
}

int DaySerial(Minute day) {
    const CivilTime c = CivilOf(day * kDay);
    return Mod(DaysSinceJiaZiDay(c.year, c.month, c.day), 60);
}

void Append(std::vector<Window>& out, Minute first, Minute last) {
    if (!out.empty() && out.back().last + 1 >= first)
        out.back().last = std::max(out.back().last, last);
    else
        out.push_back({first, last});
}

}  // namespace

// The matching stretches inside one solar window, found day by day.
void PillarSearch::SearchWindow(const PillarQuery& q, const Window& w, std::vector<Window>& out) const {
    if (!q.pillars[2] && !q.pillars[3]) {
        Append(out, w.first, w.last);
        return;
    }
    Minute day = FloorDiv(w.first, kDay) - 1;
    const Minute lastDay = FloorDiv(w.last, kDay) + 1;
    Minute step = 1;
    if (q.pillars[2]) {
        // A day pillar comes back every sixty days.
        day += Mod(SerialOf(*q.pillars[2]) - DaySerial(day), 60);
        step = 60;
    }
    std::vector<Window> candidates;
    for (; day <= lastDay; day += step) {
        std::vector<Window> stretches;
        DayWindows(q, day, stretches);
        for (auto [first, last] : stretches) {
            first = std::max(first, w.first), last = std::min(last, w.last);
            if (first <= last) Append(candidates, first, last);
        }
    }
    for (const Window& c : candidates) Verify(q, c, out);
}

// Walks a candidate stretch hour by hour and keeps the pieces that chart to
// the pattern. Inside a solar window the year and month pillars hold, so the
// day and hour pillars can change only at a full hour.
void PillarSearch::Verify(const PillarQuery& q, Window w, std::vector<Window>& out) const {
    for (Minute t = w.first; t <= w.last;) {
        const Minute next = std::min(w.last + 1, (FloorDiv(t, 60) + 1) * 60);
        const auto p = Evaluate(t, q.nightZi);
        if (p && Matches(q.pillars, *p)) Append(out, t, next - 1);
        t = next;
    }
}

PillarSearchResult PillarSearch::Find(const PillarQuery& q) const {
    using Outcome = PillarSearchResult::Outcome;
    if (auto problem = QueryProblem(q); !problem.empty()) return {Outcome::Refused, {}, problem};
    const Minute from = MinuteOf(q.fromYear, 1, 1), to = MinuteOf(q.toYear, 12, 31, 23, 59);
    const auto first = months_.begin() + (q.fromYear - kFirstYear) * 12;
    const auto last = months_.begin() + (q.toYear - kFirstYear + 1) * 12;
    if (!std::all_of(first, last, [](const Month& m) { return m.present; }))
        return {Outcome::NoData, {}, missingMessage_};
    std::vector<Window> found;
    for (const Window& w : SolarWindows(q, from, to)) SearchWindow(q, w, found);
    if (found.empty()) {
        std::string what;
        for (std::size_t k = 0; k < 4; ++k)
            if (q.pillars[k]) what += Name(*q.pillars[k]) + kPillarSuffix[k];
        return {Outcome::NotFound, {}, "在" + YearsText(q) + "没有" + what + "的时刻（按真太阳时）"};
    }
    PillarSearchResult result;
    result.intervals.reserve(found.size());
    for (const Window& w : found) result.intervals.push_back({CivilOf(w.first), CivilOf(w.last)});
    return result;
}

}  // namespace paipan
