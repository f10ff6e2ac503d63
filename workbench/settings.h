#pragma once

#include <cstddef>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace korvane::workbench {

inline constexpr std::string_view kSettingsFileName = "korvane.ini";
inline constexpr std::size_t kMaxRecentFiles = 5;
inline constexpr std::size_t kMaxSettingsFileSize = std::size_t{1} << 20;

struct TPosition {
    int x = 0;
    int y = 0;
    bool operator==(const TPosition&) const = default;
};

enum class TBarStyle { Docked, Floating };

// Where a tool bar sits: a dock row and a position in it, or floating. The floating position
// is written for reference but never read back; a floating bar reopens at the toolkit's place.
struct TBarPlacement {
    TBarStyle style = TBarStyle::Docked;
    int row = 0;
    int pos = 0;
    TPosition floating;
    bool operator==(const TBarPlacement&) const = default;
};

// Everything korvane.ini holds, with the defaults of a missing file. The port map's [ports]
// entries are carried through unchanged for the serial subsystem.
struct TSettings {
    TPosition mainPosition;
    int mainWidth = 544;
    int mainHeight = 374;
    int logHeight = 160;
    TPosition debugPosition;  // the Watch window
    // None until the window has been placed once: it then opens beside the main window.
    std::optional<TPosition> rackPosition;
    std::optional<TPosition> terminalPosition;
    std::vector<std::string> recentFiles;  // newest first, at most kMaxRecentFiles
    TBarPlacement menuBar{TBarStyle::Docked, 0, 0, {}};
    TBarPlacement toolbar{TBarStyle::Docked, 1, 0, {}};
    TBarPlacement recentBar{TBarStyle::Docked, 1, 153, {}};
    std::vector<std::pair<std::string, std::string>> ports;  // in file order
    // Breakpoint lines (from 0) per script path, the file used last at the end.
    std::vector<std::pair<std::string, std::vector<int>>> breakpoints;
    // View > Theme: "system", "light" or "dark".
    std::string theme = "system";
    bool operator==(const TSettings&) const = default;
};

// Reads the settings in a fixed order. Missing keys keep their defaults; the first value that
// is not a decimal integer ends the reading, and it and every later setting keep defaults.
TSettings ParseSettings(std::string_view iniText);

// The file's settings; defaults when it is missing, unreadable or too large.
TSettings LoadSettings(const std::filesystem::path& path);

// The INI text with the settings written over an existing file's text: keys and sections that
// are not ours stay as they were.
std::string MergeSettings(std::string_view existingIniText, const TSettings& settings);

// Writes the settings into the file (creating its folder if needed); false on any failure.
bool SaveSettings(const std::filesystem::path& path, const TSettings& settings);

// Keeps a script's breakpoints (none: forgets the script); the list holds the
// kMaxBreakpointFiles files used last.
inline constexpr std::size_t kMaxBreakpointFiles = 50;
void KeepBreakpoints(TSettings& settings, const std::string& path, const std::vector<int>& lines);

// Puts a file first in the recent list: an earlier entry for the same path moves up, and the
// list keeps at most kMaxRecentFiles entries.
void AddRecentFile(std::vector<std::string>& recentFiles, std::string_view path);

}  // namespace korvane::workbench
