// The command line's answers to a request it refuses, as JSON.
#pragma once

#include <optional>
#include <string>

#include <nlohmann/json.hpp>

#include "chart/chart_request.h"

namespace paipan {

// {"error": {"kind": kind, "message": message, "field": field or null}}.
nlohmann::ordered_json ErrorJson(const std::string& kind, const std::string& message,
                                 const std::optional<std::string>& field = std::nullopt);

// An input problem: kind "input" and the command-line option that holds the
// bad value (null for the day-in-month check).
nlohmann::ordered_json InputErrorJson(const InputProblem& problem);

// The long option name of an input field ("longitude", "year", ...).
std::optional<std::string> OptionNameOf(InputField field);

}  // namespace paipan
