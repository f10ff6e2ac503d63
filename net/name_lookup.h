#pragma once

#include <QHostAddress>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "engine/wait_step.h"

namespace korvane::net {

// Gives a host name's address as numeric text (IPv4 first), or nothing; it may take as long
// as the system's resolver does.
using THostLookup = std::function<std::optional<std::string>(const std::string& name)>;
std::optional<std::string> SystemHostLookup(const std::string& name);

// A numeric address as it stands. A host name is looked up on a thread of its own while
// `waitStep` runs here every few milliseconds, so the caller keeps pumping events and may give
// up by throwing from it; an abandoned lookup finishes alone and its answer is dropped.
std::optional<QHostAddress> ResolveAddress(std::string_view text,
                                           const THostLookup& lookup = SystemHostLookup,
                                           const engine::TWaitStep& waitStep = {});

}  // namespace korvane::net
