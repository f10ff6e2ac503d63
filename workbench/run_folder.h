#pragma once

#include <filesystem>
#include <string>

namespace korvane::workbench {

// The folder a script runs in: a saved script's own folder, so its relative paths (racks,
// images, files, exec) are found beside it; the home folder for an untitled script.
std::filesystem::path RunFolderFor(const std::string& scriptPath);

// Where file dialogs start: the current script's folder, else the last folder used, else
// the home folder.
std::filesystem::path DialogFolderFor(const std::string& scriptPath,
                                      const std::filesystem::path& lastFolder);

// Makes a folder the working directory for as long as it lives, then goes back.
class TRunFolder {
public:
    explicit TRunFolder(const std::filesystem::path& folder);
    ~TRunFolder();
    TRunFolder(const TRunFolder&) = delete;
    TRunFolder& operator=(const TRunFolder&) = delete;

private:
    std::filesystem::path m_previous;
};

}  // namespace korvane::workbench
