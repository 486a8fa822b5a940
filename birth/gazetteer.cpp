#include "birth/gazetteer.h"

#include <algorithm>
#include <cmath>
#include <map>
#include <tuple>

#include "birth/place_file.h"

namespace paipan {
namespace {

std::vector<std::string> Split(std::string_view s, char sep) {
    std::vector<std::string> out;
    std::size_t start = 0;
    while (start <= s.size()) {
        const auto end = std::min(s.find(sep, start), s.size());
        if (end > start) out.emplace_back(s.substr(start, end - start));
        start = end + 1;
    }
    return out;
}

std::string_view Trim(std::string_view s) {
    const auto isSpace = [](char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; };
    while (!s.empty() && isSpace(s.front())) s.remove_prefix(1);
    while (!s.empty() && isSpace(s.back())) s.remove_suffix(1);
    return s;
}

// The last part of a full name: the division's own name.
std::string_view OwnName(const Place& p) {
    const auto space = p.name.rfind(' ');
    return space == std::string::npos ? std::string_view(p.name) : std::string_view(p.name).substr(space + 1);
}

enum MatchClass { kExact = 0, kPrefix = 1, kPart = 2, kNone = 3 };

MatchClass Classify(const Place& p, std::string_view word) {
    if (p.name == word) return kExact;
    for (const auto& a : p.aliases)
        if (a == word) return kExact;
    for (const auto& a : p.aliases)
        if (a.starts_with(word)) return kPrefix;
    return OwnName(p).find(word) != std::string_view::npos ? kPart : kNone;
}

Place PlaceOf(PlaceRow&& row) {
    Place p;
    p.name = std::move(row.name);
    p.aliases = Split(row.aliases, '|');
    p.longitude = static_cast<double>(row.longitudeE6) / 1e6;
    p.latitude = static_cast<double>(row.latitudeE6) / 1e6;
    p.zone = std::move(row.zone);
    p.level = row.level;
    p.approximate = row.approximate;
    return p;
}

}  // namespace

std::string Place::Province() const { return name.substr(0, name.find(' ')); }

LongitudeBoxes LongitudeBoxesOf(double longitude) {
    // Whole minutes, half a minute rounding away from zero: [-10800, 10800].
    const long total = std::lround(longitude * 60);
    const long degrees = total >= 0 ? total / 60 : -((-total + 59) / 60);  // floor
    return {static_cast<int>(degrees), static_cast<int>(total - degrees * 60)};
}

std::string LongitudeText(double longitude) {
    const long total = std::lround(std::fabs(longitude) * 60);
    const long minutes = total % 60;
    return std::to_string(total / 60) + "°" + (minutes < 10 ? "0" : "") + std::to_string(minutes) + "′" +
           (longitude < 0 ? "W" : "E");
}

std::vector<Place> PlacesNamed(const std::filesystem::path& file, std::string_view text) {
    std::vector<Place> places;
    for (auto& row : ReadPlacesNamed(file, std::string(Trim(text)))) places.push_back(PlaceOf(std::move(row)));
    return places;
}

const Place* BestNamed(const std::vector<const Place*>& named) {
    const Place* found = nullptr;
    bool tied = false;
    for (const Place* p : named) {
        if (!found || p->level < found->level) {
            found = p;
            tied = false;
        } else if (p->level == found->level) {
            tied = true;
        }
    }
    return tied ? nullptr : found;
}

std::string ShortName(const Place& place) { return std::string(OwnName(place)); }

Gazetteer Gazetteer::Load(const std::filesystem::path& file) {
    std::vector<Place> places;
    for (auto& row : ReadPlaces(file)) places.push_back(PlaceOf(std::move(row)));
    return Gazetteer(std::move(places));
}

Gazetteer::Gazetteer(std::vector<Place> places) : places_(std::move(places)) {
    // A division's parent is the entry whose full name is its name less the
    // last part; the file lists every division before those under it.
    std::map<std::string_view, int> byName;
    for (std::size_t i = 0; i < places_.size(); ++i) {
        auto& p = places_[i];
        const auto space = p.name.rfind(' ');
        if (space != std::string::npos) {
            const auto it = byName.find(std::string_view(p.name).substr(0, space));
            if (it != byName.end()) p.parent = it->second;
        }
        byName.emplace(p.name, static_cast<int>(i));
        // Every name a place answers to exactly, once, in the file's order.
        std::vector<std::string> names{p.name};
        for (const auto& a : p.aliases)
            if (std::find(names.begin(), names.end(), a) == names.end()) names.push_back(a);
        for (auto& n : names) exactNames_[std::move(n)].push_back(static_cast<int>(i));
    }
}

std::vector<Gazetteer::Match> Gazetteer::Search(std::string_view query, std::size_t limit) const {
    auto words = Split(Trim(query), ' ');
    if (words.empty()) return {};
    const std::string last = words.back();
    words.pop_back();
    // (class, level of the division matched, its position, matched through a
    // division above it, own position): smaller ranks first.
    using Key = std::tuple<int, int, int, bool, int>;
    std::vector<std::pair<Key, int>> found;
    for (int i = 0; i < static_cast<int>(places_.size()); ++i) {
        const Place& p = places_[i];
        if (std::any_of(words.begin(), words.end(),
                        [&](const std::string& w) { return p.name.find(w) == std::string::npos; }))
            continue;
        std::optional<Key> best;
        for (int n = i; n >= 0; n = places_[n].parent) {
            const MatchClass c = Classify(places_[n], last);
            if (c == kNone) continue;
            const Key key{c, places_[n].level, n, n != i, i};
            if (!best || key < *best) best = key;
        }
        if (best) found.emplace_back(*best, i);
    }
    std::sort(found.begin(), found.end());
    std::vector<Match> out;
    for (const auto& [key, index] : found) {
        if (out.size() >= limit) break;
        const auto& first = found.front().first;
        const bool best = !std::get<3>(key) && std::get<0>(key) == std::get<0>(first) &&
                          std::get<1>(key) == std::get<1>(first);
        out.push_back({index, best});
    }
    return out;
}

std::vector<const Place*> Gazetteer::AllNamed(std::string_view text) const {
    const std::string_view t = Trim(text);
    std::vector<const Place*> out;
    const auto it = exactNames_.find(std::string(t));
    if (it == exactNames_.end()) return out;
    for (const int i : it->second) out.push_back(&places_[static_cast<std::size_t>(i)]);
    return out;
}

const Place* Gazetteer::Named(std::string_view text) const { return BestNamed(AllNamed(text)); }

}  // namespace paipan
