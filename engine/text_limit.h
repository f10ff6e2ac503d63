#pragma once

#include <cstddef>

namespace korvane::engine {

// The largest text a value or an intermediate result may hold. A script that doubles a text
// in a loop ends with a clear fatal error instead of taking all memory.
inline constexpr size_t kMaxTextSize = size_t{64} << 20;

// Throws the fatal error that names the limit when `size` is over it.
void CheckTextSize(size_t size);

}  // namespace korvane::engine
