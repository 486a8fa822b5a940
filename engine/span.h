// The years the program charts: births from 1 January of the first year to
// 31 December of the last. The calendar data, the year list, the input
// checks, the help texts and the messages all take the span from here.
#pragma once

#include <string>

namespace paipan {

inline constexpr int kFirstYear = 1800;
inline constexpr int kLastYear = 2100;

// "1800" / "2100", for the texts that name the span.
inline std::string FirstYearText() { return std::to_string(kFirstYear); }
inline std::string LastYearText() { return std::to_string(kLastYear); }

}  // namespace paipan
