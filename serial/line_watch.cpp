#include "line_watch.h"

namespace korvane::serial {

namespace {

struct TLineBits {
    std::uint32_t modem;
    std::uint32_t event;
};

constexpr TLineBits kLines[] = {
    {kModemCts, kEventCts},
    {kModemDsr, kEventDsr},
    {kModemRing, kEventRing},
    {kModemRlsd, kEventRlsd},
};

}  // namespace

void AddLevelChanges(std::uint32_t before, std::uint32_t now, TDeviceEvent& event) {
    for (const TLineBits& line : kLines) {
        if ((before & line.modem) != (now & line.modem)) {
            event.mask |= line.event;
        }
    }
}

void AddCounterChanges(const TLineCounters& before, const TLineCounters& now, TDeviceEvent& event) {
    const auto note = [&event](int was, int is, std::uint32_t eventBit, std::uint32_t error) {
        if (was != is) {
            event.mask |= eventBit;
            event.errors |= error;
        }
    };
    note(before.cts, now.cts, kEventCts, 0);
    note(before.dsr, now.dsr, kEventDsr, 0);
    note(before.ring, now.ring, kEventRing, 0);
    note(before.rlsd, now.rlsd, kEventRlsd, 0);
    note(before.frame, now.frame, kEventErr, kErrorFrame);
    note(before.overrun, now.overrun, kEventErr, kErrorOverrun);
    note(before.parity, now.parity, kEventErr, kErrorParity);
    note(before.brk, now.brk, kEventErr, kErrorBreak);
    note(before.bufferOverrun, now.bufferOverrun, kEventErr, kErrorRxOver);
}

}  // namespace korvane::serial
