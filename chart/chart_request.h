// One 排盘 press without the window: the input texts and switches as the
// window holds them go in; either an input problem (what to tell the user and
// which field to reset), a data-file problem, or the full text of the result
// box with its colour spans comes out. The window and the command line share
// it, so both show exactly the same chart.
#pragma once

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "calendar/lunar_date.h"
#include "calendar/store.h"
#include "engine/datetime.h"
#include "util/utf8.h"  // Utf16Length, the unit of ColourSpan

namespace paipan {

class Corvel_BZClass;

// The request panel's contents, as texts and switches (UTF-8).
struct ChartInput {
    std::string name = "张三";           // 姓名
    std::string place = "安徽";          // 出生地
    std::string longitude = "120";       // 经度, degrees (-180 … 180)
    std::string longitudeMinutes = "0";  // 经度, minutes
    std::string year;                    // clock date and time of birth, as typed or chosen
    std::string month;
    std::string day;
    std::string hour;
    std::string minute;
    bool male = true;         // 男 / 女
    bool horizontal = false;  // layout: 横排 / 竖排
    bool annual = true;       // sections: 流年
    bool stars = true;        // 神煞
    bool deities = true;      // 十神
    bool hiddenStems = true;  // 藏干
    bool nayin = true;        // 纳音
    bool minorLuck = false;   // 小运
    bool palace = false;      // 命宫/胎元
    bool stages = true;       // 长生十二宫
    bool nightZi = false;     // 夜子时方式排盘
    // 时辰不详: the hour and minute are not known; the press gives the three
    // pillars and every hour candidate of the day (chart/unknown_hour.h)
    // instead of a chart, and the hour and minute texts are not read.
    bool unknownHour = false;
    // The birthplace's clock when the place is known (--zone, the batch key
    // "zone", or the gazetteer place chosen or named): its IANA zone, and
    // the place's short name the chart shows with it ("东京"; empty when only
    // the zone was named). Without a zone, or with China's own, the clock is
    // read as China's, against 120°E.
    std::string zone;
    std::string zonePlace;
    bool lunar = false;      // 历法: the date boxes hold a lunar date (农历), not 公历
    bool leapMonth = false;  // the lunar month is the year's leap month (闰)
};

// The window's initial state, with the five date lists set to the given
// local date and time (plain decimal, no leading zeros).
ChartInput DefaultChartInput(int year, int month, int day, int hour, int minute);
// The same with the computer's current local date and time.
ChartInput DefaultChartInputNow();

// The request fields an input check can reset and focus.
enum class InputField { None, LongitudeDegrees, LongitudeMinutes, Year, Month, Day, Hour, Minute };
enum class MessageIcon { None, Information, Critical };

// A check failed: show `message` with `caption` and `icon`, then set `field`
// to `fieldText` (when it has one) and move the focus there.
struct InputProblem {
    std::string message;
    std::string caption;  // "提示"
    MessageIcon icon = MessageIcon::Information;
    InputField field = InputField::None;
    std::optional<std::string> fieldText;
};

// A data file is missing, damaged or has no row: show `message` with caption
// "错误"; nothing else changes.
struct DataProblem {
    std::string message;
    std::string caption = "错误";
};

// A piece of the box's text to colour. Positions and lengths count UTF-16
// code units, the character unit of the result box.
struct ColourSpan {
    int start = 0;
    int length = 0;
    std::uint8_t red = 0, green = 0, blue = 0;
};

// The line end of the result box's text.
inline constexpr const char* kLineEnd = "\r\n";

struct ChartResult {
    std::string text;               // notice + chart + reminder + footer, CR LF line ends
    std::vector<ColourSpan> spans;  // in the order of the colouring table
};

using ChartOutcome = std::variant<ChartResult, InputProblem, DataProblem>;

// Runs the whole press: the input checks, the equation-of-time lookup, the
// true-solar-time correction, the engine and the colouring. The data files
// are looked up in `data`.
ChartOutcome RunChartRequest(const ChartInput& input, const DataSource& data);

// The same press, showing the finished engine and the result to `inspect`
// before the engine is released (the command line's JSON output reads the
// pillars, terms and luck from it). Not called when the press fails.
// Callers that show no colours (plain text, JSON) skip the colour spans.
using ChartInspector = std::function<void(const Corvel_BZClass&, const ChartResult&)>;
enum class Colouring { Spans, None };
ChartOutcome RunChartRequest(const ChartInput& input, const DataSource& data, const ChartInspector& inspect,
                             Colouring colouring = Colouring::Spans);

// ---- The steps of RunChartRequest, for callers that need one of them -----
// The input rules are in chart/input_checks.cpp, the true solar time in
// chart/solar_time.cpp, the text around the chart in chart/chart_frame.cpp.

// The numbers of a request that passed every input check: the clock date and
// time as whole numbers, the longitude degrees and minutes (may have a
// fraction).
struct CheckedClock {
    int year = 0, month = 0, day = 0, hour = 0, minute = 0;
    double degrees = 0, minutes = 0;
};

// What the press checked before it charted: the Gregorian request it charted
// (a lunar date turned into its Gregorian day) with its checked clock
// reading, and the lunar date typed, if one was. The notices around a chart
// are derived from this and the finished engine, so that nothing is checked
// or corrected twice.
struct CheckedRequest {
    const ChartInput& solar;  // lives as long as the call it is handed to
    CheckedClock clock;
    std::optional<LunarDate> lunar;
};
using CheckedChartInspector = std::function<void(const CheckedRequest&, const Corvel_BZClass&, const ChartResult&)>;
ChartOutcome RunChartRequest(const ChartInput& input, const DataSource& data, const CheckedChartInspector& inspect,
                             Colouring colouring);

// The fourteen input checks, then the day-in-month check, stopping at the
// first problem.
std::variant<CheckedClock, InputProblem> CheckChartInput(const ChartInput& input);
// After those, the birthplace's zone: a problem when it is not in the
// system's time-zone database.
std::optional<InputProblem> CheckBirthZone(const ChartInput& input, const CheckedClock& clock);

// The clock time corrected to true solar time (seconds dropped) and the
// correction block the chart header shows. `minE`/`secE` are the equation of
// time of the clock date as the taiyang table gives them.
struct SolarTimeCorrection {
    CivilTime corrected;  // second is always 0
    std::string block;    // s_realtime
};
SolarTimeCorrection CorrectToTrueSolarTime(const ChartInput& input, const CheckedClock& clock, int minE, int secE);

// The clock a request's time was read on, and the meridian of its standard
// time that the longitude is measured from.
struct BirthClock {
    bool china = true;             // China's clock (UTC+8, 120°E), the chart as always
    int offsetSeconds = 8 * 3600;  // the zone's standard offset on the birth date
    bool localMean = false;        // the zone kept no standard time yet: no longitude shift
    std::string line;  // "钟表时区＝东京时间（UTC+9，标准经线东经135°）"; empty for China's clock
};
// The birth clock of a request; nothing when its zone is not in the system's
// time-zone database.
std::optional<BirthClock> BirthClockOf(const ChartInput& input, const CheckedClock& clock);

// The result box's text around an engine's finished chart (night-zi notice,
// OutputStr, reminder, footer) with the colour spans of its sections.
ChartResult ComposeChartResult(const Corvel_BZClass& engine, bool nightZi, Colouring colouring = Colouring::Spans);

}  // namespace paipan
