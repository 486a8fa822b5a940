// The clock of the birthplace: the zone a request's clock time is read in
// when the place is known — chosen from the gazetteer, or named exactly by
// the place text — and no zone when a name covers places in several zones.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include "birth/gazetteer.h"
#include "chart/chart_request.h"

namespace paipan {

// The full names of the places a text names when they lie in more than one
// zone ("西贡": Hong Kong's district and Ho Chi Minh City); empty when they
// keep one zone (or there are none).
std::vector<std::string> PlacesInSeveralZones(const std::vector<const Place*>& named);

// The place's clock: its zone and short name, unless a zone is given already.
void SetClockOfPlace(ChartInput& input, const Place& place);
// The clock of the places the place text names exactly, when they keep one
// zone; nothing changes otherwise or when a zone is given already.
void SetClockOfNamedPlaces(ChartInput& input, const std::vector<const Place*>& named);
// The same, reading from the gazetteer file only the places named (a
// missing or damaged file leaves the input as it is).
void SetClockOfNamedPlaces(ChartInput& input, const std::filesystem::path& gazetteerFile);

}  // namespace paipan
