// The luck-start breakdown. Three days between the birth and the adjacent jie
// term count as one year of life; one day as four months, and so on down to
// hours. The steps run in double precision in the traditional order, and only
// the hours are rounded, so a distance like 7.3 days ends on 24 hours rather
// than carrying into the days.
#include "engine/luck_start.h"

#include <algorithm>
#include <chrono>
#include <cmath>

namespace paipan {

double DayDifference(DateTime later, DateTime earlier) {
    const auto wholeMinutes = std::chrono::duration_cast<std::chrono::minutes>(later - earlier);
    return static_cast<double>(wholeMinutes.count()) / 1440.0;
}

LuckStart BreakDownLuckStart(double q) {
    LuckStart s;
    const double years = std::floor(q);
    const double months = std::floor((q - years) * 12);
    // When the months step lands exactly on a whole month (5.5 days of
    // distance: 1 year 10 months), the remainder can come out a hair below
    // zero; a negative day count would be nonsense, so it stays 0 (and the
    // hours then round to 0 as well).
    const double days = std::max(0.0, std::floor(((q - years) - months / 12) * 12 * 30));
    const double hours = std::floor(((q - years) - months / 12 - days / 12 / 30) * 12 * 30 * 24 + 0.5);
    s.years = static_cast<int>(years);
    s.months = static_cast<int>(months);  // [0, 11]
    s.days = static_cast<int>(days);      // [0, 29]
    s.hours = static_cast<int>(hours);    // [0, 24]
    return s;
}

DateTime JiaoYunFrom(DateTime birth, const LuckStart& start) {
    DateTime t = AddYearsClamped(birth, start.years);
    t = AddMonthsClamped(t, start.months);
    return t + std::chrono::days{start.days} + std::chrono::hours{start.hours};
}

}  // namespace paipan
