// The chart engine: one object per 排盘 press. It holds the request, the
// symbol tables, the calendar lookups, the four pillars with everything
// derived from them, and the finished chart text split into sections.
//
// Its operations live in the layer they belong to, as members of three
// classes stacked one on the other, so that each layer's library links only
// to the layers below it:
//   engine/pillar_engine.h      the record, the symbol tables, the request and the pillars
//   calendar/calendar_engine.h  the calendar rows, solar terms and the lunar date
//   this class                  the symbolic stars (chart/shensha.cpp) and the
//                               chart text (Main, chart/chart_text.cpp)
// Callers use this class; the pillar search, which needs only the lunar
// date, uses CalendarEngine.
#pragma once

#include <array>
#include <string>

#include "calendar/calendar_engine.h"

namespace paipan {

class Corvel_BZClass : public CalendarEngine {
public:
    // Section fields, one chart section each (empty when switched off); their
    // order, switches and colours are in kChartSections (chart/chart_sections.h).
    std::string BZ_top_ss, BZ_ssa, BZ_qk, BZ_gzMain, BZ_dzcg, BZ_ny, BZ_dycs, BZ_cs, BZ_dyny, BZ_dyss, BZ_dy, BZ_dyxs,
        BZ_dyln, BZ_ty, BZ_mg, BZ_xy;

    // ---- Operations -------------------------------------------------------
    std::string GetShenShaNG(int g, int z) const;  // chart/shensha.cpp
    std::string GetShenShaNZ(const Pillars& bz, int z, int sex) const;
    std::string GetShenShaYZ(int yz, int g, int z) const;
    std::string GetShenShaRG(int rg, int z) const;
    std::string GetShenShaRZ(int rz, int z) const;
    std::string GetShenShaRZ1(const Pillars& bz, int nianzhi) const;
    std::string c_shensha(StarLists& s1, const std::string& s2) const;  // empties s1
    std::string c_mgtyshensha(std::string& s) const;                    // empties s
    std::string GetmgtyShenSha(const Pillars& a, const ExtraPillar& mgty, int sex) const;
    std::string GetShenSha(const Pillars& a, int sex) const;
    // The star code lists of GetShenSha's five rows ([年干] … [日支]), four
    // pillars each, before they are printed.
    std::array<StarLists, 5> GetShenShaLists(const Pillars& a, int sex) const;
    void Main();  // chart/chart_text.cpp
};

}  // namespace paipan
