// The command line's birthplace and notice options: --locate QUERY,
// --longitude-from-place and --quiet.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "chart/chart_request.h"

namespace paipan::cli {

struct BirthOptions {
    std::optional<std::string> locate;  // --locate QUERY: list the matches and stop
    bool longitudeFromPlace = false;
    bool longitudeGiven = false;  // --longitude or --longitude-minutes was on the line
    bool quiet = false;           // no notices on stderr
};

// Takes --longitude-from-place and --quiet (no value) and notes --longitude
// and --longitude-minutes; false for every other option. Throws the message
// of a usage error as std::invalid_argument.
bool NoteBirthOption(BirthOptions& birth, std::string_view key, bool hasValue);

// --locate: the matches on stdout, one per line; the exit status.
int Locate(const std::string& query);

// --longitude-from-place: fills the two longitude boxes from the best match
// of the place and takes its clock (unless --zone named one), setting `zone`
// to the zone the chart reads; a name that covers places in several zones is
// refused like one with several equal matches. Returns the exit status of
// a failure (message written to stderr), or nothing when the boxes are set.
std::optional<int> LongitudeFromPlace(ChartInput& input, std::string& zone);

}  // namespace paipan::cli
