#include "chart/chart_json.h"

#include <cstdio>
#include <initializer_list>
#include <utility>
#include <string_view>

#include "engine/corvel_bzclass.h"
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

// "YYYY-MM-DDTHH:MM" (`withMinutes`) or "YYYY-MM-DDTHH:00".
std::string IsoMinute(const CivilTime& t, bool withMinutes = true) {
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "%04d-%02d-%02dT%02d:%02d", t.year, t.month, t.day,
                  t.hour, withMinutes ? t.minute : 0);
    return buffer;
}

// Table names are padded with U+3000 to their column width.
std::string Unpadded(std::string s) {
    static const std::string kIdeographicSpace = "　";
    while (s.size() >= kIdeographicSpace.size() &&
           s.compare(s.size() - kIdeographicSpace.size(), kIdeographicSpace.size(),
                     kIdeographicSpace) == 0)
        s.resize(s.size() - kIdeographicSpace.size());
    return s;
}

// A jie term line "立春：1990年02月04日10时14分" gives the name; the time
// comes from the term's own date-time.
json Term(const std::string& line, DateTime at) {
    json term = Object(2);
    term["name"] = line.substr(0, line.find("："));
    term["time"] = IsoMinute(ToCivil(at));
    return term;
}

// An object of whole numbers, in the order given.
json Numbers(std::initializer_list<std::pair<const char*, int>> fields) {
    json object = Object(fields.size() + 1);
    for (const auto& [key, value] : fields) object[key] = value;
    return object;
}

// Objects are filled key by key: an initializer list would copy every value.
json Pillar(const Corvel_BZClass& e, int k) {
    json hidden = Array(3);
    for (int j = 0; j < 3; ++j) {
        if (e.cg_g[k][j] < 0) continue;
        json stem = Object(2);
        stem["stem"] = e.cg_str[k][j];
        stem["deity"] = e.cg_ss[k][j];
        hidden.push_back(std::move(stem));
    }
    json p = Object(5);
    p["ganzhi"] = e.gz_str[k];
    p["nayin"] = e.gz_ny[k];
    p["deity"] = e.gan_ss[k];
    p["hiddenStems"] = std::move(hidden);
    p["stage"] = Unpadded(e.GetSWB(e.bz[k][1]));
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
    for (std::size_t k = 0; k < 4; ++k) stars[names[k]] = std::move(columns[k]);
    return stars;
}

json Luck(const Corvel_BZClass& e) {
    const LuckStart start = BreakDownLuckStart(e.QiYunAge);
    const CivilTime handover = ToCivil(e.JiaoYunTime);
    json pillars = Array(8);
    for (int i = 0; i < 8; ++i) {
        // The luck pillar i takes over in the year of the handover plus 10 i,
        // at the age (counted in solar years) the chart prints above it.
        json p = Object(4);
        p["ganzhi"] = e.dy_str[i];
        p["deity"] = e.dy_ss[i];
        p["age"] = handover.year - e.bz_year + 10 * i;
        p["startYear"] = handover.year + 10 * i;
        pillars.push_back(std::move(p));
    }
    const json when = Numbers({{"years", start.years}, {"months", start.months}, {"days", start.days},
                               {"hours", start.hours}});
    json luck = Object(4);
    luck["forward"] = e.isshun(e.bz, e.sex2);
    luck["start"] = when;
    luck["handover"] = IsoMinute(handover, false);
    luck["pillars"] = std::move(pillars);
    return luck;
}

}  // namespace

json ChartJson(const Corvel_BZClass& e, const ChartResult& result, const std::vector<std::string>& notices) {
    json pillars = Array(4);
    for (int k = 0; k < 4; ++k) pillars.push_back(Pillar(e, k));
    json lunar = Numbers({{"year", e.nn}, {"month", e.ny}, {"day", e.nr}});
    lunar["leap"] = e.leap;
    json terms = Object(2);
    terms["last"] = Term(e.LastJQStr, e.LastJieQi);
    terms["next"] = Term(e.NextJQStr, e.NextJieQi);
    json j = Object(15);  // and the batch's "line"
    j["text"] = result.text;
    j["trueSolarTime"] = IsoMinute(CivilTime{e.nian, e.yue, e.ri, e.shi, e.fen, 0});
    j["lunar"] = std::move(lunar);
    j["solarYear"] = e.bz_year;
    j["solarMonth"] = e.bz_month;
    j["terms"] = std::move(terms);
    j["pillars"] = std::move(pillars);
    j["voids"] = e.kwstr;
    j["luck"] = Luck(e);
    j["conception"] = e.ty_str;
    j["palace"] = e.mg_str;
    j["stars"] = Stars(e);
    j["notices"] = notices;
    return j;
}

json ErrorJson(const std::string& kind, const std::string& message,
               const std::optional<std::string>& field) {
    return {{"error", {{"kind", kind}, {"message", message}, {"field", field ? json(*field) : json(nullptr)}}}};
}

std::optional<std::string> OptionNameOf(InputField field) {
    switch (field) {
        case InputField::LongitudeDegrees: return "longitude";
        case InputField::LongitudeMinutes: return "longitude-minutes";
        case InputField::Year: return "year";
        case InputField::Month: return "month";
        case InputField::Day: return "day";
        case InputField::Hour: return "hour";
        case InputField::Minute: return "minute";
        case InputField::None: break;
    }
    return std::nullopt;
}

json InputErrorJson(const InputProblem& problem) {
    return ErrorJson("input", problem.message, OptionNameOf(problem.field));
}

}  // namespace paipan
