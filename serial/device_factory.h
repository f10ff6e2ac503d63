#pragma once

#include <memory>
#include <string>
#include <vector>

#include "port_map.h"
#include "port_notices.h"
#include "serial_device.h"

namespace korvane::serial {

// A closed device for port `number`; Open it to use it. Recorded and replayed ports tell
// `notices` what the program should hear of.
std::unique_ptr<TSerialDevice> MakeDevice(int number, const TPortTarget& target,
                                          std::shared_ptr<TPortNotices> notices = nullptr);

// True if the port could be opened as far as this program can tell without touching
// it: its device node exists and this program does not hold it. Ports held by other
// programs show up as a failing Open.
bool IsPortFree(int number, const TPortTarget& target);

// The numbers of the mapped ports that are free, ascending.
std::vector<int> FreePorts(const TPortMap& map);

}  // namespace korvane::serial
