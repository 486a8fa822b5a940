// The chart engine: one object per 排盘 press. It holds the request, the
// symbol tables, the calendar lookups, the four pillars with everything
// derived from them, and the finished chart text split into sections.
//
// Where is what (the folders are layers: engine at the bottom, calendar on
// it, chart on both; no file includes from a layer above its own):
//   engine/tables.cpp          the symbol tables (the constructor)
//   engine/arithmetic.cpp      stem-branch arithmetic, ten deities, void branches, stages
//   engine/four_pillars.cpp    four pillars, luck pillars, 胎元 and 命宫
//   engine/pillar_rules.h      the year, month, day and hour rules (the pillar search uses them too)
//   engine/luck_start.cpp      the luck start: years, months, days, hours, handover
//   calendar/calendar_row.cpp  the calendar rows of the birth month and its neighbours
//   calendar/solar_terms.cpp   solar year and month, the jie terms around the birth
//   calendar/lunar_date.cpp    the lunar date (getNL, GetNongLi)
//   calendar/pillar_search.cpp from pillars to the moments that chart to them (八字反查)
//   chart/shensha.cpp          the symbolic stars
//   chart/chart_text.cpp       the chart text (Main)
// All texts are UTF-8. Stem index 0-9 (甲 … 癸), branch index 0-11 (子 … 亥),
// sexagenary serial 0-59 (0 = 甲子). Pillar k: 0 year, 1 month, 2 day, 3 hour.
#pragma once

#include <array>
#include <filesystem>
#include <optional>
#include <string>

#include "engine/calendar_row.h"
#include "engine/datetime.h"
#include "engine/engine_request.h"
#include "engine/ganzhi.h"
#include "engine/notifier.h"
#include "engine/pillar_rules.h"
#include "engine/value.h"

namespace paipan {

using ExtraPillar = std::array<GanZhi, 2>;  // ty_gz / mg_gz: only row 1 is used
using StarLists = std::array<std::string, 4>;

class Corvel_BZClass {
public:
    // Fills every symbol table; touches nothing else.
    Corvel_BZClass();

    // ---- Public fields -----------------------------------------------------
    DateTime LastJieQi{};   // jie term at or before the birth
    DateTime NextJieQi{};   // first jie term after the birth
    std::string LastJQStr;  // e.g. "立春：1990年02月04日10时14分"
    std::string NextJQStr;
    DateTime InputTime{};   // the birth, seconds 0
    std::string OutputStr;  // the whole chart text
    std::string kwstr;      // the two void branches of the day pillar
    int nn = 0;             // lunar year (Gregorian year in which it began)
    int ny = 0;             // lunar month 1-12
    int nr = 0;             // lunar day 1-30
    bool leap = false;      // lunar month is a leap (闰) month
    std::string s_realtime; // correction block handed over by the request

    // Section fields, one chart section each (empty when switched off).
    std::string BZ_top_ss, BZ_ssa, BZ_qk, BZ_gzMain, BZ_dzcg, BZ_ny, BZ_dycs, BZ_cs, BZ_dyny,
        BZ_dyss, BZ_dy, BZ_dyxs, BZ_dyln, BZ_ty, BZ_mg, BZ_xy;

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
    int sex2 = 0;                                      // 1 male, 0 female
    std::string name2, area2;
    // Switches: on only when exactly 1.
    int dyp2 = 0, lnp2 = 0, cgp2 = 0, ssp2 = 0, nyp2 = 0, shenshap2 = 0, csp2 = 0, mgp2 = 0,
        qyp2 = 0, xyp2 = 0, zsp2 = 0, jyssp2 = 0;
    int mode2 = 0;  // 1 horizontal, anything else vertical

    // ---- Calendar row fields (GetMonthRow) --------------------------------
    int JieqiMonth = 0, JieqiDay = 0, JieqiHour = 0, JieqiMinute = 0, Lmonth = 0, JieqiNDay = 0,
        Ldays = 0, LdaysA = 0, ZhongqiDay = 0, ZhongqiHour = 0, ZhongqiMinute = 0;
    bool LeapFlag = false;  // leap mark of the birth month's row

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
    BranchTable ssGuChen{}, ssGuaSu{}, ssZaiSha{}, ssYuanChenA{}, ssYuanChenB{}, ssGouShaA{},
        ssJiaoShaA{}, ssGouShaB{}, ssJiaoShaB{}, ssSangMen{}, ssDiaoKe{}, ssPiMa{}, ssHongLuan{},
        ssTianXi{}, ssTianDeGan{}, ssTianDeZhi{}, ssYueDeGan{}, ssTianYi{}, ssJiangXing{},
        ssHuaGai{}, ssYiMa{}, ssTaoHua{}, ssWangShen{}, ssJieSha{};
    StemTable ssLuShen{}, ssTianYiGuiA{}, ssTianYiGuiB{}, ssWenChang{}, ssYangRen{}, ssJinYu{},
        ssLiuXia{}, ssTaiJiA{}, ssTaiJiB{}, ssFuXing{}, ssTianChu{}, ssXueTang{}, ssGuoYin{};

    // ---- Where the engine reads its data and shows its messages ----------
    // Not part of the chart: the folder holding SETCONFIG.dll, which the
    // caller sets before the first calendar lookup, and the message sink
    // (none: messages are dropped).
    std::filesystem::path dataFolder;
    Notifier* notifier = nullptr;

    // ---- Operations -------------------------------------------------------
    int m_array(const Value& a, const Value& arr) const;               // engine/engine.cpp
    Value expandarray(Value& arr) const;                               // engine/engine.cpp
    bool isshun(const Pillars& bz, int sex) const;                     // engine/arithmetic.cpp
    std::string GetShenShaNG(int g, int z) const;                      // chart/shensha.cpp
    std::string GetShenShaNZ(const Pillars& bz, int z, int sex) const; // chart/shensha.cpp
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
    void SetRequest(const Value& nian, const Value& yue, const Value& ri, const Value& shi,
                    const Value& fen, const Value& sex2, const Value& name2, const Value& area2,
                    const Value& dyp2, const Value& lnp2, const Value& cgp2, const Value& ssp2,
                    const Value& nyp2, const Value& shenshap2, const Value& csp2,
                    const Value& mgp2, const Value& qyp2, const Value& xyp2, const Value& zsp2,
                    const Value& jyssp2, const Value& mode2);  // engine/engine.cpp
    // The same from a named record; also sets s_realtime from it.
    void SetRequest(const EngineRequest& r);                    // engine/engine.cpp
    std::string FormatInt(int i) const;                         // calendar/solar_terms.cpp
    void CalJQ();                                               // calendar/solar_terms.cpp
    void GetBzTime();                                           // calendar/solar_terms.cpp
    void GetNongLi();                                           // calendar/lunar_date.cpp
    int GetGWuXing(int g) const;                                // engine/arithmetic.cpp
    std::string GetTenDeity(int s, int g) const;
    std::string GetG(int g) const;
    std::string GetZ(int z) const;
    std::optional<int> GetSerial(int g, int z) const;
    void GetEightWordInfo();                                    // engine/four_pillars.cpp
    std::string GetNongLiStr() const;                           // calendar/lunar_date.cpp
    std::string GetBirthStr() const;                            // calendar/lunar_date.cpp
    void GetKongWang();                                         // engine/arithmetic.cpp
    std::string GetSWB(int z) const;                            // engine/arithmetic.cpp
    void Main();                                                // chart/chart_text.cpp
    void getNL();                                               // calendar/lunar_date.cpp

    // The row of another month, for the lookups that step into the month
    // before or after the birth (throws DataError like GetMonthRow).
    CalendarRow ReadRow(int year, int month) const;             // calendar/calendar_row.cpp

private:
    std::string GetConnStr() const;  // the calendar file in the data folder
    void GetMonthRow();              // loads the birth month's row into the fields

    // The date check shared by getNL and Main: false (and the message shown)
    // when the request's date cannot exist.
    bool CheckDate() const;          // calendar/lunar_date.cpp
    // getNL's steps (date check, month row, solar year and month, lunar
    // date), which Main begins with: false when the date failed its check.
    bool LunarDateSteps();           // calendar/lunar_date.cpp
};

}  // namespace paipan
