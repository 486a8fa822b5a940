// The engine as created (tables, request record, array helpers), the
// stem-branch arithmetic, the dynamic value and the date-times.
#include <gtest/gtest.h>

#include <algorithm>
#include <optional>
#include <stdexcept>
#include <string_view>
#include <tuple>

#include "chart/corvel_bzclass.h"
#include "util/utf8.h"

namespace paipan {
namespace {

using Slots = std::array<int, 3>;

TEST(Tables, FreshEngine) {
    const Corvel_BZClass e;
    // clang-format off
    const std::pair<std::string, const char*> names[] = {
        {e.TianGan[0], "甲"},        {e.DiZhi[11], "亥"},          {e.JieQiName[0], "小寒"},
        {e.JieQiName[23], "冬至"},   {e.NaYin[29], "大海水"},      {e.ShenShaName[40], ""},
        {e.ShenShaName[15], "勾绞煞　"}, {e.ChangSheng[5], "衰　"},  // one U+3000 after each
        {e.NlMonthName[0], "*"},     {e.NlMonthName[12], "十二"},  {e.NlDayName[0], "*"},
        {e.NlDayName[30], "三十"},   {e.ShenShaName[37], e.ShenShaName[39].c_str()}};
    // clang-format on
    for (const auto& [got, expected] : names) EXPECT_EQ(got, expected);
    // Names the chart aligns are two wide: three UTF-8 bytes per character or U+3000.
    for (const auto& name : e.ChangSheng) EXPECT_EQ(name.size(), 6u) << name;
    for (std::size_t i = 0; i < 40; ++i) EXPECT_EQ(e.ShenShaName[i].size(), 12u) << i;
    EXPECT_EQ(e.CangGan[5], (Slots{6, 2, 4}));    // 巳: 庚 丙 戊
    EXPECT_EQ(e.CangGan[0], (Slots{9, -1, -1}));  // 子: 癸 alone
    EXPECT_EQ(e.CangGan[1], (Slots{9, 7, 5}));    // 丑: 癸 辛 己, not the main qi first
    EXPECT_EQ(e.CangGan[11], (Slots{8, 0, -1}));  // 亥: 壬 甲
    // Every other field is empty.
    EXPECT_TRUE(e.OutputStr.empty() && e.kwstr.empty() && e.nn == 0 && !e.leap && e.nian == 0);
    EXPECT_EQ(e.notifier, nullptr);
}

TEST(SetRequest, SwitchesAsNumbersTextsUnchanged) {
    Corvel_BZClass e;
    e.SetRequest(1990, 5, 8, 14, 5, 1, "张三", "安徽", "1", 1, "0", 1, 1, 1, 1, 1, 1, 1, "1", 2, 1);
    // jyssp2 stays 2, not 1: the section is off.
    EXPECT_EQ(std::tie(e.dyp2, e.cgp2, e.zsp2, e.jyssp2, e.nian, e.fen, e.mode2), std::tuple(1, 0, 1, 2, 1990, 5, 1));
    EXPECT_EQ(e.name2 + e.area2, "张三安徽");
    e.SetRequest(1990, 5, 8, 14, 5, 1, "", "", "yes", 1, 1, 1, 1, 1, 1, 1, 1, 1, 0.5, 1, 1);
    EXPECT_EQ(e.dyp2, 0);  // a non-numeric switch is off
    EXPECT_NE(e.zsp2, 1);
}

TEST(Value, ToNumberAddsZero) {
    const std::pair<Value, std::optional<double>> cases[] = {
        // clang-format off
        {7, 7.0},        {2.5, 2.5},   {true, 1.0},          {false, 0.0},       {Value{}, 0.0},
        {"12", 12.0},    {"-3", -3.0}, {"1.25", 1.25},       {"+4", 4.0},        {"", std::nullopt},
        {"abc", std::nullopt},         {"1 ", std::nullopt}, {ValueArray{1}, std::nullopt},
        // clang-format on
        {"１", std::nullopt}};  // a full-width digit is not a number
    for (const auto& [v, expected] : cases) EXPECT_EQ(v.ToNumber(), expected);
}

TEST(ArrayHelpers, MArrayFindsTheLastMatchExpandArrayGrows) {
    const Corvel_BZClass e;
    const std::tuple<Value, Value, int> cases[] = {
        {3, ValueArray{3, 5, 3}, 2},                                      // the search does not stop at the first match
        {7, ValueArray{3, 5}, -1},         {3, 3, -2},                    // not an array
        {"乙", ValueArray{"甲", "乙"}, 1}, {5, ValueArray{5.0, "5"}, 0},  // a text is no number
        {Value{}, ValueArray{Value{}}, 0}, {Value{}, ValueArray{0}, -1},
        {true, ValueArray{true}, 0},       {true, ValueArray{false}, -1}};
    for (const auto& [a, arr, expected] : cases) EXPECT_EQ(e.m_array(a, arr), expected);

    Value arr = ValueArray{0, 1, "二", 3.5, true};  // bounds 0 to 4
    const Value before = arr;
    EXPECT_TRUE(e.expandarray(arr).IsEmpty());
    ASSERT_EQ(arr.Array().size(), 6u);  // bounds 0 to 5
    EXPECT_TRUE(std::equal(before.Array().begin(), before.Array().end(), arr.Array().begin()));
    EXPECT_TRUE(arr.Array()[5].IsEmpty());
    Value scalar = 3;
    EXPECT_THROW(e.expandarray(scalar), std::logic_error);
}

TEST(DateTime, MakeAndSplit) {
    const CivilTime c = ToCivil(MakeDateTime(2000, 2, 29, 23, 59, 7));
    EXPECT_EQ(std::tie(c.year, c.month, c.day, c.hour, c.minute, c.second), std::tuple(2000, 2, 29, 23, 59, 7));
    EXPECT_EQ(MakeDateTime(1999, 12, 31, 23, 60), MakeDateTime(2000, 1, 1));  // minutes carry
}

TEST(Arithmetic, CharactersSerialsElementsDeitiesDirection) {
    const Corvel_BZClass e;
    EXPECT_EQ(e.GetG(-3) + e.GetG(3) + e.GetG(9) + e.GetZ(0) + e.GetZ(11), "丁丁癸子亥");
    const std::tuple<int, int, std::optional<int>> serials[] = {
        // clang-format off
        {0, 0, 0},  {9, 11, 59}, {0, 10, 10}, {2, 2, 2}, {1, 1, 1}, {0, 1, std::nullopt},
        {3, 4, std::nullopt}, {10, 0, std::nullopt}};  // different polarity; outside the tables
    // clang-format on
    for (const auto& [g, z, serial] : serials) EXPECT_EQ(e.GetSerial(g, z), serial) << g << z;
    std::string elements, deities;
    for (int g = 0; g < 10; ++g) {
        elements += std::to_string(e.GetGWuXing(g));
        deities += e.GetTenDeity(0, g);
    }
    EXPECT_EQ(elements, "0011223344");                               // 甲乙 木 0, 丙丁 火 1 … 壬癸 水 4
    EXPECT_EQ(deities, "比肩劫财食神伤官偏财正财七杀正官枭神正印");  // 甲 … 癸 against a 甲 day
    EXPECT_EQ(e.GetTenDeity(1, 0) + e.GetTenDeity(1, 8) + e.GetTenDeity(1, 9), "劫财正印枭神");
    Pillars p{};  // 甲 year: forward for a man, backward for a woman; 乙 year the other way
    EXPECT_TRUE(e.isshun(p, 1) && !e.isshun(p, 0));
    p[0] = {1, 1};
    EXPECT_TRUE(!e.isshun(p, 1) && e.isshun(p, 0));
}

TEST(Arithmetic, VoidBranchesAndLifeStagesOfTheDayPillar) {
    const std::tuple<GanZhi, const char*> voids[] = {
        {{0, 0}, "戌亥"}, {{9, 11}, "子丑"}, {{9, 1}, "寅卯"}, {{0, 10}, "申酉"},  // 甲子…甲戌
        {{0, 8}, "午未"}, {{0, 6}, "辰巳"},  {{0, 4}, "寅卯"}, {{0, 2}, "子丑"}};  // 甲申…甲寅
    Corvel_BZClass e;
    for (const auto& [day, text] : voids) {
        e.bz[2] = day;
        e.GetKongWang();
        EXPECT_EQ(e.kwstr, text);
        EXPECT_EQ(e.GetZ(e.kw_z[0]) + e.GetZ(e.kw_z[1]), text);
    }
    const std::tuple<int, int, const char*> stages[] = {
        {0, 11, "长生"}, {0, 0, "沐浴"}, {0, 6, "死　"},    // 甲 at 亥, 子, 午
        {1, 6, "长生"},  {1, 5, "沐浴"}, {1, 11, "死　"}};  // 乙 at 午, 巳, 亥
    for (const auto& [stem, branch, stage] : stages) {
        e.bz[2] = {stem, 0};
        EXPECT_EQ(e.GetSWB(branch), stage) << stem << "," << branch;
    }
}

TEST(Arithmetic, IndicesOutsideTheTablesAreProgrammingErrors) {
    Corvel_BZClass e;
    EXPECT_THROW(e.GetG(10), std::logic_error);
    EXPECT_THROW(e.GetG(-10), std::logic_error);
    EXPECT_THROW(e.GetZ(12), std::logic_error);
    EXPECT_THROW(e.GetZ(-1), std::logic_error);  // no absolute value for branches
    EXPECT_THROW(e.GetGWuXing(10), std::logic_error);
    EXPECT_THROW(e.GetTenDeity(0, -1), std::logic_error);
    EXPECT_THROW(e.GetSWB(12), std::logic_error);
    e.bz[2] = {10, 0};
    EXPECT_THROW(e.GetSWB(0), std::logic_error);
    EXPECT_THROW(e.GetKongWang(), std::logic_error);
}

// UTF-16 code units, the unit of the result box's positions: the Unicode
// standard encodes U+0000 … U+FFFF in one unit, U+10000 … U+10FFFF as a
// surrogate pair.
TEST(Utf16Length, OneUnitInTheBasicPlaneTwoBeyond) {
    const std::pair<std::string_view, int> cases[] = {{"", 0},           {"a", 1},
                                                      {"\u00e9", 1},     {"字", 1},
                                                      {"\u3000", 1},     {"\uffff", 1},
                                                      {"\U00010000", 2}, {"😀头\r\n", 5},
                                                      {"\U0010ffff", 2}, {"甲子\U00020000", 4}};  // 𠀀, CJK Extension B
    for (const auto& [text, units] : cases) EXPECT_EQ(Utf16Length(text), units) << text;
}

}  // namespace
}  // namespace paipan
