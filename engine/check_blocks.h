#pragma once

#include <string>
#include <vector>

namespace korvane::engine {

// Checks before a run that block lines pair up. Gives the empty text when they do, else the
// report shown in the log ("Error: unexpected next on line 3", ...).
std::string CheckBlocks(const std::vector<std::string>& lines);

// How a trimmed line takes part in the pairing: it opens a block, closes one, or neither.
enum class TBlockRole { None, Opens, Closes };
TBlockRole BlockRole(const std::string& trimmedLine);

}  // namespace korvane::engine
