#pragma once

#include <memory>
#include <vector>

#include "serial/port_map.h"
#include "serial/port_notices.h"
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
    // The instrument a port leads to, as its window caption names it; empty for most ports.
    virtual std::string Resource(int number) const { return (void)number, std::string(); }
};

// The ports of a port map: real devices, the loop and pty ports, recorded and replayed ones.
class TMappedPorts final : public TPortSource {
 public:
    explicit TMappedPorts(TPortMap map)
        : m_map(std::move(map)), m_notices(std::make_shared<TPortNotices>()) {}

    std::vector<int> FreePortNumbers() const override;
    bool IsFree(int number) const override;
    std::unique_ptr<TSerialDevice> MakeDevice(int number) const override;
    std::string Resource(int number) const override;
    // What the recorded and replayed ports have to say.
    TPortNotices& Notices() const { return *m_notices; }

 private:
    TPortMap m_map;
    std::shared_ptr<TPortNotices> m_notices;
};

}  // namespace korvane::serial
