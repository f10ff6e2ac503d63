#pragma once

#include <functional>

namespace korvane::engine {

// A call that waits on something outside the run (a pipe, a name lookup) takes one of these
// and calls it between short waits of its own. A run's step pumps events and throws EStopped
// once Stop has been requested, so the statement ends unfinished and no later one starts.
using TWaitStep = std::function<void()>;

}  // namespace korvane::engine
