// The command line's JSON output, written compactly.
#pragma once

#include <string>

#include <nlohmann/json.hpp>

namespace paipan {

// `value` exactly as value.dump(-1, ' ', false, error_handler_t::replace)
// writes it, a few times faster for long texts (the chart text is most of a
// batch line). `out` is cleared first.
void DumpCompact(const nlohmann::ordered_json& value, std::string& out);

}  // namespace paipan
