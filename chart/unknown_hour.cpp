// 时辰不详: the candidate rows of one clock day. The chart itself decides
// every pillar: it is run at the first clock minute of every stretch between
// two possible cuts (the 时辰 edges, true-solar midnight, the jie term), and
// neighbouring stretches with the same four pillars are joined.
#include "chart/unknown_hour.h"

#include <algorithm>
#include <chrono>
#include <optional>
#include <stdexcept>

namespace paipan {

// The result text (chart/unknown_hour_text.cpp).
ChartResult ComposeUnknownHourText(const ChartInput& input, const UnknownHourChart& chart, const Corvel_BZClass& first,
                                   const Corvel_BZClass& last, Colouring colouring);

namespace {

using std::chrono::minutes;
using ChartRun = std::variant<Corvel_BZClass, InputProblem, DataProblem>;
constexpr int kMinutesPerDay = 24 * 60;

// The chart of the clock minute `minute` (0 = 00:00) of the input's date, or
// the problem the press met.
class ChartRunner {
public:
    ChartRunner(const ChartInput& input, const DataSource& data) : input_(input), data_(data) {
        input_.unknownHour = false;
    }

    ChartRun At(int minute) {
        input_.hour = std::to_string(minute / 60);
        input_.minute = std::to_string(minute % 60);
        std::optional<Corvel_BZClass> chart;
        const ChartOutcome outcome = RunChartRequest(
            input_, data_, [&](const Corvel_BZClass& e, const ChartResult&) { chart = e; }, Colouring::None);
        if (const auto* p = std::get_if<InputProblem>(&outcome)) return *p;
        if (const auto* p = std::get_if<DataProblem>(&outcome)) return *p;
        chart->notifier = nullptr;  // the press's message sink is gone
        return std::move(*chart);
    }

private:
    ChartInput input_;
    DataSource data_;
};

// The clock minutes (after 00:00) at which a pillar may change: the odd
// hours and midnight of true solar time, and the jie term that follows the
// day's first minute when it falls within the day. `first` is the chart of
// 00:00; the clock and the true solar time move together all day (one
// longitude, one equation-of-time row for the clock date).
std::vector<int> CutMinutes(const Corvel_BZClass& first) {
    using namespace std::chrono;
    const DateTime t0 = first.InputTime;
    std::vector<int> cuts{0};
    for (auto h = ceil<hours>(t0); h < t0 + minutes(kMinutesPerDay); h += hours(1)) {
        const auto hourOfDay = duration_cast<hours>(h - floor<days>(h)).count();  // [0, 23]
        if (hourOfDay % 2 == 1 || hourOfDay == 0)
            cuts.push_back(static_cast<int>(duration_cast<minutes>(h - t0).count()));
    }
    if (first.NextJieQi > t0 && first.NextJieQi < t0 + minutes(kMinutesPerDay))
        cuts.push_back(static_cast<int>(duration_cast<minutes>(first.NextJieQi - t0).count()));
    std::sort(cuts.begin(), cuts.end());
    cuts.erase(std::unique(cuts.begin(), cuts.end()), cuts.end());
    return cuts;
}

DateTime ClockMinute(const CheckedClock& c, int minute) {
    return MakeDateTime(c.year, c.month, c.day) + minutes(minute);
}

HourCandidate CandidateFrom(const Corvel_BZClass& e, DateTime clockStart) {
    HourCandidate c;
    c.clockStart = c.clockEnd = clockStart;
    c.start = c.end = e.InputTime;
    c.pillars = e.bz;
    c.deity = e.gan_ss[3];
    for (std::size_t j = 0; j < 3; ++j) {
        if (e.cg_g[3][j] < 0) continue;
        c.hiddenStems[j] = e.cg_str[3][j];
        c.hiddenDeities[j] = e.cg_ss[3][j];
    }
    c.nayin = e.gz_ny[3];
    c.stage = e.GetSWB(e.bz[3][1]);
    if (c.stage.size() > 3 && c.stage.substr(c.stage.size() - 3) == "　") c.stage.resize(c.stage.size() - 3);
    c.palace = e.mg_str;
    return c;
}

struct Rows {
    std::vector<HourCandidate> candidates;
    std::vector<Corvel_BZClass> charts;  // the chart at each row's first minute
};

// Runs the chart at every cut and joins neighbours with the same pillars.
// The runner reads each clock minute on the birthplace's clock, as the chart
// does; the zone's standard offset is the same all day.
std::variant<Rows, InputProblem, DataProblem> CandidateRows(ChartRunner& runner, const CheckedClock& clock,
                                                            const Corvel_BZClass& first) {
    Rows rows;
    const std::vector<int> cuts = CutMinutes(first);
    for (std::size_t i = 0; i < cuts.size(); ++i) {
        ChartRun run = i == 0 ? ChartRun(first) : runner.At(cuts[i]);
        if (auto* p = std::get_if<InputProblem>(&run)) return *p;
        if (auto* p = std::get_if<DataProblem>(&run)) return *p;
        const Corvel_BZClass& e = std::get<Corvel_BZClass>(run);
        if (e.InputTime != first.InputTime + minutes(cuts[i]))
            throw std::logic_error("the true solar time does not move with the clock");
        const int last = i + 1 < cuts.size() ? cuts[i + 1] - 1 : kMinutesPerDay - 1;
        if (rows.candidates.empty() || rows.candidates.back().pillars != e.bz) {
            rows.candidates.push_back(CandidateFrom(e, ClockMinute(clock, cuts[i])));
            rows.charts.push_back(e);
        }
        rows.candidates.back().clockEnd = ClockMinute(clock, last);
        rows.candidates.back().end = e.InputTime + minutes(last - cuts[i]);
    }
    return rows;
}

// The luck start of every row, at its middle clock minute.
std::optional<DataProblem> AddLuckStarts(ChartRunner& runner, const CheckedClock& clock,
                                         std::vector<HourCandidate>& rows) {
    const DateTime midnight = ClockMinute(clock, 0);
    for (HourCandidate& row : rows) {
        const auto a = std::chrono::duration_cast<minutes>(row.clockStart - midnight).count();
        const auto b = std::chrono::duration_cast<minutes>(row.clockEnd - midnight).count();
        auto run = runner.At(static_cast<int>(a + (b - a) / 2));
        if (auto* p = std::get_if<DataProblem>(&run)) return *p;
        const Corvel_BZClass& e = std::get<Corvel_BZClass>(run);
        if (e.bz != row.pillars) throw std::logic_error("a row's middle has other pillars than its start");
        row.luckStart = BreakDownLuckStart(e.QiYunAge);
    }
    return std::nullopt;
}

// The year and month pillars change only at a jie term; the day pillar at
// 23:00 (the next day's 子 hour) or, under the night-zi rule, at midnight.
SplitCause CauseOf(int pillar, const Corvel_BZClass& after) {
    if (pillar < 2) return SplitCause::JieTerm;
    return after.shi == 23 ? SplitCause::LateZi : SplitCause::Midnight;
}

std::vector<PillarSplit> Splits(const Rows& rows) {
    std::vector<PillarSplit> splits;
    for (std::size_t r = 1; r < rows.candidates.size(); ++r) {
        const HourCandidate& row = rows.candidates[r];
        const Corvel_BZClass& e = rows.charts[r];
        for (int p = 0; p < 3; ++p) {
            const GanZhi before = rows.candidates[r - 1].pillars[static_cast<std::size_t>(p)];
            if (before == row.pillars[static_cast<std::size_t>(p)]) continue;
            PillarSplit s{row.start,           row.clockStart, p, before, row.pillars[static_cast<std::size_t>(p)],
                          static_cast<int>(r), CauseOf(p, e),  {}};
            if (s.cause == SplitCause::JieTerm) s.term = e.LastJieName;
            splits.push_back(std::move(s));
        }
    }
    return splits;
}

// Rows with the same year and month pillars, in order: one group, two on a
// jie day. Each gets its block (the chart of its longest row) and its luck.
void GroupRows(const Rows& rows, UnknownHourChart& chart) {
    const auto& c = rows.candidates;
    for (std::size_t r = 0; r < c.size(); ++r) {
        const bool sameGroup = r > 0 && c[r].pillars[0] == c[r - 1].pillars[0] &&
                               c[r].pillars[1] == c[r - 1].pillars[1];
        if (!sameGroup) chart.blockRows.emplace_back();
        chart.blockRows.back().push_back(static_cast<int>(r));
    }
    for (const std::vector<int>& group : chart.blockRows) {
        const int longest = *std::max_element(group.begin(), group.end(), [&](int a, int b) {
            return c[a].clockEnd - c[a].clockStart < c[b].clockEnd - c[b].clockStart;
        });
        const Corvel_BZClass& e = rows.charts[static_cast<std::size_t>(longest)];
        chart.blockCharts.push_back(e);
        LuckSequence luck{e.bz[1], e.isshun(e.bz, e.sex2), {}, group};
        std::copy(e.dy_gz.begin(), e.dy_gz.end(), luck.pillars.begin());
        chart.luck.push_back(std::move(luck));
    }
}

}  // namespace

int DisplayWidth(std::string_view utf8) {
    int width = 0;
    for (unsigned char b : utf8) {
        if ((b & 0xC0) == 0x80) continue;
        width += b < 0x80 ? 1 : 2;
    }
    return width;
}

UnknownHourOutcome RunUnknownHourRequest(const ChartInput& input, const DataSource& data, Colouring colouring) {
    ChartInput dayInput = input;
    dayInput.hour = "0";  // the hour and minute checks are skipped
    dayInput.minute = "0";
    auto checked = CheckChartInput(dayInput);
    if (auto* problem = std::get_if<InputProblem>(&checked)) return *problem;
    const CheckedClock& clock = std::get<CheckedClock>(checked);

    DataRowCache cache;  // the day's charts read each data row once
    ChartRunner runner(dayInput, DataSource(data.folder, data.rows ? data.rows : &cache));
    auto firstRun = runner.At(0);
    if (auto* p = std::get_if<InputProblem>(&firstRun)) return *p;
    if (auto* p = std::get_if<DataProblem>(&firstRun)) return *p;
    const Corvel_BZClass& first = std::get<Corvel_BZClass>(firstRun);

    auto rowsRun = CandidateRows(runner, clock, first);
    if (auto* p = std::get_if<InputProblem>(&rowsRun)) return *p;
    if (auto* p = std::get_if<DataProblem>(&rowsRun)) return *p;
    Rows& rows = std::get<Rows>(rowsRun);
    if (auto problem = AddLuckStarts(runner, clock, rows.candidates)) return *problem;

    UnknownHourChart chart;
    chart.splits = Splits(rows);
    GroupRows(rows, chart);
    chart.candidates = std::move(rows.candidates);
    try {
        chart.result = ComposeUnknownHourText(input, chart, first, rows.charts.back(), colouring);
    } catch (const DataError& e) {
        return DataProblem{e.what()};
    }
    for (Corvel_BZClass& c : chart.blockCharts) c.rowCache = nullptr;  // the rows die with this call
    return chart;
}

ChartOutcome RunPanelRequest(const ChartInput& input, const DataSource& data) {
    if (!input.unknownHour) return RunChartRequest(input, data);
    UnknownHourOutcome outcome = RunUnknownHourRequest(input, data);
    if (auto* p = std::get_if<InputProblem>(&outcome)) return std::move(*p);
    if (auto* p = std::get_if<DataProblem>(&outcome)) return std::move(*p);
    return std::move(std::get<UnknownHourChart>(outcome).result);
}

}  // namespace paipan
