// Main: one request in, the finished chart text out. The chart is built as
// sections, each kept in its own public field so that the result box can
// find it again and colour it; OutputStr is the header followed by every
// section. Columns are padded with U+3000 (2 display units) and ASCII spaces
// (1 unit): the four-pillar block runs in 11-unit columns after a 10-unit
// start, the luck and annual rows in 8-unit columns after a 6-unit start.
#include <stdexcept>
#include <string>

#include "chart/corvel_bzclass.h"
#include "engine/luck_start.h"

namespace paipan {
namespace {

constexpr const char* kBr = "\r\n";

bool On(int sw) { return sw == 1; }  // a switch counts only when exactly 1

std::string Num(int n) { return std::to_string(n); }

// The sections of one chart, built fresh on every Main.
struct Sections {
    std::string top_ss, qk, gzMain, dzcg, ny, cs, ssa, dycs, dyny, dyss, dy, dyxs, dyln, ty, mg,
        xy;
};

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
    std::string s = "起运：命主于出生后" + Num(start.years) + "年" + Num(start.months) + "个月" +
                    Num(start.days) + "天" + Num(start.hours) + "小时开始起运" + kBr;
    s += "交运：命主于公历" + Num(j.year) + "年" + Num(j.month) + "月" + Num(j.day) + "日" +
         Num(j.hour) + "时交运" + kBr + kBr;
    return s;
}

std::string PillarRows(const Corvel_BZClass& e) {
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

std::string HiddenStemRows(const Corvel_BZClass& e) {
    std::string s;
    for (int j = 0; j < 3; ++j) {
        s += "　　　　　";
        for (int k = 0; k < 4; ++k) s.append(e.cg_str[k][j]).append(e.cg_ss[k][j]).append("　　 ");
        s += kBr;
    }
    return s;
}

void PillarBlock(const Corvel_BZClass& e, Sections& s) {
    if (On(e.ssp2)) {
        s.top_ss = " 　　　　 ";
        for (int k = 0; k < 4; ++k) s.top_ss.append(e.gan_ss[k]).append("　　　 ");
        s.top_ss += kBr;
    }
    s.qk = std::string(kBr) + (e.sex2 != 0 ? "乾造：" : "坤造：") + "　 ";
    s.gzMain = PillarRows(e);
    if (On(e.cgp2)) s.dzcg = HiddenStemRows(e);
    if (On(e.nyp2)) {
        s.ny = "纳音　　 ";
        for (int k = 0; k < 4; ++k) s.ny.append("[").append(e.gz_ny[k]).append("]　 ");
        s.ny += kBr;
    }
    if (On(e.csp2)) {
        s.cs = "　　　　　 ";
        for (int k = 0; k < 4; ++k) s.cs.append(e.GetSWB(e.bz[k][1])).append("　　　 ");
        s.cs += kBr;
    }
    if (On(e.shenshap2)) s.ssa = e.GetShenSha(e.bz, e.sex2) + kBr;
}

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

void LuckRows(const Corvel_BZClass& e, int yJ, Sections& s) {
    if (On(e.csp2))
        s.dycs = LuckRow("　　　", [&](int i) { return e.GetSWB(e.dy_gz[i][1]) + "　　"; });
    if (On(e.nyp2))  // 4-unit start: each bracketed name overhangs its column by one unit a side
        s.dyny = LuckRow("纳音", [&](int i) { return "[" + NaYinOf(e, e.dy_gz[i]) + "]"; });
    if (On(e.ssp2)) s.dyss = LuckRow("　　　", [&](int i) { return e.dy_ss[i] + "　　"; });
    if (On(e.dyp2)) s.dy = LuckRow("大运：", [&](int i) { return e.dy_str[i] + "　　"; });
    if (On(e.jyssp2)) {
        s.dyxs = LuckRow("　　　", [&](int i) {
            const int age = (yJ - e.bz_year) + 10 * i;
            // A one-digit age gets a space in front so that every column stays
            // 8 units wide. (Counting from the whole years of the luck start
            // would miss a first age of 10 or 11 after a start of 8 or 9 years.)
            return std::string(age < 10 ? " " : "") + Num(age) + "岁　　";
        });
    }
}

std::string AnnualTable(const Corvel_BZClass& e, int yJ) {
    std::string s = LuckRow("始于：", [&](int i) { return Num(yJ + 10 * i) + "　　"; });
    for (int r = 0; r < 10; ++r) {  // 80 pillars: written straight into the table
        s += r == 0 ? "流年：" : "　　　";
        for (int i = 0; i < 8; ++i) {
            const GanZhi gz = YearPillarOf(yJ + r + 10 * i);
            s.append(e.TianGan[static_cast<std::size_t>(gz[0])])
                .append(e.DiZhi[static_cast<std::size_t>(gz[1])])
                .append("　　");
        }
        s += kBr;
    }
    return s + LuckRow("止于：", [&](int i) { return Num(yJ + 9 + 10 * i) + "　　"; }) + kBr;
}

std::string ExtraPillarLines(const Corvel_BZClass& e, const std::string& label,
                             const std::string& text, int serial, const ExtraPillar& gz) {
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

// The chart text: the header, then the sections in print order.
std::string JoinedText(std::string head, const Sections& s) {
    const std::string* const pieces[] = {&s.top_ss, &s.qk, &s.gzMain, &s.dzcg, &s.ny, &s.cs,
                                         &s.ssa, &s.dycs, &s.dyny, &s.dyss, &s.dy, &s.dyxs,
                                         &s.dyln, &s.ty, &s.mg, &s.xy};
    std::size_t size = head.size();
    for (const std::string* piece : pieces) size += piece->size();
    head.reserve(size);
    for (const std::string* piece : pieces) head += *piece;
    return head;
}

}  // namespace

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
    Sections s;
    PillarBlock(*this, s);
    LuckRows(*this, yJ, s);
    if (On(lnp2)) s.dyln = AnnualTable(*this, yJ);
    if (On(mgp2)) {
        s.ty = ExtraPillarLines(*this, "胎元", ty_str, ty_serial, ty_gz);
        s.mg = ExtraPillarLines(*this, "命宫", mg_str, mg_serial, mg_gz);
    }
    if (On(xyp2)) {
        const MinorLuck m = MinorLuckPillars(*this, yJ - bz_year);
        s.xy = MinorLuckBlock(*this, m);
        for (int i = 0; i < m.count; ++i) {  // later entries keep their old values
            xy_gz[i] = m.gz[i];
            xy_str[i] = m.str[i];
        }
    }

    JiaoYunTime = jiaoYun;
    OutputStr = JoinedText(std::move(head), s);
    BZ_top_ss = std::move(s.top_ss), BZ_qk = std::move(s.qk), BZ_gzMain = std::move(s.gzMain);
    BZ_dzcg = std::move(s.dzcg), BZ_ny = std::move(s.ny), BZ_cs = std::move(s.cs);
    BZ_ssa = std::move(s.ssa), BZ_dycs = std::move(s.dycs), BZ_dyny = std::move(s.dyny);
    BZ_dyss = std::move(s.dyss), BZ_dy = std::move(s.dy), BZ_dyxs = std::move(s.dyxs);
    BZ_dyln = std::move(s.dyln), BZ_ty = std::move(s.ty), BZ_mg = std::move(s.mg), BZ_xy = std::move(s.xy);
}

}  // namespace paipan
