#pragma once

#include <string>

namespace korvane::host {

// Hands one file to the desktop: a program is started, a document opens in the application
// for its type. The whole text is the file name; it is never split or given to a shell.
class TLauncher {
 public:
    virtual ~TLauncher() = default;
    // Returns as soon as the program or opener is started; false when nothing could be.
    virtual bool Open(const std::string& fileName) = 0;
};

}  // namespace korvane::host
