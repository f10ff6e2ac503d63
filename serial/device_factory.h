#pragma once

#include <memory>
#include <string>
#include <vector>

#include "port_map.h"
#include "serial_device.h"

namespace korvane::serial {

// A closed device for port `number`; Open it to use it.
std::unique_ptr<TSerialDevice> MakeDevice(int number, const TPortTarget& target);

// True if the port could be opened as far as this program can tell without touching
// it: its device node exists and this program does not hold it. Ports held by other
// programs show up as a failing Open.
bool IsPortFree(int number, const TPortTarget& target);

// The numbers of the mapped ports that are free, ascending.
std::vector<int> FreePorts(const TPortMap& map);

}  // namespace korvane::serial
