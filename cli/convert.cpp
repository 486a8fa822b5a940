#include "cli/convert.h"

#include <chrono>
#include <cstdio>
#include <nlohmann/json.hpp>
#include <string>

#include "calendar/lunar_input.h"
#include "chart/chart_json.h"
#include "cli/error_json.h"
#include "cli/compact_json.h"
#include "chart/lunar_request.h"
#include "cli/chart_output.h"
#include "util/program_folder.h"

namespace paipan::cli {
namespace {

using namespace std::chrono;
using json = nlohmann::ordered_json;

// The Gregorian date of a request that is not lunar, checked as 排盘 checks
// it; the boxes that do not name the date are set to values that pass.
std::variant<sys_days, InputProblem> SolarDay(ChartInput input) {
    if (input.leapMonth) return std::get<InputProblem>(SolarChartInput(input, ProgramFolder()));
    input.longitude = "120", input.longitudeMinutes = "0", input.hour = "0", input.minute = "0";
    const auto checked = CheckChartInput(input);
    if (const auto* problem = std::get_if<InputProblem>(&checked)) return *problem;
    const CheckedClock& c = std::get<CheckedClock>(checked);
    return sys_days{year{c.year} / c.month / c.day};
}

std::string TwoDigits(unsigned n) { return (n < 10 ? "0" : "") + std::to_string(n); }

std::string Line(bool lunarInput, const LunarDate& lunar, sys_days day, bool asJson) {
    const year_month_day ymd{day};
    const std::string y = std::to_string(static_cast<int>(ymd.year()));
    const std::string m = TwoDigits(static_cast<unsigned>(ymd.month())),
                      d = TwoDigits(static_cast<unsigned>(ymd.day()));
    if (!asJson)
        return lunarInput ? "公历：" + y + "年" + m + "月" + d + "日\n" : "农历：" + LunarDateText(lunar) + "\n";
    json out = {{"solar", y + "-" + m + "-" + d},
                {"lunar", {{"year", lunar.year}, {"month", lunar.month}, {"day", lunar.day}, {"leap", lunar.leap}}}};
    std::string line;
    DumpCompact(out, line);
    return line + "\n";
}

int Refuse(const json& error, const std::string& message, int status, bool asJson) {
    if (asJson) {
        std::string line;
        DumpCompact(error, line);
        std::fputs((line + "\n").c_str(), stdout);
    }
    return Report(message, status);
}

}  // namespace

int ConvertDate(const ChartInput& input, bool asJson) {
    try {
        const LunarCalendar calendar(ProgramFolder());
        LunarDate lunar;
        sys_days day;
        if (input.lunar) {
            const auto taken = CheckLunarDate(input, calendar);
            if (const auto* problem = std::get_if<InputProblem>(&taken))
                return Refuse(InputErrorJson(*problem), problem->message, 2, asJson);
            lunar = std::get<LunarTaken>(taken).lunar;
            day = std::get<LunarTaken>(taken).day;
        } else {
            const auto solar = SolarDay(input);
            if (const auto* problem = std::get_if<InputProblem>(&solar))
                return Refuse(InputErrorJson(*problem), problem->message, 2, asJson);
            day = std::get<sys_days>(solar);
            lunar = calendar.LunarDateOf(day);
        }
        const std::string line = Line(input.lunar, lunar, day, asJson);
        if (std::fwrite(line.data(), 1, line.size(), stdout) != line.size() || std::fflush(stdout) != 0) return 1;
        return 0;
    } catch (const DataError& e) {
        return Refuse(ErrorJson("data", e.what()), e.what(), 3, asJson);
    }
}

}  // namespace paipan::cli
