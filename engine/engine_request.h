// A chart request with its parts named, for callers that would rather not
// pass SetRequest's 21 values by position. SetRequest(const EngineRequest&)
// hands it on to the positional SetRequest and sets the correction block.
#pragma once

#include <string>

namespace paipan {

// Defaults: a sample birth, 2000-01-07 12:00 (己卯 丁丑 甲子 庚午), male, the
// window's default name and place, vertical, every section on and the
// night-zi rule off.
struct EngineRequest {
    int year = 2000, month = 1, day = 7, hour = 12, minute = 0;  // true solar time
    int sex = 1;                                                 // 1 male, 0 female
    std::string name = "张三", place = "安徽";
    int mode = 0;  // layout: 1 horizontal (横排), anything else vertical (竖排)
    // Section switches, each on only when exactly 1; the engine keeps them as
    // dyp2 … jyssp2.
    int dyp = 1;       // luck-pillar row (大运)
    int lnp = 1;       // annual pillars (流年)
    int cgp = 1;       // hidden stems (藏干)
    int ssp = 1;       // ten deities (十神)
    int nyp = 1;       // sound elements (纳音)
    int shenshap = 1;  // symbolic stars (神煞)
    int csp = 1;       // twelve life stages (长生十二宫)
    int mgp = 1;       // life palace and conception pillar (命宫/胎元)
    int qyp = 1;       // luck-start lines (起运/交运)
    int xyp = 1;       // minor luck (小运)
    int zsp = 0;       // night-zi rule (夜子时) for the hour and day pillars
    int jyssp = 1;     // luck-pillar age row
    // The true-solar-time block the chart's first line carries after the
    // birth place (s_realtime).
    std::string realtime{};
};

}  // namespace paipan
