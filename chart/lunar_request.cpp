#include "chart/lunar_request.h"

#include <optional>

#include "engine/span.h"

namespace paipan {
namespace {

using namespace std::chrono;

constexpr const char* kCaption = "提示";

InputProblem Problem(const std::string& message, InputField field) {
    return {message, kCaption, MessageIcon::Information, field, std::nullopt};
}

std::string N(int n) { return std::to_string(n); }

// "农历2020年闰四月" (and the day's name when `day` is not 0).
std::string LunarText(int year, int month, bool leap, int day = 0) {
    return "农历" + N(year) + "年" + (leap ? "闰" : "") + LunarMonthName(month) + (day ? LunarDayName(day) : "");
}

std::string RefusalMessage(const LunarDate& date, const LunarRefusal& r) {
    switch (r.kind) {
    case LunarRefusal::Kind::NoSuchLeapMonth:
        return "农历" + N(date.year) + "年没有闰" + LunarMonthName(date.month) + "（" +
               (r.leapMonth ? "该年闰" + LunarMonthName(r.leapMonth) : std::string("该年没有闰月")) + "）！";
    case LunarRefusal::Kind::MonthTooShort:
        return LunarText(date.year, date.month, date.leap) + "只有" + N(r.monthDays) + "天！";
    case LunarRefusal::Kind::OutsideSpan: break;
    }
    return LunarText(date.year, date.month, date.leap, date.day) + "不在本程序可排的日期范围（公历" + FirstYearText() +
           "年1月1日至" + LastYearText() + "年12月31日）之内！";
}

InputField RefusalField(const LunarRefusal& r) {
    switch (r.kind) {
    case LunarRefusal::Kind::NoSuchLeapMonth: return InputField::Month;
    case LunarRefusal::Kind::MonthTooShort: return InputField::Day;
    case LunarRefusal::Kind::OutsideSpan: break;
    }
    return InputField::Year;
}

}  // namespace

std::string LunarInputText(const LunarDate& date) { return LunarText(date.year, date.month, date.leap, date.day); }

std::variant<LunarTaken, InputProblem> CheckLunarDate(const ChartInput& in, const LunarCalendar& calendar) {
    // A year or month that is no number: the Gregorian lists' own messages.
    const std::optional<int> year = ParseWholeNumber(in.year), month = ParseLunarMonth(in.month),
                             day = ParseLunarDay(in.day);
    if (!year) return Problem("请选择或输入正确的年份的数值！", InputField::Year);
    if (!month) return Problem("请选择或输入正确的月份的数值！", InputField::Month);
    if (!day) return Problem("请选择或输入正确的农历日期的数值！", InputField::Day);
    if (*month < 1 || *month > 12)
        return Problem("请选择或输入正确的农历月份值，月份的值应当是介于1与12之间的数值！", InputField::Month);
    if (*day < 1 || *day > 30)
        return Problem("请选择或输入正确的农历日期值，日期的值应当是介于1与30之间的数值！", InputField::Day);
    if (*year < LunarCalendar::FirstLunarYear() || *year > LunarCalendar::LastLunarYear())
        return Problem("请选择或输入正确的农历年份值，年份的值应当是介于" + N(LunarCalendar::FirstLunarYear()) + "与" +
                           N(LunarCalendar::LastLunarYear()) + "之间的数值！",
                       InputField::Year);
    const LunarDate date{*year, *month, *day, in.leapMonth};
    const auto found = calendar.GregorianDayOf(date);
    if (const auto* refusal = std::get_if<LunarRefusal>(&found))
        return Problem(RefusalMessage(date, *refusal), RefusalField(*refusal));
    return LunarTaken{date, std::get<sys_days>(found)};
}

ChartInput WithSolarDate(ChartInput input, sys_days day) {
    const year_month_day ymd{day};
    input.year = N(static_cast<int>(ymd.year()));
    input.month = N(static_cast<int>(static_cast<unsigned>(ymd.month())));
    input.day = N(static_cast<int>(static_cast<unsigned>(ymd.day())));
    input.lunar = false;
    input.leapMonth = false;
    return input;
}

std::variant<SolarRequest, InputProblem> SolarRequestOf(const ChartInput& input, const DataSource& data) {
    if (!input.lunar) {
        if (input.leapMonth) return Problem("闰月只用于农历日期：请选择农历，或去掉闰月标记。", InputField::Month);
        return SolarRequest{input, std::nullopt};
    }
    const auto checked = CheckLunarDate(input, LunarCalendar(data));
    if (const auto* problem = std::get_if<InputProblem>(&checked)) return *problem;
    const LunarTaken& taken = std::get<LunarTaken>(checked);
    return SolarRequest{WithSolarDate(input, taken.day), taken.lunar};
}

std::variant<ChartInput, InputProblem> SolarChartInput(const ChartInput& input, const DataSource& data) {
    auto solar = SolarRequestOf(input, data);
    if (auto* problem = std::get_if<InputProblem>(&solar)) return *problem;
    return std::move(std::get<SolarRequest>(solar).input);
}

std::optional<ChartInput> InOtherCalendar(const ChartInput& input, const DataSource& data) {
    try {
        const LunarCalendar calendar(data);
        if (input.lunar) {
            const auto checked = CheckLunarDate(input, calendar);
            if (const auto* taken = std::get_if<LunarTaken>(&checked)) return WithSolarDate(input, taken->day);
            return std::nullopt;
        }
        const auto y = ParseWholeNumber(input.year), m = ParseWholeNumber(input.month), d = ParseWholeNumber(input.day);
        if (!y || !m || !d || *y < kFirstYear || *y > kLastYear || !IsValidDate(*y, *m, *d)) return std::nullopt;
        const LunarDate lunar = calendar.LunarDateOf(sys_days{year{*y} / *m / *d});
        ChartInput out = input;
        out.year = N(lunar.year), out.month = LunarMonthName(lunar.month), out.day = LunarDayName(lunar.day);
        out.lunar = true, out.leapMonth = lunar.leap;
        return out;
    } catch (const DataError&) {
        return std::nullopt;
    }
}

}  // namespace paipan
