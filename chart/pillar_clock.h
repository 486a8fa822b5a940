// The clock reading to chart a stretch the pillar search found: the search
// works in corrected (true solar) time, a birth is entered on a clock. The
// clock reading is found by running the chart's own correction forward, so
// a 排盘 press with it lands inside the stretch.
#pragma once

#include <filesystem>
#include <functional>
#include <optional>
#include <string>

#include "calendar/pillar_search.h"
#include "chart/chart_request.h"
#include "engine/datetime.h"

namespace paipan {

// A clock reading at the birthplace turned into corrected time (seconds 0),
// exactly as a 排盘 press corrects it; nothing when no chart can be made of
// that reading (a year outside the span, a bad longitude).
using ClockCorrection = std::function<std::optional<CivilTime>(const CivilTime& clock)>;

// The birthplace's clock as a chart reads it: the longitude boxes and the
// clock (zone and place) of `birthplace`, whose date and time are replaced by
// each reading, with the equation of time of the clock date from the data
// data's taiyang table. China's clock (UTC+8, from 120°E) unless the input
// names another zone.
ClockCorrection BirthplaceClockCorrection(const ChartInput& birthplace, const DataSource& data);

// China's clock read at the longitude of the two boxes (degrees, minutes).
ClockCorrection ChinaClockCorrection(const std::string& degrees, const std::string& minutes, const DataSource& data);

// The first clock minute whose corrected time lies at least one minute inside
// the stretch (at its start when the stretch is a single minute, or when the
// correction skips the minute after the start); nothing when no clock minute
// lands inside it.
std::optional<CivilTime> SuggestClockTime(const PillarInterval& interval, const ClockCorrection& correct);

// "1990-05-08 14:05" ('T' in place of the space for JSON).
std::string MinuteText(const CivilTime& t, char separator = ' ');

}  // namespace paipan
