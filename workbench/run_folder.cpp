#include "workbench/run_folder.h"

#include <cstdlib>
#include <system_error>

namespace korvane::workbench {

std::filesystem::path RunFolderFor(const std::string& scriptPath) {
    std::error_code error;
    if (!scriptPath.empty()) {
        const std::filesystem::path full = std::filesystem::absolute(scriptPath, error);
        if (!error) return full.parent_path();
    }
    const char* home = std::getenv("HOME");
    return home != nullptr && *home != '\0' ? std::filesystem::path(home)
                                            : std::filesystem::current_path(error);
}

std::filesystem::path DialogFolderFor(const std::string& scriptPath,
                                      const std::filesystem::path& lastFolder) {
    if (scriptPath.empty() && !lastFolder.empty()) return lastFolder;
    return RunFolderFor(scriptPath);
}

TRunFolder::TRunFolder(const std::filesystem::path& folder) {
    std::error_code error;
    m_previous = std::filesystem::current_path(error);
    // A folder that has gone leaves the directory as it was: the run still starts.
    std::filesystem::current_path(folder, error);
}

TRunFolder::~TRunFolder() {
    std::error_code error;
    if (!m_previous.empty()) std::filesystem::current_path(m_previous, error);
}

}  // namespace korvane::workbench
