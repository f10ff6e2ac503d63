#pragma once

#include <cstddef>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "workbench/file_io.h"

namespace korvane::workbench {

// Log lines of Build, written to the log pane as they are (no time stamp).
inline constexpr std::string_view kBuildingLine = "Building";
inline constexpr std::string_view kAddingHeaderLine = "Adding header";
inline constexpr std::string_view kAddingScriptLine = "Adding script";
inline constexpr std::string_view kAddingRacksLine = "Adding racks";
inline constexpr std::string_view kAddingTerminalLine = "Adding terminal.res (required)";
inline constexpr std::string_view kFoundRackPrefix = "Found rack ";
inline constexpr std::string_view kRackNotValidPrefix = "Rack file not valid ";
inline constexpr std::string_view kBuildErrorLine = "Error building:";
inline constexpr std::string_view kBuildDoneLine = "Done";

// Failure texts, logged on the line after kBuildErrorLine.
inline constexpr std::string_view kTerminalNotValidPrefix =
    "Rack file not valid (bad format or not in the Korvane folder) ";
inline constexpr std::string_view kRackNotFoundPrefix = "Rack file not found ";
inline constexpr std::string_view kNoRacksText = "Sorry, no racks found !";
inline constexpr std::string_view kTooBigText = "Sorry, code and racks size to big !";
inline constexpr std::string_view kNoProgramFilePrefix = "Program file not readable ";
inline constexpr std::string_view kNoPayloadAreaText = "Program file has no payload area";
inline constexpr std::string_view kScriptNotPackableText = "Script cannot be packaged";

// What Build needs from its surroundings; tests give fakes.
struct TBuildEnvironment {
    std::function<void(std::string_view line)> log;
    std::function<bool(const std::string& path)> fileExists;
    std::function<TReadResult(const std::filesystem::path& path, std::size_t maxBytes)> readFile;
    // Loads the rack into the rack window to prove it is a valid rack, then hides the window.
    std::function<bool(const std::string& path)> validateRack;
};

struct TBuildRequest {
    std::filesystem::path executable;  // the running program's file
    std::string_view scriptText;       // the editor's text, lines joined by CR LF
    // The script file's folder; empty for an untitled script. A relative rack path that names
    // no file in the current folder is looked up here.
    std::filesystem::path scriptFolder = {};
    // The terminal.res to package; empty: the one beside the executable.
    std::filesystem::path terminalLayout = {};
};

// The script's rack paths in line order: for every line that starts with "openrack", the first
// argument without its first and last character (the quotes of a literal). Any other argument
// gives a path that names no file, which Build then reports.
std::vector<std::string> ListOpenrackPaths(std::string_view scriptText);

// Packages the script and its racks into a copy of the executable and logs every step. On
// failure it logs kBuildErrorLine and the failure text and returns none. A rack is packaged
// once per file name; a rack that fails validation is logged and left out.
std::optional<std::string> BuildPackage(const TBuildRequest& request,
                                        const TBuildEnvironment& environment);

// The file system behind Build, with the caller's log pane and rack loader.
TBuildEnvironment SystemBuildEnvironment(std::function<void(std::string_view line)> log,
                                         std::function<bool(const std::string& path)> validateRack);

// Writes a packaged copy, executable by everyone (mode 0755).
bool WritePackagedExecutable(const std::filesystem::path& path, std::string_view bytes,
                             std::string& problem);

}  // namespace korvane::workbench
