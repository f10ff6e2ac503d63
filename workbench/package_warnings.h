#pragma once

#include <filesystem>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace korvane::workbench {

// What Build cannot carry into the packaged program, one log line each: openrack and
// loadimage paths that are no literal text (only the running script knows them), rack and
// image files that are missing, and images, which are never packaged and must sit beside the
// program. A relative path is also looked up beside the script, as Build does; a later
// openrack of a rack name already named is a fallback and passed over, as Build does.
std::vector<std::string> PackagingWarnings(std::string_view scriptText,
                                           const std::filesystem::path& scriptFolder,
                                           const std::function<bool(const std::string&)>& fileExists);

}  // namespace korvane::workbench
