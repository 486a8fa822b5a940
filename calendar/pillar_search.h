// 八字反查: from four pillars, or some of them, to every stretch of corrected
// (true solar) time in which the chart has them. The search reads the jie
// minutes from the same calendar rows the chart reads and decides every
// pillar with the chart's own rules (engine/pillar_rules.h,
// calendar/solar_terms.h), so each moment it lists charts to the pillars
// searched.
#pragma once

#include <array>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "calendar/store.h"
#include "engine/datetime.h"
#include "engine/ganzhi.h"
#include "engine/pillar_rules.h"
#include "engine/span.h"

namespace paipan {

// Year, month, day and hour pillar; nothing for a pillar left open.
using PillarPattern = std::array<std::optional<GanZhi>, 4>;

// A typed pattern: four pillars, each a stem-branch pair or "?", "？", "*" or
// "不限" for an open one, with or without spaces (full-width ones too)
// between them. On failure `error` says in Chinese what was not understood.
struct ParsedPillars {
    PillarPattern pillars{};
    std::string error;
};
ParsedPillars ParsePillars(std::string_view text);

// "甲子", or "不限" for an open pillar.
std::string PillarText(const std::optional<GanZhi>& pillar);

// The month pillars a year stem allows (五虎遁): 寅 … 丑, twelve.
std::vector<GanZhi> MonthPillarsOf(int yearStem);
// The hour pillars a day stem allows (五鼠遁): 子 … 亥, twelve; with the
// night-zi rule also the late 子 hour, which takes the next day's stem.
std::vector<GanZhi> HourPillarsOf(int dayStem, bool nightZi);

struct PillarQuery {
    PillarPattern pillars{};
    bool nightZi = false;  // 夜子时: from 23:00 the day keeps its own day pillar
    int fromYear = kFirstYear;
    int toYear = kLastYear;
};

// Why the query can list nothing whatever the calendar says (fewer than two
// pillars, a month stem the year stem does not allow, an hour stem the day
// stem does not allow, years outside the span); empty when it can.
std::string QueryProblem(const PillarQuery& query);

// A stretch of corrected time to the minute, both ends inclusive.
struct PillarInterval {
    CivilTime start;
    CivilTime end;
};

struct PillarSearchResult {
    enum class Outcome {
        Found,     // `intervals` holds at least one
        Refused,   // the query can never match (QueryProblem)
        NotFound,  // it can, but not in the years searched
        NoData,    // the calendar file lacks a month of those years
    };
    Outcome outcome = Outcome::Found;
    std::vector<PillarInterval> intervals;  // in time order
    std::string reason;                     // Chinese, when nothing is listed
};

// The lunar date of a corrected minute as the chart's header writes it
// ("庚午年[路旁土]四月廿一日"), from the calendar file in `dataFolder`; throws
// DataError like a chart.
std::string LunarDateText(const CivilTime& t, const DataSource& data);

class PillarSearch {
public:
    // Reads the jie minute of every Gregorian month of the program's years
    // from the calendar file, once. A month without a row is remembered and
    // reported by the searches that need it.
    explicit PillarSearch(const std::filesystem::path& calendarFile);

    PillarSearchResult Find(const PillarQuery& query) const;

    // The pillars the chart gives a corrected minute, or nothing outside the
    // months read.
    std::optional<Pillars> PillarsAt(const CivilTime& t, bool nightZi) const;

    using Minute = std::int64_t;  // minutes since 1970-01-01 00:00
    struct Window {
        Minute first, last;  // inclusive
    };

private:
    struct Month {
        bool present = false;
        int termDay = 0, termHour = 0, termMinute = 0;
        Minute start = 0;  // 00:00 of its first day
        Minute term = 0;   // the jie minute
        // The year and month pillars before and from the jie minute.
        GanZhi yearBefore{}, monthBefore{}, yearFrom{}, monthFrom{};
    };
    const Month* MonthOf(Minute t) const;
    std::optional<Pillars> Evaluate(Minute t, bool nightZi) const;
    std::vector<Window> SolarWindows(const PillarQuery& q, Minute from, Minute to) const;
    void SearchWindow(const PillarQuery& q, const Window& w, std::vector<Window>& out) const;
    void Verify(const PillarQuery& q, Window w, std::vector<Window>& out) const;

    std::vector<Month> months_;   // from January of kFirstYear
    std::string missingMessage_;  // the first month without a row, as the store words it
};

}  // namespace paipan
