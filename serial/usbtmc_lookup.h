#pragma once

#include <filesystem>
#include <optional>
#include <string>

#include "instrument_target.h"

namespace korvane::serial {

// The /dev/usbtmcN node of the plugged-in instrument whose vendor, product and serial number
// (and interface, when given) match, found through sysfs under `sysfsRoot`; nothing when no
// such instrument is plugged in. Vendor and product compare as numbers, the serial exactly.
std::optional<std::string> FindUsbtmcNode(const TUsbResource& resource,
                                          const std::filesystem::path& sysfsRoot = "/sys");

}  // namespace korvane::serial
