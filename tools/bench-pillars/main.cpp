// Times 八字反查 on random pillars of real moments: four pillars, three (the
// year open) and two (day and hour), each the median of many searches over
// the same years. Writes the searches it made to a file, one per line
// ("年柱 月柱 日柱 时柱 sect", sect 1 without the night-zi rule, 2 with it), for
// tools/bench-batch/from-bazi.js to run through lunar-javascript.
// Usage: paipan-bench-pillars FROM_YEAR TO_YEAR SEARCHES_FILE
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <fstream>
#include <random>
#include <string>
#include <vector>

#include "util/program_folder.h"
#include "calendar/pillar_search.h"
#include "calendar/store.h"

namespace {

using namespace paipan;
using Clock = std::chrono::steady_clock;

struct Kind {
    const char* name;
    std::array<bool, 4> given;
    int searches;
};

double Median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

// Random corrected minutes of the years, their pillars as the chart gives them.
std::vector<PillarQuery> RandomQueries(const PillarSearch& search, int from, int to, int count) {
    std::mt19937 random(20261207);
    auto pick = [&](int low, int high) { return std::uniform_int_distribution<int>(low, high)(random); };
    std::vector<PillarQuery> queries;
    while (static_cast<int>(queries.size()) < count) {
        const bool nightZi = queries.size() % 2 == 1;
        const CivilTime t{pick(from, to), pick(1, 12), pick(1, 28), pick(0, 23), pick(0, 59), 0};
        const auto p = search.PillarsAt(t, nightZi);
        if (!p) continue;
        PillarQuery q{{(*p)[0], (*p)[1], (*p)[2], (*p)[3]}, nightZi, from, to};
        queries.push_back(q);
    }
    return queries;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 4) {
        std::fprintf(stderr, "usage: paipan-bench-pillars FROM_YEAR TO_YEAR SEARCHES_FILE\n");
        return 2;
    }
    const int from = std::stoi(argv[1]), to = std::stoi(argv[2]);
    const auto loadStart = Clock::now();
    const PillarSearch search(ProgramFolder() / kCalendarFileName);
    const double loadMs = std::chrono::duration<double, std::milli>(Clock::now() - loadStart).count();
    std::printf("load of the jie minutes: %.2f ms\n", loadMs);

    const Kind kinds[] = {{"four pillars", {true, true, true, true}, 2000},
                          {"three (year open)", {false, true, true, true}, 2000},
                          {"two (day and hour)", {false, false, true, true}, 300}};
    const auto queries = RandomQueries(search, from, to, 2000);
    std::ofstream out(argv[3]);
    for (const auto& q : queries) {
        for (const auto& p : q.pillars) out << PillarText(p) << ' ';
        out << (q.nightZi ? 2 : 1) << '\n';
    }
    for (const Kind& kind : kinds) {
        std::vector<double> ms;
        std::size_t listed = 0;
        for (int i = 0; i < kind.searches; ++i) {
            PillarQuery q = queries[static_cast<std::size_t>(i)];
            for (std::size_t k = 0; k < 4; ++k)
                if (!kind.given[k]) q.pillars[k].reset();
            const auto start = Clock::now();
            const auto result = search.Find(q);
            ms.push_back(std::chrono::duration<double, std::milli>(Clock::now() - start).count());
            listed += result.intervals.size();
        }
        std::printf("%-20s %d-%d: median %.4f ms, max %.4f ms over %d searches (%.1f stretches each)\n", kind.name,
                    from, to, Median(ms), *std::max_element(ms.begin(), ms.end()), kind.searches,
                    static_cast<double>(listed) / kind.searches);
    }
    return 0;
}
