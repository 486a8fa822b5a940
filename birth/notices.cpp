#include "birth/notices.h"

#include <cmath>
#include <cstdlib>
#include <optional>

#include "birth/birth_clock.h"
#include "birth/clock_zone.h"
#include "birth/gazetteer.h"
#include "birth/lunar_notices.h"
#include "chart/lunar_request.h"
#include "chart/corvel_bzclass.h"

namespace paipan {
namespace {

using std::chrono::minutes;
constexpr const char* kChinaZone = "Asia/Shanghai";

std::string N(int n) { return std::to_string(n); }

std::string ClockText(const CivilTime& t) { return N(t.hour) + "时" + N(t.minute) + "分"; }
std::string TimeText(const CivilTime& t) { return DateTimeText(t, false); }
std::string TimeText(DateTime t) { return TimeText(ToCivil(t)); }

// The four pillars and the jie terms around one moment, from the engine
// itself, so that the other side of a boundary is charted exactly as a birth
// there would be.
struct Snapshot {
    std::array<std::string, 4> pillars;  // year, month, day, hour
    DateTime lastJie{}, nextJie{};
    std::string lastJieName, nextJieName;  // "立春"
};

class Silent : public Notifier {
public:
    void ShowMessage(const std::string&, const std::string&) override {}
};

Snapshot SnapshotOf(const Corvel_BZClass& e) {
    Snapshot s;
    for (int i = 0; i < 4; ++i) s.pillars[i] = e.TianGan[e.bz[i][0]] + e.DiZhi[e.bz[i][1]];
    s.lastJie = e.LastJieQi, s.nextJie = e.NextJieQi;
    s.lastJieName = e.LastJieName, s.nextJieName = e.NextJieName;
    return s;
}

Snapshot ChartAt(DateTime t, bool male, bool nightZi, const DataSource& data) {
    const CivilTime c = ToCivil(t);
    Silent silent;
    Corvel_BZClass e;
    e.SetDataSource(data);
    e.notifier = &silent;
    e.SetRequest({.year = c.year,
                  .month = c.month,
                  .day = c.day,
                  .hour = c.hour,
                  .minute = c.minute,
                  .sex = male,
                  .name = {},
                  .place = {},
                  .lnp = 0,
                  .cgp = 0,
                  .ssp = 0,
                  .nyp = 0,
                  .shenshap = 0,
                  .csp = 0,
                  .mgp = 0,
                  .xyp = 0,
                  .zsp = nightZi});
    // Only the steps of the chart up to its four pillars and jie terms.
    e.getNL();
    e.CalJQ();
    e.GetEightWordInfo();
    return SnapshotOf(e);
}

DateTime TrueSolarMoment(const ChartInput& input, const CheckedClock& clock, const DataSource& data) {
    const auto eot = data.EquationOfTimeOf(clock.month, clock.day);
    const CivilTime c = CorrectToTrueSolarTime(input, clock, eot.min, eot.sec).corrected;
    return MakeDateTime(c.year, c.month, c.day, c.hour, c.minute);
}

// The birthplace's zone: the one given, else that of the gazetteer places
// the text names exactly when they share one, else China's clock.
std::string ZoneOf(const std::string& zone, const ChartInput& in, const std::vector<const Place*>& named) {
    if (!zone.empty()) return zone;
    if (!in.zone.empty()) return in.zone;
    if (named.empty()) return kChinaZone;
    for (const Place* p : named)
        if (p->zone != named.front()->zone) return kChinaZone;
    return named.front()->zone;
}

void ClockNotices(const CheckedClock& c, const std::string& zone, std::vector<Notice>& out) {
    const CivilTime clock{c.year, c.month, c.day, c.hour, c.minute, 0};
    const DateTime at = MakeDateTime(c.year, c.month, c.day, c.hour, c.minute);
    const auto info = ExamineClockTime(zone, clock);
    if (zone == kChinaZone && at >= MakeDateTime(1988, 4, 10, 2) && at < MakeDateTime(1988, 4, 17, 2)) {
        out.push_back({NoticeKind::DisputedStart,
                       "提示：1988年夏令时的开始日期说法不一：时区数据库记为4月17日，许多中国资料记为4月10日。"
                       "出生在这一周的，请核对当时钟表是否已拨快1小时；如已拨快，标准时间应减去1小时。"});
    }
    if (!info) return;
    using Kind = ClockTimeInZone::Kind;
    const std::string when = "钟表时间" + TimeText(clock) + "（时区 " + zone + "）";
    if (info->kind == Kind::DaylightSaving) {
        const int save = static_cast<int>(info->save.count());
        const std::string saveText = save % 60 == 0 ? N(save / 60) + "小时" : N(save) + "分钟";
        out.push_back({NoticeKind::DaylightSaving,
                       "提示：" + when + "正值夏令时（" + TimeText(info->periodStart) + "起至" +
                           TimeText(info->periodEnd) + "止，钟表拨快" + saveText + "），对应的标准时间为" +
                           TimeText(at - minutes{save}) +
                           "。本命盘按输入的钟表时间排出；如要按标准时间排盘，请把出生时间减去" + saveText + "。",
                       save});
    } else if (info->kind == Kind::Nonexistent) {
        out.push_back({NoticeKind::NonexistentTime,
                       "提示：" + when + "并不存在：当时钟表从" + TimeText(info->changedFrom) + "直接拨快到" +
                           ClockText(info->changedTo) + "。请核对出生时间；本命盘按输入的钟表时间排出。"});
    } else if (info->kind == Kind::Repeated) {
        out.push_back({NoticeKind::RepeatedTime, "提示：" + when + "出现过两次：当时钟表从" +
                                                     TimeText(info->changedFrom) + "拨回到" +
                                                     ClockText(info->changedTo) +
                                                     "，第一次是夏令时，第二次是标准时间。本命盘按输入的钟表时间排出；"
                                                     "如出生在第一次，标准时间应减去1小时。"});
    }
}

// The start of a notice near a boundary: the birth time, which side of the
// boundary it lies and how far, and what the other side would be.
std::string OtherSide(const std::string& birth, const std::string& boundary, const std::string& boundaryShort,
                      bool after, int gapMinutes) {
    return "提示：出生时间（真太阳时" + birth + "）在" + boundary + (after ? "之后" : "之前") + N(gapMinutes) +
           "分钟；如出生在" + boundaryShort + (after ? "之前" : "之后") + "，";
}

// "月柱为X、年柱为Y（本盘月柱Z）": the pillar that changes on the other side,
// the one next to it when that changes too, and this chart's own.
std::string PillarsOtherSide(const Snapshot& other, const Snapshot& here, int pillar, const char* name, int alsoPillar,
                             const char* alsoName) {
    std::string text = std::string(name) + "为" + other.pillars[pillar];
    if (other.pillars[alsoPillar] != here.pillars[alsoPillar])
        text += std::string("、") + alsoName + "为" + other.pillars[alsoPillar];
    return text + "（本盘" + name + here.pillars[pillar] + "）";
}

void JieNotice(DateTime t, const Snapshot& here, const ChartInput& in, const DataSource& data,
               std::vector<Notice>& out) {
    const auto before = t - here.lastJie;  // the term at or before the birth
    const auto after = here.nextJie - t;
    const bool nearLast = before <= minutes{30};
    if (!nearLast && after > minutes{30}) return;
    const std::string& name = nearLast ? here.lastJieName : here.nextJieName;
    // The term's moment as the chart's header line writes it.
    const std::string termTime = DateTimeText(ToCivil(nearLast ? here.lastJie : here.nextJie), true);
    const Snapshot other = ChartAt(nearLast ? here.lastJie - minutes{1} : here.nextJie, in.male, in.nightZi, data);
    const auto gap = std::chrono::duration_cast<minutes>(nearLast ? before : after).count();
    out.push_back({NoticeKind::JieTerm,
                   OtherSide(TimeText(t), name + "（" + termTime + "）", name, nearLast, static_cast<int>(gap)) +
                       PillarsOtherSide(other, here, 1, "月柱", 0, "年柱") + "，大运和起运时间也随之改变。"});
}

void HourNotice(DateTime t, const Snapshot& here, const ChartInput& in, const DataSource& data,
                std::vector<Notice>& out) {
    const CivilTime c = ToCivil(t);
    const int m = c.hour * 60 + c.minute;  // [0, 1439]
    for (int edge = 60; edge < 24 * 60; edge += 120) {
        const int d = m - edge;  // >= 0: born after the edge
        if (std::abs(d) > 10) continue;
        const DateTime otherSide = d >= 0 ? t - minutes{d + 1} : t + minutes{-d};
        const Snapshot other = ChartAt(otherSide, in.male, in.nightZi, data);
        out.push_back({NoticeKind::HourEdge, OtherSide(ClockText(c), N(edge / 60) + "时的时辰交界", N(edge / 60) + "时",
                                                       d >= 0, std::abs(d)) +
                                                 PillarsOtherSide(other, here, 3, "时柱", 2, "日柱") + "。"});
    }
}

void NightZiNotice(DateTime t, const Snapshot& here, const ChartInput& in, const DataSource& data,
                   std::vector<Notice>& out) {
    const CivilTime c = ToCivil(t);
    const int m = c.hour * 60 + c.minute;
    const bool inZi = m >= 23 * 60 || m < 60;
    if (!inZi && m < 23 * 60 - 10) return;
    const auto rule = [](bool nightZi) {
        return std::string(nightZi ? "夜子时方式（23时至0时仍用当天的日柱）" : "传统方式（23时起即用次日的日柱）");
    };
    // Just before 23:00 both rules agree; what differs is a birth from 23:00 on.
    const DateTime at = inZi ? t : MakeDateTime(c.year, c.month, c.day, 23);
    const Snapshot same = inZi ? here : ChartAt(at, in.male, in.nightZi, data);
    const Snapshot other = ChartAt(at, in.male, !in.nightZi, data);
    std::string text = "提示：出生时间（真太阳时" + ClockText(c) + "）" +
                       (inZi ? std::string("在子时（23时至1时）之内") : "临近子时（23时起）；如出生在23时之后") +
                       "，按本盘所用的" + rule(in.nightZi) + "，日柱为" + same.pillars[2] + "、时柱为" +
                       same.pillars[3] + "；按" + rule(!in.nightZi) + "，日柱为" + other.pillars[2] + "、时柱为" +
                       other.pillars[3] + "。";
    out.push_back({NoticeKind::NightZi, text});
}

// Which clock the chart read when it is not China's, in the words of the
// chart's own line.
void BirthClockNotice(const ChartInput& in, const CheckedClock& c, std::vector<Notice>& out) {
    const auto clock = BirthClockOf(in, c);
    if (!clock || clock->line.empty()) return;
    const std::string what = clock->line.substr(std::string("钟表时区＝").size());
    out.push_back({NoticeKind::BirthClock, "提示：出生钟表时间按" + what +
                                               (clock->localMean ? "读取，不作经度订正（出生地方时间即钟表时间）。"
                                                                 : "读取，出生地方时间从这条标准经线起算。")});
}

void AmbiguousPlaceNotice(const ChartInput& in, const std::vector<std::string>& places, std::vector<Notice>& out) {
    if (places.empty()) return;
    std::string list;
    for (const auto& name : places) list += (list.empty() ? "" : "、") + name;
    out.push_back({NoticeKind::AmbiguousPlace,
                   "提示：出生地区“" + in.place + "”可指不同时区的几个地点（" + list +
                       "），无法确定出生地的钟表时间，本命盘按北京时间（标准经线东经120°）读取出生时间；"
                       "请从地名列表中选定出生地点，或写出完整名称。"});
}

void LongitudeNotice(const ChartInput& in, const CheckedClock& c, const Place* place, std::vector<Notice>& out) {
    if (!place || c.degrees != 120 || c.minutes != 0 || std::fabs(place->longitude - 120) <= 1) return;
    const LongitudeBoxes b = LongitudeBoxesOf(place->longitude);
    out.push_back({NoticeKind::DefaultLongitude, "提示：经度是默认的120度0分，而出生地区“" + in.place + "”（" +
                                                     place->name + "）的经度约为" + LongitudeText(place->longitude) +
                                                     "，相差超过1度；如在该地出生，请把经度改为" + N(b.degrees) + "度" +
                                                     N(b.minutes) + "分。"});
}

// The notices of a checked request: of the finished chart when there is one,
// else (a data file could not be read) of what can be said without it.
std::vector<Notice> NoticesFor(const CheckedRequest& checked, const std::string& zone, const DataSource& data,
                               const std::vector<const Place*>& named, const Corvel_BZClass* chart) {
    std::vector<Notice> out;
    // A lunar date: its own notices, then those of the Gregorian request it stands for.
    if (checked.lunar && !AddLunarNotices(*checked.lunar, checked, data, chart, out)) return out;
    const ChartInput& input = checked.solar;
    const CheckedClock* clock = &checked.clock;
    const auto several = zone.empty() && input.zone.empty() ? PlacesInSeveralZones(named) : std::vector<std::string>{};
    BirthClockNotice(input, *clock, out);
    AmbiguousPlaceNotice(input, several, out);
    ClockNotices(*clock, several.empty() ? ZoneOf(zone, input, named) : kChinaZone, out);
    try {
        // A finished chart holds the corrected moment (InputTime) already.
        const DateTime t = chart ? chart->InputTime : TrueSolarMoment(input, *clock, data);
        const Snapshot here = chart ? SnapshotOf(*chart) : ChartAt(t, input.male, input.nightZi, data);
        JieNotice(t, here, input, data, out);
        HourNotice(t, here, input, data, out);
        NightZiNotice(t, here, input, data, out);
    } catch (const DataError&) {
        // The chart itself reports the missing file; no boundary notices then.
    }
    if (several.empty()) LongitudeNotice(input, *clock, BestNamed(named), out);
    return out;
}

// The gazetteer places the place text names: from the gazetteer the caller
// holds, else only those rows read from the file.
class NamedPlaces {
public:
    NamedPlaces(const ChartInput& input, const DataSource& data, const Gazetteer* gazetteer) {
        if (gazetteer) {
            named_ = gazetteer->AllNamed(input.place);
            return;
        }
        try {
            read_ = PlacesNamed(data.folder / kGazetteerFileName, input.place);
        } catch (const DataError&) {
            // Without the gazetteer the place gives neither zone nor longitude.
        }
        for (const Place& p : read_) named_.push_back(&p);
    }
    const std::vector<const Place*>& named() const { return named_; }

private:
    std::vector<Place> read_;
    std::vector<const Place*> named_;
};

// A request whose chart could not be made for want of a data file: what its
// checks alone tell (none when it fails them).
std::vector<Notice> NoticesWithoutChart(const ChartInput& input, const std::string& zone, const DataSource& data,
                                        const Gazetteer* gazetteer) {
    try {
        const auto solar = SolarRequestOf(input, data);
        const auto* request = std::get_if<SolarRequest>(&solar);
        if (!request) return {};
        const auto clock = CheckChartInput(request->input);
        if (!std::holds_alternative<CheckedClock>(clock)) return {};
        const CheckedRequest checked{request->input, std::get<CheckedClock>(clock), request->lunar};
        return NoticesFor(checked, zone, data, NamedPlaces(request->input, data, gazetteer).named(), nullptr);
    } catch (const DataError&) {
        return {};  // the calendar file itself: the chart reports it
    }
}

}  // namespace

std::vector<Notice> NoticesOfChart(const CheckedRequest& checked, const std::string& zone, const DataSource& data,
                                   const Gazetteer* gazetteer, const Corvel_BZClass& chart) {
    return NoticesFor(checked, zone, data, NamedPlaces(checked.solar, data, gazetteer).named(), &chart);
}

std::vector<Notice> ChartNotices(const ChartInput& input, const std::string& zone, const DataSource& data,
                                 const Gazetteer* gazetteer) {
    std::optional<std::vector<Notice>> notices;
    const ChartOutcome outcome = RunChartRequest(
        input, data,
        [&](const CheckedRequest& checked, const Corvel_BZClass& chart, const ChartResult&) {
            notices = NoticesOfChart(checked, zone, data, gazetteer, chart);
        },
        Colouring::None);
    if (notices) return std::move(*notices);
    if (!std::holds_alternative<DataProblem>(outcome)) return {};
    return NoticesWithoutChart(input, zone, data, gazetteer);
}

std::vector<std::string> NoticeTexts(std::vector<Notice> notices) {
    std::vector<std::string> texts;
    for (auto& n : notices) texts.push_back(std::move(n.text));
    return texts;
}

std::vector<std::string> ChartNoticeTexts(const ChartInput& input, const std::string& zone, const DataSource& data) {
    return NoticeTexts(ChartNotices(input, zone, data));
}

}  // namespace paipan
