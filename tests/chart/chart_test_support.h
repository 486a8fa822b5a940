// Helpers shared by the chart tests: the engine run on a request, the bytes
// of a file, and a built program run with its output caught.
#pragma once

#include <filesystem>
#include <fstream>
#include <memory>
#include <regex>
#include <sys/wait.h>
#include <vector>
#include <sstream>
#include <string>

#include "util/program_folder.h"
#include "calendar/store.h"
#include "chart/corvel_bzclass.h"

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

struct ProgramRun {
    int status = -1;
    std::string out, err;
};

// Runs `program` with `args` (each quoted for the shell) and `in` on stdin,
// from the folder `cwd` (the current one when empty); `scratch` holds the
// files the streams pass through, and stdout goes to `out` instead when it
// is given (/dev/full, say).
inline ProgramRun RunProgram(const std::filesystem::path& program, const std::vector<std::string>& args,
                             const std::string& in, const std::filesystem::path& scratch,
                             const std::filesystem::path& cwd = {}, const std::filesystem::path& out = {}) {
    std::filesystem::create_directories(scratch);
    std::ofstream(scratch / "in", std::ios::binary) << in;
    const auto quote = [](const std::string& s) { return "'" + std::regex_replace(s, std::regex("'"), "'\\''") + "'"; };
    std::string cmd = (cwd.empty() ? "" : "cd " + quote(cwd.string()) + " && ") + quote(program.string());
    for (const auto& a : args) cmd += " " + quote(a);
    std::filesystem::remove(scratch / "out");
    cmd += " <" + quote((scratch / "in").string()) + " >" + quote((out.empty() ? scratch / "out" : out).string()) +
           " 2>" + quote((scratch / "err").string());
    const int raw = std::system(cmd.c_str());
    return {WIFEXITED(raw) ? WEXITSTATUS(raw) : -1, ReadAll(scratch / "out"), ReadAll(scratch / "err")};
}

}  // namespace paipan::test
