// The gazetteer file (PLACES.dat), read through the data layer.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include "util/data_file.h"

namespace paipan {

// One row of table places in the gazetteer file: a birthplace with the names
// people type for it, its seat in millionths of a degree (east and north
// positive) and its IANA time zone.
struct PlaceRow {
    std::string name;     // full hierarchical name, parts separated by spaces
    std::string aliases;  // short names separated by '|'
    long long longitudeE6 = 0;
    long long latitudeE6 = 0;
    std::string zone;
    int level = 0;             // 0 province or country, 1 prefecture or city, 2 county
    bool approximate = false;  // placed at the seat of the division above it
};

// Every row, in the file's order (a division is followed by those under it).
// Throws DataError when the file is missing or unreadable.
std::vector<PlaceRow> ReadPlaces(const std::filesystem::path& file);
// Only the rows whose full name or one of whose short names is `text`, in
// the file's order, without reading the others into memory.
std::vector<PlaceRow> ReadPlacesNamed(const std::filesystem::path& file, const std::string& text);

}  // namespace paipan
