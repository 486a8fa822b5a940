// What paipan-cli writes and where: the output formats of one chart, the
// --output file, the batch mode, and the error objects of the JSON output.
#pragma once

#include <functional>
#include <nlohmann/json.hpp>
#include <optional>
#include <string>
#include <string_view>

#include "chart/chart_request.h"
#include "cli/batch.h"

namespace paipan {

enum class OutputFormat { Text, Rtf, Html, Json, Pdf, Png };

// The format of that name, when this build writes it (PDF and PNG only
// with Qt).
std::optional<OutputFormat> ParseOutputFormat(const std::string& name);
// Why --format NAME was refused, naming the formats this build writes.
std::string OutputFormatProblem(const std::string& name);
// The --format line of --help, listing the formats this build writes.
std::string OutputFormatHelp();

// Writes `message` and a line end to stderr; returns `status`.
int Report(const std::string& message, int status);

struct OutputRequest;
// Writes `bytes` to --output's file (replaced whole) or to stdout; 0, or 1
// with the reason on stderr.
int Emit(const OutputRequest& output, std::string_view bytes);

struct OutputRequest {
    OutputFormat format = OutputFormat::Text;
    std::optional<std::string> path;  // --output; stdout without it
    bool batch = false;
    bool convert = false;  // --convert: only the date in the other calendar
};

// The combinations that cannot work: a batch in anything but JSON, a PDF or
// PNG without --output. Calls `fail` with the reason.
void CheckOutputRequest(const OutputRequest& output, const std::function<void(const std::string&)>& fail);

// True when the command line asks for JSON (so a usage error is answered in JSON).
bool WantsJson(int argc, char** argv);
void PrintUsageErrorJson(const std::string& message);

// A JSON number as plain decimal text: 120, -0.5, 121.25 (no exponent).
std::string PlainDecimal(const nlohmann::json& number);

// One chart in the requested format to stdout or the file, then (unless
// `quiet`) its notices on stderr; returns the exit status. `zone` is the
// birthplace's time zone when --longitude-from-place chose one.
int WriteChart(const OutputRequest& output, const ChartInput& input, const std::string& zone, bool quiet);

// The batch to stdout or the file; returns the exit status.
int RunBatchTo(const OutputRequest& output, const ChartInput& defaults, const RequestKeyApplier& apply);

}  // namespace paipan
