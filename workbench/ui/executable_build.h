#pragma once

#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace korvane::workbench {

struct TWorkbenchContext;

// The editor's text as Build packages it: the lines joined with CR LF.
std::string BuildText(const std::vector<std::string>& lines);

// Build as the workbench runs it: a copy of the running program's file with the script and
// its racks, each rack checked in the program's rack window. Every step goes to `log`,
// followed after a good build by a warning for each path the program will miss; none comes
// back on failure. `scriptFile` is where the script was loaded from (empty when
// untitled): relative rack paths are also looked up beside it.
std::optional<std::string> BuildFromWorkbench(const TWorkbenchContext& context,
                                              const std::vector<std::string>& lines,
                                              const std::filesystem::path& scriptFile,
                                              std::function<void(std::string_view)> log);

inline constexpr std::string_view kBuildCancelledLine = "Build cancelled: no program written";

// "Program written: PATH (N bytes)", logged once the packaged program is on disk.
std::string WrittenProgramLine(const std::filesystem::path& path, std::size_t bytes);

}  // namespace korvane::workbench
