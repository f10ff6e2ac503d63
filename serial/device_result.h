#pragma once

#include <string>
#include <utility>

namespace korvane::serial {

// Outcome of a device operation: success, or failure with a message ready to show.
// Device calls never throw; they hand back one of these instead.
class [[nodiscard]] TDeviceResult {
 public:
    static TDeviceResult Ok() { return TDeviceResult(true, {}); }
    static TDeviceResult Fail(std::string message) {
        return TDeviceResult(false, std::move(message));
    }

    explicit operator bool() const { return m_ok; }
    const std::string& Message() const { return m_message; }

 private:
    TDeviceResult(bool ok, std::string message) : m_ok(ok), m_message(std::move(message)) {}

    bool m_ok;
    std::string m_message;
};

}  // namespace korvane::serial
