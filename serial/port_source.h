#pragma once

#include <memory>
#include <vector>

#include "serial/port_map.h"
#include "serial/serial_device.h"

namespace korvane::serial {

// Where the port table finds its ports: the numbers that can be opened now, and a closed
// device for a number. Tests put scripted devices behind it.
class TPortSource {
 public:
    virtual ~TPortSource() = default;
    // Ascending; ports this program holds open are left out.
    virtual std::vector<int> FreePortNumbers() const = 0;
    // Whether the port could be opened now, as FreePortNumbers would say.
    virtual bool IsFree(int number) const = 0;
    // Null when the number stands for nothing.
    virtual std::unique_ptr<TSerialDevice> MakeDevice(int number) const = 0;
};

// The ports of a port map: real devices and the loop and pty ports.
class TMappedPorts final : public TPortSource {
 public:
    explicit TMappedPorts(TPortMap map) : m_map(std::move(map)) {}

    std::vector<int> FreePortNumbers() const override;
    bool IsFree(int number) const override;
    std::unique_ptr<TSerialDevice> MakeDevice(int number) const override;

 private:
    TPortMap m_map;
};

}  // namespace korvane::serial
