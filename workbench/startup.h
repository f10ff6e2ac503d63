#pragma once

#include <filesystem>
#include <functional>
#include <span>
#include <string>
#include <string_view>

#include "workbench/payload.h"

namespace korvane::workbench {

inline constexpr std::string_view kApplicationTitle = "Tavrel Application";
inline constexpr std::string_view kResourcesErrorText =
    "Error initializing resources. Application will terminate.";

enum class TStartMode {
    Normal,            // show the workbench
    ScriptFile,        // load the file named on the command line and run it at once
    Standalone,        // run the packaged script with the main window hidden
    StandaloneFailed,  // show kResourcesErrorText and end
};

struct TStartupPlan {
    TStartMode mode = TStartMode::Normal;
    std::string scriptPath;  // ScriptFile: the file to load
    std::string scriptText;  // Standalone: the restored script
    std::string problem;     // StandaloneFailed: what went wrong, for diagnostics
};

struct TStartupEnvironment {
    std::function<bool(const std::string& path)> fileExists;
    std::function<std::string()> readOwnPayloadSpace;  // empty when there is none
    std::function<bool(const TRackFile& rack)> writeRack;
};

// Decides how the program starts. One argument naming an existing file wins over any payload;
// otherwise a payload turns on standalone mode, its racks are written out (every one is tried)
// and its script is restored. A malformed payload or a rack that cannot be written fails.
TStartupPlan PlanStartup(std::span<const std::string> arguments,
                         const TStartupEnvironment& environment);

// Whether this copy of the program carries a packaged script (well formed or not).
bool CarriesPayload(const TStartupEnvironment& environment);

// Creates or replaces the rack file under its bare name in the folder.
bool WriteRackFile(const std::filesystem::path& folder, const TRackFile& rack,
                   std::string& problem);

// Writes each rack under its bare name into the folder; with no folder every write fails.
std::function<bool(const TRackFile& rack)> RackWriter(std::filesystem::path folder);

// The environment of a real start: the file system and the program's own payload area. It
// writes no rack until the caller gives it a folder (RackWriter).
TStartupEnvironment SystemStartupEnvironment();

}  // namespace korvane::workbench
