#pragma once

#include <string>

#include "tty_device.h"

namespace korvane::serial {

// A virtual port backed by a fresh pseudo-terminal pair: this side is the master, and
// another program plays the device by opening SlavePath(). The slave is also held open
// here, raw, so the master never sees a hang-up while no peer is attached.
class TPtyDevice : public TTtyDevice {
 public:
    // `claimKey` names this virtual port among the ports the program holds.
    explicit TPtyDevice(std::string claimKey);
    ~TPtyDevice() override;

    TDeviceResult Open() override;
    void Close() override;

    // Path of the slave side while open, empty otherwise.
    std::string PeerPath() const override { return m_slavePath; }

 private:
    std::string m_claimKey;
    std::string m_slavePath;
    TUniqueFd m_slave;
};

}  // namespace korvane::serial
