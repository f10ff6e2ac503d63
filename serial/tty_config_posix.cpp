#include "tty_config.h"

// termios2 lives in the kernel headers, which clash with <termios.h>; this file uses
// only the kernel's definitions.
#include <asm/termbits.h>
#include <sys/ioctl.h>

#include <cerrno>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "system_call.h"

namespace korvane::serial {

namespace {

struct TSpeedCode {
    std::int32_t baud;
    tcflag_t code;
};

constexpr TSpeedCode kStandardSpeeds[] = {
    {50, B50},           {75, B75},           {110, B110},         {134, B134},
    {150, B150},         {200, B200},         {300, B300},         {600, B600},
    {1200, B1200},       {1800, B1800},       {2400, B2400},       {4800, B4800},
    {9600, B9600},       {19200, B19200},     {38400, B38400},     {57600, B57600},
    {115200, B115200},   {230400, B230400},   {460800, B460800},   {500000, B500000},
    {576000, B576000},   {921600, B921600},   {1000000, B1000000}, {1152000, B1152000},
    {1500000, B1500000}, {2000000, B2000000}, {2500000, B2500000}, {3000000, B3000000},
    {3500000, B3500000}, {4000000, B4000000},
};

constexpr std::int64_t kSpeedTolerancePercent = 3;
constexpr tcflag_t kFramingFlags = CSIZE | PARENB | PARODD | CMSPAR | CSTOPB;

void MakeRaw(termios2& tio) {
    tio.c_iflag &= ~(IGNBRK | BRKINT | PARMRK | ISTRIP | INLCR | IGNCR | ICRNL | IXON | IXOFF |
                     IXANY | INPCK | IUCLC | IMAXBEL);
    tio.c_oflag &= ~OPOST;
    tio.c_lflag &= ~(ECHO | ECHONL | ICANON | ISIG | IEXTEN);
    tio.c_cflag &= ~CRTSCTS;
    tio.c_cflag |= CLOCAL | CREAD;
    tio.c_cc[VMIN] = 1;
    tio.c_cc[VTIME] = 0;
}

void SetFraming(termios2& tio, const TLineSettings& settings) {
    constexpr tcflag_t kSizeCodes[] = {CS5, CS6, CS7, CS8};
    tio.c_cflag &= ~kFramingFlags;
    tio.c_cflag |= kSizeCodes[settings.dataBits - kMinDataBits];
    switch (settings.parity) {
        case Parity::None:
            break;
        case Parity::Odd:
            tio.c_cflag |= PARENB | PARODD;
            break;
        case Parity::Even:
            tio.c_cflag |= PARENB;
            break;
        case Parity::Mark:
            tio.c_cflag |= PARENB | CMSPAR | PARODD;
            break;
        case Parity::Space:
            tio.c_cflag |= PARENB | CMSPAR;
            break;
    }
    if (settings.stopBits != StopBits::One) {
        tio.c_cflag |= CSTOPB;
    }
}

void SetSpeed(termios2& tio, std::int32_t baud) {
    tcflag_t code = BOTHER;
    for (const TSpeedCode& speed : kStandardSpeeds) {
        if (speed.baud == baud) {
            code = speed.code;
        }
    }
    // Clearing the input-speed field makes the input speed follow the output speed.
    tio.c_cflag &= ~(CBAUD | (CBAUD << IBSHIFT));
    tio.c_cflag |= code;
    tio.c_ispeed = static_cast<speed_t>(baud);
    tio.c_ospeed = static_cast<speed_t>(baud);
}

bool SpeedClose(speed_t actual, std::int32_t wanted) {
    const std::int64_t difference = std::llabs(static_cast<std::int64_t>(actual) - wanted);
    return difference * 100 <= static_cast<std::int64_t>(wanted) * kSpeedTolerancePercent;
}

// Pseudo-terminals have no modem lines and no framing: they force 8 bits, no parity.
bool HasLineHardware(int fd) {
    int lines = 0;
    return RetryOnEintr([&] { return ioctl(fd, TIOCMGET, &lines); }) == 0;
}

TDeviceResult ReadTermios(int fd, termios2& tio) {
    if (RetryOnEintr([&] { return ioctl(fd, TCGETS2, &tio); }) == -1) {
        return TDeviceResult::Fail(SystemMessage("read line settings", errno));
    }
    return TDeviceResult::Ok();
}

TDeviceResult WriteTermios(int fd, const termios2& tio) {
    if (RetryOnEintr([&] { return ioctl(fd, TCSETS2, &tio); }) == -1) {
        return TDeviceResult::Fail(SystemMessage("set line settings", errno));
    }
    return TDeviceResult::Ok();
}

}  // namespace

TDeviceResult ConfigureTty(int fd, const TLineSettings& settings) {
    if (auto problem = FindSettingsProblem(settings)) {
        return TDeviceResult::Fail("set line settings: " + *problem);
    }
    termios2 previous{};
    if (auto result = ReadTermios(fd, previous); !result) {
        return result;
    }
    termios2 wanted = previous;
    MakeRaw(wanted);
    SetFraming(wanted, settings);
    SetSpeed(wanted, settings.baudRate);
    if (auto result = WriteTermios(fd, wanted); !result) {
        return result;
    }
    termios2 actual{};
    if (auto result = ReadTermios(fd, actual); !result) {
        return result;
    }
    // Drivers quietly keep what they cannot do, so check what they actually took.
    if (!SpeedClose(actual.c_ospeed, settings.baudRate)) {
        (void)WriteTermios(fd, previous);
        return TDeviceResult::Fail("set line settings: the device cannot run at " +
                                   std::to_string(settings.baudRate) + " baud");
    }
    if ((actual.c_cflag & kFramingFlags) != (wanted.c_cflag & kFramingFlags) &&
        HasLineHardware(fd)) {
        (void)WriteTermios(fd, previous);
        return TDeviceResult::Fail("set line settings: the device refuses this framing");
    }
    return TDeviceResult::Ok();
}

}  // namespace korvane::serial
