#include "cli/birth_options.h"

#include <cstdio>
#include <iostream>
#include <stdexcept>

#include "birth/birth_clock.h"
#include "birth/gazetteer.h"
#include "birth/notices.h"
#include "calendar/store.h"

namespace paipan::cli {

bool NoteBirthOption(BirthOptions& birth, std::string_view key, bool hasValue) {
    if (key == "longitude" || key == "longitude-minutes") {
        birth.longitudeGiven = true;
        return false;  // the value itself is read by the ordinary option
    }
    bool* flag = key == "longitude-from-place" ? &birth.longitudeFromPlace
                 : key == "quiet"              ? &birth.quiet
                                               : nullptr;
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
            out += p.name + "\t" + std::to_string(b.degrees) + "\t" + std::to_string(b.minutes) +
                   "\t" + p.zone + "\n";
        }
        if (std::fwrite(out.data(), 1, out.size(), stdout) != out.size() || std::fflush(stdout) != 0)
            return 1;
        return 0;
    } catch (const DataError& e) {
        std::cerr << e.what() << "\n";
        return 3;
    }
}

std::optional<int> LongitudeFromPlace(ChartInput& input, std::string& zone) {
    try {
        const Gazetteer gazetteer = Gazetteer::Load(ProgramFolder() / kGazetteerFileName);
        const auto matches = gazetteer.Search(input.place);
        if (matches.empty()) {
            std::cerr << "没有找到与出生地区“" << input.place << "”相符的地点，无法取得经度。\n";
            return 2;
        }
        const auto several = PlacesInSeveralZones(gazetteer.AllNamed(input.place));
        if (!several.empty()) {
            std::cerr << "出生地区“" << input.place << "”可指不同时区的几个地点，请写出完整名称：\n";
            for (const auto& name : several) std::cerr << "  " << name << "\n";
            return 2;
        }
        std::size_t best = 0;
        while (best < matches.size() && matches[best].best) ++best;
        if (best > 1) {
            std::cerr << "出生地区“" << input.place << "”同时符合以下几个地点，请写出完整名称：\n";
            for (std::size_t i = 0; i < best; ++i)
                std::cerr << "  " << gazetteer.places()[matches[i].index].name << "\n";
            return 2;
        }
        const Place& p = gazetteer.places()[matches.front().index];
        const LongitudeBoxes b = LongitudeBoxesOf(p.longitude);
        input.longitude = std::to_string(b.degrees);
        input.longitudeMinutes = std::to_string(b.minutes);
        SetClockOfPlace(input, p);
        zone = input.zone;
        return std::nullopt;
    } catch (const DataError& e) {
        std::cerr << e.what() << "\n";
        return 3;
    }
}

}  // namespace paipan::cli
