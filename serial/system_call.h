#pragma once

#include <cerrno>
#include <string>
#include <string_view>

namespace korvane::serial {

// Runs a system call again while it fails with EINTR; returns its last result.
template <typename TCall>
auto RetryOnEintr(TCall call) {
    auto result = call();
    while (result == -1 && errno == EINTR) {
        result = call();
    }
    return result;
}

// The one place an OS error number becomes text: "<what>: <system message>".
std::string SystemMessage(std::string_view what, int error);

}  // namespace korvane::serial
