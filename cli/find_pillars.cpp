#include "cli/find_pillars.h"

#include <cstdio>
#include <iostream>
#include <nlohmann/json.hpp>

#include "birth/birth_clock.h"
#include "birth/gazetteer.h"
#include "calendar/pillar_search.h"
#include "calendar/store.h"
#include "chart/pillar_clock.h"
#include "cli/output_file.h"
#include "engine/value.h"
#include "util/program_folder.h"

namespace paipan::cli {
namespace {

// A year option as a whole number, or nothing when it is not one.
std::optional<int> YearValue(const std::string& text) {
    const auto value = ParseDecimal(text);
    if (!value || text.find('.') != std::string::npos || *value < -1e6 || *value > 1e6) return std::nullopt;
    return static_cast<int>(*value);
}

// The longitude boxes checked as a 排盘 press checks them.
std::optional<std::string> LongitudeProblem(const ChartInput& input) {
    ChartInput probe = DefaultChartInput(2000, 1, 1, 12, 0);
    probe.longitude = input.longitude;
    probe.longitudeMinutes = input.longitudeMinutes;
    const auto checked = CheckChartInput(probe);
    if (const auto* problem = std::get_if<InputProblem>(&checked)) return problem->message;
    return std::nullopt;
}

std::string Lines(const std::vector<PillarInterval>& found, const ClockCorrection& correct) {
    std::string out;
    for (const auto& interval : found) {
        const auto clock = SuggestClockTime(interval, correct);
        out += MinuteText(interval.start) + "\t" + MinuteText(interval.end) + "\t" +
               (clock ? MinuteText(*clock) : std::string()) + "\n";
    }
    return out;
}

std::string Json(const std::vector<PillarInterval>& found, const ClockCorrection& correct) {
    nlohmann::ordered_json array = nlohmann::ordered_json::array();
    for (const auto& interval : found) {
        const auto clock = SuggestClockTime(interval, correct);
        array.push_back({{"start", MinuteText(interval.start, 'T')},
                         {"end", MinuteText(interval.end, 'T')},
                         {"clock", clock ? nlohmann::ordered_json(MinuteText(*clock, 'T')) : nullptr}});
    }
    return array.dump() + "\n";
}

}  // namespace

bool IsFindOption(std::string_view key) { return key == "find-pillars" || key == "from-year" || key == "to-year"; }

bool NoteFindOption(FindOptions& find, std::string_view key, const std::string& value) {
    if (key == "find-pillars")
        find.pillars = value;
    else if (key == "from-year")
        find.fromYear = value;
    else if (key == "to-year")
        find.toYear = value;
    else
        return false;
    return true;
}

std::optional<std::string> FindOptionsProblem(const FindOptions& find, const OutputRequest& output) {
    if (!find.pillars) {
        if (find.fromYear || find.toYear) return "--from-year and --to-year go with --find-pillars";
        return std::nullopt;
    }
    if (output.batch) return "--find-pillars cannot be combined with --batch";
    if (output.format != OutputFormat::Text && output.format != OutputFormat::Json)
        return "--find-pillars writes text or json";
    for (const auto* year : {&find.fromYear, &find.toYear}) {
        if (*year && !YearValue(**year)) return "--from-year and --to-year take a year such as 1990";
    }
    return std::nullopt;
}

int FindPillars(const FindOptions& find, const ChartInput& input, const OutputRequest& output) {
    const ParsedPillars parsed = ParsePillars(*find.pillars);
    if (!parsed.error.empty()) return Report(parsed.error, 2);
    PillarQuery query{parsed.pillars, input.nightZi};
    if (find.fromYear) query.fromYear = *YearValue(*find.fromYear);
    if (find.toYear) query.toYear = *YearValue(*find.toYear);
    if (auto problem = QueryProblem(query); !problem.empty()) return Report(problem, 2);
    if (auto problem = LongitudeProblem(input)) return Report(*problem, 2);
    try {
        const PillarSearch search(ProgramFolder() / kCalendarFileName);
        const PillarSearchResult result = search.Find(query);
        using Outcome = PillarSearchResult::Outcome;
        if (result.outcome != Outcome::Found) return Report(result.reason, result.outcome == Outcome::NoData ? 3 : 2);
        // The clock of the birthplace, as a chart of the place would read it.
        ChartInput placed = input;
        SetClockOfNamedPlaces(placed, ProgramFolder() / kGazetteerFileName);
        DataRowCache cache;  // the equation of time read once for all stretches
        const ClockCorrection correct = BirthplaceClockCorrection(placed, DataSource(ProgramFolder(), &cache));
        return Emit(output, output.format == OutputFormat::Json ? Json(result.intervals, correct)
                                                                : Lines(result.intervals, correct));
    } catch (const DataError& e) {
        return Report(e.what(), 3);
    }
}

}  // namespace paipan::cli
