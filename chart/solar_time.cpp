// The clock time of a press corrected to true solar time: the birth clock
// and its meridian, the longitude shift, the equation of time, and the
// correction block the chart's header carries.
#include <chrono>
#include <cmath>
#include <cstdint>
#include <cstdlib>

#include "calendar/zone_file.h"
#include "chart/chart_request.h"

namespace paipan {
namespace {

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
long long EquationShiftSeconds(int minE, int secE) { return minE * 60LL + (minE < 0 ? -secE : secE); }

const char* Sign(bool nonNegative) { return nonNegative ? "＋" : "－"; }

std::string MinutesSeconds(long long minutes, long long seconds) {
    return Num(std::llabs(minutes)) + "分" + Num(std::llabs(seconds)) + "秒";
}

}  // namespace

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

SolarTimeCorrection CorrectToTrueSolarTime(const ChartInput& in, const CheckedClock& c, int minE, int secE) {
    using namespace std::chrono;
    const BirthClock birthClock = BirthClockOf(in, c).value_or(BirthClock{});
    const long long l = LongitudeShiftSeconds(c, birthClock);
    const long long e = EquationShiftSeconds(minE, secE);
    const DateTime clock = MakeDateTime(c.year, c.month, c.day, c.hour, c.minute);
    // The minute that contains the corrected moment (also for shifts back
    // across midnight, month and year ends).
    const CivilTime t = ToCivil(floor<minutes>(clock + seconds{l + e}));

    std::string b = "经度：" + in.longitude + "度" + in.longitudeMinutes + "分" + kLineEnd + kLineEnd;
    b += "出生钟表时间＝" + in.year + "年" + in.month + "月" + in.day + "日" + in.hour + "时" + in.minute + "分" +
         kLineEnd;
    if (!birthClock.line.empty()) b += birthClock.line + kLineEnd;
    // The sign is that of the shift itself. For whole degrees that is the same
    // as "120° or more"; with a fraction of a degree just west of 120° the
    // minutes can outweigh the degrees, and the shift is then forward.
    b += std::string("出生地方时间＝出生钟表时间") + Sign(l >= 0) + MinutesSeconds(l / 60, l % 60) + kLineEnd;
    const bool eNonNegative = minE > 0 || (minE == 0 && secE >= 0);
    b += std::string("出生真太阳时＝出生地方时间") + Sign(eNonNegative) + MinutesSeconds(minE, secE) + kLineEnd;
    b += "实际出生时间＝" + DateTimeText(t, false) + kLineEnd + kLineEnd;
    return {t, b};
}

}  // namespace paipan
