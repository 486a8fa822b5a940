#include "engine/datetime.h"

namespace paipan {

using namespace std::chrono;

DateTime MakeDateTime(int y, int m, int d, int hh, int mm, int ss) {
    const year_month_day ymd{year{y}, month{static_cast<unsigned>(m)}, day{static_cast<unsigned>(d)}};
    return sys_days{ymd} + hours{hh} + minutes{mm} + seconds{ss};
}

CivilTime ToCivil(DateTime t) {
    const auto dayStart = floor<days>(t);
    const year_month_day ymd{dayStart};
    const hh_mm_ss<seconds> tod{t - dayStart};
    return {static_cast<int>(ymd.year()),
            static_cast<int>(static_cast<unsigned>(ymd.month())),
            static_cast<int>(static_cast<unsigned>(ymd.day())),
            static_cast<int>(tod.hours().count()),
            static_cast<int>(tod.minutes().count()),
            static_cast<int>(tod.seconds().count())};
}

bool IsValidDate(int y, int m, int d) {
    if (m < 1 || m > 12 || d < 1 || d > 31) return false;
    return year_month_day{year{y}, month{static_cast<unsigned>(m)}, day{static_cast<unsigned>(d)}}.ok();
}

int DaysInMonth(int y, int m) {
    const year_month_day_last last{year{y}, month_day_last{month{static_cast<unsigned>(m)}}};
    return static_cast<int>(static_cast<unsigned>(last.day()));  // [28, 31]
}

namespace {
DateTime AddClamped(DateTime t, months delta) {
    const auto dayStart = floor<days>(t);
    const auto timeOfDay = t - dayStart;
    year_month_day ymd{dayStart};
    ymd += delta;
    if (!ymd.ok()) ymd = ymd.year() / ymd.month() / last;  // 31 Jan + 1 month -> 28/29 Feb
    return sys_days{ymd} + timeOfDay;
}
}  // namespace

DateTime AddYearsClamped(DateTime t, int n) { return AddClamped(t, months{12 * n}); }
DateTime AddMonthsClamped(DateTime t, int n) { return AddClamped(t, months{n}); }

std::string DateTimeText(const CivilTime& t, bool padded) {
    const auto part = [padded](int n) {
        std::string text = std::to_string(n);
        if (padded && text.size() == 1) text.insert(text.begin(), '0');
        return text;
    };
    return std::to_string(t.year) + "年" + part(t.month) + "月" + part(t.day) + "日" + part(t.hour) + "时" +
           part(t.minute) + "分";
}

}  // namespace paipan
