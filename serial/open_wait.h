#pragma once

#include <chrono>
#include <functional>

namespace korvane::serial {

// How long a device may take to open before it gives up (a network connect).
inline constexpr std::chrono::seconds kOpenTimeout{5};
// How often an opening device asks whether to go on waiting.
inline constexpr std::chrono::milliseconds kOpenWaitSlice{10};

// Waits for `done` in slices until `deadline`; false once `keepWaiting` says stop or the
// time is up. `done` is given the longest it may block, so it can wait in poll.
inline bool WaitInSlices(const std::function<bool(std::chrono::milliseconds)>& done,
                         std::chrono::steady_clock::time_point deadline,
                         const std::function<bool()>& keepWaiting) {
    while (!done(kOpenWaitSlice)) {
        if ((keepWaiting && !keepWaiting()) || std::chrono::steady_clock::now() >= deadline) {
            return false;
        }
    }
    return true;
}

}  // namespace korvane::serial
