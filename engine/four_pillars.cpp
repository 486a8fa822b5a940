// The four pillars and everything the chart takes straight from them: serials,
// sound elements, texts, ten deities, hidden stems, the eight luck pillars,
// the luck-start measure, the conception pillar (胎元) and the life palace (命宫).
#include <chrono>
#include <stdexcept>

#include "engine/luck_start.h"
#include "engine/pillar_engine.h"
#include "engine/pillar_rules.h"

namespace paipan {

int DaysSinceJiaZiDay(int y, int m, int d) {
    using namespace std::chrono;
    const sys_days epoch{year{1881} / November / 26};
    const sys_days date{year{y} / month{static_cast<unsigned>(m)} / day{static_cast<unsigned>(d)}};
    return static_cast<int>((date - epoch).count());
}

Pillars PillarsAt(int solarYear, int solarMonth, int y, int m, int d, int hour, bool nightZi) {
    Pillars p{};
    p[0] = YearPillarOf(solarYear);

    const int monthBranch = MonthBranchOf(solarMonth);
    p[1] = {MonthStemOf(monthBranch, p[0][0]), monthBranch};

    // From 23:00 the day pillar is the next day's.
    const int days = DaysSinceJiaZiDay(y, m, d) + (hour == 23 ? 1 : 0);
    p[2] = {Mod(days, 10), Mod(days, 12)};

    const int hourBranch = HourBranchOf(hour);
    p[3] = {HourStemOf(hourBranch, p[2][0]), hourBranch};

    if (nightZi && hour == 23) {
        // Night zi (夜子时): the calendar day keeps its own day pillar, while
        // the hour keeps the stem reckoned from the next day.
        p[2] = StepPillar(p[2], -1);
    }
    return p;
}

namespace {

int SerialOf(const PillarEngine& e, int g, int z) {
    const auto serial = e.GetSerial(g, z);
    if (!serial) throw std::logic_error("GetEightWordInfo: stem and branch of different polarity");
    return *serial;
}

// Serial, sound element, text, stem deity and hidden stems of each pillar.
void FillPillarDetails(PillarEngine& e) {
    const int dayStem = e.bz[2][0];
    for (std::size_t k = 0; k < 4; ++k) {
        const auto [stem, branch] = e.bz[k];
        e.gz_serial[k] = SerialOf(e, stem, branch);
        e.gz_ny[k] = e.NaYin[static_cast<std::size_t>(e.gz_serial[k] / 2)];
        e.gz_str[k] = e.GetG(stem) + e.GetZ(branch);
        e.gan_ss[k] = k == 2 ? "日主" : e.GetTenDeity(dayStem, stem);
        for (std::size_t j = 0; j < 3; ++j) {
            const int hidden = e.CangGan[static_cast<std::size_t>(branch)][j];
            e.cg_g[k][j] = hidden;
            // An empty slot keeps the column width: one and two U+3000.
            e.cg_str[k][j] = hidden >= 0 ? e.GetG(hidden) : "　";
            e.cg_ss[k][j] = hidden >= 0 ? e.GetTenDeity(dayStem, hidden) : "　　";
        }
    }
}

// The eight luck pillars step on from the month pillar, forward or backward.
void FillLuckPillars(PillarEngine& e, bool forward) {
    for (std::size_t i = 0; i < 8; ++i) {
        const int step = static_cast<int>(i);
        e.dy_gz[i] = StepPillar(e.bz[1], forward ? step + 1 : -(step + 1));
        e.dy_str[i] = e.GetG(e.dy_gz[i][0]) + e.GetZ(e.dy_gz[i][1]);
        e.dy_ss[i] = e.GetTenDeity(e.bz[2][0], e.dy_gz[i][0]);
    }
}

// Conception pillar (胎元) and life palace (命宫).
void FillConceptionAndPalace(PillarEngine& e) {
    const auto [ms, mb] = e.bz[1];
    // The conception pillar: the month pillar's stem plus one, branch plus three.
    e.ty_gz[1] = {(ms + 1) % 10, (mb + 3) % 12};
    e.ty_str = e.GetG(e.ty_gz[1][0]) + e.GetZ(e.ty_gz[1][1]);
    e.ty_serial = SerialOf(e, e.ty_gz[1][0], e.ty_gz[1][1]);

    // The life palace counts the month (寅 = 0 … 丑 = 11) against the hour
    // branch; its stem follows the month-stem rule of the year.
    const int hourBranch = e.bz[3][1];
    const int m = mb > 1 ? mb - 2 : mb + 10;
    const int a = (12 - m) % 12;
    // Three on from the month, counted back by the hour branch (the old
    // tables add 15 from the 辰 hour on: the same branch after the mod 12).
    const int palace = Mod(a + 3 - hourBranch, 12);
    e.mg_gz[1] = {MonthStemOf(palace, e.bz[0][0]), palace};
    e.mg_str = e.GetG(e.mg_gz[1][0]) + e.GetZ(e.mg_gz[1][1]);
    e.mg_serial = SerialOf(e, e.mg_gz[1][0], e.mg_gz[1][1]);
}

}  // namespace

void PillarEngine::GetEightWordInfo() {
    bz = PillarsAt(bz_year, bz_month, nian, yue, ri, shi, zsp2 == 1);
    FillPillarDetails(*this);
    // Forward (顺) for a man with a yang year stem or a woman with a yin one;
    // the luck-start measure counts to the next jie term forward, from the
    // last one backward, three days to a year.
    const bool forward = isshun(bz, sex2);
    QiYunAge = forward ? DayDifference(NextJieQi, InputTime) / 3 : DayDifference(InputTime, LastJieQi) / 3;
    FillLuckPillars(*this, forward);
    FillConceptionAndPalace(*this);
}

}  // namespace paipan
