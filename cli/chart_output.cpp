#include "cli/chart_output.h"

#include <dlfcn.h>

#include <charconv>
#include <cmath>
#include <cstdio>
#include <iostream>
#include <string_view>
#include <vector>

#include "render/render_plugin.h"
#include "calendar/store.h"
#include "cli/chart_html.h"
#include "chart/chart_json.h"
#include "cli/error_json.h"
#include "cli/compact_json.h"
#include "chart/unknown_hour_json.h"
#include "cli/chart_rtf.h"
#include "cli/output_file.h"
#include "birth/birth_clock.h"
#include "birth/notices.h"
#include "birth/unknown_hour_notices.h"
#include "cli/birth_options.h"
#include "util/program_folder.h"

namespace paipan {
namespace {

using json = nlohmann::ordered_json;

constexpr std::pair<std::string_view, OutputFormat> kFormats[] = {
    {"text", OutputFormat::Text}, {"rtf", OutputFormat::Rtf}, {"html", OutputFormat::Html},
    {"json", OutputFormat::Json}, {"pdf", OutputFormat::Pdf}, {"png", OutputFormat::Png}};

// PDF and PNG are drawn by the render plugin, which only a build with Qt makes.
constexpr bool kPictureOutput = PAIPAN_PICTURE_OUTPUT;

bool Built(OutputFormat format) {
    return kPictureOutput || (format != OutputFormat::Pdf && format != OutputFormat::Png);
}

// The names of the formats this build writes, "text, rtf, html or json".
std::string BuiltFormatNames(std::string_view comma, std::string_view last) {
    std::vector<std::string_view> names;
    for (const auto& [text, format] : kFormats)
        if (Built(format)) names.push_back(text);
    std::string list;
    for (std::size_t i = 0; i < names.size(); ++i) {
        if (i > 0) list += i + 1 == names.size() ? last : comma;
        list += names[i];
    }
    return list;
}

std::string JsonLine(const json& value) {
    std::string line;
    DumpCompact(value, line);
    return line + "\n";
}

// In JSON the problem is also the answer on stdout.
int Problem(const OutputRequest& output, const json& error, const std::string& message, int status) {
    if (output.format == OutputFormat::Json) std::fputs(JsonLine(error).c_str(), stdout);
    return Report(message, status);
}

// PDF and PNG are drawn by Qt, in the plugin beside the program: loaded
// only here, so that the other formats start without Qt.
int Render(const OutputRequest& output, const ChartResult& chart) {
    const std::filesystem::path plugin = ProgramFolder() / kRenderPluginFileName;
    void* library = dlopen(plugin.c_str(), RTLD_NOW | RTLD_LOCAL);
    const auto render = library != nullptr ? reinterpret_cast<RenderChartFunction>(dlsym(library, kRenderChartSymbol))
                                           : nullptr;
    if (render == nullptr)
        return Report("paipan-cli: PDF和PNG输出需要程序文件夹中的 " + std::string(kRenderPluginFileName) +
                          "，但无法载入它：" + (library ? std::string(kRenderChartSymbol) : std::string(dlerror())),
                      1);
    std::string error;
    const RenderFormat format = output.format == OutputFormat::Pdf ? RenderFormat::Pdf : RenderFormat::Png;
    if (!render(chart, format, *output.path, ProgramFolder().string(), error)) return Report("paipan-cli: " + error, 1);
    return 0;
}

// The 时辰不详 result in the requested format; its only notice is the
// default-longitude one (the others hang on a birth minute).
int WriteUnknownHour(const OutputRequest& output, const ChartInput& input, const std::string& zone, bool quiet) {
    const bool coloured = output.format != OutputFormat::Text && output.format != OutputFormat::Json;
    const UnknownHourOutcome outcome = RunUnknownHourRequest(input, ProgramFolder(),
                                                             coloured ? Colouring::Spans : Colouring::None);
    if (const auto* problem = std::get_if<InputProblem>(&outcome))
        return Problem(output, InputErrorJson(*problem), problem->message, 2);
    if (const auto* problem = std::get_if<DataProblem>(&outcome))
        return Problem(output, ErrorJson("data", problem->message), problem->message, 3);
    const UnknownHourChart& result = std::get<UnknownHourChart>(outcome);
    const ChartResult& chart = result.result;
    int status = 1;
    switch (output.format) {
    case OutputFormat::Text: status = Emit(output, chart.text); break;
    case OutputFormat::Rtf: status = Emit(output, ChartRtf(chart)); break;
    case OutputFormat::Html: status = Emit(output, ChartHtml(chart)); break;
    case OutputFormat::Json: status = Emit(output, JsonLine(UnknownHourJson(result))); break;
    case OutputFormat::Pdf:
    case OutputFormat::Png: status = Render(output, chart); break;
    }
    if (status == 0 && !quiet)
        for (const auto& text : UnknownHourNoticeTexts(input, zone, ProgramFolder())) std::cerr << text << "\n";
    return status;
}

}  // namespace

int Emit(const OutputRequest& output, std::string_view bytes) {
    std::string error;
    if (output.path) {
        if (!WriteFileAtomically(*output.path, bytes, error)) return Report("paipan-cli: " + error, 1);
        return 0;
    }
    if (std::fwrite(bytes.data(), 1, bytes.size(), stdout) != bytes.size() || std::fflush(stdout) != 0)
        return Report("paipan-cli: cannot write to stdout", 1);
    return 0;
}

int Report(const std::string& message, int status) {
    std::cerr << message << "\n";
    return status;
}

std::optional<OutputFormat> ParseOutputFormat(const std::string& name) {
    for (const auto& [text, format] : kFormats)
        if (name == text && Built(format)) return format;
    return std::nullopt;
}

std::string OutputFormatProblem(const std::string& name) {
    if (!kPictureOutput && (name == "pdf" || name == "png"))
        return "--format " + name + "：这一版本构建时没有Qt，不能输出PDF或PNG；可用的格式为" +
               BuiltFormatNames("、", "或") + "。";
    return "--format takes " + BuiltFormatNames(", ", " or ");
}

std::string OutputFormatHelp() {
    std::string help = "  --format " + BuiltFormatNames("|", "|") + "  output format, default text";
    if (kPictureOutput) help += "; pdf and png\n      need --output";
    return help + "\n";
}

void CheckOutputRequest(const OutputRequest& output, const std::function<void(const std::string&)>& fail) {
    if (output.batch && output.format != OutputFormat::Json && output.format != OutputFormat::Text)
        fail("--batch writes JSON lines; --format takes only json with it");
    if (output.convert &&
        (output.batch || output.path || (output.format != OutputFormat::Text && output.format != OutputFormat::Json)))
        fail("--convert prints one line on stdout: no --batch or --output, --format text or json");
    if ((output.format == OutputFormat::Pdf || output.format == OutputFormat::Png) && !output.path)
        fail("--format pdf and --format png need --output FILE");
}

bool WantsJson(int argc, char** argv) {
    for (int i = 1; i < argc; ++i) {
        const std::string_view arg = argv[i];
        if (arg == "--format=json" || (arg == "--format" && i + 1 < argc && std::string_view(argv[i + 1]) == "json") ||
            arg == "--batch")
            return true;
    }
    return false;
}

void PrintUsageErrorJson(const std::string& message) {
    std::fputs(JsonLine(ErrorJson("usage", message)).c_str(), stdout);
}

std::string PlainDecimal(const nlohmann::json& number) {
    if (number.is_number_integer()) return number.dump();
    const double d = number.get<double>();
    char buffer[400];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, d, std::chars_format::fixed);
    return std::string(buffer, result.ptr);
}

int WriteChart(const OutputRequest& output, const ChartInput& typed, const std::string& zone, bool quiet) {
    // The clock of the place the text names, read without loading the whole gazetteer.
    ChartInput input = typed;
    SetClockOfNamedPlaces(input, ProgramFolder() / kGazetteerFileName);
    if (input.unknownHour) return WriteUnknownHour(output, input, zone, quiet);
    // The notices are worked out once: in the JSON and, unless quiet, on stderr.
    std::vector<std::string> notices;
    json chartJson;
    const DataSource data(ProgramFolder());
    const CheckedChartInspector inspect = [&](const CheckedRequest& checked, const Corvel_BZClass& e,
                                              const ChartResult& r) {
        if (!quiet || output.format == OutputFormat::Json)
            notices = NoticeTexts(NoticesOfChart(checked, zone, data, nullptr, e));
        if (output.format == OutputFormat::Json) chartJson = ChartJson(e, r, notices);
    };
    const bool coloured = output.format != OutputFormat::Text && output.format != OutputFormat::Json;
    const ChartOutcome outcome = RunChartRequest(input, data, inspect, coloured ? Colouring::Spans : Colouring::None);
    if (const auto* problem = std::get_if<InputProblem>(&outcome))
        return Problem(output, InputErrorJson(*problem), problem->message, 2);
    if (const auto* problem = std::get_if<DataProblem>(&outcome))
        return Problem(output, ErrorJson("data", problem->message), problem->message, 3);
    const ChartResult& chart = std::get<ChartResult>(outcome);
    int status = 1;
    switch (output.format) {
    case OutputFormat::Text: status = Emit(output, chart.text); break;
    case OutputFormat::Rtf: status = Emit(output, ChartRtf(chart)); break;
    case OutputFormat::Html: status = Emit(output, ChartHtml(chart)); break;
    case OutputFormat::Json: status = Emit(output, JsonLine(chartJson)); break;
    case OutputFormat::Pdf:
    case OutputFormat::Png: status = Render(output, chart); break;
    }
    if (status == 0 && !quiet)
        for (const auto& text : notices) std::cerr << text << "\n";
    return status;
}

int RunBatchTo(const OutputRequest& output, const ChartInput& defaults, const RequestKeyApplier& apply) {
    if (!output.path) return RunBatch(stdin, stdout, defaults, apply);
    AtomicOutputFile file;
    std::string error;
    if (!file.Open(*output.path, error)) return Report("paipan-cli: " + error, 1);
    const int status = RunBatch(stdin, file.Stream(), defaults, apply);
    if (status == 1) return Report("paipan-cli: cannot write " + *output.path, 1);
    if (!file.Commit(error)) return Report("paipan-cli: " + error, 1);
    return status;
}

}  // namespace paipan
