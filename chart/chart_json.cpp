#include "chart/chart_json.h"

#include <array>
#include <cstdint>
#include <cstdio>
#include <initializer_list>
#include <optional>
#include <utility>
#include <string_view>

#include "chart/corvel_bzclass.h"
#include "engine/luck_start.h"

namespace paipan {
namespace {

using json = nlohmann::ordered_json;

// An empty object with room for `keys` members: the ordered map is a vector,
// and growing it key by key copies every key already in it.
json Object(std::size_t keys) {
    json object = json::object();
    object.get_ref<json::object_t&>().reserve(keys);
    return object;
}

json Array(std::size_t items) {
    json array = json::array();
    array.get_ref<json::array_t&>().reserve(items);
    return array;
}

// Adds a member the object does not have yet (the builders below give each
// key once), without looking for it first.
void Set(json& object, const char* key, json value) {
    object.get_ref<json::object_t&>().emplace_back(key, std::move(value));
}

// "YYYY-MM-DDTHH:MM" (`withMinutes`) or "YYYY-MM-DDTHH:00".
std::string IsoMinute(const CivilTime& t, bool withMinutes = true) {
    const int minute = withMinutes ? t.minute : 0;
    const auto twoDigits = [](int v) { return v >= 0 && v <= 99; };
    if (t.year < 0 || t.year > 9999 || !twoDigits(t.month) || !twoDigits(t.day) || !twoDigits(t.hour) ||
        !twoDigits(minute)) {
        char buffer[64];  // never for a chart's own dates
        std::snprintf(buffer, sizeof buffer, "%04d-%02d-%02dT%02d:%02d", t.year, t.month, t.day, t.hour, minute);
        return buffer;
    }
    std::string text = "0000-00-00T00:00";
    const auto put = [&](std::size_t last, int value, int width) {
        for (int k = 0; k < width; ++k, value /= 10)
            text[last - static_cast<std::size_t>(k)] = static_cast<char>('0' + value % 10);
    };
    put(3, t.year, 4), put(6, t.month, 2), put(9, t.day, 2), put(12, t.hour, 2), put(15, minute, 2);
    return text;
}

// Table names are padded with U+3000 to their column width.
std::string Unpadded(std::string s) {
    static const std::string kIdeographicSpace = "　";
    while (s.size() >= kIdeographicSpace.size() &&
           s.compare(s.size() - kIdeographicSpace.size(), kIdeographicSpace.size(), kIdeographicSpace) == 0)
        s.resize(s.size() - kIdeographicSpace.size());
    return s;
}

// A jie term by name and moment.
json Term(const std::string& name, DateTime at) {
    json term = Object(2);
    Set(term, "name", name);
    Set(term, "time", IsoMinute(ToCivil(at)));
    return term;
}

// An object of whole numbers, in the order given.
json Numbers(std::initializer_list<std::pair<const char*, int>> fields) {
    json object = Object(fields.size() + 1);
    for (const auto& [key, value] : fields) Set(object, key, value);
    return object;
}

// Objects are filled key by key: an initializer list would copy every value.
json Pillar(const Corvel_BZClass& e, int k) {
    json hidden = Array(3);
    for (int j = 0; j < 3; ++j) {
        if (e.cg_g[k][j] < 0) continue;
        json stem = Object(2);
        Set(stem, "stem", e.cg_str[k][j]);
        Set(stem, "deity", e.cg_ss[k][j]);
        hidden.push_back(std::move(stem));
    }
    json p = Object(5);
    Set(p, "ganzhi", e.gz_str[k]);
    Set(p, "nayin", e.gz_ny[k]);
    Set(p, "deity", e.gan_ss[k]);
    Set(p, "hiddenStems", std::move(hidden));
    Set(p, "stage", Unpadded(e.GetSWB(e.bz[k][1])));
    return p;
}

// Every pillar's stars in the order the chart's star rows print them: row by
// row, and within a row the last star found first.
json Stars(const Corvel_BZClass& e) {
    std::array<json, 4> columns{json::array(), json::array(), json::array(), json::array()};
    for (const StarLists& row : e.GetShenShaLists(e.bz, e.sex2)) {
        for (std::size_t k = 0; k < 4; ++k) {
            std::string_view list = row[k];
            for (auto bar = list.rfind('|'); bar != std::string_view::npos; bar = list.rfind('|')) {
                std::size_t code = 0;
                for (const char c : list.substr(bar + 1)) code = code * 10 + static_cast<std::size_t>(c - '0');
                columns[k].push_back(Unpadded(e.ShenShaName.at(code)));
                list = list.substr(0, bar);
            }
        }
    }
    json stars = Object(4);
    const char* names[] = {"year", "month", "day", "hour"};
    for (std::size_t k = 0; k < 4; ++k) Set(stars, names[k], std::move(columns[k]));
    return stars;
}

json Luck(const Corvel_BZClass& e) {
    const LuckStart start = BreakDownLuckStart(e.QiYunAge);
    const CivilTime handover = ToCivil(e.JiaoYunTime);
    json pillars = Array(8);
    for (int i = 0; i < 8; ++i) {
        // The same age and start year as the chart prints.
        const LuckPillarYears years = LuckPillarYearsOf(handover.year, e.bz_year, i);
        json p = Object(4);
        Set(p, "ganzhi", e.dy_str[i]);
        Set(p, "deity", e.dy_ss[i]);
        Set(p, "age", years.age);
        Set(p, "startYear", years.startYear);
        pillars.push_back(std::move(p));
    }
    const json when = Numbers(
        {{"years", start.years}, {"months", start.months}, {"days", start.days}, {"hours", start.hours}});
    json luck = Object(4);
    Set(luck, "forward", e.isshun(e.bz, e.sex2));
    Set(luck, "start", when);
    Set(luck, "handover", IsoMinute(handover, false));
    Set(luck, "pillars", std::move(pillars));
    return luck;
}

}  // namespace

json ChartJson(const Corvel_BZClass& e, const ChartResult& result, const std::vector<std::string>& notices) {
    json pillars = Array(4);
    for (int k = 0; k < 4; ++k) pillars.push_back(Pillar(e, k));
    json lunar = Numbers({{"year", e.nn}, {"month", e.ny}, {"day", e.nr}});
    Set(lunar, "leap", e.leap);
    json terms = Object(2);
    Set(terms, "last", Term(e.LastJieName, e.LastJieQi));
    Set(terms, "next", Term(e.NextJieName, e.NextJieQi));
    json j = Object(15);  // and the batch's "line"
    Set(j, "text", result.text);
    Set(j, "trueSolarTime", IsoMinute(CivilTime{e.nian, e.yue, e.ri, e.shi, e.fen, 0}));
    Set(j, "lunar", std::move(lunar));
    Set(j, "solarYear", e.bz_year);
    Set(j, "solarMonth", e.bz_month);
    Set(j, "terms", std::move(terms));
    Set(j, "pillars", std::move(pillars));
    Set(j, "voids", e.kwstr);
    Set(j, "luck", Luck(e));
    Set(j, "conception", e.ty_str);
    Set(j, "palace", e.mg_str);
    Set(j, "stars", Stars(e));
    Set(j, "notices", notices);
    return j;
}

json PillarJson(const Corvel_BZClass& engine, int k) { return Pillar(engine, k); }

}  // namespace paipan
