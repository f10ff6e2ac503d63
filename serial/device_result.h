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
    // The device is held by someone else (this program or another one).
    static TDeviceResult InUse(std::string name) {
        TDeviceResult result(false, std::move(name) + ": the port is in use");
        result.m_inUse = true;
        return result;
    }

    // The device cannot be had at all, for the reason given (its recording cannot be written);
    // reported as a port in use is.
    static TDeviceResult Unavailable(std::string message) {
        TDeviceResult result(false, std::move(message));
        result.m_inUse = true;
        return result;
    }

    // The device exists but this user may not open it; the message says what to do.
    static TDeviceResult Denied(std::string message) {
        TDeviceResult result(false, std::move(message));
        result.m_denied = true;
        return result;
    }

    explicit operator bool() const { return m_ok; }
    const std::string& Message() const { return m_message; }
    // True for InUse and Unavailable.
    bool PortInUse() const { return m_inUse; }
    bool PermissionDenied() const { return m_denied; }

 private:
    TDeviceResult(bool ok, std::string message) : m_ok(ok), m_message(std::move(message)) {}

    bool m_ok;
    bool m_inUse = false;
    bool m_denied = false;
    std::string m_message;
};

}  // namespace korvane::serial
