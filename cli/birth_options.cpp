#include "cli/birth_options.h"

#include <algorithm>
#include <cstdio>
#include <iostream>
#include <stdexcept>

#include "birth/birth_clock.h"
#include "birth/gazetteer.h"
#include "birth/notices.h"
#include "calendar/store.h"
#include "util/program_folder.h"

namespace paipan::cli {

bool NoteBirthOption(BirthOptions& birth, std::string_view key, bool hasValue) {
    if (key == "longitude" || key == "longitude-minutes") {
        birth.longitudeGiven = true;
        return false;  // the value itself is read by the ordinary option
    }
    bool* flag = key == "longitude-from-place" ? &birth.longitudeFromPlace : key == "quiet" ? &birth.quiet : nullptr;
    if (!flag) return false;
    if (hasValue) throw std::invalid_argument("--" + std::string(key) + " takes no value");
    *flag = true;
    return true;
}

int Locate(const std::string& query) {
    try {
        const Gazetteer gazetteer = Gazetteer::Load(ProgramFolder() / kGazetteerFileName);
        const auto matches = gazetteer.Search(query);
        if (matches.empty()) {
            std::cerr << "没有找到与“" << query << "”相符的出生地区。\n";
            return 2;
        }
        std::string out;
        for (const auto& m : matches) {
            const Place& p = gazetteer.places()[m.index];
            const LongitudeBoxes b = LongitudeBoxesOf(p.longitude);
            out += p.name + "\t" + std::to_string(b.degrees) + "\t" + std::to_string(b.minutes) + "\t" + p.zone + "\n";
        }
        if (std::fwrite(out.data(), 1, out.size(), stdout) != out.size() || std::fflush(stdout) != 0) return 1;
        return 0;
    } catch (const DataError& e) {
        std::cerr << e.what() << "\n";
        return 3;
    }
}

namespace {

// A place that cannot give the longitude: the exit status, message written.
struct Refusal {
    int status;
};

int Refuse(const std::string& why, const std::vector<std::string>& places) {
    std::cerr << why;
    for (const auto& name : places) std::cerr << "  " << name << "\n";
    return 2;
}

// The place a text names exactly, read without loading the whole gazetteer;
// nothing when it names none. Throws a Refusal when it names several.
std::optional<Place> ExactlyNamed(const std::string& text) {
    const std::vector<Place> places = PlacesNamed(ProgramFolder() / kGazetteerFileName, text);
    if (places.empty()) return std::nullopt;
    std::vector<const Place*> named;
    for (const Place& p : places) named.push_back(&p);
    const auto several = PlacesInSeveralZones(named);
    if (!several.empty())
        throw Refusal{Refuse("出生地区“" + text + "”可指不同时区的几个地点，请写出完整名称：\n", several)};
    if (const Place* best = BestNamed(named)) return *best;
    const int level = std::min_element(places.begin(), places.end(), [](const Place& a, const Place& b) {
                          return a.level < b.level;
                      })->level;
    std::vector<std::string> tied;
    for (const Place& p : places)
        if (p.level == level) tied.push_back(p.name);
    throw Refusal{Refuse("出生地区“" + text + "”同时符合以下几个地点，请写出完整名称：\n", tied)};
}

// The best match of a text that names no place exactly, from the whole gazetteer.
std::optional<Place> BestMatch(const std::string& text) {
    const Gazetteer gazetteer = Gazetteer::Load(ProgramFolder() / kGazetteerFileName);
    const auto matches = gazetteer.Search(text);
    if (matches.empty()) {
        std::cerr << "没有找到与出生地区“" << text << "”相符的地点，无法取得经度。\n";
        throw Refusal{2};
    }
    std::size_t best = 0;
    while (best < matches.size() && matches[best].best) ++best;
    std::vector<std::string> tied;
    for (std::size_t i = 0; i < best; ++i) tied.push_back(gazetteer.places()[matches[i].index].name);
    if (best > 1) throw Refusal{Refuse("出生地区“" + text + "”同时符合以下几个地点，请写出完整名称：\n", tied)};
    return gazetteer.places()[matches.front().index];
}

}  // namespace

std::optional<int> LongitudeFromPlace(ChartInput& input, std::string& zone) {
    try {
        std::optional<Place> p = ExactlyNamed(input.place);
        if (!p) p = BestMatch(input.place);
        const LongitudeBoxes b = LongitudeBoxesOf(p->longitude);
        input.longitude = std::to_string(b.degrees);
        input.longitudeMinutes = std::to_string(b.minutes);
        SetClockOfPlace(input, *p);
        zone = input.zone;
        return std::nullopt;
    } catch (const DataError& e) {
        std::cerr << e.what() << "\n";
        return 3;
    } catch (const Refusal& r) {
        return r.status;
    }
}

}  // namespace paipan::cli
