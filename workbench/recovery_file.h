#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace korvane::workbench {

// Unsaved text kept when the workbench is ended by a signal, beside the settings file: the
// text in one file, the path of the script it came from (empty if untitled) in another.
struct TRecovery {
    std::string text;
    std::string scriptPath;
};

std::filesystem::path RecoveryTextPath(const std::filesystem::path& settingsPath);

// Writes the text and its script path; false with `problem` set when it could not.
bool WriteRecovery(const std::filesystem::path& settingsPath, const TRecovery& recovery,
                   std::string& problem);
// The kept text, if there is one.
std::optional<TRecovery> ReadRecovery(const std::filesystem::path& settingsPath);
void RemoveRecovery(const std::filesystem::path& settingsPath);

}  // namespace korvane::workbench
