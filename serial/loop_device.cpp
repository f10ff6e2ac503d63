#include "loop_device.h"

namespace korvane::serial {

TDeviceResult TLoopDevice::SetDtr(LineLevel level) { return Wire(kModemDsr | kModemRlsd, level); }

TDeviceResult TLoopDevice::SetRts(LineLevel level) { return Wire(kModemCts, level); }

TDeviceResult TLoopDevice::Wire(std::uint32_t lines, LineLevel level) {
    auto lock = Lock();
    if (!OpenLocked()) {
        return MemoryNotOpen();
    }
    const std::uint32_t modem = ModemLocked();
    SetModemLocked(level == LineLevel::On ? modem | lines : modem & ~lines);
    return TDeviceResult::Ok();
}

TDeviceResult TLoopDevice::Write(std::string_view data) {
    auto lock = Lock();
    if (!OpenLocked()) {
        return MemoryNotOpen();
    }
    if (!ReceiveLocked(data)) {
        return TDeviceResult::Fail("write: loop-back queue full");
    }
    return TDeviceResult::Ok();
}

}  // namespace korvane::serial
