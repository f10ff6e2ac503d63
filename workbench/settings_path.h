#pragma once

#include <filesystem>
#include <string_view>

namespace korvane::workbench {

// Picks where korvane.ini lives: beside the executable when that can be written, otherwise in
// the user's configuration folder ($XDG_CONFIG_HOME/korvane, else ~/.config/korvane). A
// relative XDG_CONFIG_HOME is ignored, as the XDG rules ask. Without any home the file stays
// beside the executable.
std::filesystem::path ChooseSettingsPath(const std::filesystem::path& executableFolder,
                                         bool besideExecutableWritable,
                                         std::string_view xdgConfigHome, std::string_view home);

// The same choice for this process: its executable's folder, the file system and environment.
std::filesystem::path SystemSettingsPath();

// The settings file this process reads: SystemSettingsPath(), or the file beside the executable
// while that one does not exist (settings that had to move start from the file beside).
std::filesystem::path SystemSettingsFileToRead();

}  // namespace korvane::workbench
