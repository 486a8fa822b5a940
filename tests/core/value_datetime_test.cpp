// The dynamic value of the request and the engine's date-times.
#include <gtest/gtest.h>

#include "engine/datetime.h"
#include "engine/value.h"

namespace paipan {
namespace {

TEST(Value, ToNumberAddsZero) {
    struct Case {
        Value v;
        std::optional<double> expected;
    };
    const Case cases[] = {
        {7, 7.0},       {2.5, 2.5},           {true, 1.0},         {false, 0.0},
        {Value{}, 0.0}, {"12", 12.0},         {"-3", -3.0},        {"1.25", 1.25},
        {"+4", 4.0},    {"abc", std::nullopt}, {"", std::nullopt},  {"1 ", std::nullopt},
        {"１", std::nullopt},  // a full-width digit is not a number
        {ValueArray{1}, std::nullopt},
    };
    for (const auto& c : cases) EXPECT_EQ(c.v.ToNumber(), c.expected);
}

TEST(Value, EqualityByKind) {
    EXPECT_TRUE(Value(3) == Value(3.0));
    EXPECT_TRUE(Value("甲") == Value("甲"));
    EXPECT_FALSE(Value("3") == Value(3));
    EXPECT_TRUE(Value() == Value());
    EXPECT_FALSE(Value() == Value(0));
    EXPECT_TRUE(Value(true) == Value(true));
    EXPECT_FALSE(Value(true) == Value(false));
}

TEST(DateTime, MakeAndSplitRoundTrip) {
    const CivilTime c = ToCivil(MakeDateTime(2000, 2, 29, 23, 59, 7));
    EXPECT_EQ(c.year, 2000);
    EXPECT_EQ(c.month, 2);
    EXPECT_EQ(c.day, 29);
    EXPECT_EQ(c.hour, 23);
    EXPECT_EQ(c.minute, 59);
    EXPECT_EQ(c.second, 7);
    // Minutes beyond the day carry into the next one.
    EXPECT_EQ(MakeDateTime(1999, 12, 31, 23, 60), MakeDateTime(2000, 1, 1));
}

TEST(DateTime, ValidDates) {
    struct Case {
        int y, m, d;
        bool valid;
    };
    const Case cases[] = {
        {2000, 2, 29, true},  {1996, 2, 29, true},  {1900, 2, 29, false}, {1990, 2, 29, false},
        {2000, 2, 30, false}, {1990, 4, 31, false}, {1990, 11, 31, false}, {1990, 1, 31, true},
        {1990, 0, 1, false},  {1990, 13, 1, false}, {1990, 1, 0, false},  {1990, 1, 32, false},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(IsValidDate(c.y, c.m, c.d), c.valid) << c.y << "-" << c.m << "-" << c.d;
    }
}

TEST(DateTime, AddingYearsAndMonthsClampsToTheMonthEnd) {
    struct Case {
        DateTime from;
        int years, months;
        DateTime expected;
    };
    const Case cases[] = {
        {MakeDateTime(2000, 1, 31, 10, 30), 0, 1, MakeDateTime(2000, 2, 29, 10, 30)},
        {MakeDateTime(2001, 1, 31, 10, 30), 0, 1, MakeDateTime(2001, 2, 28, 10, 30)},
        {MakeDateTime(2000, 2, 29, 8, 0), 1, 0, MakeDateTime(2001, 2, 28, 8, 0)},
        {MakeDateTime(2000, 2, 29, 8, 0), 4, 0, MakeDateTime(2004, 2, 29, 8, 0)},
        {MakeDateTime(1999, 11, 30, 0, 0), 0, 3, MakeDateTime(2000, 2, 29, 0, 0)},
        {MakeDateTime(1990, 5, 31, 1, 2), 0, 11, MakeDateTime(1991, 4, 30, 1, 2)},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(AddMonthsClamped(AddYearsClamped(c.from, c.years), c.months), c.expected);
    }
}

}  // namespace
}  // namespace paipan
