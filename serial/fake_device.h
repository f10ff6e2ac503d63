#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "memory_device.h"

namespace korvane::serial {

enum class FakeOperation {
    Open,
    ApplySettings,
    SetDtr,
    SetRts,
    GetModemStatus,
    Purge,
    ReadQueued,
    Write,
};

// A scriptable device for tests of the channel: the test plays the far end (bytes in,
// line levels, line errors), makes chosen operations fail, and records what the
// channel wrote and how it drove DTR and RTS. Safe to script from the test's thread
// while a reader thread waits.
class TFakeDevice : public TMemoryDevice {
 public:
    explicit TFakeDevice(std::string claimKey = NextKey());

    TDeviceResult Open() override;
    TDeviceResult ApplySettings(const TLineSettings& settings) override;
    TDeviceResult SetDtr(LineLevel level) override;
    TDeviceResult SetRts(LineLevel level) override;
    TDeviceResult GetModemStatus(std::uint32_t& status) override;
    TDeviceResult Purge(PurgeTarget target) override;
    TDeviceResult ReadQueued(std::string& out) override;
    TDeviceResult Write(std::string_view data) override;

    // The far end sends bytes; false if the receive queue is full.
    bool Receive(std::string_view bytes);
    // The far end sets these kModem* levels; changed lines raise events.
    void SetModemLines(std::uint32_t modem);
    // These kModem* lines toggle and come back before the reader looks (a RING pulse).
    void PulseModemLines(std::uint32_t modem);
    // The driver reports these kError* flags.
    void RaiseLineErrors(std::uint32_t errors);
    // Later calls of `operation` fail with `message`; an empty message clears it.
    void SetFailure(FakeOperation operation, std::string message);

    std::string Written() const;
    LineLevel Dtr() const;
    LineLevel Rts() const;
    int PurgeCount() const;

 private:
    static std::string NextKey();
    // The failure scripted for `operation`, or Ok.
    TDeviceResult Scripted(FakeOperation operation) const;

    static constexpr std::size_t kOperationCount = 8;
    std::array<std::string, kOperationCount> m_failures;
    std::string m_written;
    LineLevel m_dtr = LineLevel::Off;
    LineLevel m_rts = LineLevel::Off;
    int m_purgeCount = 0;
};

}  // namespace korvane::serial
