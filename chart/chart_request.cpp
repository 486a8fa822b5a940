// One 排盘 press without the window: check the inputs (chart/input_checks.cpp),
// correct the clock time to true solar time (chart/solar_time.cpp), run the
// engine and frame its chart with the notice, the reminder and the footer
// (chart/chart_frame.cpp), and say which pieces to colour
// (chart/colour_spans.cpp).
#include "chart/chart_request.h"

#include "chart/corvel_bzclass.h"
#include "chart/lunar_request.h"

namespace paipan {
namespace {

// Engine messages (the date check of Main) become an input problem.
class MessageRecorder : public Notifier {
public:
    void ShowMessage(const std::string& text, const std::string& caption) override {
        if (!message) message = InputProblem{text, caption, MessageIcon::None, InputField::None, {}};
    }
    std::optional<InputProblem> message;
};

// The request panel's sections as the engine's switches; the luck-pillar
// row, its age row and the luck-start lines have no box and are always on.
EngineRequest RequestFor(const ChartInput& in, const SolarTimeCorrection& solar) {
    const CivilTime& t = solar.corrected;
    return {.year = t.year,
            .month = t.month,
            .day = t.day,
            .hour = t.hour,
            .minute = t.minute,
            .sex = in.male,
            .name = in.name,
            .place = in.place,
            .mode = in.horizontal,
            .lnp = in.annual,
            .cgp = in.hiddenStems,
            .ssp = in.deities,
            .nyp = in.nayin,
            .shenshap = in.stars,
            .csp = in.stages,
            .mgp = in.palace,
            .xyp = in.minorLuck,
            .zsp = in.nightZi,
            .realtime = solar.block};
}

}  // namespace

ChartOutcome RunChartRequest(const ChartInput& input, const DataSource& data) {
    return RunChartRequest(input, data, ChartInspector());
}

ChartOutcome RunChartRequest(const ChartInput& input, const DataSource& data, const ChartInspector& inspect,
                             Colouring colouring) {
    CheckedChartInspector checkedInspect;
    if (inspect)
        checkedInspect = [&](const CheckedRequest&, const Corvel_BZClass& e, const ChartResult& r) { inspect(e, r); };
    return RunChartRequest(input, data, checkedInspect, colouring);
}

ChartOutcome RunChartRequest(const ChartInput& typed, const DataSource& data, const CheckedChartInspector& inspect,
                             Colouring colouring) {
    // A lunar date is charted as the Gregorian day it is (chart/lunar_request.h).
    std::optional<SolarRequest> lunar;
    if (typed.lunar || typed.leapMonth) {
        std::variant<SolarRequest, InputProblem> solar;
        try {
            solar = SolarRequestOf(typed, data);
        } catch (const DataError& e) {
            return DataProblem{e.what()};
        }
        if (auto* problem = std::get_if<InputProblem>(&solar)) return *problem;
        lunar = std::move(std::get<SolarRequest>(solar));
    }
    const ChartInput& input = lunar ? lunar->input : typed;
    auto checked = CheckChartInput(input);
    if (auto* problem = std::get_if<InputProblem>(&checked)) return *problem;
    const CheckedClock& clock = std::get<CheckedClock>(checked);
    if (auto problem = CheckBirthZone(input, clock)) return *problem;
    try {
        // Looked up by the checked month and day numbers, never by the box texts.
        const EquationOfTimeRow eot = data.EquationOfTimeOf(clock.month, clock.day);
        const SolarTimeCorrection solar = CorrectToTrueSolarTime(input, clock, eot.min, eot.sec);

        MessageRecorder recorder;
        Corvel_BZClass engine;
        engine.SetDataSource(data);
        engine.notifier = &recorder;
        engine.SetRequest(RequestFor(input, solar));
        engine.Main();
        if (recorder.message) return *recorder.message;
        ChartResult result = ComposeChartResult(engine, input.nightZi, colouring);
        if (inspect) inspect({input, clock, lunar ? lunar->lunar : std::nullopt}, engine, result);
        return result;
    } catch (const DataError& e) {
        return DataProblem{e.what()};
    }
}

}  // namespace paipan
