// Main: one request in, the finished chart text out. The chart is built as
// sections, each kept in its own public field so that the result box can
// find it again and colour it; OutputStr is the header followed by every
// section. Columns are padded with U+3000 (2 display units) and ASCII spaces
// (1 unit): the four-pillar block runs in 11-unit columns after a 10-unit
// start, the luck and annual rows in 8-unit columns after a 6-unit start.
#include <stdexcept>
#include <string>

#include "chart/chart_sections.h"
#include "chart/corvel_bzclass.h"
#include "engine/luck_start.h"

namespace paipan {
namespace {

constexpr const char* kBr = "\r\n";

bool On(int sw) { return sw == 1; }  // a switch counts only when exactly 1

std::string Num(int n) { return std::to_string(n); }

// The minor-luck pillars of the years 0..N (N <= 12).
struct MinorLuck {
    int count = 0;
    std::array<GanZhi, 13> gz{};
    std::array<std::string, 13> str;
};

std::string PillarText(const Corvel_BZClass& e, GanZhi gz) { return e.GetG(gz[0]) + e.GetZ(gz[1]); }

std::string HeaderLines(const Corvel_BZClass& e) {
    std::string h = "姓名：" + e.name2 + "　　出生地：" + e.area2 + "　　" + e.s_realtime + kBr;
    h += "公历：" + e.GetBirthStr() + "　　农历：" + e.GetNongLiStr() + kBr;
    h += e.LastJQStr + "　　" + e.NextJQStr + kBr + kBr;
    return h;
}

std::string LuckStartLines(const LuckStart& start, DateTime jiaoYun) {
    const CivilTime j = ToCivil(jiaoYun);
    std::string s = "起运：命主于出生后" + Num(start.years) + "年" + Num(start.months) + "个月" + Num(start.days) +
                    "天" + Num(start.hours) + "小时开始起运" + kBr;
    s += "交运：命主于公历" + Num(j.year) + "年" + Num(j.month) + "月" + Num(j.day) + "日" + Num(j.hour) + "时交运" +
         kBr + kBr;
    return s;
}

// The writers of the sections (kChartSections) and their helpers, in print order.

std::string TopDeities(Corvel_BZClass& e, int /*handoverYear*/) {
    std::string s = " 　　　　 ";
    for (int k = 0; k < 4; ++k) s.append(e.gan_ss[k]).append("　　　 ");
    return s + kBr;
}

std::string PillarLabel(Corvel_BZClass& e, int /*handoverYear*/) {
    return std::string(kBr) + (e.sex2 != 0 ? "乾造：" : "坤造：") + "　 ";
}

std::string PillarRows(Corvel_BZClass& e, int /*handoverYear*/) {
    std::string s = " ";
    if (On(e.mode2)) {  // horizontal: the whole pillar on one line
        for (int k = 0; k < 4; ++k) s.append(e.gz_str[k]).append("　　　 ");
        return s + "(" + e.kwstr + "空)" + kBr;
    }
    for (int k = 0; k < 4; ++k) s.append(e.GetG(e.bz[k][0])).append("　　　　 ");
    s += "(" + e.kwstr + "空) " + kBr + "　　　　　";
    for (int k = 0; k < 4; ++k) s.append(e.GetZ(e.bz[k][1])).append("　　　　 ");
    return s + kBr;
}

std::string HiddenStemRows(Corvel_BZClass& e, int /*handoverYear*/) {
    std::string s;
    for (int j = 0; j < 3; ++j) {
        s += "　　　　　";
        for (int k = 0; k < 4; ++k) s.append(e.cg_str[k][j]).append(e.cg_ss[k][j]).append("　　 ");
        s += kBr;
    }
    return s;
}

std::string NaYinRow(Corvel_BZClass& e, int /*handoverYear*/) {
    std::string s = "纳音　　 ";
    for (int k = 0; k < 4; ++k) s.append("[").append(e.gz_ny[k]).append("]　 ");
    return s + kBr;
}

std::string StageRow(Corvel_BZClass& e, int /*handoverYear*/) {
    std::string s = "　　　　　 ";
    for (int k = 0; k < 4; ++k) s.append(e.GetSWB(e.bz[k][1])).append("　　　 ");
    return s + kBr;
}

std::string StarRows(Corvel_BZClass& e, int /*handoverYear*/) { return e.GetShenSha(e.bz, e.sex2) + kBr; }

std::string NaYinOf(const Corvel_BZClass& e, GanZhi gz) {
    const auto serial = e.GetSerial(gz[0], gz[1]);
    if (!serial) throw std::logic_error("a pillar of mixed polarity has no serial");
    return e.NaYin.at(static_cast<std::size_t>(*serial / 2));
}

// One row of eight 8-unit luck columns after `start`; cell(i) gives column i.
template <typename Cell>
std::string LuckRow(const std::string& start, Cell cell) {
    std::string s = start;
    for (int i = 0; i < 8; ++i) s += cell(i);
    return s + kBr;
}

std::string LuckStageRow(Corvel_BZClass& e, int /*handoverYear*/) {
    return LuckRow("　　　", [&](int i) { return e.GetSWB(e.dy_gz[i][1]) + "　　"; });
}

// 4-unit start: each bracketed name overhangs its column by one unit a side.
std::string LuckNaYinRow(Corvel_BZClass& e, int /*handoverYear*/) {
    return LuckRow("纳音", [&](int i) { return "[" + NaYinOf(e, e.dy_gz[i]) + "]"; });
}

std::string LuckDeityRow(Corvel_BZClass& e, int /*handoverYear*/) {
    return LuckRow("　　　", [&](int i) { return e.dy_ss[i] + "　　"; });
}

std::string LuckPillarRow(Corvel_BZClass& e, int /*handoverYear*/) {
    return LuckRow("大运：", [&](int i) { return e.dy_str[i] + "　　"; });
}

std::string LuckAgeRow(Corvel_BZClass& e, int yJ) {
    return LuckRow("　　　", [&](int i) {
        const int age = LuckPillarYearsOf(yJ, e.bz_year, i).age;
        // A one-digit age gets a space in front so that every column stays
        // 8 units wide. (Counting from the whole years of the luck start
        // would miss a first age of 10 or 11 after a start of 8 or 9 years.)
        return std::string(age < 10 ? " " : "") + Num(age) + "岁　　";
    });
}

// Column i holds the ten years of luck pillar i, from its start year down.
std::string AnnualTable(Corvel_BZClass& e, int yJ) {
    const auto years = [&](int i) { return LuckPillarYearsOf(yJ, e.bz_year, i); };
    std::string s = LuckRow("始于：", [&](int i) { return Num(years(i).startYear) + "　　"; });
    for (int r = 0; r < 10; ++r) {  // 80 pillars: written straight into the table
        s += r == 0 ? "流年：" : "　　　";
        for (int i = 0; i < 8; ++i) {
            const GanZhi gz = YearPillarOf(years(i).startYear + r);
            s.append(e.TianGan[static_cast<std::size_t>(gz[0])])
                .append(e.DiZhi[static_cast<std::size_t>(gz[1])])
                .append("　　");
        }
        s += kBr;
    }
    return s + LuckRow("止于：", [&](int i) { return Num(years(i).lastYear) + "　　"; }) + kBr;
}

std::string ExtraPillarLines(const Corvel_BZClass& e, const std::string& label, const std::string& text, int serial,
                             const ExtraPillar& gz) {
    std::string s = label + "：" + text;
    if (On(e.nyp2)) s += "[" + e.NaYin.at(static_cast<std::size_t>(serial / 2)) + "]　";
    s += std::string(kBr) + label + "神煞：";
    if (On(e.shenshap2)) {
        std::string stars = e.GetmgtyShenSha(e.bz, gz, e.sex2);
        s += e.c_mgtyshensha(stars);
    }
    return s + kBr + kBr;
}

MinorLuck MinorLuckPillars(const Corvel_BZClass& e, int years) {
    if (years < 0 || years > 12) throw std::logic_error("minor luck spans 0 to 12 years");
    MinorLuck m;
    m.count = years + 1;
    const bool forward = e.isshun(e.bz, e.sex2);
    for (int i = 0; i < m.count; ++i) {
        m.gz[i] = StepPillar(e.bz[3], forward ? i + 1 : -(i + 1));
        m.str[i] = PillarText(e, m.gz[i]);
    }
    return m;
}

std::string MinorLuckBlock(const Corvel_BZClass& e, const MinorLuck& m) {
    auto row = [&](const std::string& start, auto cell) {
        std::string s = start;
        for (int i = 0; i < m.count; ++i) s += cell(i);
        return s + kBr;
    };
    auto annual = [&](int i) { return YearPillarOf(e.bz_year + i); };
    std::string s;
    if (On(e.csp2)) s += row("　　　", [&](int i) { return e.GetSWB(m.gz[i][1]) + "　　"; });
    s += row("小运：", [&](int i) { return m.str[i] + "　　"; });
    if (On(e.csp2)) s += row("　　　", [&](int i) { return e.GetSWB(annual(i)[1]) + "　　"; });
    s += row("流年：", [&](int i) { return PillarText(e, annual(i)) + "　　"; });
    s += row("虚岁：", [&](int i) { return Num(i) + "岁　　 "; });
    return s + kBr;
}

std::string ConceptionLines(Corvel_BZClass& e, int /*handoverYear*/) {
    return ExtraPillarLines(e, "胎元", e.ty_str, e.ty_serial, e.ty_gz);
}

std::string PalaceLines(Corvel_BZClass& e, int /*handoverYear*/) {
    return ExtraPillarLines(e, "命宫", e.mg_str, e.mg_serial, e.mg_gz);
}

// The minor luck runs from birth up to the age the first luck pillar starts at.
std::string MinorLuckSection(Corvel_BZClass& e, int yJ) {
    const MinorLuck m = MinorLuckPillars(e, LuckPillarYearsOf(yJ, e.bz_year, 0).age);
    for (int i = 0; i < m.count; ++i) {  // later entries keep their old values
        e.xy_gz[i] = m.gz[i];
        e.xy_str[i] = m.str[i];
    }
    return MinorLuckBlock(e, m);
}

// The chart text: the header, then the sections in print order.
std::string JoinedText(std::string head, const Corvel_BZClass& e) {
    std::size_t size = head.size();
    for (const ChartSection& s : kChartSections) size += (e.*s.field).size();
    head.reserve(size);
    for (const ChartSection& s : kChartSections) head += e.*s.field;
    return head;
}

}  // namespace

using C = Corvel_BZClass;
using enum SectionPlace;
constexpr std::array<ChartSection, 16> kChartSections{{
    {"天干十神", &C::ssp2, &C::BZ_top_ss, TopDeities, kBlue, FirstOccurrence},
    {"乾造/坤造", nullptr, &C::BZ_qk, PillarLabel, kRed, FirstOccurrence},
    {"四柱", nullptr, &C::BZ_gzMain, PillarRows, kRed, AfterPrevious},
    {"藏干", &C::cgp2, &C::BZ_dzcg, HiddenStemRows, kBlue, AfterPrevious},
    {"纳音", &C::nyp2, &C::BZ_ny, NaYinRow, kGreen, FirstOccurrence},
    {"长生十二宫", &C::csp2, &C::BZ_cs, StageRow, kBrown, FirstOccurrence},
    {"神煞", &C::shenshap2, &C::BZ_ssa, StarRows, kMagenta, FirstOccurrence},
    {"大运长生", &C::csp2, &C::BZ_dycs, LuckStageRow, kBrown, FirstOccurrence},
    {"大运纳音", &C::nyp2, &C::BZ_dyny, LuckNaYinRow, kGreen, FirstOccurrence},
    {"大运十神", &C::ssp2, &C::BZ_dyss, LuckDeityRow, kBlue, FirstOccurrence},
    {"大运", &C::dyp2, &C::BZ_dy, LuckPillarRow, kRed, FirstOccurrence},
    {"大运岁数", &C::jyssp2, &C::BZ_dyxs, LuckAgeRow, kRed, FirstOccurrence},
    {"流年", &C::lnp2, &C::BZ_dyln, AnnualTable, kBlue, FirstOccurrence},
    {"胎元", &C::mgp2, &C::BZ_ty, ConceptionLines, kBrown, FirstOccurrence},
    {"命宫", &C::mgp2, &C::BZ_mg, PalaceLines, kBrown, FirstOccurrence},
    {"小运", &C::xyp2, &C::BZ_xy, MinorLuckSection, kBlue, FirstOccurrence},
}};

void Corvel_BZClass::Main() {
    if (!LunarDateSteps()) return;  // message shown; nothing of the chart changes
    CalJQ();
    GetEightWordInfo();
    GetKongWang();
    // Worked out whether or not the luck-start lines are shown.
    const LuckStart start = BreakDownLuckStart(QiYunAge);
    const DateTime jiaoYun = JiaoYunFrom(InputTime, start);
    const int yJ = ToCivil(jiaoYun).year;

    std::string head = HeaderLines(*this);
    if (On(qyp2)) head += LuckStartLines(start, jiaoYun);
    // Every section afresh: a section switched off is left empty.
    for (const ChartSection& s : kChartSections)
        this->*s.field = s.toggle == nullptr || On(this->*s.toggle) ? s.write(*this, yJ) : std::string();

    JiaoYunTime = jiaoYun;
    OutputStr = JoinedText(std::move(head), *this);
}

}  // namespace paipan
