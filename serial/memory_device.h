#pragma once

#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <string>

#include "byte_queue.h"
#include "port_registry.h"
#include "serial_device.h"

namespace korvane::serial {

// Common ground of the devices that live in memory (the loop port and the test fake):
// a receive queue, modem-line levels and pending events, guarded by one mutex so the
// reader thread can wait on them. Subclasses decide where written bytes and the
// control lines go.
class TMemoryDevice : public TSerialDevice {
 public:
    // `claimKey` names this port among the ports the program holds.
    explicit TMemoryDevice(std::string claimKey);

    TDeviceResult Open() override;
    bool IsOpen() const override;
    void Shutdown() override;
    void Close() override;

    TDeviceResult ApplySettings(const TLineSettings& settings) override;
    TDeviceResult GetModemStatus(std::uint32_t& status) override;
    TDeviceResult Purge(PurgeTarget target) override;
    TDeviceResult ReadQueued(std::string& out) override;
    std::size_t PendingOutput() const override { return 0; }
    TDeviceEvent WaitEvent() override;

    TLineSettings Settings() const;

 protected:
    std::unique_lock<std::mutex> Lock() const { return std::unique_lock(m_mutex); }
    // The helpers below expect the lock to be held.
    bool OpenLocked() const { return m_claim.Held(); }
    // False, and nothing queued, if the receive queue is full.
    bool ReceiveLocked(std::string_view bytes);
    // New line levels; `pulsed` adds events for lines that toggled and came back.
    void SetModemLocked(std::uint32_t modem, std::uint32_t pulsed = 0);
    void RaiseErrorsLocked(std::uint32_t errors);
    std::uint32_t ModemLocked() const { return m_modem; }

 private:
    bool HasEventLocked() const;

    std::string m_claimKey;
    mutable std::mutex m_mutex;
    std::condition_variable m_changed;
    TPortClaim m_claim;
    TLineSettings m_settings;
    TByteQueue m_received{kMaxQueuedOutput};
    bool m_rxReported = false;
    bool m_shutdown = false;
    std::uint32_t m_modem = 0;
    std::uint32_t m_pendingMask = 0;
    std::uint32_t m_pendingBefore = 0;
    std::uint32_t m_pendingErrors = 0;
};

TDeviceResult MemoryNotOpen();

}  // namespace korvane::serial
