#pragma once

#include <atomic>
#include <mutex>
#include <optional>
#include <string>

#include "byte_queue.h"
#include "line_watch.h"
#include "port_registry.h"
#include "serial_device.h"
#include "unique_fd.h"
#include "wake_event.h"

namespace korvane::serial {

// Identity of the character device at `path` (symlinks followed), or nothing if there
// is no such device. Two paths to one port give the same key.
std::optional<std::string> TtyDeviceKey(const std::string& path);

// A serial port reached through a tty device node. Opening takes it exclusively with
// TIOCEXCL and flock, so a second open fails also for root. Output the driver cannot
// take at once is queued and drained by the reader thread's wait. Modem lines and line
// errors are polled; a pseudo-terminal has neither and reports none.
class TTtyDevice : public TSerialDevice {
 public:
    // `path` is the device node to open; messages name the port by it.
    explicit TTtyDevice(std::string path);
    ~TTtyDevice() override;
    TTtyDevice(const TTtyDevice&) = delete;
    TTtyDevice& operator=(const TTtyDevice&) = delete;

    TDeviceResult Open() override;
    bool IsOpen() const override { return m_fd.Valid(); }
    void Shutdown() override;
    void Close() override;

    TDeviceResult ApplySettings(const TLineSettings& settings) override;
    TDeviceResult SetDtr(LineLevel level) override;
    TDeviceResult SetRts(LineLevel level) override;
    TDeviceResult GetModemStatus(std::uint32_t& status) override;
    TDeviceResult Purge(PurgeTarget target) override;

    TDeviceResult ReadQueued(std::string& out) override;
    TDeviceResult Write(std::string_view data) override;
    std::size_t PendingOutput() const override;

    TDeviceEvent WaitEvent() override;

 protected:
    // Takes over a tty that is already open (non-blocking) and configures it raw.
    TDeviceResult Attach(TUniqueFd fd, TPortClaim claim);

 private:
    TDeviceResult SetModemControl(int lineBit, LineLevel level, const char* what);
    TDeviceResult StartWatching();
    short FdInterest() const;
    void HandleReadiness(short revents, TDeviceEvent& event);
    // Hands queued output to the driver until it is empty or the driver is full;
    // returns 0 or the errno of a failed write. Caller holds m_outputMutex.
    int DrainOutputLocked();
    void MarkFailed(TDeviceEvent& event);

    std::string m_path;
    TUniqueFd m_fd;
    TWakeEvent m_wake;
    TPortClaim m_claim;
    bool m_exclusive = false;
    TLineWatch m_watch;  // reader thread only
    mutable std::mutex m_outputMutex;
    TByteQueue m_output{kMaxQueuedOutput};
    std::atomic<bool> m_shutdown{false};
    std::atomic<bool> m_failed{false};
    std::atomic<bool> m_rxReported{false};
};

}  // namespace korvane::serial
