// Complete result texts compared byte for byte with reviewed files.
//
// Each file under golden/ was generated once from this program and then read
// line by line against the chart's literals: the correction block, the header
// (公历/农历 lines, jie terms), the luck-start lines, the ten-deity row, the
// 乾造/坤造 line in the layout asked for with its void branches, the hidden
// stems with their deities, the 纳音 and 长生 rows, the star rows of every
// key (columns under the pillars, two-star cells on two rows), the luck
// rows (stages, bracketed 纳音 names, deities, pillars, ages), the 始于/流年/
// 止于 table, 胎元/命宫 with their stars, the minor luck, the reminder and
// the footer. Pillars were checked against almanac facts (2000-01-07 甲子,
// 1990 庚午, 1984 甲子, 1889 己丑).
//
// Regenerate (only after a deliberate change, and review the diff):
//   PAIPAN_UPDATE_GOLDEN=1 ./chart_golden_test
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>

#include "chart/chart_request.h"
#include "chart_test_support.h"

namespace paipan {
namespace {

struct Golden {
    const char* file;
    ChartInput input;
};

std::vector<Golden> Cases() {
    std::vector<Golden> g;
    ChartInput all = DefaultChartInput(1990, 5, 8, 14, 5);  // vertical, every section on
    all.minorLuck = all.palace = true;
    g.push_back({"vertical_all_on.txt", all});

    ChartInput horizontal = DefaultChartInput(1984, 2, 4, 23, 40);  // a few hours after 立春
    horizontal.name = "李梅";
    horizontal.place = "北京";
    horizontal.longitude = "116";
    horizontal.longitudeMinutes = "28";
    horizontal.male = false;
    horizontal.horizontal = true;
    horizontal.minorLuck = horizontal.palace = true;
    g.push_back({"horizontal_female_all_on.txt", horizontal});

    ChartInput off = DefaultChartInput(2000, 1, 7, 0, 30);
    off.annual = off.stars = off.deities = off.hiddenStems = off.nayin = off.stages = false;
    g.push_back({"vertical_all_off.txt", off});

    ChartInput night = DefaultChartInput(2000, 1, 6, 23, 30);
    night.nightZi = true;
    night.minorLuck = night.palace = true;
    g.push_back({"night_zi.txt", night});

    ChartInput west = DefaultChartInput(1890, 1, 1, 0, 5);  // corrected into 1889
    west.name = "Smith";
    west.place = "纽约";
    west.longitude = "-75";
    west.longitudeMinutes = "30";
    west.horizontal = true;
    g.push_back({"west_1889.txt", west});
    return g;
}

TEST(Golden, CompleteChartsMatchTheReviewedFiles) {
    const bool update = std::getenv("PAIPAN_UPDATE_GOLDEN") != nullptr;
    for (const auto& g : Cases()) {
        const auto outcome = RunChartRequest(g.input);
        const auto* r = std::get_if<ChartResult>(&outcome);
        ASSERT_TRUE(r) << g.file;
        const std::string path = std::string(PAIPAN_GOLDEN_DIR) + "/" + g.file;
        if (update) {
            std::ofstream(path, std::ios::binary) << r->text;
            continue;
        }
        const std::string expected = test::ReadAll(path);
        ASSERT_FALSE(expected.empty()) << "missing " << path;
        EXPECT_EQ(r->text, expected) << g.file;
    }
}

}  // namespace
}  // namespace paipan
