#pragma once

#include <cstdint>

#include "serial_device.h"

namespace korvane::serial {

// Transition and error counters a driver keeps for one port.
struct TLineCounters {
    int cts = 0;
    int dsr = 0;
    int ring = 0;
    int rlsd = 0;
    int frame = 0;
    int overrun = 0;
    int parity = 0;
    int brk = 0;
    int bufferOverrun = 0;
};

// Adds to `event` the lines whose level differs between the two kModem* snapshots.
void AddLevelChanges(std::uint32_t before, std::uint32_t now, TDeviceEvent& event);
// Adds the lines that toggled and the errors that occurred between two counter reads.
void AddCounterChanges(const TLineCounters& before, const TLineCounters& now, TDeviceEvent& event);

// Current kModem* bits of a tty, or the errno of the failed query.
int ReadModemLines(int fd, std::uint32_t& status);

// Notices modem-line changes and line errors of a tty by polling its driver: levels for
// changes, counters so that short pulses (RING) and errors between two polls are not
// missed. A device that answers neither query (a pseudo-terminal) is not polled at all.
class TLineWatch {
 public:
    void Start(int fd);
    bool Active() const { return m_hasModem || m_hasCounters; }
    // Adds what changed since the previous call (or Start) to `event`.
    void Collect(int fd, TDeviceEvent& event);

 private:
    bool m_hasModem = false;
    bool m_hasCounters = false;
    std::uint32_t m_modem = 0;
    TLineCounters m_counters;
};

}  // namespace korvane::serial
