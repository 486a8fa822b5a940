#include "birth/clock_zone.h"

#include <date/tz.h>

#include <exception>

namespace paipan {
namespace {

using std::chrono::seconds;

CivilTime Wall(date::sys_seconds utc, seconds offset) {
    return ToCivil(DateTime{utc.time_since_epoch() + offset});
}

// The summer-time period around `info` (which keeps clocks ahead). Read from
// the compiled zone files, `save` only flags summer time; how far clocks were
// ahead is the offset above standard time before it. One period of summer
// time may be cut into several records (a change of abbreviation); join
// those next to it that keep clocks ahead.
void FillSummerPeriod(const date::time_zone& tz, const date::sys_info& info, ClockTimeInZone& out) {
    date::sys_info first = info, last = info;
    for (int i = 0; i < 8; ++i) {
        const auto before = tz.get_info(first.begin - seconds{1});
        if (before.save == std::chrono::minutes{0}) {
            out.periodStart = Wall(first.begin, before.offset);
            out.save = std::chrono::duration_cast<std::chrono::minutes>(info.offset - before.offset);
            break;
        }
        first = before;
    }
    if (out.save <= std::chrono::minutes{0}) out.save = std::chrono::hours{1};
    for (int i = 0; i < 8; ++i) {
        const auto after = tz.get_info(last.end);
        if (after.save == std::chrono::minutes{0}) break;
        last = after;
    }
    out.periodEnd = Wall(last.end, last.offset);
}

}  // namespace

std::optional<ClockTimeInZone> ExamineClockTime(const std::string& zone, const CivilTime& clock) {
    try {
        const date::time_zone* tz = date::locate_zone(zone);
        const date::local_seconds local{
            MakeDateTime(clock.year, clock.month, clock.day, clock.hour, clock.minute).time_since_epoch()};
        const date::local_info li = tz->get_info(local);
        ClockTimeInZone out;
        if (li.result == date::local_info::nonexistent || li.result == date::local_info::ambiguous) {
            out.kind = li.result == date::local_info::nonexistent ? ClockTimeInZone::Kind::Nonexistent
                                                                 : ClockTimeInZone::Kind::Repeated;
            out.changedFrom = Wall(li.second.begin, li.first.offset);
            out.changedTo = Wall(li.second.begin, li.second.offset);
            return out;
        }
        if (li.first.save == std::chrono::minutes{0}) return out;
        out.kind = ClockTimeInZone::Kind::DaylightSaving;
        FillSummerPeriod(*tz, li.first, out);
        return out;
    } catch (const std::exception&) {
        return std::nullopt;  // unknown zone, or no readable database
    }
}

}  // namespace paipan
