// Helpers shared by the chart tests: the engine run on a request, and the
// bytes of a file.
#pragma once

#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>

#include "calendar/store.h"
#include "engine/corvel_bzclass.h"

namespace paipan::test {

// A request as SetRequest takes it; every section on unless changed.
struct EngineRequest {
    int year = 2000, month = 1, day = 7, hour = 12, minute = 0, sex = 1;
    std::string name = "张三", place = "安徽";
    Value mode = 0;  // 1 horizontal
    Value dyp = 1, lnp = 1, cgp = 1, ssp = 1, nyp = 1, shenshap = 1, csp = 1, mgp = 1, qyp = 1,
          xyp = 1, zsp = 0, jyssp = 1;
    std::string realtime = "经度：120度0分\r\n\r\n";
};

// Hands the request to `e` and runs Main (data beside the test).
inline void RunMain(Corvel_BZClass& e, const EngineRequest& r) {
    if (e.dataFolder.empty()) e.dataFolder = ProgramFolder();
    e.s_realtime = r.realtime;
    e.SetRequest(r.year, r.month, r.day, r.hour, r.minute, r.sex, r.name, r.place, r.dyp, r.lnp,
                 r.cgp, r.ssp, r.nyp, r.shenshap, r.csp, r.mgp, r.qyp, r.xyp, r.zsp, r.jyssp,
                 r.mode);
    e.Main();
}

inline std::unique_ptr<Corvel_BZClass> RunMain(const EngineRequest& r) {
    auto e = std::make_unique<Corvel_BZClass>();
    RunMain(*e, r);
    return e;
}

inline std::string ReadAll(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

}  // namespace paipan::test
