#pragma once

#include "host/launcher.h"

namespace korvane::host {

// The real launcher: an executable file (found as named, or on PATH when the name has no
// slash) is started detached with no arguments and its standard streams on /dev/null; any
// other existing file or folder goes to the desktop's opener. A name that names nothing
// fails without starting anything.
class TDesktopLauncher : public TLauncher {
 public:
    bool Open(const std::string& fileName) override;
};

}  // namespace korvane::host
