#include "chart/unknown_hour_json.h"

#include <cstdio>

#include "chart/chart_json.h"

namespace paipan {
namespace {

using json = nlohmann::ordered_json;

std::string IsoMinute(DateTime t) {  // "YYYY-MM-DDTHH:MM"
    const CivilTime c = ToCivil(t);
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%04d-%02d-%02dT%02d:%02d", c.year, c.month, c.day, c.hour, c.minute);
    return buffer;
}

std::string Ganzhi(const Corvel_BZClass& e, GanZhi gz) { return e.GetG(gz[0]) + e.GetZ(gz[1]); }

json Candidate(const HourCandidate& c, const Corvel_BZClass& e) {
    json pillars = json::array();
    for (const GanZhi& gz : c.pillars) pillars.push_back(Ganzhi(e, gz));
    json hidden = json::array();
    for (std::size_t j = 0; j < 3; ++j)
        if (!c.hiddenStems[j].empty()) hidden.push_back({{"stem", c.hiddenStems[j]}, {"deity", c.hiddenDeities[j]}});
    const LuckStart& s = c.luckStart;
    return {{"branch", e.GetZ(c.pillars[3][1])},
            {"clockStart", IsoMinute(c.clockStart)},
            {"clockEnd", IsoMinute(c.clockEnd)},
            {"start", IsoMinute(c.start)},
            {"end", IsoMinute(c.end)},
            {"pillars", std::move(pillars)},
            {"deity", c.deity},
            {"hiddenStems", std::move(hidden)},
            {"nayin", c.nayin},
            {"stage", c.stage},
            {"palace", c.palace},
            {"luckStart", {{"years", s.years}, {"months", s.months}, {"days", s.days}, {"hours", s.hours}}}};
}

json Luck(const LuckSequence& luck, const Corvel_BZClass& e) {
    json pillars = json::array();
    for (const GanZhi& gz : luck.pillars) pillars.push_back(Ganzhi(e, gz));
    return {{"monthPillar", Ganzhi(e, luck.monthPillar)},
            {"forward", luck.forward},
            {"pillars", std::move(pillars)},
            {"rows", luck.rows}};
}

}  // namespace

json UnknownHourJson(const UnknownHourChart& chart) {
    const Corvel_BZClass& e = chart.blockCharts.front();
    static constexpr const char* kPillarNames[] = {"year", "month", "day"};
    json pillars = json::array();
    for (int k = 0; k < 3; ++k) pillars.push_back(PillarJson(e, k));
    json splits = json::array();
    for (const PillarSplit& s : chart.splits)
        splits.push_back({{"at", IsoMinute(s.at)},
                          {"pillar", kPillarNames[s.pillar]},
                          {"before", Ganzhi(e, s.before)},
                          {"after", Ganzhi(e, s.after)}});
    json luck = json::array();
    for (const LuckSequence& l : chart.luck) luck.push_back(Luck(l, e));
    json candidates = json::array();
    for (const HourCandidate& c : chart.candidates) candidates.push_back(Candidate(c, e));
    return {{"pillars", std::move(pillars)},
            {"splits", std::move(splits)},
            {"luck", std::move(luck)},
            {"candidates", std::move(candidates)}};
}

}  // namespace paipan
