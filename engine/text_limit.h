#pragma once

#include <cstddef>

namespace korvane::engine {

// The largest text a value or an intermediate result may hold. A script that doubles a text
// in a loop ends with a clear fatal error instead of taking all memory.
inline constexpr size_t kMaxTextSize = size_t{64} << 20;

// What all the script's variables together may hold, names included: a script that keeps
// large texts in many variables ends with a clear fatal error before memory runs out.
inline constexpr size_t kMaxScriptData = size_t{1} << 30;

[[noreturn]] void ThrowTextTooLong();
[[noreturn]] void ThrowScriptDataTooLarge();

// Throws the fatal error that names the limit when `size` is over it. Inline: it guards every
// stored value, so the common case must cost no call.
inline void CheckTextSize(size_t size) {
    if (size > kMaxTextSize) [[unlikely]] ThrowTextTooLong();
}

}  // namespace korvane::engine
