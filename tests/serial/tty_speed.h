#pragma once

namespace korvane::serial::testing {

// The output baud rate a tty is set to, as the kernel stores it (any rate, not only
// the standard ones), or -1 if it cannot be read.
long ReadOutputSpeed(int fd);

}  // namespace korvane::serial::testing
