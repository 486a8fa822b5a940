// The birthplace gazetteer: every division of China down to the counties,
// Hong Kong, Macau, Taiwan and the world's cities where many Chinese are
// born, with the seat's longitude and the place's time zone. Looked up by
// what the user types into 出生地区.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace paipan {

inline constexpr const char* kGazetteerFileName = "PLACES.dat";

struct Place {
    std::string name;                  // "安徽省 合肥市 肥西县"
    std::vector<std::string> aliases;  // "肥西县", "肥西"
    double longitude = 0;              // degrees, east positive
    double latitude = 0;               // degrees, north positive
    std::string zone;                  // IANA name, "Asia/Shanghai"
    int level = 0;                     // 0 province or country, 1 prefecture or city, 2 county
    bool approximate = false;          // placed at the seat of the division above it
    int parent = -1;                   // index of the division above it, or -1

    // The first part of the full name: the province, region or country.
    std::string Province() const;
};

// The two longitude boxes (degrees and minutes) for a longitude,
// rounded to the nearest minute and written the way the chart reads them:
// degrees + minutes / 60 with the minutes always added, so 117°14′E is 117
// and 14, and 74°01′W is -75 and 59.
struct LongitudeBoxes {
    int degrees = 0;  // [-180, 180]
    int minutes = 0;  // [0, 59]
};
LongitudeBoxes LongitudeBoxesOf(double longitude);

// "117°14′E": the longitude rounded to the minute, for lists shown to the user.
std::string LongitudeText(double longitude);

// The places a text names exactly (one of their short names or their full
// name), in the file's order, read from the gazetteer file without loading
// the rest of it. Throws DataError when the file is missing or damaged.
std::vector<Place> PlacesNamed(const std::filesystem::path& file, std::string_view text);

// Of the places one text names, the one that ranks above every other (a
// higher division before those under it), or nullptr on a tie.
const Place* BestNamed(const std::vector<const Place*>& named);

// A place's own name, the last part of its full name: "东京" for "日本 东京".
std::string ShortName(const Place& place);

class Gazetteer {
public:
    // Reads the gazetteer file; throws DataError when it is missing or damaged.
    static Gazetteer Load(const std::filesystem::path& file);
    explicit Gazetteer(std::vector<Place> places);

    struct Match {
        int index = 0;      // into places()
        bool best = false;  // ranks equal with the first match
    };
    // The places matching `query`, best first, at most `limit`: exact short
    // or full name, then prefix, then part of a name; a higher division before
    // a county; the places under a matched division right after it. Several
    // words must all occur in the full name, the last one ranking it.
    std::vector<Match> Search(std::string_view query, std::size_t limit = 20) const;

    // The place a text names exactly (one of its short names or its full
    // name), when one place ranks above every other that the text names.
    const Place* Named(std::string_view text) const;
    // Every place the text names exactly, in the file's order.
    std::vector<const Place*> AllNamed(std::string_view text) const;

    const std::vector<Place>& places() const { return places_; }

private:
    std::vector<Place> places_;
    // Full and short names to the places bearing them, in the file's order.
    std::unordered_map<std::string, std::vector<int>> exactNames_;
};

}  // namespace paipan
