#include "serial/port_source.h"

#include "serial/device_factory.h"
#include "serial/instrument_target.h"

namespace korvane::serial {

std::vector<int> TMappedPorts::FreePortNumbers() const { return FreePorts(m_map); }

bool TMappedPorts::IsFree(int number) const {
    const std::optional<TPortTarget> target = m_map.Find(number);
    return target && IsPortFree(number, *target);
}

std::unique_ptr<TSerialDevice> TMappedPorts::MakeDevice(int number) const {
    const std::optional<TPortTarget> target = m_map.Find(number);
    if (!target) return nullptr;
    return serial::MakeDevice(number, *target, m_notices);
}

std::string TMappedPorts::Resource(int number) const {
    const std::optional<TPortTarget> target = m_map.Find(number);
    return target ? ResourceName(*target) : std::string();
}

}  // namespace korvane::serial
