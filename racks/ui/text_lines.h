#pragma once

#include <string>
#include <vector>

namespace korvane::racks {

// A text as a list of lines: CR LF, LF and CR each end a line, and a final line break
// starts no extra line (so an empty text has no lines).
std::vector<std::string> SplitTextLines(const std::string& text);

// Lines as a memo holds them: each followed by CR LF.
std::string JoinTextLines(const std::vector<std::string>& lines);

}  // namespace korvane::racks
