#pragma once

#include <string_view>

namespace korvane::engine {
class TDispatch;
}

namespace korvane::tools {

// Whether a script may use a statement or function that `bound` leaves unbound. A name counts
// in any case and with blanks anywhere in it, as the engine reads names; one inside a text or
// a comment counts too, which costs no more than a slower start.
bool UsesUnboundRows(std::string_view script, const engine::TDispatch& bound);

}  // namespace korvane::tools
