#include "host/program_files.h"

#include <system_error>

namespace korvane::host {

std::filesystem::path ProgramFile(const std::filesystem::path& executableFolder,
                                  const std::filesystem::path& name) {
    const std::filesystem::path beside = executableFolder / name;
    std::error_code error;
    if (std::filesystem::exists(beside, error)) return beside;
    const std::filesystem::path installed =
        (executableFolder / kInstalledDataFolder / name).lexically_normal();
    if (std::filesystem::exists(installed, error)) return installed;
    return beside;
}

}  // namespace korvane::host
