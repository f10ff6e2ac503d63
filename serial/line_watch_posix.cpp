#include <linux/serial.h>
#include <sys/ioctl.h>

#include <cerrno>

#include "line_watch.h"
#include "system_call.h"

namespace korvane::serial {

namespace {

int ReadCounters(int fd, TLineCounters& counters) {
    serial_icounter_struct raw{};
    if (RetryOnEintr([&] { return ioctl(fd, TIOCGICOUNT, &raw); }) == -1) {
        return errno;
    }
    counters = {raw.cts,     raw.dsr,    raw.rng, raw.dcd,        raw.frame,
                raw.overrun, raw.parity, raw.brk, raw.buf_overrun};
    return 0;
}

}  // namespace

int ReadModemLines(int fd, std::uint32_t& status) {
    int lines = 0;
    if (RetryOnEintr([&] { return ioctl(fd, TIOCMGET, &lines); }) == -1) {
        return errno;
    }
    status = ((lines & TIOCM_CTS) ? kModemCts : 0) | ((lines & TIOCM_DSR) ? kModemDsr : 0) |
             ((lines & TIOCM_RNG) ? kModemRing : 0) | ((lines & TIOCM_CAR) ? kModemRlsd : 0);
    return 0;
}

void TLineWatch::Start(int fd) {
    m_modem = 0;
    m_counters = {};
    m_hasModem = ReadModemLines(fd, m_modem) == 0;
    m_hasCounters = ReadCounters(fd, m_counters) == 0;
}

void TLineWatch::Collect(int fd, TDeviceEvent& event) {
    std::uint32_t modem = m_modem;
    if (m_hasModem && ReadModemLines(fd, modem) == 0) {
        AddLevelChanges(m_modem, modem, event);
    }
    TLineCounters counters = m_counters;
    if (m_hasCounters && ReadCounters(fd, counters) == 0) {
        AddCounterChanges(m_counters, counters, event);
    }
    if (event.mask & (kEventCts | kEventDsr | kEventRing | kEventRlsd)) {
        event.modemBefore = m_modem;
        event.modemNow = modem;
    }
    m_modem = modem;
    m_counters = counters;
}

}  // namespace korvane::serial
