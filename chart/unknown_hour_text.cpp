// The 时辰不详 result as text: the fixed first line, the header, the three
// pillars in the chart's own columns (the hour column left unknown), the
// places where the day is split, the candidate table and the luck pillars.
// The three-pillar block keeps the chart's widths: 11-unit columns after a
// 10-unit start, coloured as the chart colours its sections.
#include <optional>
#include <string>
#include <vector>
#include <string_view>

#include "chart/unknown_hour.h"

namespace paipan {
namespace {

constexpr const char* kBr = "\r\n";

struct Rgb {
    std::uint8_t r, g, b;
};
constexpr Rgb kBlue{0, 0, 255}, kRed{255, 0, 0}, kGreen{0, 128, 0}, kBrown{192, 64, 0}, kMagenta{255, 0, 255};

bool On(int sw) { return sw == 1; }

std::string Num(long long n) { return std::to_string(n); }

// The text with its colour spans, built piece by piece.
class TextBuilder {
public:
    explicit TextBuilder(Colouring colouring) : colour_(colouring == Colouring::Spans) {}
    void Add(std::string_view piece) {
        text_.append(piece);
        units_ += Utf16Length(piece);
    }
    void Add(std::string_view piece, Rgb c) {
        if (colour_ && !piece.empty()) spans_.push_back({units_, Utf16Length(piece), c.r, c.g, c.b});
        Add(piece);
    }
    ChartResult Take() { return {std::move(text_), std::move(spans_)}; }

private:
    bool colour_;
    std::string text_;
    int units_ = 0;
    std::vector<ColourSpan> spans_;
};

// `text` followed by U+3000 (and one ASCII space for an odd rest) up to
// `width` display units.
std::string Pad(std::string text, int width) {
    int rest = width - DisplayWidth(text);
    for (; rest >= 2; rest -= 2) text += "　";
    if (rest == 1) text += ' ';
    return text;
}

std::string Two(int n) { return (n < 10 ? "0" : "") + Num(n); }

std::string ClockText(DateTime t) {  // "10:28"
    const CivilTime c = ToCivil(t);
    return Two(c.hour) + ":" + Two(c.minute);
}

std::string HourMinuteText(DateTime t) {  // "10时28分"
    const CivilTime c = ToCivil(t);
    return Num(c.hour) + "时" + Num(c.minute) + "分";
}

// "第3行", "第1至6行" for the 0-based rows a..b.
std::string RowsText(int a, int b) {
    return a == b ? "第" + Num(a + 1) + "行" : "第" + Num(a + 1) + "至" + Num(b + 1) + "行";
}

std::string PillarText(const Corvel_BZClass& e, GanZhi gz) { return e.GetG(gz[0]) + e.GetZ(gz[1]); }

// The lines "钟表时区＝…" (a clock that is not China's), "出生地方时间＝…" and
// "出生真太阳时＝…" of the chart's correction block: they hold for every
// minute of the clock day.
std::string CorrectionLines(const std::string& block) {
    std::string lines;
    for (std::size_t at = 0; at < block.size();) {
        std::size_t end = block.find(kBr, at);
        if (end == std::string::npos) end = block.size();
        const std::string_view line(block.data() + at, end - at);
        if (line.starts_with("钟表时区") || line.starts_with("出生地方时间") || line.starts_with("出生真太阳时"))
            lines.append(line).append(kBr);
        at = end + 2;
    }
    return lines;
}

void Header(TextBuilder& t, const ChartInput& in, const UnknownHourChart& chart, const Corvel_BZClass& first,
            const Corvel_BZClass& last) {
    const CivilTime day = ToCivil(chart.candidates.front().clockStart);
    Corvel_BZClass lunar;  // the lunar date of the clock date itself
    lunar.dataFolder = first.dataFolder;
    lunar.rowCache = first.rowCache;
    EngineRequest r;
    r.year = day.year, r.month = day.month, r.day = day.day, r.hour = 12, r.minute = 0;
    lunar.SetRequest(r);
    lunar.getNL();
    t.Add(std::string(kUnknownHourFirstLine) + kBr);
    t.Add("姓名：" + in.name + "　　出生地：" + in.place + "　　经度：" + in.longitude + "度" + in.longitudeMinutes +
          "分" + kBr);
    t.Add(CorrectionLines(first.s_realtime));
    t.Add("公历：" + Num(day.year) + "年" + Two(day.month) + "月" + Two(day.day) +
          "日（钟表日期，时辰不详）　　农历：" + lunar.GetNongLiStr() + kBr);
    t.Add(first.LastJQStr + "　　" + last.NextJQStr + kBr + kBr);
}

// The pillar row(s) with the hour column shown as unknown (不详).
std::string PillarRows(const Corvel_BZClass& e) {
    std::string s = " ";
    if (On(e.mode2)) {
        for (int k = 0; k < 3; ++k) s.append(e.gz_str[k]).append("　　　 ");
        return s + "不详　　　 (" + e.kwstr + "空)" + kBr;
    }
    for (int k = 0; k < 3; ++k) s.append(e.GetG(e.bz[k][0])).append("　　　　 ");
    s += "不　　　　 (" + e.kwstr + "空) " + kBr + "　　　　　";
    for (int k = 0; k < 3; ++k) s.append(e.GetZ(e.bz[k][1])).append("　　　　 ");
    return s + "详　　　　 " + kBr;
}

// The star lines of the three known pillars: the stars each of them gets
// from the year, month and day pillars alone; the hour column stays empty.
std::string ThreePillarStars(const Corvel_BZClass& e) {
    static constexpr const char* kLabels[] = {"[年干]", "[年支]", "[月支]", "[日干]", "[日支]"};
    std::string s = "神煞： \r\n";
    auto rows = e.GetShenShaLists(e.bz, e.sex2);
    for (std::size_t r = 0; r < rows.size(); ++r) {
        rows[r][3].clear();
        s += e.c_shensha(rows[r], kLabels[r]);
    }
    return s + kBr;
}

void Block(TextBuilder& t, const Corvel_BZClass& e) {
    if (On(e.ssp2)) {
        std::string s = " 　　　　 ";
        for (int k = 0; k < 3; ++k) s.append(e.gan_ss[k]).append("　　　 ");
        t.Add(s + kBr, kBlue);
    }
    t.Add(std::string(kBr) + (e.sex2 != 0 ? "乾造：" : "坤造：") + "　 ", kRed);
    t.Add(PillarRows(e), kRed);
    if (On(e.cgp2)) {
        std::string s;
        for (int j = 0; j < 3; ++j) {
            s += "　　　　　";
            for (int k = 0; k < 3; ++k) s.append(e.cg_str[k][j]).append(e.cg_ss[k][j]).append("　　 ");
            s += kBr;
        }
        t.Add(s, kBlue);
    }
    if (On(e.nyp2)) {
        std::string s = "纳音　　 ";
        for (int k = 0; k < 3; ++k) s.append("[").append(e.gz_ny[k]).append("]　 ");
        t.Add(s + kBr, kGreen);
    }
    if (On(e.csp2)) {
        std::string s = "　　　　　 ";
        for (int k = 0; k < 3; ++k) s.append(e.GetSWB(e.bz[k][1])).append("　　　 ");
        t.Add(s + kBr, kBrown);
    }
    if (On(e.shenshap2)) t.Add(ThreePillarStars(e), kMagenta);
}

void Blocks(TextBuilder& t, const UnknownHourChart& chart) {
    const std::size_t count = chart.blockCharts.size();
    for (std::size_t b = 0; b < count; ++b) {
        const std::vector<int>& rows = chart.blockRows[b];
        if (count > 1)
            t.Add(std::string(b == 0 ? "交节之前" : "交节之后") + "（" + RowsText(rows.front(), rows.back()) + "）：" +
                  kBr);
        Block(t, chart.blockCharts[b]);
        t.Add(kBr);
    }
}

const char* PillarName(int p) {
    static constexpr const char* kNames[] = {"年柱", "月柱", "日柱"};
    return kNames[p];
}

std::string Reason(const PillarSplit& s) {
    switch (s.cause) {
    case SplitCause::JieTerm: return "（" + s.term + "交节）";
    case SplitCause::LateZi: return "（真太阳时23时起为次日子时，未用夜子时排法）";
    case SplitCause::Midnight: return "（夜子时排法：日柱至真太阳时零点才换）";
    }
    return {};
}

// One line per moment at which pillars change; splits of the same moment
// (year and month at 立春) share it.
void SplitLines(TextBuilder& t, const UnknownHourChart& chart, const Corvel_BZClass& e) {
    const auto& splits = chart.splits;
    const int rows = static_cast<int>(chart.candidates.size());
    for (std::size_t i = 0; i < splits.size();) {
        const PillarSplit& s = splits[i];
        std::string changes;
        for (; i < splits.size() && splits[i].at == s.at; ++i) {
            const PillarSplit& p = splits[i];
            changes += std::string(changes.empty() ? "" : "，") + PillarName(p.pillar) + "由" +
                       PillarText(e, p.before) + "变为" + PillarText(e, p.after);
        }
        t.Add("分界：真太阳时" + DateTimeText(ToCivil(s.at), true) + "（钟表" + HourMinuteText(s.clockAt) + "）起，" +
                  changes + Reason(s) + "：" + RowsText(0, s.firstRowAfter - 1) + "在此之前，" +
                  RowsText(s.firstRowAfter, rows - 1) + "在此之后。" + kBr,
              kRed);
    }
    if (splits.empty()) t.Add(std::string("分界：无，当日各行年、月、日三柱相同。") + kBr, kRed);
}

// Under the night-zi rule a row from 23:00 true solar time keeps the
// calendar day's pillar while its hour stem is reckoned from the next day.
void NightZiLines(TextBuilder& t, const UnknownHourChart& chart, const Corvel_BZClass& e) {
    if (!On(e.zsp2)) return;
    for (std::size_t r = 0; r < chart.candidates.size(); ++r) {
        const HourCandidate& c = chart.candidates[r];
        if (ToCivil(c.start).hour != 23) continue;
        t.Add("夜子时：" + RowsText(static_cast<int>(r), static_cast<int>(r)) + "（真太阳时" + HourMinuteText(c.start) +
                  "至" + HourMinuteText(c.end) + "）按夜子时排法，日柱仍为当日之" + PillarText(e, c.pillars[2]) +
                  "，时柱" + PillarText(e, c.pillars[3]) + "之干按次日起。" + kBr,
              kRed);
    }
}

// The table's columns: heading, width in display units, colour; the
// switch that shows it (nullptr: always).
struct Column {
    const char* heading;
    int width;
    std::optional<Rgb> colour;
    int Corvel_BZClass::*sw;
};

const std::vector<Column>& Columns() {
    static const std::vector<Column> columns{{"行", 2, {}, nullptr},
                                             {"钟表时间", 11, {}, nullptr},
                                             {"真太阳时", 11, {}, nullptr},
                                             {"时柱", 4, kRed, nullptr},
                                             {"十神", 4, kBlue, &Corvel_BZClass::ssp2},
                                             {"藏干", 18, kBlue, &Corvel_BZClass::cgp2},
                                             {"纳音", 6, kGreen, &Corvel_BZClass::nyp2},
                                             {"长生", 4, kBrown, &Corvel_BZClass::csp2},
                                             {"命宫", 4, kBrown, &Corvel_BZClass::mgp2},
                                             {"起运（行中点）", 20, kRed, nullptr},
                                             {"另柱", 0, kRed, nullptr}};
    return columns;
}

std::string LuckStartText(const LuckStart& s) {
    return Num(s.years) + "年" + Num(s.months) + "个月" + Num(s.days) + "天" + Num(s.hours) + "小时";
}

// The pillars of a row that differ from the first three-pillar block.
std::string OtherPillars(const HourCandidate& c, const Corvel_BZClass& e) {
    static constexpr const char* kShort[] = {"年", "月", "日"};
    std::string s;
    for (std::size_t p = 0; p < 3; ++p) {
        if (c.pillars[p] == e.bz[p]) continue;
        s += std::string(s.empty() ? "" : "　") + kShort[p] + PillarText(e, c.pillars[p]);
    }
    return s;
}

std::vector<std::string> RowCells(const HourCandidate& c, int row, const Corvel_BZClass& e) {
    std::string hidden;
    for (std::size_t j = 0; j < 3; ++j) hidden += c.hiddenStems[j] + c.hiddenDeities[j];
    return {Num(row + 1),
            ClockText(c.clockStart) + "-" + ClockText(c.clockEnd),
            ClockText(c.start) + "-" + ClockText(c.end),
            PillarText(e, c.pillars[3]),
            c.deity,
            hidden,
            c.nayin,
            c.stage,
            c.palace,
            LuckStartText(c.luckStart),
            OtherPillars(c, e)};
}

void TableLine(TextBuilder& t, const std::vector<std::string>& cells, const Corvel_BZClass& e, bool heading) {
    const auto& columns = Columns();
    bool firstCell = true;
    for (std::size_t i = 0; i < columns.size(); ++i) {
        const Column& col = columns[i];
        if (col.sw != nullptr && !On(e.*col.sw)) continue;
        if (!firstCell) t.Add("　");
        firstCell = false;
        const std::string cell = i + 1 < columns.size() ? Pad(cells[i], col.width) : cells[i];
        if (heading)
            t.Add(cell, kBlue);
        else if (col.colour)
            t.Add(cell, *col.colour);
        else
            t.Add(cell);
    }
    t.Add(kBr);
}

void Table(TextBuilder& t, const UnknownHourChart& chart, const Corvel_BZClass& e) {
    std::vector<std::string> headings;
    for (const Column& col : Columns()) headings.emplace_back(col.heading);
    TableLine(t, headings, e, true);
    for (std::size_t r = 0; r < chart.candidates.size(); ++r)
        TableLine(t, RowCells(chart.candidates[r], static_cast<int>(r), e), e, false);
    t.Add(kBr);
}

void LuckLines(TextBuilder& t, const UnknownHourChart& chart, const Corvel_BZClass& e) {
    for (const LuckSequence& luck : chart.luck) {
        const std::string rows = chart.luck.size() == 1 ? "各行" : RowsText(luck.rows.front(), luck.rows.back());
        t.Add(rows + "　月柱" + PillarText(e, luck.monthPillar) + "　大运" + (luck.forward ? "顺行" : "逆行") + kBr);
        std::string s = "大运：";
        for (const GanZhi& gz : luck.pillars) s += PillarText(e, gz) + "　　";
        t.Add(s + kBr, kRed);
    }
    t.Add(std::string("起运：命主于出生后多少年、月、天、小时开始起运，按各行钟表时段的中点计算（见上表）；"
                      "交运之年与各步大运的岁数、小运与流年须待时辰确定后另行排盘。") +
          kBr);
}

}  // namespace

ChartResult ComposeUnknownHourText(const ChartInput& input, const UnknownHourChart& chart, const Corvel_BZClass& first,
                                   const Corvel_BZClass& last, Colouring colouring) {
    TextBuilder t(colouring);
    const Corvel_BZClass& e = chart.blockCharts.front();
    Header(t, input, chart, first, last);
    Blocks(t, chart);
    SplitLines(t, chart, e);
    NightZiLines(t, chart, e);
    t.Add(kBr);
    Table(t, chart, e);
    LuckLines(t, chart, e);
    return t.Take();
}

}  // namespace paipan
