// The symbolic stars (神煞). A star attaches to a pillar when the pillar's
// branch (or stem) is the one a key character of the chart points to in a
// star table. The rule operations return a star code list: "|" and the code
// of every star found, in the order the rules fire ("|7|16|16"); the text
// operations turn such lists into the star rows of the chart, printing the
// last found star first.
#include <algorithm>
#include <stdexcept>
#include <string>

#include "chart/corvel_bzclass.h"

namespace paipan {
namespace {

constexpr const char* kFour = "　　　　";  // an empty star cell, 8 units

// The stars the rules find, by their entry in the star name table
// (ShenShaName); the rules append these numbers to a star code list.
enum class Star {
    GuChen = 0,         // 孤辰
    GuaSu = 1,          // 寡宿
    YuanChen = 3,       // 元辰
    TianDe = 5,         // 天德贵人
    YueDe = 6,          // 月德贵人
    JiangXing = 7,      // 将星
    HuaGai = 8,         // 华盖
    YiMa = 9,           // 驿马
    TaoHua = 10,        // 桃花
    WangShen = 11,      // 亡神
    JieSha = 12,        // 劫煞
    SangMen = 13,       // 丧门
    DiaoKe = 14,        // 吊客
    TianYiGuiRen = 16,  // 天乙贵人
    WenChang = 17,      // 文昌贵人
    YangRen = 18,       // 羊刃
    JinYu = 22,         // 金舆
    LiuXia = 23,        // 流霞
    TaiJi = 24,         // 太极贵人
    FuXing = 25,        // 福星贵人
    TianChu = 26,       // 天厨贵人
    XueTang = 27,       // 学堂
    TianYi = 28,        // 天医
    LuShen = 29,        // 禄神
    PiMa = 30,          // 披麻
    HongLuan = 31,      // 红鸾
    TianXi = 32,        // 天喜
    ZaiSha = 33,        // 灾煞
    GouSha = 34,        // 勾煞
    JiaoSha = 35,       // 绞煞
    GuoYin = 36,        // 国印贵人
    KongWang = 39,      // 空亡
};

template <std::size_t N>
int Entry(const std::array<int, N>& table, int key) {
    if (key < 0 || key >= static_cast<int>(N)) throw std::logic_error("star table key outside the table");
    return table[static_cast<std::size_t>(key)];
}

// Appends "|code" of the star to a star code list.
void Add(std::string& list, Star star) { list.append(1, '|').append(std::to_string(static_cast<int>(star))); }

// Adds the star when the table entry at key equals the tested index.
template <std::size_t N>
void AddIf(std::string& list, const std::array<int, N>& table, int key, int found, Star star) {
    if (Entry(table, key) == found) Add(list, star);
}

// A star and the table whose entry at a key character points to its branch.
template <class Table>
struct StarRule {
    const Table Corvel_BZClass::*table;
    Star star;
};

// Applies the rules in their order, each as AddIf.
template <class Table, std::size_t N>
void AddEach(std::string& list, const Corvel_BZClass& e, const StarRule<Table> (&rules)[N], int key, int found) {
    for (const StarRule<Table>& rule : rules) AddIf(list, e.*rule.table, key, found, rule.star);
}

int CountCodes(const std::string& list) { return static_cast<int>(std::count(list.begin(), list.end(), '|')); }

// Takes the code after the last "|" off the list and returns it.
int PopLastCode(std::string& list) {
    const auto bar = list.rfind('|');
    if (bar == std::string::npos) throw std::logic_error("star list without a code");
    int code = 0;
    for (std::size_t i = bar + 1; i < list.size(); ++i) code = code * 10 + (list[i] - '0');
    list.erase(bar);
    return code;
}

}  // namespace

std::string Corvel_BZClass::GetShenShaNG(int, int) const { return {}; }

std::string Corvel_BZClass::GetShenShaNZ(const Pillars& a, int z, int sex) const {
    const int yb = a[0][1];
    const bool forward = isshun(a, sex);
    std::string s;
    AddIf(s, ssGuChen, yb, z, Star::GuChen);
    AddIf(s, ssGuaSu, yb, z, Star::GuaSu);
    if (forward) AddIf(s, ssYuanChenA, yb, z, Star::YuanChen);
    if (!forward) AddIf(s, ssYuanChenB, yb, z, Star::YuanChen);
    AddIf(s, ssZaiSha, yb, z, Star::ZaiSha);
    if (forward) {
        AddIf(s, ssGouShaA, yb, z, Star::GouSha);
        AddIf(s, ssJiaoShaA, yb, z, Star::JiaoSha);
    } else {
        AddIf(s, ssGouShaB, yb, z, Star::GouSha);
        AddIf(s, ssJiaoShaB, yb, z, Star::JiaoSha);
    }
    return s;
}

std::string Corvel_BZClass::GetShenShaYZ(int yz, int g, int z) const {
    std::string s;
    AddIf(s, ssTianYi, yz, z, Star::TianYi);
    AddIf(s, ssTianDeGan, yz, g, Star::TianDe);  // the 天德 and 月德 stems are found at the stem
    AddIf(s, ssTianDeZhi, yz, z, Star::TianDe);
    AddIf(s, ssYueDeGan, yz, g, Star::YueDe);
    return s;
}

std::string Corvel_BZClass::GetShenShaRG(int rg, int z) const {
    using C = Corvel_BZClass;
    static constexpr StarRule<StemTable> kRules[] = {{&C::ssLuShen, Star::LuShen},
                                                     {&C::ssTianYiGuiA, Star::TianYiGuiRen},
                                                     {&C::ssTianYiGuiB, Star::TianYiGuiRen},
                                                     {&C::ssWenChang, Star::WenChang},
                                                     {&C::ssYangRen, Star::YangRen},
                                                     {&C::ssJinYu, Star::JinYu},
                                                     {&C::ssLiuXia, Star::LiuXia},
                                                     {&C::ssTaiJiA, Star::TaiJi},
                                                     {&C::ssTaiJiB, Star::TaiJi}};
    static constexpr StarRule<StemTable> kRulesAfterTaiJi[] = {{&C::ssFuXing, Star::FuXing},
                                                               {&C::ssTianChu, Star::TianChu},
                                                               {&C::ssXueTang, Star::XueTang},
                                                               {&C::ssGuoYin, Star::GuoYin}};
    std::string s;
    AddEach(s, *this, kRules, rg, z);
    // 戊 and 己 have no single 太极 branch: 辰戌丑未 (z Mod 3 = 1) and 巳酉丑 (z Mod 4 = 1).
    if (Entry(ssTaiJiA, rg) == 99 && z % 3 == 1) Add(s, Star::TaiJi);
    if (Entry(ssTaiJiB, rg) == 99 && z % 4 == 1) Add(s, Star::TaiJi);
    AddEach(s, *this, kRulesAfterTaiJi, rg, z);
    return s;
}

std::string Corvel_BZClass::GetShenShaRZ(int rz, int z) const {
    using C = Corvel_BZClass;
    static constexpr StarRule<BranchTable> kRules[] = {
        {&C::ssJiangXing, Star::JiangXing}, {&C::ssHuaGai, Star::HuaGai},     {&C::ssYiMa, Star::YiMa},
        {&C::ssTaoHua, Star::TaoHua},       {&C::ssWangShen, Star::WangShen}, {&C::ssJieSha, Star::JieSha}};
    std::string s;
    AddEach(s, *this, kRules, rz, z);
    return s;
}

std::string Corvel_BZClass::GetShenShaRZ1(const Pillars& a, int nianzhi) const {
    const int yb = a[0][1];
    const int mb = a[1][1];
    std::string s;
    AddIf(s, ssSangMen, yb, nianzhi, Star::SangMen);
    AddIf(s, ssDiaoKe, yb, nianzhi, Star::DiaoKe);
    AddIf(s, ssPiMa, yb, nianzhi, Star::PiMa);
    AddIf(s, ssSangMen, mb, nianzhi, Star::SangMen);
    AddIf(s, ssDiaoKe, mb, nianzhi, Star::DiaoKe);
    AddIf(s, ssPiMa, mb, nianzhi, Star::PiMa);
    AddIf(s, ssHongLuan, yb, nianzhi, Star::HongLuan);
    AddIf(s, ssTianXi, yb, nianzhi, Star::TianXi);
    return s;
}

std::string Corvel_BZClass::c_shensha(StarLists& s1, const std::string& s2) const {
    int rows = 0;
    for (const auto& list : s1) rows = std::max(rows, CountCodes(list));
    std::string text;
    for (int r = 0; r < rows; ++r) {
        // "[年干]" is 6 units, so both starts are 10 units and every cell 11.
        text += r == 0 ? s2 + "　　" : std::string("　　　　　");
        for (auto& list : s1) {
            text += list.empty() ? std::string(kFour) : ShenShaName.at(PopLastCode(list));
            text += "　 ";
        }
        text += "\r\n";
    }
    return text;
}

std::string Corvel_BZClass::c_mgtyshensha(std::string& s) const {
    std::string names;
    while (!s.empty()) names += ShenShaName.at(PopLastCode(s));
    return names;
}

std::string Corvel_BZClass::GetmgtyShenSha(const Pillars& a, const ExtraPillar& mgty, int sex) const {
    const int ps = mgty[1][0];
    const int pb = mgty[1][1];
    std::string s = GetShenShaRG(a[0][0], pb);
    s += GetShenShaNZ(a, pb, sex);
    s += GetShenShaRZ(a[0][1], pb);
    s += GetShenShaYZ(a[1][1], ps, pb);
    const auto voids = VoidBranchesOf(a[2]);
    if (pb == voids[0] || pb == voids[1]) Add(s, Star::KongWang);
    s += GetShenShaRG(a[2][0], pb);
    s += GetShenShaRZ(a[2][1], pb);
    return s;
}

std::array<StarLists, 5> Corvel_BZClass::GetShenShaLists(const Pillars& a, int sex) const {
    std::array<StarLists, 5> rows;
    for (int k = 0; k < 4; ++k) rows[0][k] = GetShenShaRG(a[0][0], a[k][1]);  // [年干]
    for (int k = 0; k < 4; ++k)                                               // [年支]
        rows[1][k] = GetShenShaNZ(a, a[k][1], sex) + GetShenShaRZ(a[0][1], a[k][1]);
    for (int k : {0, 2, 3})  // [月支]: the month pillar is not marked by its own branch
        rows[2][k] = GetShenShaYZ(a[1][1], a[k][0], a[k][1]);
    for (int k = 0; k < 4; ++k) rows[3][k] = GetShenShaRG(a[2][0], a[k][1]);  // [日干]
    const auto voids = VoidBranchesOf(a[2]);
    for (int k : {0, 1, 3}) {  // [日支]: nor the day pillar by its own branch
        const int z = a[k][1];
        if (z == voids[0] || z == voids[1]) Add(rows[4][k], Star::KongWang);
        rows[4][k] += GetShenShaRZ(a[2][1], z);
    }
    return rows;
}

std::string Corvel_BZClass::GetShenSha(const Pillars& a, int sex) const {
    static constexpr const char* kRowLabels[] = {"[年干]", "[年支]", "[月支]", "[日干]", "[日支]"};
    std::string text = "神煞： \r\n";
    auto rows = GetShenShaLists(a, sex);
    for (std::size_t r = 0; r < rows.size(); ++r) text += c_shensha(rows[r], kRowLabels[r]);
    return text;
}

}  // namespace paipan
