#pragma once

#include <string>
#include <vector>

namespace korvane::workbench {

// One packaged rack file: its bare file name and its bytes as they are.
struct TRackFile {
    std::string name;
    std::string bytes;
};

// The contents of a payload. The script is kept scrambled; Ucrypt restores it.
struct TPayload {
    std::string productName;
    std::string version;
    std::string scrambledScript;
    std::vector<TRackFile> racks;  // terminal.res first in every payload Build writes
};

}  // namespace korvane::workbench
