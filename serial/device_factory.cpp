#include "device_factory.h"

#include "loop_device.h"
#include "port_registry.h"
#include "pty_device.h"
#include "tty_device.h"

namespace korvane::serial {

namespace {

std::string VirtualKey(const char* kind, int number) { return kind + (":" + PortName(number)); }

}  // namespace

std::unique_ptr<TSerialDevice> MakeDevice(int number, const TPortTarget& target) {
    switch (target.kind) {
        case PortKind::Loop:
            return std::make_unique<TLoopDevice>(VirtualKey("loop", number));
        case PortKind::Pty:
            return std::make_unique<TPtyDevice>(VirtualKey("pty", number));
        case PortKind::Device:
            break;
    }
    return std::make_unique<TTtyDevice>(target.path);
}

bool IsPortFree(int number, const TPortTarget& target) {
    switch (target.kind) {
        case PortKind::Loop:
            return !TPortRegistry::IsHeld(VirtualKey("loop", number));
        case PortKind::Pty:
            return !TPortRegistry::IsHeld(VirtualKey("pty", number));
        case PortKind::Device:
            break;
    }
    const std::optional<std::string> key = TtyDeviceKey(target.path);
    return key && !TPortRegistry::IsHeld(*key);
}

std::vector<int> FreePorts(const TPortMap& map) {
    std::vector<int> free;
    for (int number : map.Numbers()) {
        if (IsPortFree(number, *map.Find(number))) {
            free.push_back(number);
        }
    }
    return free;
}

}  // namespace korvane::serial
