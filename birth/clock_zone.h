// What the system's time-zone database says about a local clock time in a
// zone: standard time, daylight-saving time, a time that never happened
// (clocks jumped forward) or one that happened twice (clocks turned back).
// Reads the zone's own file under /usr/share/zoneinfo (calendar/zone_file.h).
#pragma once

#include <chrono>
#include <optional>
#include <string>

#include "engine/datetime.h"

namespace paipan {

struct ClockTimeInZone {
    enum class Kind { Standard, DaylightSaving, Nonexistent, Repeated };
    Kind kind = Kind::Standard;
    std::chrono::minutes save{0};  // DaylightSaving: how far clocks were ahead
    // DaylightSaving: the clock time the period began at (read on the clock
    // before it jumped) and ended at (read on the clock before it turned back).
    CivilTime periodStart, periodEnd;
    // Nonexistent and Repeated: the clock readings before and after the change.
    CivilTime changedFrom, changedTo;
};

// The clock time `clock` (seconds ignored) in the IANA zone `zone`; nothing
// when the zone is unknown or the database cannot be read.
std::optional<ClockTimeInZone> ExamineClockTime(const std::string& zone, const CivilTime& clock);

}  // namespace paipan
