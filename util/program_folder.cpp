#include "util/program_folder.h"

#include <system_error>

namespace paipan {

std::filesystem::path ProgramFolder() {
    // The executable does not move while it runs: look it up once.
    static const std::filesystem::path folder = [] {
        std::error_code ec;
        auto exe = std::filesystem::read_symlink("/proc/self/exe", ec);
        if (ec) return std::filesystem::current_path(ec);
        return exe.parent_path();
    }();
    return folder;
}

}  // namespace paipan
