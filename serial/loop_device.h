#pragma once

#include <string>

#include "memory_device.h"

namespace korvane::serial {

// A virtual port with a loop-back plug: every byte sent comes back, RTS is wired to
// CTS and DTR to DSR and DCD, and each line change arrives as an event.
class TLoopDevice : public TMemoryDevice {
 public:
    using TMemoryDevice::TMemoryDevice;

    TDeviceResult SetDtr(LineLevel level) override;
    TDeviceResult SetRts(LineLevel level) override;
    TDeviceResult Write(std::string_view data) override;

 private:
    TDeviceResult Wire(std::uint32_t lines, LineLevel level);
};

}  // namespace korvane::serial
