#pragma once

#include <string>
#include <vector>

namespace korvane::engine {

// What the block check found: the report, and the lines (from 0, -1 for none) of the
// unexpected closing word and of the opening line of the block left unterminated.
struct TBlockCheck {
    std::string report;
    int unexpectedLine = -1;
    int unterminatedLine = -1;
};

TBlockCheck CheckBlockLines(const std::vector<std::string>& lines);

// Checks before a run that block lines pair up. Gives the empty text when they do, else the
// report shown in the log ("Error: unexpected next on line 3", ...).
std::string CheckBlocks(const std::vector<std::string>& lines);

}  // namespace korvane::engine
