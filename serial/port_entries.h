#pragma once

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "serial/port_map.h"

namespace korvane::serial {

// The "key=value" lines of the [ports] section of a settings text, in file order. Section
// names compare without regard to case; blank lines and lines starting with ";" or "#"
// are skipped, and so is anything that is not a key=value line.
TPortEntries ParsePortSection(std::string_view iniText);

// Every section of a settings text with its "key=value" lines, in file order, read by the same
// rules; a section named twice is listed twice.
struct TIniSection {
    std::string name;
    TPortEntries entries;
};
std::vector<TIniSection> ParseSections(std::string_view iniText);

// The [ports] section of a settings file; none when the file is missing, unreadable or
// larger than any settings file could sensibly be.
TPortEntries LoadPortEntries(const std::filesystem::path& iniFile);

}  // namespace korvane::serial
