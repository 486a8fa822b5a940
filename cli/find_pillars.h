// paipan-cli --find-pillars: every stretch of the span in which the chart
// has the pillars given, with a clock reading at the birthplace that charts
// to them.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "chart/chart_request.h"
#include "cli/chart_output.h"

namespace paipan::cli {

struct FindOptions {
    std::optional<std::string> pillars;  // --find-pillars TEXT
    std::optional<std::string> fromYear, toYear;
};

// Takes --find-pillars, --from-year and --to-year with their value; false for
// every other option.
bool NoteFindOption(FindOptions& find, std::string_view key, const std::string& value);
bool IsFindOption(std::string_view key);

// The combinations that cannot work (--from-year without --find-pillars, a
// batch, a format other than text or JSON); the reason, or nothing.
std::optional<std::string> FindOptionsProblem(const FindOptions& find, const OutputRequest& output);

// Runs the search and writes one line (or JSON object) per stretch; the
// exit status: 0 found, 2 refused or nothing in the span, 3 data file
// missing or unreadable. `input` gives the night-zi rule and the longitude.
int FindPillars(const FindOptions& find, const ChartInput& input, const OutputRequest& output);

}  // namespace paipan::cli
