// The input rules of a press: each numeric box's bounds and messages, the
// day-in-month check and the birthplace's zone; and the panel's defaults.
#include <array>
#include <ctime>

#include "chart/chart_request.h"
#include "engine/span.h"
#include "engine/value.h"

namespace paipan {
namespace {

constexpr const char* kCaption = "提示";
constexpr const char* kDateMessage = "请检查输入数据是否出错！";

// The numbers of the request's numeric boxes, as their rules read them.
struct BoxNumbers {
    double degrees = 0, minutes = 0;  // longitude
    double year = 0, month = 0, day = 0, hour = 0, minute = 0;
};

// One numeric input: its box, the texts of its two failures and what the box
// is reset to after each.
struct NumericRule {
    InputField field;
    std::string ChartInput::*text;
    double BoxNumbers::*value;  // where the checked number goes
    bool wholeNumber;           // date and time parts take no decimal point
    double low, high;           // bounds included
    const char* notNumericMessage;
    std::string rangeMessage;
    const char* rangeReset;  // after "not numeric" the box is always emptied
};

const std::array<NumericRule, 7>& Rules() {
    static const std::array<NumericRule, 7> rules{{
        {InputField::LongitudeDegrees, &ChartInput::longitude, &BoxNumbers::degrees, false, -180, 180,
         "请输入正确的经度数值！如果您不知道所在城市的经度值，请输入默认的120，约等于北京所在经度！",
         "请输入正确的经度数值！如果您不知道所在城市的经度值，请输入默认的120，约等于北京所在经度！", ""},
        {InputField::LongitudeMinutes, &ChartInput::longitudeMinutes, &BoxNumbers::minutes, false, 0, 59,
         "请输入正确的经度分值！如果您不知道所在城市的经度分值，请输入默认的0分！",
         "请输入正确的经度分值！如果您不知道所在城市的经度分值，请输入默认的0分！", ""},
        {InputField::Year, &ChartInput::year, &BoxNumbers::year, true, kFirstYear, kLastYear,
         "请选择或输入正确的年份的数值！",
         "请选择或输入正确的年份值，年份的值应当是介于" + FirstYearText() + "与" + LastYearText() + "之间的数值！",
         "1980"},
        {InputField::Month, &ChartInput::month, &BoxNumbers::month, true, 1, 12, "请选择或输入正确的月份的数值！",
         "请选择或输入正确的月份值，月份的值应当是介于1与12之间的数值！", "1"},
        {InputField::Day, &ChartInput::day, &BoxNumbers::day, true, 1, 31, "请选择或输入正确的公历日期的数值！",
         "请选择或输入正确的公历日期值，公历日期的值应当是介于1与31之间的数值！", "1"},
        {InputField::Hour, &ChartInput::hour, &BoxNumbers::hour, true, 0, 23, "请选择或输入正确的时间的数值！",
         "请选择或输入正确的时间值，时间的值应当是介于0与23之间的数值！", "1"},
        {InputField::Minute, &ChartInput::minute, &BoxNumbers::minute, true, 0, 59, "请选择或输入正确的时间分的数值！",
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
    if (*value < rule.low || *value > rule.high) return Problem(rule.rangeMessage, rule.field, rule.rangeReset);
    return *value;
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
    return DefaultChartInput(local.tm_year + 1900, local.tm_mon + 1, local.tm_mday, local.tm_hour, local.tm_min);
}

std::variant<CheckedClock, InputProblem> CheckChartInput(const ChartInput& input) {
    BoxNumbers n;
    for (const NumericRule& rule : Rules()) {
        auto checked = CheckNumber(input, rule);
        if (auto* problem = std::get_if<InputProblem>(&checked)) return *problem;
        n.*rule.value = std::get<double>(checked);
    }
    // The date and time rules take whole numbers only.
    CheckedClock c;
    c.degrees = n.degrees;
    c.minutes = n.minutes;
    c.year = static_cast<int>(n.year);
    c.month = static_cast<int>(n.month);
    c.day = static_cast<int>(n.day);
    c.hour = static_cast<int>(n.hour);
    c.minute = static_cast<int>(n.minute);
    // 29 February only in leap years, day 31 only in the long months.
    if (!IsValidDate(c.year, c.month, c.day))
        return InputProblem{kDateMessage, kCaption, MessageIcon::None, InputField::None, {}};
    return c;
}

std::optional<InputProblem> CheckBirthZone(const ChartInput& input, const CheckedClock& clock) {
    if (BirthClockOf(input, clock)) return std::nullopt;
    return InputProblem{"时区“" + input.zone + "”不在系统的时区数据库中，请写出时区数据库中的名称，如Asia/Tokyo。",
                        kCaption,
                        MessageIcon::Information,
                        InputField::None,
                        {}};
}

}  // namespace paipan
