// The chart as one JSON object for scripts: the exact text plus the values
// behind it (pillars, lunar date, terms, luck, stars), and the error objects
// of the command line. The keys are a fixed interface; README lists them.
#pragma once

#include <nlohmann/json.hpp>
#include <optional>
#include <string>
#include <vector>

#include "chart/chart_request.h"

namespace paipan {

class Corvel_BZClass;

// The whole chart object of one finished press, with the birth-moment
// notices the caller made for it.
nlohmann::ordered_json ChartJson(const Corvel_BZClass& engine, const ChartResult& result,
                                 const std::vector<std::string>& notices);

// Pillar k (0 year … 3 hour) as the chart object gives it: ganzhi, nayin,
// deity, hiddenStems, stage.
nlohmann::ordered_json PillarJson(const Corvel_BZClass& engine, int k);

// {"error": {"kind": kind, "message": message, "field": field or null}}.
nlohmann::ordered_json ErrorJson(const std::string& kind, const std::string& message,
                         const std::optional<std::string>& field = std::nullopt);

// An input problem: kind "input" and the command-line option that holds the
// bad value (null for the day-in-month check).
nlohmann::ordered_json InputErrorJson(const InputProblem& problem);

// `value` exactly as value.dump(-1, ' ', false, error_handler_t::replace)
// writes it, a few times faster for long texts (the chart text is most of a
// batch line). `out` is cleared first.
void DumpCompact(const nlohmann::ordered_json& value, std::string& out);

// The long option name of an input field ("longitude", "year", ...).
std::optional<std::string> OptionNameOf(InputField field);

}  // namespace paipan
