// The engine as created: its symbol tables, the request record and the two
// array helpers.
#include <gtest/gtest.h>

#include "engine/corvel_bzclass.h"
#include "test_support.h"

namespace paipan {
namespace {

TEST(Tables, FreshEngineHoldsTheNamedEntries) {
    const Corvel_BZClass e;
    EXPECT_EQ(e.TianGan[0], "甲");
    EXPECT_EQ(e.DiZhi[11], "亥");
    EXPECT_EQ(e.JieQiName[0], "小寒");
    EXPECT_EQ(e.JieQiName[23], "冬至");
    EXPECT_EQ(e.NaYin[29], "大海水");
    EXPECT_EQ(e.ShenShaName[15], "勾绞煞　");  // one U+3000 after the name
    EXPECT_EQ(e.ShenShaName[40], "");
    EXPECT_EQ(e.ShenShaName[37], e.ShenShaName[39]);
    EXPECT_EQ(e.ChangSheng[5], "衰　");  // one U+3000 after the name
    EXPECT_EQ(e.NlMonthName[0], "*");
    EXPECT_EQ(e.NlMonthName[12], "十二");
    EXPECT_EQ(e.NlDayName[0], "*");
    EXPECT_EQ(e.NlDayName[30], "三十");
}

TEST(Tables, FreshEngineLeavesEveryOtherFieldEmpty) {
    const Corvel_BZClass e;
    EXPECT_EQ(e.OutputStr, "");
    EXPECT_EQ(e.kwstr, "");
    EXPECT_EQ(e.nn, 0);
    EXPECT_FALSE(e.leap);
    EXPECT_EQ(e.nian, 0);
    EXPECT_EQ(e.notifier, nullptr);
}

TEST(Tables, HiddenStemsInTheirSlots) {
    const Corvel_BZClass e;
    struct Case {
        int branch;
        std::array<int, 3> stems;
    };
    const Case cases[] = {
        {5, {6, 2, 4}},    // 巳: 庚 丙 戊
        {0, {9, -1, -1}},  // 子: 癸 alone
        {1, {9, 7, 5}},    // 丑: 癸 辛 己, not the main qi first
        {11, {8, 0, -1}},  // 亥: 壬 甲
    };
    for (const auto& c : cases) {
        EXPECT_EQ(e.CangGan[static_cast<std::size_t>(c.branch)], c.stems) << "branch " << c.branch;
    }
}

TEST(Tables, EveryNameIsTwoCharactersWideWhereTheChartAlignsIt) {
    const Corvel_BZClass e;
    // Three bytes per Chinese character or U+3000 in UTF-8.
    for (const auto& name : e.ChangSheng) EXPECT_EQ(name.size(), 6u) << name;
    for (std::size_t i = 0; i < 40; ++i) EXPECT_EQ(e.ShenShaName[i].size(), 12u) << i;
}

TEST(SetRequest, StoresSwitchesAsNumbersAndTextsUnchanged) {
    Corvel_BZClass e;
    e.SetRequest(1990, 5, 8, 14, 5, 1, "张三", "安徽", "1", 1, "0", 1, 1, 1, 1, 1, 1, 1, "1", 2, 1);
    EXPECT_EQ(e.dyp2, 1);
    EXPECT_EQ(e.cgp2, 0);
    EXPECT_EQ(e.zsp2, 1);
    EXPECT_EQ(e.jyssp2, 2);  // not 1: the section stays off
    EXPECT_EQ(e.name2, "张三");
    EXPECT_EQ(e.area2, "安徽");
    EXPECT_EQ(e.nian, 1990);
    EXPECT_EQ(e.fen, 5);
    EXPECT_EQ(e.mode2, 1);
}

TEST(SetRequest, ANonNumericSwitchCountsAsOff) {
    Corvel_BZClass e;
    e.SetRequest(1990, 5, 8, 14, 5, 1, "", "", "yes", 1, 1, 1, 1, 1, 1, 1, 1, 1, 0.5, 1, 1);
    EXPECT_EQ(e.dyp2, 0);
    EXPECT_NE(e.zsp2, 1);
}

TEST(ArrayHelpers, MArrayFindsTheLastMatch) {
    const Corvel_BZClass e;
    struct Case {
        Value a;
        Value arr;
        int expected;
    };
    const Case cases[] = {
        {3, ValueArray{3, 5, 3}, 2},  // the search does not stop at the first match
        {7, ValueArray{3, 5}, -1},
        {3, 3, -2},  // not an array
        {"乙", ValueArray{"甲", "乙"}, 1},
        {5, ValueArray{5.0, "5"}, 0},  // numbers by value; a text is not a number here
    };
    for (const auto& c : cases) EXPECT_EQ(e.m_array(c.a, c.arr), c.expected);
}

TEST(ArrayHelpers, ExpandArrayGrowsByOneEmptyElement) {
    const Corvel_BZClass e;
    Value arr = ValueArray{0, 1, "二", 3.5, true};  // bounds 0 to 4
    const Value before = arr;
    EXPECT_TRUE(e.expandarray(arr).IsEmpty());
    ASSERT_EQ(arr.Array().size(), 6u);  // bounds 0 to 5
    for (std::size_t i = 0; i < 5; ++i) EXPECT_EQ(arr.Array()[i], before.Array()[i]) << i;
    EXPECT_TRUE(arr.Array()[5].IsEmpty());

    Value scalar = 3;
    EXPECT_THROW(e.expandarray(scalar), std::logic_error);
}

}  // namespace
}  // namespace paipan
