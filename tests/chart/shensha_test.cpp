// The symbolic stars, on pillars filled by hand. Expected star lists come
// from reading the star tables of the almanac rules directly (which branch a
// key points to), not from the engine's own tables.
#include <gtest/gtest.h>

#include <string>

#include "engine/corvel_bzclass.h"

namespace paipan {
namespace {

// Pillars from sexagenary serials (0 = 甲子): stem n mod 10, branch n mod 12.
Pillars FromSerials(int year, int month, int day, int hour) {
    auto p = [](int n) { return GanZhi{n % 10, n % 12}; };
    return {p(year), p(month), p(day), p(hour)};
}

const std::string kU4 = "　　　　";  // an empty star cell
const std::string kCellEnd = "　 ";

struct RuleCase {
    const char* what;
    std::string (*run)(const Corvel_BZClass&);
    std::string expected;
};

TEST(StarRules, ListsFollowRuleOrder) {
    const RuleCase cases[] = {
        // 戊 key, 丑: 天乙 (丑未 for 戊), then 太极 twice (辰戌丑未 and 巳酉丑).
        {"RG 戊 at 丑", [](const Corvel_BZClass& e) { return e.GetShenShaRG(4, 1); }, "|16|24|24"},
        // 甲 key at 寅: 禄神 first, 福星 later.
        {"RG 甲 at 寅", [](const Corvel_BZClass& e) { return e.GetShenShaRG(0, 2); }, "|29|25"},
        // 甲 key at 巳: 文昌 then 天厨.
        {"RG 甲 at 巳", [](const Corvel_BZClass& e) { return e.GetShenShaRG(0, 5); }, "|17|26"},
        // 癸 key at 卯: 天乙 (卯), 文昌 (卯), 福星 (卯), 天厨 (卯), 学堂 (卯).
        {"RG 癸 at 卯", [](const Corvel_BZClass& e) { return e.GetShenShaRG(9, 3); },
         "|16|17|25|26|27"},
        {"RG 甲 at 申 (none)", [](const Corvel_BZClass& e) { return e.GetShenShaRG(0, 8); }, ""},
        // Month 丑: 天医 at 子, 天德 stem 庚, no 天德 branch, 月德 stem 庚.
        {"YZ 丑, 庚子", [](const Corvel_BZClass& e) { return e.GetShenShaYZ(1, 6, 0); }, "|28|5|6"},
        // Month 子: 天德 at 巳 (branch), 月德 stem 壬.
        {"YZ 子, 壬巳", [](const Corvel_BZClass& e) { return e.GetShenShaYZ(0, 8, 5); }, "|5|6"},
        // 子 group (申子辰): 将星 子, 华盖 辰, 驿马 寅, 桃花 酉, 亡神 亥, 劫煞 巳.
        {"RZ 子 at 子", [](const Corvel_BZClass& e) { return e.GetShenShaRZ(0, 0); }, "|7"},
        {"RZ 子 at 辰", [](const Corvel_BZClass& e) { return e.GetShenShaRZ(0, 4); }, "|8"},
        {"RZ 申 at 寅", [](const Corvel_BZClass& e) { return e.GetShenShaRZ(8, 2); }, "|9"},
        {"RZ 辰 at 酉", [](const Corvel_BZClass& e) { return e.GetShenShaRZ(4, 9); }, "|10"},
        {"RZ 子 at 亥", [](const Corvel_BZClass& e) { return e.GetShenShaRZ(0, 11); }, "|11"},
        {"RZ 子 at 巳", [](const Corvel_BZClass& e) { return e.GetShenShaRZ(0, 5); }, "|12"},
        {"NG is always empty", [](const Corvel_BZClass& e) { return e.GetShenShaNG(0, 0); }, ""},
    };
    Corvel_BZClass e;
    for (const auto& c : cases) EXPECT_EQ(c.run(e), c.expected) << c.what;
}

TEST(StarRules, YearBranchFollowsLuckDirection) {
    Corvel_BZClass e;
    const Pillars p = FromSerials(0, 2, 0, 0);  // year 甲子, a yang stem
    struct Case {
        int sex, z;
        std::string expected;
    } cases[] = {
        // Male with a yang year stem runs forward: 元辰 at 未, 勾煞 at 酉, 绞煞 at 卯.
        {1, 7, "|3"}, {1, 9, "|34"}, {1, 3, "|35"},
        // Female runs backward: 元辰 at 巳, 勾煞 at 卯, 绞煞 at 酉.
        {0, 5, "|3"}, {0, 3, "|34"}, {0, 9, "|35"},
        // 子 year: 孤辰 寅, 寡宿 戌, 灾煞 午, whatever the direction.
        {1, 2, "|0"}, {0, 10, "|1"}, {0, 6, "|33"},
        // Forward rules do not fire backward and the reverse.
        {0, 7, ""}, {1, 5, ""},
    };
    for (const auto& c : cases) EXPECT_EQ(e.GetShenShaNZ(p, c.z, c.sex), c.expected) << c.sex << " " << c.z;
}

TEST(StarRules, YearAndMonthBranchMourningStars) {
    Corvel_BZClass e;
    // Year 甲子, month 丙寅: 丧门 year+2 / month+2, 吊客 −2, 披麻 −3, 红鸾 卯, 天喜 酉.
    const Pillars p = FromSerials(0, 2, 0, 0);
    EXPECT_EQ(e.GetShenShaRZ1(p, 2), "|13");      // 寅: 丧门 of the 子 year
    EXPECT_EQ(e.GetShenShaRZ1(p, 9), "|30|32");   // 酉: 披麻 of 子, 天喜 of 子
    EXPECT_EQ(e.GetShenShaRZ1(p, 4), "|13");      // 辰: 丧门 of the 寅 month
    EXPECT_EQ(e.GetShenShaRZ1(p, 0), "|14");      // 子: 吊客 of the 寅 month
    EXPECT_EQ(e.GetShenShaRZ1(p, 3), "|31");      // 卯: 红鸾 of 子
    EXPECT_EQ(e.GetShenShaRZ1(p, 10), "|14");     // 戌: 吊客 of 子
}

TEST(StarText, RowsPrintLastFoundFirstUnderTheirColumns) {
    Corvel_BZClass e;
    StarLists lists{"|7", "", "|16|24", ""};
    const std::string text = e.c_shensha(lists, "[年干]");
    const std::string expected =
        "[年干]　　将星　　" + kCellEnd + kU4 + kCellEnd + "太极贵人" + kCellEnd + kU4 + kCellEnd +
        "\r\n" + "　　　　　" + kU4 + kCellEnd + kU4 + kCellEnd + "天乙贵人" + kCellEnd + kU4 +
        kCellEnd + "\r\n";
    EXPECT_EQ(text, expected);
    for (const auto& l : lists) EXPECT_TRUE(l.empty());

    StarLists none;
    EXPECT_EQ(e.c_shensha(none, "[月支]"), "");

    StarLists twice{"", "", "", "|39|39"};
    EXPECT_EQ(e.c_shensha(twice, "[日支]"),
              "[日支]　　" + kU4 + kCellEnd + kU4 + kCellEnd + kU4 + kCellEnd + "空亡　　" + kCellEnd +
                  "\r\n" + "　　　　　" + kU4 + kCellEnd + kU4 + kCellEnd + kU4 + kCellEnd +
                  "空亡　　" + kCellEnd + "\r\n");
}

TEST(StarText, ExtraPillarNamesRunTogetherLastFirst) {
    Corvel_BZClass e;
    std::string list = "|7|16";
    EXPECT_EQ(e.c_mgtyshensha(list), "天乙贵人将星　　");
    EXPECT_TRUE(list.empty());
    std::string empty;
    EXPECT_EQ(e.c_mgtyshensha(empty), "");
    std::string three = "|24|24|39";
    EXPECT_EQ(e.c_mgtyshensha(three), "空亡　　太极贵人太极贵人");
}

TEST(StarText, ExtraPillarListConcatenatesTheKeysInOrder) {
    Corvel_BZClass e;
    // Year 甲子, month 丙寅, day 甲子 (voids 戌亥), hour 甲子; male, forward.
    const Pillars p = FromSerials(0, 2, 0, 0);
    e.kw_z = {10, 11};
    // Extra pillar 辛未: year stem 甲 → 天乙 at 未; year branch 子 forward → 元辰 at 未;
    // 子 group → nothing at 未; month 寅: 天医 丑, 天德 丁, 月德 丙 → nothing;
    // not void; day stem 甲 → 天乙 again; day branch 子 → nothing.
    EXPECT_EQ(e.GetmgtyShenSha(p, ExtraPillar{GanZhi{0, 0}, GanZhi{7, 7}}, 1), "|16|3|16");
    // Extra pillar 丙戌: 国印 of 甲, 寡宿 of 子, 月德 丙 of the 寅 month, void,
    // 国印 of the day stem 甲 again.
    EXPECT_EQ(e.GetmgtyShenSha(p, ExtraPillar{GanZhi{0, 0}, GanZhi{2, 10}}, 1), "|36|1|6|39|36");
}

TEST(StarLines, ChartWithoutAnyStarShowsOnlyTheHeading) {
    Corvel_BZClass e;
    // 甲申 壬申 甲申 甲申: no key points at 申, and the 壬 that the 申 month's
    // 月德 names stands on the month pillar itself, which that key skips.
    for (int sex : {0, 1}) EXPECT_EQ(e.GetShenSha(FromSerials(20, 8, 20, 20), sex), "神煞： \r\n");
}

TEST(StarLines, SectionsLabelsAndSkippedPillars) {
    Corvel_BZClass e;
    // Year 甲寅 (50), month 丙子 (12), day 戊子 (24), hour 乙丑 (1).
    const Pillars p = FromSerials(50, 12, 24, 1);
    const std::string text = e.GetShenSha(p, 1);
    // [年干] 甲: 寅 gets 禄神 then 福星贵人 (two rows, the later found first);
    // 子 gets 太极贵人, 丑 天乙贵人.
    const std::string nianGan =
        "[年干]　　福星贵人" + kCellEnd + "太极贵人" + kCellEnd + "太极贵人" + kCellEnd +
        "天乙贵人" + kCellEnd + "\r\n" + "　　　　　禄神　　" + kCellEnd + kU4 + kCellEnd + kU4 +
        kCellEnd + kU4 + kCellEnd + "\r\n";
    EXPECT_NE(text.find(nianGan), std::string::npos) << text;
    // [日干] 戊: 寅 gets 学堂; 丑 gets 天乙贵人 and 太极贵人 twice, so the hour
    // column holds three rows, a 太极 first.
    const std::string riGan =
        "[日干]　　学堂　　" + kCellEnd + kU4 + kCellEnd + kU4 + kCellEnd + "太极贵人" + kCellEnd +
        "\r\n" + "　　　　　" + kU4 + kCellEnd + kU4 + kCellEnd + kU4 + kCellEnd + "太极贵人" +
        kCellEnd + "\r\n" + "　　　　　" + kU4 + kCellEnd + kU4 + kCellEnd + kU4 + kCellEnd +
        "天乙贵人" + kCellEnd + "\r\n";
    EXPECT_NE(text.find(riGan), std::string::npos) << text;
    // [日支] 子 (voids of 戊子: 午未): 驿马 at 寅 and 将星 at the month 子; the
    // day column stays blank although 子 is the 将星 of its own group.
    const std::string riZhi = "[日支]　　驿马　　" + kCellEnd + "将星　　" + kCellEnd + kU4 +
                              kCellEnd + kU4 + kCellEnd + "\r\n";
    EXPECT_NE(text.find(riZhi), std::string::npos) << text;
    // [月支] 子: 天医 at 亥, 天德 at 巳, 月德 stem 壬 — nothing here, and the
    // month pillar is never looked at, so no [月支] line.
    EXPECT_EQ(text.find("[月支]"), std::string::npos) << text;
    EXPECT_EQ(text.rfind("神煞： \r\n", 0), 0u);
}

TEST(StarLines, VoidBranchMarksOtherPillarsOnly) {
    Corvel_BZClass e;
    // Day 甲子 has the voids 戌亥; year 壬戌 (58) and hour 乙亥 (11) are void.
    const Pillars p = FromSerials(58, 14, 0, 11);  // month 戊寅
    const std::string text = e.GetShenSha(p, 1);
    const auto at = text.find("[日支]");
    ASSERT_NE(at, std::string::npos) << text;
    // 戌: 空亡 only; 寅: 驿马 of the 子 group; 亥: 空亡, then 亡神 of the 子 group.
    const std::string riZhi = "[日支]　　空亡　　" + kCellEnd + "驿马　　" + kCellEnd + kU4 + kCellEnd +
                              "亡神　　" + kCellEnd + "\r\n" + "　　　　　" + kU4 + kCellEnd + kU4 +
                              kCellEnd + kU4 + kCellEnd + "空亡　　" + kCellEnd + "\r\n";
    EXPECT_EQ(text.substr(at), riZhi);
}

}  // namespace
}  // namespace paipan
