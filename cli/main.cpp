// paipan-cli: one chart on the command line, exactly as the window's 排盘
// button would lay it out. Every option starts from the window's initial
// state; the chart text goes to stdout (UTF-8, CR LF), messages to stderr.
// --format picks another output (RTF, HTML, JSON), --output a file
// instead of stdout, and --batch answers one JSON request per input line.
// Exit status: 0 chart written, 2 bad command line or input problem,
// 3 data file missing or unreadable, 1 internal error.
#include <cstdint>
#include <cstdio>
#include <exception>
#include <iostream>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "chart/chart_request.h"
#include "cli/birth_options.h"
#include "cli/chart_output.h"
#include "cli/find_pillars.h"
#include "cli/convert.h"
#include "engine/span.h"
#include "util/utf8.h"

namespace {

using paipan::ChartInput;
using paipan::Report;

struct TextOption {
    std::string_view name;
    std::string ChartInput::*field;
    std::string_view help;
};

struct ChoiceOption {
    std::string_view name;
    std::string_view yes, no;  // the two accepted values
    bool ChartInput::*field;   // true for `yes`
    std::string_view help;
};

struct FlagOption {
    std::string_view name;  // --NAME sets, --no-NAME clears
    bool ChartInput::*field;
    std::string_view help;
};

constexpr TextOption kTextOptions[] = {
    {"name", &ChartInput::name, "name (您的姓名), default 张三"},
    {"place", &ChartInput::place, "birth place (出生地区), default 安徽"},
    {"longitude", &ChartInput::longitude, "longitude degrees (经度), -180 to 180, default 120"},
    {"longitude-minutes", &ChartInput::longitudeMinutes, "longitude minutes (分), 0 to 59, default 0"},
    {"year", &ChartInput::year, "Gregorian year of birth, {span}, default this year"},
    {"month", &ChartInput::month, "month 1 to 12, default this month"},
    {"day", &ChartInput::day, "day of month 1 to 31, default today"},
    {"hour", &ChartInput::hour, "clock hour 0 to 23 at the birth place, default now"},
    {"minute", &ChartInput::minute, "clock minute 0 to 59, default now"},
    {"zone", &ChartInput::zone,
     "IANA time zone of the birth clock (Asia/Tokyo), default the zone of\n"
     "      the place named, else China's clock"},
};

constexpr ChoiceOption kChoiceOptions[] = {
    {"sex", "male", "female", &ChartInput::male, "male (乾造) or female (坤造), default male"},
    {"layout", "horizontal", "vertical", &ChartInput::horizontal,
     "pillars horizontal (横排) or vertical (竖排), default vertical"},
    {"calendar", "lunar", "solar", &ChartInput::lunar,
     "--year, --month and --day give a lunar (农历) or Gregorian (公历) date,\n"
     "      default solar; a lunar month and day may be numbers or names (五月, 初五)"},
};

constexpr FlagOption kFlagOptions[] = {
    {"annual", &ChartInput::annual, "annual pillar table (流年), default on"},
    {"stars", &ChartInput::stars, "symbolic stars (神煞), default on"},
    {"deities", &ChartInput::deities, "ten-deity rows (十神), default on"},
    {"hidden-stems", &ChartInput::hiddenStems, "hidden stems (藏干), default on"},
    {"nayin", &ChartInput::nayin, "sound elements (纳音), default on"},
    {"minor-luck", &ChartInput::minorLuck, "minor luck (小运), default off"},
    {"palace", &ChartInput::palace, "life palace and conception pillar (命宫/胎元), default off"},
    {"stages", &ChartInput::stages, "twelve life stages (长生十二宫), default on"},
    {"night-zi", &ChartInput::nightZi, "night-zi rule for 23:00-0:00 births (夜子时), default off"},
    {"unknown-hour", &ChartInput::unknownHour,
     "hour not known (时辰不详): the year, month and day pillars and every hour\n"
     "      candidate of the day instead of a chart; not with --hour or --minute"},
    {"leap-month", &ChartInput::leapMonth, "the lunar month is the year's leap month (闰), with --calendar lunar"},
};

// A help text with "{span}" replaced by the years the program charts.
std::string WithSpan(std::string_view help) {
    std::string text(help);
    if (const auto at = text.find("{span}"); at != std::string::npos)
        text.replace(at, 6, paipan::FirstYearText() + " to " + paipan::LastYearText());
    return text;
}

void PrintHelp() {
    std::cout << "Usage: paipan-cli [OPTION]...\n"
                 "Lays out a Four Pillars chart (四柱八字排盘) and writes it to stdout.\n"
                 "Values may be given as --opt VALUE or --opt=VALUE.\n\n";
    for (const auto& o : kTextOptions) std::cout << "  --" << o.name << " TEXT  " << WithSpan(o.help) << "\n";
    for (const auto& o : kChoiceOptions)
        std::cout << "  --" << o.name << " " << o.yes << "|" << o.no << "  " << o.help << "\n";
    for (const auto& o : kFlagOptions) std::cout << "  --" << o.name << " | --no-" << o.name << "  " << o.help << "\n";
    std::cout << "  --locate QUERY  list the birthplaces matching QUERY (name, degrees, minutes,\n"
                 "      time zone, TAB-separated), best first, and exit\n"
                 "  --longitude-from-place  take the longitude from the best match of --place\n"
                 "  --quiet  no notices (lines beginning 提示：) on stderr after the chart\n"
                 "  --find-pillars \"PILLARS\"  list every stretch of true solar time whose chart has\n"
                 "      these year, month, day and hour pillars (\"甲子 丙寅 戊辰 庚申\"; ? or 不限 for\n"
                 "      an open one, at least two given): start, end and a clock time at the\n"
                 "      --longitude that charts to them, TAB-separated; with --format json an array\n"
                 "      of {start, end, clock}; --night-zi applies. Exit 2 when nothing is found\n"
                 "  --from-year Y, --to-year Y  the years --find-pillars searches, default " +
                     paipan::FirstYearText() + " to " + paipan::LastYearText() +
                     "\n"
                     "      e.g. paipan-cli --find-pillars \"庚午 辛巳 庚辰 癸未\" --from-year 1900\n";
    std::cout << paipan::OutputFormatHelp()
              << "  --output FILE  write to FILE (replaced whole keeping its mode, through a link to its\n"
                 "      target, or left as it was) instead of stdout\n"
                 "  --convert  print only the date in the other calendar (农历：庚子年闰四月初一 or\n"
                 "      公历：2020年05月23日), one line; with --format json one object\n"
                 "  --batch  read one JSON request per line from stdin, write one JSON chart per line;\n"
                 "      the other options give the defaults of every request\n"
                 "  --help  show this help and exit\n"
                 "  --version  show the program's name and version and exit\n\n"
                 "Exit status: 0 chart written, 2 bad option or input (message on stderr),\n"
                 "3 data file missing or unreadable, 1 internal error.\n\n"
                 "Lunar dates (农历):\n"
                 "  paipan-cli --calendar lunar --year 2020 --month 四月 --day 初一 --leap-month --hour 8 --minute 30\n"
                 "  paipan-cli --calendar lunar --year 2020 --month 4 --day 1 --leap-month --convert\n"
                 "  paipan-cli --year 2020 --month 5 --day 23 --convert --format json\n"
                 "  echo '{\"calendar\":\"lunar\",\"year\":2020,\"month\":4,\"day\":1,\"leap-month\":true}' | "
                 "paipan-cli --batch\n";
}

struct UsageError {
    std::string message;
};

class ArgReader {
public:
    ArgReader(int argc, char** argv) : args_(argv + 1, argv + argc) {}
    bool Done() const { return next_ >= args_.size(); }
    std::string Next() { return args_[next_++]; }
    // The value of --key: the text after '=' or the next argument.
    std::string ValueOf(std::string_view key, const std::optional<std::string>& inline_) {
        std::string v;
        if (inline_) {
            v = *inline_;
        } else if (!Done()) {
            v = Next();
        } else {
            throw UsageError{"option --" + std::string(key) + " needs a value"};
        }
        if (!paipan::IsUtf8(v)) throw UsageError{"the value of --" + std::string(key) + " is not UTF-8"};
        return v;
    }

private:
    std::vector<std::string> args_;
    std::size_t next_ = 0;
};

// Applies one option; returns false when it is not known.
bool Apply(ChartInput& in, ArgReader& reader, std::string_view key, const std::optional<std::string>& value) {
    for (const auto& o : kTextOptions) {
        if (key == o.name) {
            in.*o.field = reader.ValueOf(key, value);
            return true;
        }
    }
    for (const auto& o : kChoiceOptions) {
        if (key != o.name) continue;
        const std::string v = reader.ValueOf(key, value);
        if (v != o.yes && v != o.no)
            throw UsageError{"--" + std::string(key) + " takes " + std::string(o.yes) + " or " + std::string(o.no)};
        in.*o.field = v == o.yes;
        return true;
    }
    for (const auto& o : kFlagOptions) {
        const bool on = key == o.name;
        if (!on && key != "no-" + std::string(o.name)) continue;
        if (value) throw UsageError{"--" + std::string(key) + " takes no value"};
        in.*o.field = on;
        return true;
    }
    return false;
}

// --format, --output and --batch; false when `key` is none of them.
bool ApplyOutputOption(paipan::OutputRequest& out, ArgReader& reader, std::string_view key,
                       const std::optional<std::string>& value) {
    if (key == "format") {
        const std::string v = reader.ValueOf(key, value);
        const auto format = paipan::ParseOutputFormat(v);
        if (!format) throw UsageError{paipan::OutputFormatProblem(v)};
        out.format = *format;
    } else if (key == "output") {
        out.path = reader.ValueOf(key, value);
        if (out.path->empty()) throw UsageError{"--output needs a file name"};
    } else if (key == "convert") {
        if (value) throw UsageError{"--convert takes no value"};
        out.convert = true;
    } else if (key == "batch") {
        if (value) throw UsageError{"--batch takes no value"};
        out.batch = true;
    } else {
        return false;
    }
    return true;
}

// Fills the request from the command line; nullopt when --help or --version
// (then in `shown`) was asked.
std::optional<ChartInput> Parse(int argc, char** argv, paipan::cli::BirthOptions& birth, paipan::OutputRequest& output,
                                paipan::cli::FindOptions& find, std::string& shown) {
    ChartInput in = paipan::DefaultChartInputNow();
    bool clockGiven = false;  // --hour or --minute
    ArgReader reader(argc, argv);
    while (!reader.Done()) {
        const std::string arg = reader.Next();
        if (arg == "--help" || arg == "--version") {
            shown = arg;
            return std::nullopt;
        }
        if (arg.rfind("--", 0) != 0) throw UsageError{"unexpected argument: " + arg};
        const auto eq = arg.find('=');
        const std::string key = arg.substr(2, eq == std::string::npos ? eq : eq - 2);
        std::optional<std::string> value;
        if (eq != std::string::npos) value = arg.substr(eq + 1);
        try {
            if (paipan::cli::NoteBirthOption(birth, key, value.has_value())) continue;
        } catch (const std::invalid_argument& e) {
            throw UsageError{e.what()};
        }
        if (paipan::cli::IsFindOption(key)) {
            paipan::cli::NoteFindOption(find, key, reader.ValueOf(key, value));
            continue;
        }
        if (key == "locate") {
            birth.locate = reader.ValueOf(key, value);
            continue;
        }
        if (!ApplyOutputOption(output, reader, key, value) && !Apply(in, reader, key, value))
            throw UsageError{"unknown option: --" + key};
        clockGiven = clockGiven || key == "hour" || key == "minute";
    }
    if (in.unknownHour && clockGiven) throw UsageError{"--unknown-hour cannot be combined with --hour or --minute"};
    paipan::CheckOutputRequest(output, [](const std::string& m) { throw UsageError{m}; });
    if (auto problem = paipan::cli::FindOptionsProblem(find, output)) throw UsageError{*problem};
    return in;
}

// One key of a batch request: the option of that long name, a text option
// from a string or a number, a choice from one of its two words, a switch
// from a boolean.
std::optional<std::string> ApplyRequestKey(ChartInput& in, const std::string& key, const nlohmann::json& value) {
    const std::string quoted = "“" + key + "”";
    for (const auto& o : kTextOptions) {
        if (key != o.name) continue;
        if (value.is_string())
            in.*o.field = value.get<std::string>();
        else if (value.is_number())
            in.*o.field = paipan::PlainDecimal(value);
        else
            return quoted + "应为文字或数字。";
        return std::nullopt;
    }
    for (const auto& o : kChoiceOptions) {
        if (key != o.name) continue;
        if (!value.is_string() || (value != o.yes && value != o.no))
            return quoted + "应为\"" + std::string(o.yes) + "\"或\"" + std::string(o.no) + "\"。";
        in.*o.field = value == o.yes;
        return std::nullopt;
    }
    for (const auto& o : kFlagOptions) {
        if (key != o.name) continue;
        if (!value.is_boolean()) return quoted + "应为true或false。";
        in.*o.field = value.get<bool>();
        return std::nullopt;
    }
    return "有未知的键" + quoted + "。";
}

}  // namespace

int main(int argc, char** argv) {
    try {
        std::optional<ChartInput> input;
        paipan::cli::BirthOptions birth;
        paipan::OutputRequest output;
        paipan::cli::FindOptions find;
        std::string shown;  // --help or --version
        try {
            input = Parse(argc, argv, birth, output, find, shown);
            if (birth.longitudeFromPlace && birth.longitudeGiven)
                throw UsageError{"--longitude-from-place cannot be combined with --longitude or --longitude-minutes"};
            if (input && input->leapMonth && !input->lunar) throw UsageError{"--leap-month needs --calendar lunar"};
        } catch (const UsageError& e) {
            const std::string message = "paipan-cli: " + e.message + "\nTry 'paipan-cli --help'.";
            if (paipan::WantsJson(argc, argv)) paipan::PrintUsageErrorJson(message);
            return Report(message, 2);
        }
        if (!input) {
            if (shown == "--version")
                std::cout << "paipan-cli " PAIPAN_VERSION "\n";
            else
                PrintHelp();
            return 0;
        }
        if (birth.locate) return paipan::cli::Locate(*birth.locate);
        std::string zone;  // from the gazetteer entry the place names
        if (birth.longitudeFromPlace) {
            if (auto status = paipan::cli::LongitudeFromPlace(*input, zone)) return *status;
        }
        if (find.pillars) return paipan::cli::FindPillars(find, *input, output);
        if (output.convert) return paipan::cli::ConvertDate(*input, output.format == paipan::OutputFormat::Json);
        if (output.batch) return paipan::RunBatchTo(output, *input, ApplyRequestKey);
        return paipan::WriteChart(output, *input, zone, birth.quiet);
    } catch (const std::exception& e) {
        return Report(std::string("paipan-cli: internal error: ") + e.what(), 1);
    }
}
