#pragma once

#include <string>
#include <vector>

#include "port_map.h"

namespace korvane::serial {

// Where the scan looks; tests point it at a made-up tree.
struct TScanRoots {
    std::string ttyClass = "/sys/class/tty";
    std::string dev = "/dev";
};

// The real serial devices of the system, in a stable order: those without a
// /dev/serial/by-path link (on-board UARTs) first by name (ttyS2 before ttyS10), then
// the rest by their by-path link, which follows the socket a device is plugged into.
// A tty counts when it has a driver behind it and is not an idle legacy UART (port
// type 0); the type is read from sysfs, because opening a free tty would raise its DTR.
std::vector<TDetectedPort> ScanSerialPorts(const TScanRoots& roots = {});

// The port map of this system: the given settings entries, the KORVANE_PORTS variable
// and the detected devices.
TPortMapResult LoadSystemPortMap(const TPortEntries& settingsEntries);

}  // namespace korvane::serial
