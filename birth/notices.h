// The notices around a chart: what of the birth moment the chart hangs on.
// Daylight-saving time and clock changes in the birthplace's zone, a birth
// minutes from a jie term, from a 时辰 edge or in the night 子时 (with the
// pillars the chart would have on the other side), and a default longitude
// far from the named place. The chart text itself never changes; the window
// shows these beside it, the command line on stderr.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include "calendar/store.h"
#include "chart/chart_request.h"

namespace paipan {

enum class NoticeKind {
    DaylightSaving,   // the clock time fell in summer time
    DisputedStart,    // the week of 1988 whose summer time start is disputed
    NonexistentTime,  // clocks jumped over the clock time
    RepeatedTime,     // clocks turned back over it: it happened twice
    JieTerm,
    HourEdge,  // 时辰 boundary
    NightZi,
    DefaultLongitude,
    BirthClock,      // the clock read is not China's: which one, and its meridian
    AmbiguousPlace,  // the place's name covers places in several zones
    LunarDate,       // a lunar date typed: its Gregorian day, a 农历 line past midnight
};

struct Notice {
    NoticeKind kind;
    std::string text;      // one line, beginning "提示："
    int shiftMinutes = 0;  // DaylightSaving: the summer-time offset, for the 按标准时间 action
};

// The notices of a chart the press has made, from what it checked and the
// finished engine: nothing is checked, corrected or charted again (only the
// other side of a boundary is charted). The places the text names come from
// `gazetteer` when the caller holds one, else from the gazetteer file.
class Gazetteer;
class Corvel_BZClass;
std::vector<Notice> NoticesOfChart(const CheckedRequest& checked, const std::string& zone, const DataSource& data,
                                   const Gazetteer* gazetteer, const Corvel_BZClass& chart);

// The notices for a typed chart request, the press run once for them (none
// for a request it refuses; for one a data file stops, what the checks alone
// tell). `zone` is the IANA zone of the birthplace chosen from the
// gazetteer; when empty, `input.zone`, else the zone of the gazetteer places
// `input.place` names exactly, else China's clock (Asia/Shanghai). Data files
// come from `data`, the places named from `gazetteer` or the file; a missing
// gazetteer only drops the notices that need it.
std::vector<Notice> ChartNotices(const ChartInput& input, const std::string& zone, const DataSource& data,
                                 const Gazetteer* gazetteer = nullptr);

// The notices' texts, in order.
std::vector<std::string> NoticeTexts(std::vector<Notice> notices);
// The same notices as plain texts, in order.
std::vector<std::string> ChartNoticeTexts(const ChartInput& input, const std::string& zone, const DataSource& data);

}  // namespace paipan
