// Stem-branch arithmetic: characters, sexagenary serials, elements, ten
// deities, void branches, the twelve life stages and the luck direction.
// The engine's callers pass only indices taken from its own tables; anything
// else is a fault in the calling code and throws std::logic_error.
#include <array>
#include <cstdlib>
#include <stdexcept>
#include <string>

#include "engine/pillar_engine.h"

namespace paipan {
namespace {

void RequireStem(int g, const char* where) {
    if (g < 0 || g > 9) {
        throw std::logic_error(std::string(where) + ": stem index " + std::to_string(g) + " is outside 0-9");
    }
}

void RequireBranch(int z, const char* where) {
    if (z < 0 || z > 11) {
        throw std::logic_error(std::string(where) + ": branch index " + std::to_string(z) + " is outside 0-11");
    }
}

// Ten-deity names by the element distance d = (element of g − element of the
// day stem + 5) mod 5 (rows) and polarity (same, different). The indirect
// seal is called 枭神 in this chart.
constexpr std::array<std::array<const char*, 2>, 5> kTenDeity = {{
    {"比肩", "劫财"},  // same element
    {"食神", "伤官"},  // produced by the day stem
    {"偏财", "正财"},  // overcome by the day stem
    {"七杀", "正官"},  // overcomes the day stem
    {"枭神", "正印"},  // produces the day stem
}};

}  // namespace

std::string PillarEngine::GetG(int g) const {
    // A negative stem reads as its absolute value: -3 and 3 are both 丁.
    const int index = std::abs(g);
    RequireStem(index, "GetG");
    return TianGan[static_cast<std::size_t>(index)];
}

std::string PillarEngine::GetZ(int z) const {
    RequireBranch(z, "GetZ");
    return DiZhi[static_cast<std::size_t>(z)];
}

std::optional<int> PillarEngine::GetSerial(int g, int z) const {
    // The place of every stem and branch in the cycle, -1 where they never
    // meet (a stem and a branch of different polarity).
    static constexpr auto kSerial = [] {
        std::array<std::array<int, 12>, 10> serial{};
        for (auto& row : serial) row.fill(-1);
        for (int i = 0; i < 60; ++i) serial[static_cast<std::size_t>(i % 10)][static_cast<std::size_t>(i % 12)] = i;
        return serial;
    }();
    if (g < 0 || g > 9 || z < 0 || z > 11) return std::nullopt;
    const int i = kSerial[static_cast<std::size_t>(g)][static_cast<std::size_t>(z)];
    return i < 0 ? std::nullopt : std::optional<int>(i);
}

int PillarEngine::GetGWuXing(int g) const {
    RequireStem(g, "GetGWuXing");
    return g / 2;  // 甲乙 木, 丙丁 火, 戊己 土, 庚辛 金, 壬癸 水
}

std::string PillarEngine::GetTenDeity(int s, int g) const {
    const int eg = GetGWuXing(g);
    const int es = GetGWuXing(s);
    const int d = (eg - es + 5) % 5;  // [0, 4]
    const bool same = (s % 2) == (g % 2);
    return kTenDeity[static_cast<std::size_t>(d)][same ? 0 : 1];
}

void PillarEngine::GetKongWang() {
    const int stem = bz[2][0];
    const int branch = bz[2][1];
    RequireStem(stem, "GetKongWang");
    RequireBranch(branch, "GetKongWang");
    kw_z = VoidBranchesOf({stem, branch});
    kwstr = GetZ(kw_z[0]) + GetZ(kw_z[1]);
}

std::string PillarEngine::GetSWB(int z) const {
    const int d = bz[2][0];
    RequireStem(d, "GetSWB");
    RequireBranch(z, "GetSWB");
    const int c = ChangShengZhi[static_cast<std::size_t>(d)];
    // Yang stems run the stages forward from their 长生 branch, yin stems backward.
    const int stage = (d % 2 == 0) ? (z + 12 - c) % 12 : (c + 12 - z) % 12;
    return ChangSheng[static_cast<std::size_t>(stage)];
}

bool PillarEngine::isshun(const Pillars& pillars, int sex) const {
    // Forward (顺) for a man with a yang year stem or a woman with a yin one.
    const int yearStem = pillars[0][0];
    RequireStem(yearStem, "isshun");
    return ((sex % 2 + 2) % 2) == (yearStem + 1) % 2;
}

}  // namespace paipan
