#include "device_factory.h"

#include "loop_device.h"
#include "port_registry.h"
#include "pty_device.h"
#include "recording_device.h"
#include "replay_device.h"
#include "returning_device.h"
#include "tcp_device.h"
#include "tty_device.h"
#include "usbtmc_device.h"

namespace korvane::serial {

namespace {

std::string VirtualKey(const char* kind, int number) { return kind + (":" + PortName(number)); }

// The key a virtual port is held by; nothing for a device node.
std::optional<std::string> VirtualPortKey(int number, PortKind kind) {
    switch (kind) {
        case PortKind::Loop: return VirtualKey("loop", number);
        case PortKind::Pty: return VirtualKey("pty", number);
        case PortKind::Replay:
        case PortKind::ReplayFast: return VirtualKey("replay", number);
        case PortKind::Tcp: return VirtualKey("tcp", number);
        case PortKind::Device:
        case PortKind::Usbtmc: break;
    }
    return std::nullopt;
}

std::unique_ptr<TSerialDevice> MakePlainDevice(int number, const TPortTarget& target,
                                               const std::shared_ptr<TPortNotices>& notices) {
    const std::optional<std::string> key = VirtualPortKey(number, target.kind);
    switch (target.kind) {
        case PortKind::Loop: return std::make_unique<TLoopDevice>(*key);
        case PortKind::Pty: return std::make_unique<TPtyDevice>(*key);
        case PortKind::Replay:
        case PortKind::ReplayFast:
            return std::make_unique<TReplayDevice>(
                *key, target.path,
                target.kind == PortKind::Replay ? TReplayDevice::Pace::Recorded
                                                : TReplayDevice::Pace::Fast,
                PortName(number), notices);
        case PortKind::Tcp:
        case PortKind::Usbtmc:
        case PortKind::Device: break;
    }
    // Devices and instruments may go away and come back while the port is open.
    auto make = [number, target, notices]() -> std::unique_ptr<TSerialDevice> {
        if (target.kind == PortKind::Tcp) {
            return std::make_unique<TTcpDevice>(target.path, PortName(number), notices);
        }
        if (target.kind == PortKind::Usbtmc) return std::make_unique<TUsbtmcDevice>(target.path);
        return std::make_unique<TTtyDevice>(target.path);
    };
    return std::make_unique<TReturningDevice>(std::move(make), PortName(number), notices,
                                              key.value_or(std::string()));
}

}  // namespace

std::unique_ptr<TSerialDevice> MakeDevice(int number, const TPortTarget& target,
                                          std::shared_ptr<TPortNotices> notices) {
    std::unique_ptr<TSerialDevice> device = MakePlainDevice(number, target, notices);
    if (target.recording.empty()) return device;
    return std::make_unique<TRecordingDevice>(std::move(device), target.recording,
                                              PortName(number), std::move(notices));
}

bool IsPortFree(int number, const TPortTarget& target) {
    if (const std::optional<std::string> key = VirtualPortKey(number, target.kind)) {
        return !TPortRegistry::IsHeld(*key);
    }
    const std::optional<std::string> key = target.kind == PortKind::Usbtmc
                                               ? UsbtmcDeviceKey(target.path)
                                               : TtyDeviceKey(target.path);
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
