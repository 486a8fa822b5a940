// The symbolic stars, on pillars filled by hand. Expected star lists come
// from reading the almanac's star tables directly (which branch a key points
// to), not from the engine's own tables.
#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "chart/corvel_bzclass.h"

namespace paipan {
namespace {

// Pillars from sexagenary serials (0 = 甲子): stem n mod 10, branch n mod 12.
Pillars FromSerials(int year, int month, int day, int hour) {
    auto p = [](int n) { return GanZhi{n % 10, n % 12}; };
    return {p(year), p(month), p(day), p(hour)};
}

// One star row: its label (five U+3000 on a follow-up row), then four 11-unit
// cells; an empty cell holds four U+3000.
std::string Row(const std::string& label, std::array<const char*, 4> cells) {
    std::string s = label.empty() ? "　　　　　" : label + "　　";
    for (const char* c : cells) s += std::string(*c ? c : "　　　　") + "　 ";
    return s + "\r\n";
}

TEST(StarRules, ListsFollowRuleOrder) {
    using Rule = std::function<std::string(const Corvel_BZClass&)>;
    const Pillars p = FromSerials(0, 2, 0, 0);  // 甲子 丙寅 甲子 甲子
    const auto rg = [](int g, int z) -> Rule { return [=](const Corvel_BZClass& e) { return e.GetShenShaRG(g, z); }; };
    const auto rz = [](int k, int z) -> Rule { return [=](const Corvel_BZClass& e) { return e.GetShenShaRZ(k, z); }; };
    const auto nz = [&](int z, int sex) -> Rule {
        return [=](const Corvel_BZClass& e) { return e.GetShenShaNZ(p, z, sex); };
    };
    const auto rz1 = [&](int z) -> Rule { return [=](const Corvel_BZClass& e) { return e.GetShenShaRZ1(p, z); }; };
    const std::pair<Rule, std::string> cases[] = {
        // Day stem: 戊 at 丑 天乙 (丑未), then 太极 twice (辰戌丑未, 巳酉丑); 甲 at 寅
        // 禄神 before 福星, at 巳 文昌 before 天厨; 癸 at 卯 天乙 文昌 福星 天厨 学堂.
        {rg(4, 1), "|16|24|24"},
        {rg(0, 2), "|29|25"},
        {rg(0, 5), "|17|26"},
        {rg(9, 3), "|16|17|25|26|27"},
        {rg(0, 8), ""},
        // Month 丑: 天医 子, 天德 and 月德 stem 庚. Month 子: 天德 巳, 月德 壬.
        {[](const Corvel_BZClass& e) { return e.GetShenShaYZ(1, 6, 0); }, "|28|5|6"},
        {[](const Corvel_BZClass& e) { return e.GetShenShaYZ(0, 8, 5); }, "|5|6"},
        // 申子辰: 将星 子, 华盖 辰, 驿马 寅, 桃花 酉, 亡神 亥, 劫煞 巳.
        // clang-format off
        {rz(0, 0), "|7"}, {rz(0, 4), "|8"}, {rz(8, 2), "|9"}, {rz(4, 9), "|10"}, {rz(0, 11), "|11"}, {rz(0, 5), "|12"},
        // clang-format on
        {[](const Corvel_BZClass& e) { return e.GetShenShaNG(0, 0); }, ""},
        // Year 甲子 (yang): a man runs forward, 元辰 未, 勾煞 酉, 绞煞 卯; a woman
        // backward, 元辰 巳, 勾煞 卯, 绞煞 酉; 孤辰 寅, 寡宿 戌, 灾煞 午 either way.
        // clang-format off
        {nz(7, 1), "|3"}, {nz(9, 1), "|34"}, {nz(3, 1), "|35"}, {nz(5, 0), "|3"}, {nz(3, 0), "|34"},
        {nz(9, 0), "|35"}, {nz(2, 1), "|0"}, {nz(10, 0), "|1"}, {nz(6, 0), "|33"}, {nz(7, 0), ""}, {nz(5, 1), ""},
        // clang-format on
        // The 子 year and the 寅 month: 丧门 +2, 吊客 −2, 披麻 −3; 红鸾 卯, 天喜 酉 of 子.
        // clang-format off
        {rz1(2), "|13"}, {rz1(9), "|30|32"}, {rz1(4), "|13"}, {rz1(0), "|14"}, {rz1(3), "|31"}, {rz1(10), "|14"},
        // clang-format on
    };
    const Corvel_BZClass e;
    for (std::size_t i = 0; i < std::size(cases); ++i) EXPECT_EQ(cases[i].first(e), cases[i].second) << "row " << i;
}

TEST(StarRules, LonelyAndWidowStarsOfEveryYearBranch) {
    // 亥子丑 years: 孤辰 寅, 寡宿 戌; 寅卯辰: 巳 and 丑; 巳午未: 申 and 辰; 申酉戌: 亥 and 未.
    const Corvel_BZClass e;
    for (int y = 0; y < 12; ++y) {
        const int season = (y + 1) % 12 / 3;
        const int guChen = (2 + 3 * season) % 12, guaSu = (10 + 3 * season) % 12;
        for (int z = 0; z < 12; ++z) {
            const std::string s = e.GetShenShaNZ(FromSerials(y, 2, 0, 0), z, 1);
            EXPECT_EQ(s.find("|0") != std::string::npos, z == guChen) << "year " << y << " branch " << z;
            EXPECT_EQ(s.find("|1") != std::string::npos, z == guaSu) << "year " << y << " branch " << z;
        }
    }
}

TEST(StarText, LastFoundFirstUnderItsColumn) {
    Corvel_BZClass e;
    StarLists lists{"|7", "", "|16|24", ""};
    EXPECT_EQ(e.c_shensha(lists, "[年干]"),
              Row("[年干]", {"将星　　", "", "太极贵人", ""}) + Row("", {"", "", "天乙贵人", ""}));
    for (const auto& l : lists) EXPECT_TRUE(l.empty());
    StarLists none, twice{"", "", "", "|39|39"};
    EXPECT_EQ(e.c_shensha(none, "[月支]"), "");
    EXPECT_EQ(e.c_shensha(twice, "[日支]"),
              Row("[日支]", {"", "", "", "空亡　　"}) + Row("", {"", "", "", "空亡　　"}));

    std::string list = "|7|16", empty, three = "|24|24|39";
    EXPECT_EQ(e.c_mgtyshensha(list), "天乙贵人将星　　");
    EXPECT_TRUE(list.empty());
    EXPECT_EQ(e.c_mgtyshensha(empty), "");
    EXPECT_EQ(e.c_mgtyshensha(three), "空亡　　太极贵人太极贵人");

    // Chart 甲子 丙寅 甲子 甲子 (voids 戌亥), male. 辛未: 天乙 of the year stem 甲,
    // 元辰 of the 子 year running forward, 天乙 of the day stem 甲. 丙戌: 国印 of
    // 甲, 寡宿 of 子, 月德 丙 of the 寅 month, void, 国印 of the day stem.
    e.kw_z = {10, 11};
    const Pillars p = FromSerials(0, 2, 0, 0);
    EXPECT_EQ(e.GetmgtyShenSha(p, ExtraPillar{GanZhi{0, 0}, GanZhi{7, 7}}, 1), "|16|3|16");
    EXPECT_EQ(e.GetmgtyShenSha(p, ExtraPillar{GanZhi{0, 0}, GanZhi{2, 10}}, 1), "|36|1|6|39|36");
}

TEST(StarLines, SectionsOfWholeCharts) {
    const Corvel_BZClass e;
    // 甲申 壬申 甲申 甲申: no key points at 申, and the 壬 that the 申 month's 月德
    // names stands on the month pillar itself, which that key skips.
    for (int sex : {0, 1}) EXPECT_EQ(e.GetShenSha(FromSerials(20, 8, 20, 20), sex), "神煞： \r\n");

    // 甲寅 丙子 戊子 乙丑. [年干] 甲: 寅 禄神 then 福星, 子 太极, 丑 天乙. [日干] 戊:
    // 寅 学堂, 丑 天乙 and 太极 twice. [日支] 子 (voids 午未): 驿马 寅, 将星 at
    // the month 子, nothing on the day pillar itself. [月支] 子: 天医 亥, 天德 巳,
    // 月德 壬 — nothing, and the month pillar is never looked at.
    const std::string text = e.GetShenSha(FromSerials(50, 12, 24, 1), 1);
    EXPECT_EQ(text.rfind("神煞： \r\n", 0), 0u);
    for (const std::string& piece :
         {Row("[年干]", {"福星贵人", "太极贵人", "太极贵人", "天乙贵人"}) + Row("", {"禄神　　", "", "", ""}),
          Row("[日干]", {"学堂　　", "", "", "太极贵人"}) + Row("", {"", "", "", "太极贵人"}) +
              Row("", {"", "", "", "天乙贵人"}),
          Row("[日支]", {"驿马　　", "将星　　", "", ""})})
        EXPECT_NE(text.find(piece), std::string::npos) << piece << "\n" << text;
    EXPECT_EQ(text.find("[月支]"), std::string::npos) << text;

    // Day 甲子 (voids 戌亥) with year 壬戌 and hour 乙亥, month 戊寅: 空亡 marks
    // the other pillars, 驿马 寅 and 亡神 亥 of the 子 group.
    const std::string voids = e.GetShenSha(FromSerials(58, 14, 0, 11), 1);
    ASSERT_NE(voids.find("[日支]"), std::string::npos) << voids;
    EXPECT_EQ(voids.substr(voids.find("[日支]")),
              Row("[日支]", {"空亡　　", "驿马　　", "", "亡神　　"}) + Row("", {"", "", "", "空亡　　"}));
}

}  // namespace
}  // namespace paipan
