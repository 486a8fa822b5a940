// 时辰不详: a birth whose clock date is known but not its hour. The clock day
// (00:00 to 23:59 at the given longitude) is cut into the longest stretches
// within which the chart's four pillars stay the same: at every 时辰 edge, at
// a jie term, and at true-solar midnight where the night-zi rule changes the
// day pillar there. Every stretch is found by running the chart itself at
// clock minutes of the day, so each row's pillars are the chart's for any
// clock time inside it. The result shows the year, month and day pillars with
// what they fix, says where the day is split, and lists the hour candidates.
//
// The clock is the birthplace's, read as the chart reads it (China's unless
// the input names another zone): the chart's own correction turns each clock
// minute into true solar time.
#pragma once

#include <array>
#include <filesystem>
#include <string>
#include <variant>
#include <vector>

#include "calendar/store.h"
#include "chart/chart_request.h"
#include "chart/corvel_bzclass.h"
#include "engine/luck_start.h"

namespace paipan {

// The first line of every 时辰不详 result.
inline constexpr const char* kUnknownHourFirstLine =
    "时辰不详：以下为年、月、日三柱及当日各时辰的时柱，未排小运与流年。";

// One hour candidate: a longest stretch of the clock day with one set of
// four pillars.
struct HourCandidate {
    DateTime clockStart{}, clockEnd{};         // first and last clock minute
    DateTime start{}, end{};                   // the same minutes in true solar time
    Pillars pillars{};                         // year, month, day, hour
    std::string deity;                         // ten deity of the hour stem
    std::array<std::string, 3> hiddenStems;    // "" where the branch has none
    std::array<std::string, 3> hiddenDeities;  // their ten deities
    std::string nayin;
    std::string stage;    // twelve life stage of the day stem at the hour branch, unpadded
    std::string palace;   // 命宫
    LuckStart luckStart;  // worked out at the middle minute of the row
};

// Why a year, month or day pillar changes inside the day.
enum class SplitCause {
    JieTerm,   // a jie term: the month pillar, and the year pillar at 立春
    LateZi,    // 23:00 true solar time without the night-zi rule: the next day begins
    Midnight,  // true-solar midnight under the night-zi rule
};

struct PillarSplit {
    DateTime at{};       // first true-solar minute under the new pillar
    DateTime clockAt{};  // the same minute on the clock
    int pillar = 0;      // 0 year, 1 month, 2 day
    GanZhi before{}, after{};
    int firstRowAfter = 0;  // index of the first candidate under the new pillar
    SplitCause cause = SplitCause::JieTerm;
    std::string term;  // JieTerm: the term's name, "立春"
};

// The eight luck pillars of the rows that share a year and month pillar.
struct LuckSequence {
    GanZhi monthPillar{};
    bool forward = true;
    std::array<GanZhi, 8> pillars{};
    std::vector<int> rows;  // indices into the candidates
};

struct UnknownHourChart {
    std::vector<HourCandidate> candidates;
    std::vector<PillarSplit> splits;
    std::vector<LuckSequence> luck;  // one, two on a jie day
    // One three-pillar block per stretch of rows with the same year and month
    // pillars (two on a jie day): the chart of its longest row, and the rows.
    std::vector<Corvel_BZClass> blockCharts;
    std::vector<std::vector<int>> blockRows;
    ChartResult result;  // the text, with its colour spans when asked for
};

using UnknownHourOutcome = std::variant<UnknownHourChart, InputProblem, DataProblem>;

// The 时辰不详 press: the input checks (the hour and minute texts are not
// read), the candidate rows and the result text in the chosen layout.
UnknownHourOutcome RunUnknownHourRequest(const ChartInput& input, const DataSource& data,
                                         Colouring colouring = Colouring::Spans);

// The press the request panel asks for: the chart, or with 时辰不详 checked
// the 时辰不详 result in the chart's place (the window shows either the same way).
ChartOutcome RunPanelRequest(const ChartInput& input, const DataSource& data);

// Display width of a chart text: a Chinese character or U+3000 two units, an
// ASCII character one.
int DisplayWidth(std::string_view utf8);

}  // namespace paipan
