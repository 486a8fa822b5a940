#include "birth/birth_clock.h"

#include "calendar/store.h"

namespace paipan {

std::vector<std::string> PlacesInSeveralZones(const std::vector<const Place*>& named) {
    for (const Place* p : named) {
        if (p->zone == named.front()->zone) continue;
        std::vector<std::string> names;
        for (const Place* q : named) names.push_back(q->name);
        return names;
    }
    return {};
}

void SetClockOfPlace(ChartInput& input, const Place& place) {
    if (!input.zone.empty()) return;  // named outright: taken as given
    input.zone = place.zone;
    input.zonePlace = ShortName(place);
}

void SetClockOfNamedPlaces(ChartInput& input, const std::vector<const Place*>& named) {
    if (!input.zone.empty() || named.empty() || !PlacesInSeveralZones(named).empty()) return;
    const Place* best = BestNamed(named);
    SetClockOfPlace(input, best ? *best : *named.front());
}

void SetClockOfNamedPlaces(ChartInput& input, const std::filesystem::path& gazetteerFile) {
    if (!input.zone.empty()) return;
    try {
        const std::vector<Place> places = PlacesNamed(gazetteerFile, input.place);
        std::vector<const Place*> named;
        for (const Place& p : places) named.push_back(&p);
        SetClockOfNamedPlaces(input, named);
    } catch (const DataError&) {
        // Without the gazetteer no place is known: China's clock.
    }
}

}  // namespace paipan
