// Stem-branch arithmetic: serials, elements, ten deities, void branches,
// life stages and the luck direction.
#include <gtest/gtest.h>

#include <stdexcept>

#include "engine/corvel_bzclass.h"

namespace paipan {
namespace {

TEST(Arithmetic, StemAndBranchCharacters) {
    const Corvel_BZClass e;
    EXPECT_EQ(e.GetG(-3), "丁");  // a negative stem reads as its absolute value
    EXPECT_EQ(e.GetG(3), "丁");
    EXPECT_EQ(e.GetG(9), "癸");
    EXPECT_EQ(e.GetZ(0), "子");
    EXPECT_EQ(e.GetZ(11), "亥");
}

TEST(Arithmetic, IndicesOutsideTheTablesAreProgrammingErrors) {
    Corvel_BZClass e;
    EXPECT_THROW(e.GetG(10), std::logic_error);
    EXPECT_THROW(e.GetG(-10), std::logic_error);
    EXPECT_THROW(e.GetZ(12), std::logic_error);
    EXPECT_THROW(e.GetZ(-1), std::logic_error);  // no absolute value for branches
    EXPECT_THROW(e.GetGWuXing(10), std::logic_error);
    EXPECT_THROW(e.GetTenDeity(0, -1), std::logic_error);
    e.bz[2] = {10, 0};
    EXPECT_THROW(e.GetSWB(0), std::logic_error);
    EXPECT_THROW(e.GetKongWang(), std::logic_error);
    e.bz[2] = {0, 0};
    EXPECT_THROW(e.GetSWB(12), std::logic_error);
}

TEST(Arithmetic, SexagenarySerials) {
    const Corvel_BZClass e;
    struct Case {
        int g, z;
        std::optional<int> serial;
    };
    const Case cases[] = {
        {0, 0, 0},  {9, 11, 59}, {0, 10, 10}, {2, 2, 2}, {1, 1, 1}, {0, 1, std::nullopt},
        {3, 4, std::nullopt},  // different polarity
        {10, 0, std::nullopt},  // outside the tables: no serial either
    };
    for (const auto& c : cases) EXPECT_EQ(e.GetSerial(c.g, c.z), c.serial) << c.g << "," << c.z;
}

TEST(Arithmetic, ElementsOfTheStems) {
    const Corvel_BZClass e;
    const int expected[] = {0, 0, 1, 1, 2, 2, 3, 3, 4, 4};
    for (int g = 0; g < 10; ++g) EXPECT_EQ(e.GetGWuXing(g), expected[g]) << g;
}

TEST(Arithmetic, TenDeities) {
    const Corvel_BZClass e;
    const char* fromJia[] = {"比肩", "劫财", "食神", "伤官", "偏财",
                             "正财", "七杀", "正官", "枭神", "正印"};
    for (int g = 0; g < 10; ++g) EXPECT_EQ(e.GetTenDeity(0, g), fromJia[g]) << g;
    EXPECT_EQ(e.GetTenDeity(1, 0), "劫财");
    EXPECT_EQ(e.GetTenDeity(1, 8), "正印");
    EXPECT_EQ(e.GetTenDeity(1, 9), "枭神");
}

TEST(Arithmetic, VoidBranchesOfTheDayPillar) {
    struct Case {
        GanZhi day;
        std::array<int, 2> kw;
        const char* text;
    };
    const Case cases[] = {
        {{0, 0}, {10, 11}, "戌亥"},  // 甲子
        {{9, 11}, {0, 1}, "子丑"},   // 癸亥
        {{9, 1}, {2, 3}, "寅卯"},    // 癸丑
        {{0, 10}, {8, 9}, "申酉"},   // 甲戌
        {{0, 8}, {6, 7}, "午未"},    // 甲申
        {{0, 6}, {4, 5}, "辰巳"},    // 甲午
        {{0, 4}, {2, 3}, "寅卯"},    // 甲辰
        {{0, 2}, {0, 1}, "子丑"},    // 甲寅
    };
    for (const auto& c : cases) {
        Corvel_BZClass e;
        e.bz[2] = c.day;
        e.GetKongWang();
        EXPECT_EQ(e.kw_z, c.kw);
        EXPECT_EQ(e.kwstr, c.text);
    }
}

TEST(Arithmetic, LifeStagesOfTheDayStem) {
    struct Case {
        int dayStem, branch;
        const char* stage;
    };
    const Case cases[] = {
        {0, 11, "长生"}, {0, 0, "沐浴"}, {0, 6, "死　"},  // 甲 at 亥, 子, 午
        {1, 6, "长生"},  {1, 5, "沐浴"}, {1, 11, "死　"},  // 乙 at 午, 巳, 亥
    };
    for (const auto& c : cases) {
        Corvel_BZClass e;
        e.bz[2] = {c.dayStem, 0};
        EXPECT_EQ(e.GetSWB(c.branch), c.stage) << c.dayStem << "," << c.branch;
    }
}

TEST(Arithmetic, LuckDirection) {
    const Corvel_BZClass e;
    Pillars p{};
    p[0] = {0, 0};  // 甲 year
    EXPECT_TRUE(e.isshun(p, 1));
    EXPECT_FALSE(e.isshun(p, 0));
    p[0] = {1, 1};  // 乙 year
    EXPECT_FALSE(e.isshun(p, 1));
    EXPECT_TRUE(e.isshun(p, 0));
}

}  // namespace
}  // namespace paipan
