// paipan-cli --batch: one chart request per input line (a JSON object whose
// keys are the long option names), one JSON answer per line in input order.
// Lines are read, answered and written one at a time, so memory stays flat
// however long the input is.
#pragma once

#include <cstdio>
#include <functional>
#include <nlohmann/json.hpp>
#include <optional>
#include <string>

#include "chart/chart_request.h"

namespace paipan {

// Applies one request key to the input; the Chinese reason when the key is
// unknown or its value has the wrong type.
using RequestKeyApplier =
    std::function<std::optional<std::string>(ChartInput&, const std::string& key, const nlohmann::json& value)>;

// Answers every line of `in` on `out`, each request starting from `defaults`.
// Returns the exit status: 0 every line answered, 3 a data file failed (after
// its line's error object), 1 the output could not be written.
int RunBatch(std::FILE* in, std::FILE* out, const ChartInput& defaults, const RequestKeyApplier& apply);

}  // namespace paipan
