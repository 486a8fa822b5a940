#include "calendar/zone_file.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <fstream>
#include <iterator>
#include <map>
#include <system_error>

#include "engine/datetime.h"

namespace paipan {
namespace {

using Rule = ZoneFile::Rule;
using Type = ZoneFile::Type;

// IANA names: letters, digits and "/_+-", no empty part and no "..".
bool IsZoneName(const std::string& zone) {
    if (zone.empty() || zone.front() == '/' || zone.back() == '/' || zone.find("..") != std::string::npos ||
        zone.find("//") != std::string::npos)
        return false;
    return std::all_of(zone.begin(), zone.end(),
                       [](unsigned char c) { return std::isalnum(c) || c == '/' || c == '_' || c == '+' || c == '-'; });
}

}  // namespace

class ZoneFile::Bytes {
public:
    explicit Bytes(const std::string& data) : data_(data) {}
    bool Has(std::size_t n) const { return at_ + n <= data_.size(); }
    std::int64_t Int(int width) {
        std::uint64_t v = 0;
        for (int i = 0; i < width; ++i) v = (v << 8) | static_cast<unsigned char>(data_[at_++]);
        if (width == 4) return static_cast<std::int32_t>(static_cast<std::uint32_t>(v));
        return static_cast<std::int64_t>(v);
    }
    void Skip(std::size_t n) { at_ += n; }
    std::size_t at() const { return at_; }

private:
    const std::string& data_;
    std::size_t at_ = 0;
};

namespace {

using Bytes = ZoneFile::Bytes;
using Counts = ZoneFile::Counts;

std::optional<Counts> Header(Bytes& in, const std::string& data, char& version) {
    if (!in.Has(44) || data.compare(in.at(), 4, "TZif") != 0) return std::nullopt;
    version = data[in.at() + 4];
    in.Skip(20);
    Counts c{};
    for (auto& n : c) n = in.Int(4);
    if (std::any_of(c.begin(), c.end(), [](std::int64_t n) { return n < 0 || n > 100000; }) || c[4] == 0)
        return std::nullopt;
    return c;
}

std::size_t BlockSize(const Counts& c, int timeWidth) {
    return static_cast<std::size_t>(c[3] * timeWidth + c[3] + c[4] * 6 + c[5] + c[2] * (timeWidth + 4) + c[1] + c[0]);
}

// ---- The rule at the file's end: "PST8PDT,M3.2.0,M11.1.0" ----------------

class RuleText {
public:
    explicit RuleText(std::string_view s) : s_(s) {}
    bool Done() const { return i_ >= s_.size(); }
    bool Take(char c) {
        if (Done() || s_[i_] != c) return false;
        ++i_;
        return true;
    }
    bool Peek(const char* any) const { return !Done() && std::string_view(any).find(s_[i_]) != std::string_view::npos; }
    std::optional<std::string> Name() {
        const std::size_t start = i_;
        if (Take('<')) {
            while (!Done() && s_[i_] != '>') ++i_;
            if (!Take('>')) return std::nullopt;
            return std::string(s_.substr(start + 1, i_ - start - 2));
        }
        while (!Done() && std::isalpha(static_cast<unsigned char>(s_[i_]))) ++i_;
        if (i_ - start < 3) return std::nullopt;
        return std::string(s_.substr(start, i_ - start));
    }
    int Number() {
        int n = 0;
        while (!Done() && std::isdigit(static_cast<unsigned char>(s_[i_]))) n = n * 10 + (s_[i_++] - '0');
        return n;
    }
    // [+-]hh[:mm[:ss]] in seconds.
    std::int64_t Time() {
        const int sign = Take('-') ? -1 : (Take('+'), 1);
        std::int64_t t = Number() * 3600LL;
        if (Take(':')) t += Number() * 60LL;
        if (Take(':')) t += Number();
        return sign * t;
    }

private:
    std::string_view s_;
    std::size_t i_ = 0;
};

std::optional<Rule::When> ParseWhen(RuleText& in) {
    Rule::When w;
    if (in.Take('M')) {
        w.month = in.Number();
        if (!in.Take('.')) return std::nullopt;
        w.week = in.Number();
        if (!in.Take('.')) return std::nullopt;
        w.day = in.Number();
        if (w.month < 1 || w.month > 12 || w.week < 1 || w.week > 5 || w.day > 6) return std::nullopt;
    } else {
        w.kind = in.Take('J') ? 'J' : 'N';
        w.day = in.Number();
    }
    if (in.Take('/')) w.time = in.Time();
    return w;
}

std::optional<Rule> ParseRule(std::string_view text) {
    RuleText in(text);
    Rule r;
    const auto stdName = in.Name();
    if (!stdName || !in.Peek("+-0123456789")) return std::nullopt;
    r.standard = {static_cast<int>(-in.Time()), false, *stdName};
    if (in.Done()) return r;
    const auto dstName = in.Name();
    if (!dstName) return std::nullopt;
    r.hasSummer = true;
    r.summer = {r.standard.offset + 3600, true, *dstName};
    if (in.Peek("+-0123456789")) r.summer.offset = static_cast<int>(-in.Time());
    if (in.Done()) {  // the old default: the United States' rule of 2007
        r.start = {'M', 3, 2, 0, 7200}, r.end = {'M', 11, 1, 0, 7200};
        return r;
    }
    if (!in.Take(',')) return std::nullopt;
    auto start = ParseWhen(in);
    if (!start || !in.Take(',')) return std::nullopt;
    auto end = ParseWhen(in);
    if (!end || !in.Done()) return std::nullopt;
    r.start = *start, r.end = *end;
    return r;
}

std::int64_t DaysOf(int year, int month, int day) {
    return MakeDateTime(year, month, day).time_since_epoch().count() / 86400;
}

bool IsLeap(int y) { return (y % 4 == 0 && y % 100 != 0) || y % 400 == 0; }

// The local date the rule names in `year`, as days since 1970-01-01.
std::int64_t DayOf(const Rule::When& w, int year) {
    if (w.kind == 'J') return DaysOf(year, 1, 1) + w.day - 1 + (IsLeap(year) && w.day >= 60 ? 1 : 0);
    if (w.kind == 'N') return DaysOf(year, 1, 1) + w.day;
    const std::int64_t first = DaysOf(year, w.month, 1);
    const int weekdayOfFirst = static_cast<int>(((first % 7) + 7 + 4) % 7);  // 1970-01-01 was a Thursday
    std::int64_t day = first + (w.day - weekdayOfFirst + 7) % 7 + 7 * (w.week - 1);
    const int length = w.month == 12 ? 31 : static_cast<int>(DaysOf(year, w.month + 1, 1) - first);
    while (day >= first + length) day -= 7;  // week 5: the last such weekday
    return day;
}

}  // namespace

std::optional<ZoneFile> ZoneFile::Read(const std::string& zone, const std::filesystem::path& folder) {
    const ZoneFile* z = Find(zone, folder);
    return z ? std::optional<ZoneFile>(*z) : std::nullopt;
}

const ZoneFile* ZoneFile::Find(const std::string& zone, const std::filesystem::path& folder) {
    // The files do not change while the program runs: each is read once
    // (a few dozen at most; past that they are read each time, and kept
    // only while the last one is asked for again).
    static thread_local std::map<std::string, std::optional<ZoneFile>> read;
    static thread_local std::optional<ZoneFile> last;
    const std::string key = (folder / zone).string();
    const auto known = read.find(key);
    if (known != read.end()) return known->second ? &*known->second : nullptr;
    auto z = IsZoneName(zone) ? ReadFile(key) : std::nullopt;
    if (read.size() < 64) {
        const auto& kept = read.emplace(key, std::move(z)).first->second;
        return kept ? &*kept : nullptr;
    }
    last = std::move(z);
    return last ? &*last : nullptr;
}

std::optional<ZoneFile> ZoneFile::ReadFile(const std::filesystem::path& path) {
    // A folder of the zone tree ("Asia") opens, but reading it throws.
    std::error_code error;
    if (!std::filesystem::is_regular_file(path, error)) return std::nullopt;
    std::ifstream file(path, std::ios::binary);
    if (!file) return std::nullopt;
    const std::string data((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    Bytes in(data);
    char version = 0;
    auto counts = Header(in, data, version);
    int width = 4;
    if (counts && version >= '2') {  // skip the 32-bit block for the 64-bit one
        if (!in.Has(BlockSize(*counts, 4))) return std::nullopt;
        in.Skip(BlockSize(*counts, 4));
        counts = Header(in, data, version);
        width = 8;
    }
    if (!counts || !in.Has(BlockSize(*counts, width))) return std::nullopt;
    ZoneFile z;
    if (!z.ReadBlock(in, data, *counts, width)) return std::nullopt;
    if (width == 8 && in.Has(2) && data[in.at()] == '\n') {
        const std::size_t end = data.find('\n', in.at() + 1);
        if (end != std::string::npos)
            z.rule_ = ParseRule(std::string_view(data).substr(in.at() + 1, end - in.at() - 1));
    }
    return z;
}

bool ZoneFile::ReadBlock(Bytes& in, const std::string& data, const Counts& c, int width) {
    for (std::int64_t i = 0; i < c[3]; ++i) times_.push_back(in.Int(width));
    for (std::int64_t i = 0; i < c[3]; ++i) typeOf_.push_back(static_cast<std::uint8_t>(in.Int(1)));
    std::vector<std::size_t> abbreviationAt;
    for (std::int64_t i = 0; i < c[4]; ++i) {
        const int offset = static_cast<int>(in.Int(4));
        const bool dst = in.Int(1) != 0;
        types_.push_back({offset, dst, {}});
        abbreviationAt.push_back(static_cast<std::size_t>(in.Int(1)));
    }
    const std::size_t chars = in.at();
    for (std::size_t i = 0; i < types_.size(); ++i) {
        if (abbreviationAt[i] >= static_cast<std::size_t>(c[5])) return false;
        types_[i].abbreviation = std::string(data.c_str() + chars + abbreviationAt[i]);
    }
    in.Skip(static_cast<std::size_t>(c[5] + c[2] * (width + 4) + c[1] + c[0]));
    return std::all_of(typeOf_.begin(), typeOf_.end(), [&](std::uint8_t t) { return t < types_.size(); }) &&
           std::is_sorted(times_.begin(), times_.end());
}

ZonePeriod ZoneFile::At(std::int64_t utc) const {
    const auto next = std::upper_bound(times_.begin(), times_.end(), utc);
    if (next == times_.end() && rule_) return FromRule(utc, times_.empty() ? INT64_MIN : times_.back());
    ZonePeriod p;
    const Type& t = next == times_.begin() ? types_.front() : types_[typeOf_[next - times_.begin() - 1]];
    p.offset = t.offset, p.dst = t.dst, p.abbreviation = t.abbreviation;
    if (next != times_.begin()) p.begin = *(next - 1);
    if (next != times_.end()) p.end = *next;
    return p;
}

// The period the end rule gives at `utc`, none beginning before `after`
// (the file's last recorded change).
ZonePeriod ZoneFile::FromRule(std::int64_t utc, std::int64_t after) const {
    const Rule& r = *rule_;
    ZonePeriod p;
    const Type* type = &r.standard;
    if (r.hasSummer) {
        // The changes of the years around, in order; the last one at or before `utc`.
        const int year = ToCivil(DateTime{std::chrono::seconds{utc}}).year;
        std::vector<std::pair<std::int64_t, const Type*>> changes;
        for (int y = year - 1; y <= year + 1; ++y) {
            changes.emplace_back(DayOf(r.start, y) * 86400 + r.start.time - r.standard.offset, &r.summer);
            changes.emplace_back(DayOf(r.end, y) * 86400 + r.end.time - r.summer.offset, &r.standard);
        }
        std::sort(changes.begin(), changes.end());
        const auto next = std::upper_bound(changes.begin(), changes.end(), std::make_pair(utc, &r.summer),
                                           [](const auto& a, const auto& b) { return a.first < b.first; });
        type = next == changes.begin() ? changes.back().second : (next - 1)->second;
        if (next != changes.begin()) p.begin = std::max((next - 1)->first, after);
        if (next != changes.end()) p.end = next->first;
    } else {
        p.begin = after;
    }
    p.offset = type->offset, p.dst = type->dst, p.abbreviation = type->abbreviation;
    return p;
}

StandardClock StandardClockAt(const ZoneFile& zone, std::int64_t utc) {
    const ZonePeriod p = zone.At(utc);
    if (p.abbreviation == "LMT") return {p.offset, true};
    if (p.dst) {
        // The nearest clock without the summer flag, before or else after.
        ZonePeriod q = p, r = p;
        for (int i = 0; i < 64; ++i) {
            q = zone.Before(q), r = zone.After(r);
            if (!q.dst && q.abbreviation != "LMT") return {std::min(p.offset, q.offset), false};
            if (!r.dst) return {std::min(p.offset, r.offset), false};
        }
        return {p.offset, false};
    }
    // A zone whose file flags winter as the exception (negative saving):
    // its standard clock is the winter one.
    int offset = p.offset;
    for (const ZonePeriod& n : {zone.Before(p), zone.After(p)})
        if (n.dst && n.offset < offset) offset = n.offset;
    return {offset, false};
}

}  // namespace paipan
