#include "tty_speed.h"

// The kernel's termios2 clashes with <termios.h>, so it gets a file of its own.
#include <asm/termbits.h>
#include <sys/ioctl.h>

namespace korvane::serial::testing {

long ReadOutputSpeed(int fd) {
    termios2 tio{};
    if (::ioctl(fd, TCGETS2, &tio) != 0) {
        return -1;
    }
    return static_cast<long>(tio.c_ospeed);
}

}  // namespace korvane::serial::testing
