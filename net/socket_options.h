#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace korvane::net {

// What every connected socket gets. Linger on with a time of 0: closing resets the connection
// at once instead of leaving it in TIME_WAIT, so the next run can connect or listen on the same
// port straight away. No delay: a script's small writes go out at once instead of waiting up to
// 40 ms for the peer's delayed acknowledgement.
bool PrepareConnectedSocket(intptr_t descriptor);

// The port of a TCP service named in the system's service database ("http" -> 80).
std::optional<uint16_t> LookupServicePort(const std::string& name);

}  // namespace korvane::net
