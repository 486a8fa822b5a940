// Where the programs find the files they ship with: beside the executable.
#pragma once

#include <filesystem>

namespace paipan {

// The folder that holds the running executable (not the working directory).
// Only the programs ask for it; the data readers are handed the folder.
std::filesystem::path ProgramFolder();

}  // namespace paipan
