// One time zone as the system's compiled time-zone files describe it
// (/usr/share/zoneinfo, TZif): the UTC offset, summer-time flag and
// abbreviation in force at any moment, and the moments the clocks changed.
// Only the one file of the zone asked for is read; moments past its last
// recorded change follow the rule at the file's end.
#pragma once

#include <array>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace paipan {

inline constexpr const char* kZoneInfoFolder = "/usr/share/zoneinfo";

// A stretch of time with one clock: [begin, end) in UTC seconds since 1970.
struct ZonePeriod {
    std::int64_t begin = INT64_MIN, end = INT64_MAX;
    int offset = 0;            // seconds east of UTC
    bool dst = false;          // the file flags it as summer time
    std::string abbreviation;  // "LMT", "JST", "PDT"
};

class ZoneFile {
public:
    // The zone's file under `folder`; nothing when the name is no zone
    // (or leaves the folder) or the file cannot be read as TZif.
    static std::optional<ZoneFile> Read(const std::string& zone, const std::filesystem::path& folder = kZoneInfoFolder);
    // The same, read once for the thread and kept: nullptr for no zone.
    static const ZoneFile* Find(const std::string& zone, const std::filesystem::path& folder = kZoneInfoFolder);

    ZonePeriod At(std::int64_t utc) const;
    // The periods just before and after `p` (p itself at either end of time).
    ZonePeriod Before(const ZonePeriod& p) const { return p.begin == INT64_MIN ? p : At(p.begin - 1); }
    ZonePeriod After(const ZonePeriod& p) const { return p.end == INT64_MAX ? p : At(p.end); }

    struct Type {
        int offset = 0;
        bool dst = false;
        std::string abbreviation;
    };
    // The rule at the file's end (POSIX TZ form), for moments past the last change.
    struct Rule {
        Type standard, summer;
        bool hasSummer = false;
        // When summer time starts and ends: kind 'M' (month, week, weekday),
        // 'J' (day 1-365, no 29 February) or 'N' (day 0-365); seconds after
        // local midnight on the clock then in force.
        struct When {
            char kind = 'M';
            int month = 0, week = 0, day = 0;
            std::int64_t time = 7200;
        } start, end;
    };

    class Bytes;
    // isutcnt, isstdcnt, leapcnt, timecnt, typecnt, charcnt of a TZif header
    using Counts = std::array<std::int64_t, 6>;

private:
    static std::optional<ZoneFile> ReadFile(const std::filesystem::path& path);
    bool ReadBlock(Bytes& in, const std::string& data, const Counts& counts, int width);
    ZonePeriod FromRule(std::int64_t utc, std::int64_t after) const;

    std::vector<std::int64_t> times_;   // UTC moments of the changes
    std::vector<std::uint8_t> typeOf_;  // the type each change switches to
    std::vector<Type> types_;
    std::optional<Rule> rule_;
};

// How a zone's clock relates to standard time at a moment: the offset it
// keeps outside summer time (for a zone whose file flags winter as the
// exception, the winter offset), or that it kept only local mean time then.
struct StandardClock {
    int offset = 0;          // seconds east of UTC
    bool localMean = false;  // no standard time yet: the zone's earliest clock, LMT
};
StandardClock StandardClockAt(const ZoneFile& zone, std::int64_t utc);

}  // namespace paipan
