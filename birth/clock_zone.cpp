#include "birth/clock_zone.h"

#include "calendar/zone_file.h"

namespace paipan {
namespace {

using std::chrono::minutes;
using std::chrono::seconds;

CivilTime Wall(std::int64_t utc, int offset) { return ToCivil(DateTime{seconds{utc + offset}}); }

// The summer-time period around `info` (which keeps clocks ahead). The zone
// files only flag summer time; how far clocks were ahead is the offset above
// the clock before it. One period of summer time may be cut into several
// records (a change of abbreviation); join those next to it that keep
// clocks ahead.
void FillSummerPeriod(const ZoneFile& zone, const ZonePeriod& info, ClockTimeInZone& out) {
    ZonePeriod first = info, last = info;
    for (int i = 0; i < 8; ++i) {
        const ZonePeriod before = zone.Before(first);
        if (!before.dst || before.begin == first.begin) {
            out.periodStart = Wall(first.begin, before.offset);
            out.save = minutes{(info.offset - before.offset) / 60};
            break;
        }
        first = before;
    }
    if (out.save <= minutes{0}) out.save = std::chrono::hours{1};
    for (int i = 0; i < 8; ++i) {
        const ZonePeriod after = zone.After(last);
        if (!after.dst || after.begin == last.begin) break;
        last = after;
    }
    out.periodEnd = Wall(last.end, last.offset);
}

}  // namespace

std::optional<ClockTimeInZone> ExamineClockTime(const std::string& zoneName, const CivilTime& clock) {
    const ZoneFile* zone = ZoneFile::Find(zoneName);
    if (!zone) return std::nullopt;  // unknown zone, or no readable database
    const std::int64_t local =
        MakeDateTime(clock.year, clock.month, clock.day, clock.hour, clock.minute).time_since_epoch().count();
    // The period of the reading's moment, near enough, and its neighbours:
    // a clock change at the start of one of them may skip or repeat it.
    const ZonePeriod guess = zone->At(local - zone->At(local).offset);
    ClockTimeInZone out;
    for (const ZonePeriod& p : {zone->Before(guess), guess, zone->After(guess)}) {
        if (p.begin == INT64_MIN) continue;
        const int before = zone->Before(p).offset;
        if (local < p.begin + std::min(before, p.offset) || local >= p.begin + std::max(before, p.offset)) continue;
        out.kind = p.offset > before ? ClockTimeInZone::Kind::Nonexistent : ClockTimeInZone::Kind::Repeated;
        out.changedFrom = Wall(p.begin, before);
        out.changedTo = Wall(p.begin, p.offset);
        return out;
    }
    ZonePeriod at = guess;
    for (const ZonePeriod& p : {zone->Before(guess), zone->After(guess)})
        if (local - p.offset >= p.begin && local - p.offset < p.end) at = p;
    // Summer time keeps clocks ahead of standard time; a zone whose file flags
    // its winter instead keeps standard time then.
    if (!at.dst || at.offset <= StandardClockAt(*zone, local - at.offset).offset) return out;
    out.kind = ClockTimeInZone::Kind::DaylightSaving;
    FillSummerPeriod(*zone, at, out);
    return out;
}

}  // namespace paipan
