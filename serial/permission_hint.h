#pragma once

#include <string>
#include <string_view>

#include "device_result.h"

namespace korvane::serial {

// The result of a failed open of device node `path` with errno `error`. Missing permission
// says what to do about it ("no permission for /dev/ttyUSB0: add the user to group
// dialout"), naming the node's own group, or `usualGroup` when root owns the node.
TDeviceResult OpenFailure(const std::string& path, int error, std::string_view usualGroup);

}  // namespace korvane::serial
