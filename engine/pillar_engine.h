// The engine's part of the chart engine (Corvel_BZClass, chart/corvel_bzclass.h):
// every field of the chart's record, the symbol tables and the operations
// that need nothing but them: the request, stem-branch arithmetic, the four
// pillars, luck pillars, 胎元 and 命宫. The calendar lookups
// (calendar/calendar_engine.h) and the stars and chart text
// (chart/corvel_bzclass.h) are members of the classes stacked on this one, each
// defined in its own layer, so that every layer links only to those below it.
//
//   engine/tables.cpp          the symbol tables (the constructor)
//   engine/engine.cpp          the request (SetRequest) and the array helpers
//   engine/arithmetic.cpp      stem-branch arithmetic, ten deities, void branches, stages
//   engine/four_pillars.cpp    four pillars, luck pillars, 胎元 and 命宫
//   engine/pillar_rules.h      the year, month, day and hour rules (the pillar search uses them too)
//   engine/luck_start.cpp      the luck start: years, months, days, hours, handover
// All texts are UTF-8. Stem index 0-9 (甲 … 癸), branch index 0-11 (子 … 亥),
// sexagenary serial 0-59 (0 = 甲子). Pillar k: 0 year, 1 month, 2 day, 3 hour.
#pragma once

#include <array>
#include <optional>
#include <string>

#include "engine/datetime.h"
#include "engine/engine_request.h"
#include "engine/ganzhi.h"
#include "engine/pillar_rules.h"
#include "engine/value.h"

namespace paipan {

using ExtraPillar = std::array<GanZhi, 2>;  // ty_gz / mg_gz: only row 1 is used
using StarLists = std::array<std::string, 4>;

class PillarEngine {
public:
    // Fills every symbol table; touches nothing else.
    PillarEngine();

    // ---- Public fields -----------------------------------------------------
    DateTime LastJieQi{};   // jie term at or before the birth
    DateTime NextJieQi{};   // first jie term after the birth
    std::string LastJQStr;  // e.g. "立春：1990年02月04日10时14分"
    std::string NextJQStr;
    std::string LastJieName;  // the names of those terms, e.g. "立春"
    std::string NextJieName;
    DateTime InputTime{};    // the birth, seconds 0
    std::string OutputStr;   // the whole chart text
    std::string kwstr;       // the two void branches of the day pillar
    int nn = 0;              // lunar year (Gregorian year in which it began)
    int ny = 0;              // lunar month 1-12
    int nr = 0;              // lunar day 1-30
    bool leap = false;       // lunar month is a leap (闰) month
    std::string s_realtime;  // correction block handed over by the request

    // ---- Chart fields ------------------------------------------------------
    Pillars bz{};
    std::array<std::string, 4> gz_str;
    std::array<std::string, 4> gan_ss;                 // entry 2 is "日主"
    std::array<std::array<int, 3>, 4> cg_g{};          // hidden stems, -1 for none
    std::array<std::array<std::string, 3>, 4> cg_str;  // "　" for none
    std::array<std::array<std::string, 3>, 4> cg_ss;   // "　　" for none
    std::array<int, 4> gz_serial{};
    std::array<std::string, 4> gz_ny;
    std::array<GanZhi, 8> dy_gz{};
    std::array<std::string, 8> dy_str;
    std::array<std::string, 8> dy_ss;
    double QiYunAge = 0;
    DateTime JiaoYunTime{};
    ExtraPillar ty_gz{};
    std::string ty_str;
    int ty_serial = 0;
    ExtraPillar mg_gz{};
    std::string mg_str;
    int mg_serial = 0;
    std::array<GanZhi, 13> xy_gz{};
    std::array<std::string, 13> xy_str;
    std::array<int, 2> kw_z{};
    int bz_year = 0;   // solar year, turns at 立春
    int bz_month = 0;  // solar month 1-12, 1 = 寅 month from 立春

    // ---- Request fields (SetRequest) --------------------------------------
    int nian = 0, yue = 0, ri = 0, shi = 0, fen = 0;  // corrected birth time
    int sex2 = 0;                                     // 1 male, 0 female
    std::string name2, area2;
    // Switches: on only when exactly 1.
    int dyp2 = 0, lnp2 = 0, cgp2 = 0, ssp2 = 0, nyp2 = 0, shenshap2 = 0, csp2 = 0, mgp2 = 0, qyp2 = 0, xyp2 = 0,
        zsp2 = 0, jyssp2 = 0;
    int mode2 = 0;  // 1 horizontal, anything else vertical

    // ---- Symbol tables (filled by the constructor, never changed) ---------
    std::array<std::string, 10> TianGan;
    std::array<std::string, 12> DiZhi;
    std::array<std::string, 24> JieQiName;
    std::array<std::string, 30> NaYin;
    std::array<std::string, 12> ChangSheng;
    std::array<std::string, 31> NlDayName;
    std::array<std::string, 13> NlMonthName;
    std::array<std::string, 41> ShenShaName;
    std::array<std::array<int, 3>, 12> CangGan{};
    std::array<int, 10> ChangShengZhi{};

    // Star lookup tables: keyed by branch (12) or stem (10); -1 no entry,
    // 99 in the 太极贵人 tables for 戊 and 己.
    using BranchTable = std::array<int, 12>;
    using StemTable = std::array<int, 10>;
    BranchTable ssGuChen{}, ssGuaSu{}, ssZaiSha{}, ssYuanChenA{}, ssYuanChenB{}, ssGouShaA{}, ssJiaoShaA{}, ssGouShaB{},
        ssJiaoShaB{}, ssSangMen{}, ssDiaoKe{}, ssPiMa{}, ssHongLuan{}, ssTianXi{}, ssTianDeGan{}, ssTianDeZhi{},
        ssYueDeGan{}, ssTianYi{}, ssJiangXing{}, ssHuaGai{}, ssYiMa{}, ssTaoHua{}, ssWangShen{}, ssJieSha{};
    StemTable ssLuShen{}, ssTianYiGuiA{}, ssTianYiGuiB{}, ssWenChang{}, ssYangRen{}, ssJinYu{}, ssLiuXia{}, ssTaiJiA{},
        ssTaiJiB{}, ssFuXing{}, ssTianChu{}, ssXueTang{}, ssGuoYin{};

    // ---- Operations -------------------------------------------------------
    int m_array(const Value& a, const Value& arr) const;  // engine/engine.cpp
    Value expandarray(Value& arr) const;                  // engine/engine.cpp
    bool isshun(const Pillars& bz, int sex) const;        // engine/arithmetic.cpp
    void SetRequest(const Value& nian, const Value& yue, const Value& ri, const Value& shi, const Value& fen,
                    const Value& sex2, const Value& name2, const Value& area2, const Value& dyp2, const Value& lnp2,
                    const Value& cgp2, const Value& ssp2, const Value& nyp2, const Value& shenshap2, const Value& csp2,
                    const Value& mgp2, const Value& qyp2, const Value& xyp2, const Value& zsp2, const Value& jyssp2,
                    const Value& mode2);  // engine/engine.cpp
    // The same from a named record; also sets s_realtime from it.
    void SetRequest(const EngineRequest& r);  // engine/engine.cpp
    int GetGWuXing(int g) const;              // engine/arithmetic.cpp
    std::string GetTenDeity(int s, int g) const;
    std::string GetG(int g) const;
    std::string GetZ(int z) const;
    std::optional<int> GetSerial(int g, int z) const;
    void GetEightWordInfo();          // engine/four_pillars.cpp
    void GetKongWang();               // engine/arithmetic.cpp
    std::string GetSWB(int z) const;  // engine/arithmetic.cpp
};

}  // namespace paipan
