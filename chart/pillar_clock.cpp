#include "chart/pillar_clock.h"

#include <chrono>
#include <cstdio>

#include "chart/chart_request.h"

namespace paipan {
namespace {

using Minutes = std::chrono::sys_time<std::chrono::minutes>;

Minutes ToMinutes(const CivilTime& t) {
    return std::chrono::floor<std::chrono::minutes>(MakeDateTime(t.year, t.month, t.day, t.hour, t.minute));
}

CivilTime ToCivilMinute(Minutes t) { return ToCivil(std::chrono::time_point_cast<std::chrono::seconds>(t)); }

// The first clock minute whose corrected minute is `target` or later, found
// from the shift at the target and then stepped: the correction only ever
// moves on as the clock moves on.
std::optional<Minutes> FirstClockReaching(Minutes target, const ClockCorrection& correct) {
    const auto corrected = [&](Minutes clock) -> std::optional<Minutes> {
        const auto t = correct(ToCivilMinute(clock));
        if (!t) return std::nullopt;
        return ToMinutes(*t);
    };
    // The clock read at the target's own figures is shifted by the longitude
    // and the equation of time; taking that shift off lands within a minute
    // or two of the answer (the equation of time moves by seconds a day).
    const auto at = corrected(target);
    if (!at) return std::nullopt;
    Minutes clock = target - (*at - target);
    for (int step = 0; step < 8; ++step) {
        const auto now = corrected(clock);
        const auto before = corrected(clock - std::chrono::minutes{1});
        if (now && *now < target)
            clock += std::chrono::minutes{1};
        else if (before && *before >= target)
            clock -= std::chrono::minutes{1};
        else
            return now ? std::optional<Minutes>(clock) : std::nullopt;
    }
    return std::nullopt;
}

}  // namespace

ClockCorrection BirthplaceClockCorrection(const ChartInput& birthplace, const DataSource& data) {
    return [=](const CivilTime& clock) -> std::optional<CivilTime> {
        ChartInput input = DefaultChartInput(clock.year, clock.month, clock.day, clock.hour, clock.minute);
        input.longitude = birthplace.longitude;
        input.longitudeMinutes = birthplace.longitudeMinutes;
        input.zone = birthplace.zone;
        input.zonePlace = birthplace.zonePlace;
        const auto checked = CheckChartInput(input);
        const auto* c = std::get_if<CheckedClock>(&checked);
        if (!c) return std::nullopt;
        const EquationOfTimeRow eot = data.EquationOfTimeOf(c->month, c->day);
        return CorrectToTrueSolarTime(input, *c, eot.min, eot.sec).corrected;
    };
}

ClockCorrection ChinaClockCorrection(const std::string& degrees, const std::string& minutes, const DataSource& data) {
    ChartInput china;
    china.longitude = degrees;
    china.longitudeMinutes = minutes;
    return BirthplaceClockCorrection(china, data);
}

std::optional<CivilTime> SuggestClockTime(const PillarInterval& interval, const ClockCorrection& correct) {
    const Minutes start = ToMinutes(interval.start), end = ToMinutes(interval.end);
    const auto inside = [&](std::optional<Minutes> clock) -> std::optional<CivilTime> {
        if (!clock) return std::nullopt;
        const auto t = correct(ToCivilMinute(*clock));
        if (!t || ToMinutes(*t) > end) return std::nullopt;
        return ToCivilMinute(*clock);
    };
    if (end > start) {
        if (auto clock = inside(FirstClockReaching(start + std::chrono::minutes{1}, correct))) return clock;
    }
    return inside(FirstClockReaching(start, correct));
}

std::string MinuteText(const CivilTime& t, char separator) {
    char text[64];
    std::snprintf(text, sizeof text, "%04d-%02d-%02d%c%02d:%02d", t.year, t.month, t.day, separator, t.hour, t.minute);
    return text;
}

}  // namespace paipan
