// One 排盘 press without the window: check the inputs, correct the clock
// time to true solar time, run the engine and frame its chart with the
// notice, the reminder and the footer, and say which pieces to colour.
#include "chart/chart_request.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <ctime>
#include <functional>

#include "calendar/zone_file.h"
#include "chart/lunar_request.h"
#include "chart/sites.h"
#include "chart/chart_sections.h"
#include "chart/corvel_bzclass.h"
#include "engine/span.h"
#include "engine/value.h"

namespace paipan {
namespace {

constexpr const char* kBr = "\r\n";
constexpr const char* kCaption = "提示";
constexpr const char* kDateMessage = "请检查输入数据是否出错！";

// One numeric input: its box, the texts of its two failures and what the box
// is reset to after each.
struct NumericRule {
    InputField field;
    std::string ChartInput::*text;
    bool wholeNumber;  // date and time parts take no decimal point
    double low, high;  // bounds included
    const char* notNumericMessage;
    std::string rangeMessage;
    const char* rangeReset;  // after "not numeric" the box is always emptied
};

const std::array<NumericRule, 7>& Rules() {
    static const std::array<NumericRule, 7> rules{{
        {InputField::LongitudeDegrees, &ChartInput::longitude, false, -180, 180,
         "请输入正确的经度数值！如果您不知道所在城市的经度值，请输入默认的120，约等于北京所在经度！",
         "请输入正确的经度数值！如果您不知道所在城市的经度值，请输入默认的120，约等于北京所在经度！",
         ""},
        {InputField::LongitudeMinutes, &ChartInput::longitudeMinutes, false, 0, 59,
         "请输入正确的经度分值！如果您不知道所在城市的经度分值，请输入默认的0分！",
         "请输入正确的经度分值！如果您不知道所在城市的经度分值，请输入默认的0分！", ""},
        {InputField::Year, &ChartInput::year, true, kFirstYear, kLastYear, "请选择或输入正确的年份的数值！",
         "请选择或输入正确的年份值，年份的值应当是介于" + FirstYearText() + "与" + LastYearText() + "之间的数值！",
         "1980"},
        {InputField::Month, &ChartInput::month, true, 1, 12, "请选择或输入正确的月份的数值！",
         "请选择或输入正确的月份值，月份的值应当是介于1与12之间的数值！", "1"},
        {InputField::Day, &ChartInput::day, true, 1, 31, "请选择或输入正确的公历日期的数值！",
         "请选择或输入正确的公历日期值，公历日期的值应当是介于1与31之间的数值！", "1"},
        {InputField::Hour, &ChartInput::hour, true, 0, 23, "请选择或输入正确的时间的数值！",
         "请选择或输入正确的时间值，时间的值应当是介于0与23之间的数值！", "1"},
        {InputField::Minute, &ChartInput::minute, true, 0, 59, "请选择或输入正确的时间分的数值！",
         "请选择或输入正确的时间分值，时间分的值应当是介于0与59之间的数值！", "1"},
    }};
    return rules;
}

InputProblem Problem(const std::string& message, InputField field, std::string reset) {
    return {message, kCaption, MessageIcon::Information, field, std::move(reset)};
}

// The value of one numeric box, or the problem it causes.
std::variant<double, InputProblem> CheckNumber(const ChartInput& input, const NumericRule& rule) {
    const std::string& text = input.*rule.text;
    auto value = ParseDecimal(text);
    if (rule.wholeNumber && text.find('.') != std::string::npos) value.reset();
    if (!value) return Problem(rule.notNumericMessage, rule.field, "");
    if (*value < rule.low || *value > rule.high)
        return Problem(rule.rangeMessage, rule.field, rule.rangeReset);
    return *value;
}

std::string Num(long long n) { return std::to_string(n); }

// L: ((Dg - M) x 60 + Mn) x 4 seconds from the meridian M of the clock's
// standard time (120°E for China's clock), the minutes added also west of
// 0°, rounded half away from zero to whole seconds. No shift on local mean time.
long long LongitudeShiftSeconds(const CheckedClock& c, const BirthClock& clock) {
    if (clock.localMean) return 0;
    const double meridian = clock.china ? 120 : clock.offsetSeconds / 240.0;
    return std::llround(((c.degrees - meridian) * 60 + c.minutes) * 4);
}

// China's own zone under its current and former names.
bool IsChinaZone(const std::string& zone) {
    return zone.empty() || zone == "Asia/Shanghai" || zone == "Asia/Chongqing" || zone == "Asia/Chungking" ||
           zone == "Asia/Harbin" || zone == "PRC";
}

// "+9", "-3:30", "+5:45"; seconds only for the old mean times that had them.
std::string OffsetText(int seconds) {
    const int a = std::abs(seconds);
    std::string t = std::string(seconds < 0 ? "-" : "+") + std::to_string(a / 3600);
    if (a % 3600 != 0) t += ":" + std::string(a / 60 % 60 < 10 ? "0" : "") + std::to_string(a / 60 % 60);
    if (a % 60 != 0) t += ":" + std::string(a % 60 < 10 ? "0" : "") + std::to_string(a % 60);
    return t;
}

// The meridian of a UTC offset: 15° an hour. "东经135°", "西经120°", "东经86°15′".
std::string MeridianText(int seconds) {
    const int arcSeconds = std::abs(seconds) * 15;
    std::string t = std::string(seconds < 0 ? "西经" : "东经") + std::to_string(arcSeconds / 3600) + "°";
    if (arcSeconds % 3600 != 0) t += std::to_string(arcSeconds / 60 % 60) + "′";
    if (arcSeconds % 60 != 0) t += std::to_string(arcSeconds % 60) + "″";
    return t;
}

// E: min_e minutes and sec_e seconds, sec_e taking the sign of min_e (and its
// own sign when min_e is 0).
long long EquationShiftSeconds(int minE, int secE) {
    return minE * 60LL + (minE < 0 ? -secE : secE);
}

const char* Sign(bool nonNegative) { return nonNegative ? "＋" : "－"; }

std::string MinutesSeconds(long long minutes, long long seconds) {
    return Num(std::llabs(minutes)) + "分" + Num(std::llabs(seconds)) + "秒";
}

std::string ReminderBlock() {
    return std::string(kBr) + "特别提醒：" + kBr +
           "欢迎大家把排出的结果全部复制到晴川网论坛社区请论坛上的预测师为你提供在线免费预测咨询服务！" +
           kBr + "晴川网论坛地址：" + kForumSite + kBr;
}

std::string Footer() {
    return std::string(kBr) + kBr + "————以上排盘结果由晴川四柱八字排盘系统排出，仅供娱乐！ " +
           kHomeSite + "————";
}

constexpr const char* kNightZiNotice =
    "——————以下排盘结果为夜子时排盘方式排出（仅影响夜子时即23~0点出生之人）——————\r\n\r\n";

// Collects the spans of one result text; byte offsets in, UTF-16 out.
class SpanList {
public:
    explicit SpanList(const std::string& text) : text_(text) {}

    // Colours `piece` where it starts at byte `at`. An empty piece colours
    // nothing and yields no span.
    void Add(std::size_t at, const std::string& piece, Rgb c) {
        if (piece.empty()) return;
        spans_.push_back({UnitsBefore(at), Utf16Length(piece), c.r, c.g, c.b});
    }
    // The first occurrence of `piece` (an empty piece is found at 0).
    std::optional<std::size_t> Find(const std::string& piece) const {
        const auto it = std::search(text_.begin(), text_.end(),
                                    std::boyer_moore_horspool_searcher(piece.begin(), piece.end()));
        if (it == text_.end() && !piece.empty()) return std::nullopt;
        return static_cast<std::size_t>(it - text_.begin());
    }
    void AddFirst(const std::string& piece, Rgb c) {
        if (auto at = Find(piece)) Add(*at, piece, c);
    }
    std::vector<ColourSpan> Take() { return std::move(spans_); }

private:
    // UTF-16 units of the text's first `at` bytes, counted on from the last
    // place asked for when that lies before (the pieces mostly come in order).
    int UnitsBefore(std::size_t at) {
        if (at < countedBytes_) countedBytes_ = 0, countedUnits_ = 0;
        countedUnits_ += Utf16Length(std::string_view(text_).substr(countedBytes_, at - countedBytes_));
        countedBytes_ = at;
        return countedUnits_;
    }

    const std::string& text_;
    std::vector<ColourSpan> spans_;
    std::size_t countedBytes_ = 0;
    int countedUnits_ = 0;
};

// The sections in print order, each where the table places it, then the
// reminder's title.
std::vector<ColourSpan> ColourSpans(const std::string& text, const Corvel_BZClass& e) {
    SpanList list(text);
    std::optional<std::size_t> end;  // where the section before ends, when found
    for (const ChartSection& section : kChartSections) {
        const std::string& piece = e.*section.field;
        const auto at = section.place == SectionPlace::AfterPrevious ? end : list.Find(piece);
        if (at) list.Add(*at, piece, section.colour);
        end = at ? std::optional(*at + piece.size()) : std::nullopt;
    }
    list.AddFirst("特别提醒：", kRed);
    return list.Take();
}

// Engine messages (the date check of Main) become an input problem.
class MessageRecorder : public Notifier {
public:
    void ShowMessage(const std::string& text, const std::string& caption) override {
        if (!message) message = InputProblem{text, caption, MessageIcon::None, InputField::None, {}};
    }
    std::optional<InputProblem> message;
};

// The request panel's sections as the engine's switches; the luck-pillar
// row, its age row and the luck-start lines have no box and are always on.
EngineRequest RequestFor(const ChartInput& in, const SolarTimeCorrection& solar) {
    const CivilTime& t = solar.corrected;
    return {.year = t.year, .month = t.month, .day = t.day, .hour = t.hour, .minute = t.minute,
            .sex = in.male, .name = in.name, .place = in.place, .mode = in.horizontal,
            .lnp = in.annual, .cgp = in.hiddenStems, .ssp = in.deities, .nyp = in.nayin,
            .shenshap = in.stars, .csp = in.stages, .mgp = in.palace, .xyp = in.minorLuck,
            .zsp = in.nightZi, .realtime = solar.block};
}

}  // namespace

ChartInput DefaultChartInput(int year, int month, int day, int hour, int minute) {
    ChartInput in;
    in.year = std::to_string(year);
    in.month = std::to_string(month);
    in.day = std::to_string(day);
    in.hour = std::to_string(hour);
    in.minute = std::to_string(minute);
    return in;
}

ChartInput DefaultChartInputNow() {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    return DefaultChartInput(local.tm_year + 1900, local.tm_mon + 1, local.tm_mday, local.tm_hour,
                             local.tm_min);
}

std::variant<CheckedClock, InputProblem> CheckChartInput(const ChartInput& input) {
    std::array<double, 7> values{};
    for (std::size_t i = 0; i < Rules().size(); ++i) {
        auto checked = CheckNumber(input, Rules()[i]);
        if (auto* problem = std::get_if<InputProblem>(&checked)) return *problem;
        values[i] = std::get<double>(checked);
    }
    CheckedClock c;
    c.degrees = values[0];
    c.minutes = values[1];
    c.year = static_cast<int>(values[2]);
    c.month = static_cast<int>(values[3]);
    c.day = static_cast<int>(values[4]);
    c.hour = static_cast<int>(values[5]);
    c.minute = static_cast<int>(values[6]);
    // 29 February only in leap years, day 31 only in the long months.
    if (!IsValidDate(c.year, c.month, c.day))
        return InputProblem{kDateMessage, kCaption, MessageIcon::None, InputField::None, {}};
    return c;
}

std::optional<BirthClock> BirthClockOf(const ChartInput& input, const CheckedClock& c) {
    if (IsChinaZone(input.zone)) return BirthClock{};
    const ZoneFile* zone = ZoneFile::Find(input.zone);
    if (!zone) return std::nullopt;
    // The moment of the clock reading, near enough for the offset of the day.
    const std::int64_t local = MakeDateTime(c.year, c.month, c.day, c.hour, c.minute).time_since_epoch().count();
    const StandardClock standard = StandardClockAt(*zone, local - zone->At(local - zone->At(local).offset).offset);
    const std::string place = input.zonePlace.empty() ? input.zone : input.zonePlace;
    BirthClock clock{false, standard.offset, standard.localMean, {}};
    if (standard.localMean) {
        clock.line = "钟表时区＝当地平太阳时（" + place + "当时尚未采用标准时间）";
    } else if (standard.offset == 8 * 3600) {
        clock.china = true;  // on UTC+8 the chart reads exactly as China's
    } else {
        clock.line = "钟表时区＝" + (input.zonePlace.empty() ? input.zone : input.zonePlace + "时间") + "（UTC" +
                     OffsetText(standard.offset) + "，标准经线" + MeridianText(standard.offset) + "）";
    }
    return clock;
}

SolarTimeCorrection CorrectToTrueSolarTime(const ChartInput& in, const CheckedClock& c, int minE,
                                           int secE) {
    using namespace std::chrono;
    const BirthClock birthClock = BirthClockOf(in, c).value_or(BirthClock{});
    const long long l = LongitudeShiftSeconds(c, birthClock);
    const long long e = EquationShiftSeconds(minE, secE);
    const DateTime clock = MakeDateTime(c.year, c.month, c.day, c.hour, c.minute);
    // The minute that contains the corrected moment (also for shifts back
    // across midnight, month and year ends).
    const CivilTime t = ToCivil(floor<minutes>(clock + seconds{l + e}));

    std::string b = "经度：" + in.longitude + "度" + in.longitudeMinutes + "分" + kBr + kBr;
    b += "出生钟表时间＝" + in.year + "年" + in.month + "月" + in.day + "日" + in.hour + "时" +
         in.minute + "分" + kBr;
    if (!birthClock.line.empty()) b += birthClock.line + kBr;
    // The sign is that of the shift itself. For whole degrees that is the same
    // as "120° or more"; with a fraction of a degree just west of 120° the
    // minutes can outweigh the degrees, and the shift is then forward.
    b += std::string("出生地方时间＝出生钟表时间") + Sign(l >= 0) + MinutesSeconds(l / 60, l % 60) + kBr;
    const bool eNonNegative = minE > 0 || (minE == 0 && secE >= 0);
    b += std::string("出生真太阳时＝出生地方时间") + Sign(eNonNegative) + MinutesSeconds(minE, secE) + kBr;
    b += "实际出生时间＝" + DateTimeText(t, false) + kBr + kBr;
    return {t, b};
}

ChartResult ComposeChartResult(const Corvel_BZClass& engine, bool nightZi, Colouring colouring) {
    ChartResult result;
    static const std::string tail = ReminderBlock() + Footer();
    const std::string_view notice = nightZi ? kNightZiNotice : "";
    result.text.reserve(notice.size() + engine.OutputStr.size() + tail.size());
    result.text.append(notice).append(engine.OutputStr).append(tail);
    if (colouring == Colouring::Spans) result.spans = ColourSpans(result.text, engine);
    return result;
}

ChartOutcome RunChartRequest(const ChartInput& input, const std::filesystem::path& dataFolder) {
    return RunChartRequest(input, dataFolder, ChartInspector());
}

ChartOutcome RunChartRequest(const ChartInput& input, const std::filesystem::path& dataFolder,
                             const ChartInspector& inspect, Colouring colouring) {
    if (input.lunar || input.leapMonth) {
        // A lunar date is charted as the Gregorian day it is (chart/lunar_request.h).
        std::variant<ChartInput, InputProblem> solar;
        try {
            solar = SolarChartInput(input, dataFolder);
        } catch (const DataError& e) {
            return DataProblem{e.what()};
        }
        if (auto* problem = std::get_if<InputProblem>(&solar)) return *problem;
        return RunChartRequest(std::get<ChartInput>(solar), dataFolder, inspect, colouring);
    }
    auto checked = CheckChartInput(input);
    if (auto* problem = std::get_if<InputProblem>(&checked)) return *problem;
    const CheckedClock& clock = std::get<CheckedClock>(checked);
    if (!BirthClockOf(input, clock))
        return InputProblem{"时区“" + input.zone + "”不在系统的时区数据库中，请写出时区数据库中的名称，如Asia/Tokyo。",
                            kCaption, MessageIcon::Information, InputField::None, {}};
    try {
        // Looked up by the checked month and day numbers, never by the box texts.
        const EquationOfTimeRow eot =
            ReadEquationOfTime(dataFolder / kEquationOfTimeFileName, clock.month, clock.day);
        const SolarTimeCorrection solar = CorrectToTrueSolarTime(input, clock, eot.min, eot.sec);

        MessageRecorder recorder;
        Corvel_BZClass engine;
        engine.dataFolder = dataFolder;
        engine.notifier = &recorder;
        engine.SetRequest(RequestFor(input, solar));
        engine.Main();
        if (recorder.message) return *recorder.message;
        ChartResult result = ComposeChartResult(engine, input.nightZi, colouring);
        if (inspect) inspect(engine, result);
        return result;
    } catch (const DataError& e) {
        return DataProblem{e.what()};
    }
}

}  // namespace paipan
