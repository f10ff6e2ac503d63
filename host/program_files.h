#pragma once

#include <filesystem>

namespace korvane::host {

// The folder, relative to the executable's, where an installed program keeps its files.
inline constexpr const char* kInstalledDataFolder = "../share/korvane";

// Where a file that comes with the program (terminal.res, the Help page) is found: beside the
// executable, as in the build folder and a packaged copy, else in ../share/korvane as in an
// installed tree (bin/ beside share/). When neither holds it, the place beside the executable,
// so that a message about the missing file names where it belongs.
std::filesystem::path ProgramFile(const std::filesystem::path& executableFolder,
                                  const std::filesystem::path& name);

}  // namespace korvane::host
