#include "workbench/settings_path.h"

#include <cstdlib>

#include "workbench/file_io.h"
#include "workbench/settings.h"

namespace korvane::workbench {

namespace {

std::string_view Environment(const char* name) {
    const char* value = std::getenv(name);
    return value == nullptr ? std::string_view() : std::string_view(value);
}

}  // namespace

std::filesystem::path ChooseSettingsPath(const std::filesystem::path& executableFolder,
                                         bool besideExecutableWritable,
                                         std::string_view xdgConfigHome, std::string_view home) {
    const std::filesystem::path beside = executableFolder / kSettingsFileName;
    if (besideExecutableWritable) return beside;
    std::filesystem::path configRoot;
    if (!xdgConfigHome.empty() && xdgConfigHome.front() == '/') {
        configRoot = xdgConfigHome;
    } else if (!home.empty()) {
        configRoot = std::filesystem::path(home) / ".config";
    } else {
        return beside;
    }
    return configRoot / "korvane" / kSettingsFileName;
}

std::filesystem::path SystemSettingsPath() {
    const auto executable = OwnExecutablePath();
    const std::filesystem::path folder = executable ? executable->parent_path() : ".";
    const bool writable =
        IsWritableFolder(folder) && IsWritableOrAbsent(folder / kSettingsFileName);
    return ChooseSettingsPath(folder, writable, Environment("XDG_CONFIG_HOME"),
                              Environment("HOME"));
}

std::filesystem::path SystemSettingsFileToRead() {
    const std::filesystem::path chosen = SystemSettingsPath();
    const auto executable = OwnExecutablePath();
    if (IsRegularFile(chosen) || !executable) return chosen;
    return executable->parent_path() / kSettingsFileName;
}

}  // namespace korvane::workbench
