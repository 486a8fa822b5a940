// The Gregorian month before or after a given one, across year ends: the
// solar-term and lunar-date lookups step into the neighbouring month's row.
#pragma once

#include <chrono>

namespace paipan {

struct YearMonth {
    int year = 0;
    int month = 0;  // [1, 12]
};

// year-month moved by `delta` months (December + 1 is January of the next year).
inline YearMonth MonthStep(int year, int month, int delta) {
    using namespace std::chrono;
    const year_month ym = std::chrono::year{year} / std::chrono::month{static_cast<unsigned>(month)} + months{delta};
    return {static_cast<int>(ym.year()), static_cast<int>(static_cast<unsigned>(ym.month()))};
}

}  // namespace paipan
