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

using paipan::EngineRequest;

// Hands the request to `e` and runs Main (data beside the test).
inline void RunMain(Corvel_BZClass& e, const EngineRequest& r) {
    if (e.dataFolder.empty()) e.dataFolder = ProgramFolder();
    e.SetRequest(r);
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
