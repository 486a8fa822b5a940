// Stem-branch arithmetic on plain indexes: stem 0-9 (甲 … 癸), branch 0-11
// (子 … 亥), sexagenary serial 0-59 (0 = 甲子).
#pragma once

#include <array>
#include <string_view>

namespace paipan {

// (stem, branch) index pair; column 0 the stem, column 1 the branch.
using GanZhi = std::array<int, 2>;

// The characters of the stems and branches, by index.
inline constexpr std::array<std::string_view, 10> kStemNames{"甲", "乙", "丙", "丁", "戊",
                                                             "己", "庚", "辛", "壬", "癸"};
inline constexpr std::array<std::string_view, 12> kBranchNames{"子", "丑", "寅", "卯", "辰", "巳",
                                                               "午", "未", "申", "酉", "戌", "亥"};

// The remainder of a by m in [0, m), also for negative a.
constexpr int Mod(int a, int m) { return ((a % m) + m) % m; }

// The serial of a Gregorian year's pillar, the year counted at 立春: 1864
// was a 甲子 year.
constexpr int YearSerialOf(int year) { return Mod(year - 1864, 60); }

constexpr GanZhi YearPillarOf(int year) {
    const int s = YearSerialOf(year);
    return {s % 10, s % 12};
}

// The pillar `steps` places on in the cycle of sixty (back when negative):
// the luck and minor-luck pillars step from the month and hour pillars.
constexpr GanZhi StepPillar(GanZhi from, int steps) { return {Mod(from[0] + steps, 10), Mod(from[1] + steps, 12)}; }

// The two void branches (空亡) of a day pillar: the ten-day decade that holds
// the day leaves unmatched the two branches just below its 甲 day's branch.
constexpr std::array<int, 2> VoidBranchesOf(GanZhi day) {
    int x = day[1] - day[0];
    if (x < 1) x += 12;  // 2, 4, ..., 12 for a day pillar of one polarity
    return {x - 2, x - 1};
}

}  // namespace paipan
