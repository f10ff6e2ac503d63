#pragma once

#include <atomic>
#include <functional>
#include <mutex>
#include <string>

#include "byte_queue.h"
#include "port_notices.h"
#include "serial_device.h"
#include "unique_fd.h"
#include "wake_event.h"

namespace korvane::serial {

// An instrument on the network, reached over a raw TCP connection (SCPI on port 5025 and
// any other line protocol). Open connects within kOpenTimeout, resolving host names on a
// thread of their own so a waiting caller stays responsive. Line settings are accepted and
// ignored; there are no modem lines. The peer closing the connection is a line error, as
// an unplugged adapter is. Whoever makes it keeps the port from being opened twice.
class TTcpDevice : public TSerialDevice {
 public:
    // `hostPort` as the port map holds it ("10.0.0.5:5025"); `port` names the port in
    // notes ("com3").
    TTcpDevice(std::string hostPort, std::string port, std::shared_ptr<TPortNotices> notices);
    ~TTcpDevice() override;
    TTcpDevice(const TTcpDevice&) = delete;
    TTcpDevice& operator=(const TTcpDevice&) = delete;

    TDeviceResult Open() override;
    bool IsOpen() const override { return m_fd.Valid(); }
    void Shutdown() override;
    void Close() override;

    TDeviceResult ApplySettings(const TLineSettings&) override { return Checked(); }
    TDeviceResult SetDtr(LineLevel level) override { return NoLines(level); }
    TDeviceResult SetRts(LineLevel level) override { return NoLines(level); }
    TDeviceResult GetModemStatus(std::uint32_t& status) override;
    TDeviceResult Purge(PurgeTarget target) override;

    TDeviceResult ReadQueued(std::string& out) override;
    TDeviceResult Write(std::string_view data) override;
    std::size_t PendingOutput() const override;

    TDeviceEvent WaitEvent() override;

    void SetOpenWait(std::function<bool()> keepWaiting) override {
        m_keepWaiting = std::move(keepWaiting);
    }

 private:
    TDeviceResult Checked() const;
    TDeviceResult NoLines(LineLevel level);
    TDeviceResult Connect();
    // Hands queued output to the socket until it is empty or full; 0 or an errno.
    int DrainOutputLocked();
    void HandleReadiness(short revents, TDeviceEvent& event);
    void MarkFailed(TDeviceEvent& event);

    std::string m_hostPort;
    std::string m_port;
    std::shared_ptr<TPortNotices> m_notices;
    std::function<bool()> m_keepWaiting;
    TUniqueFd m_fd;
    TWakeEvent m_wake;
    mutable std::mutex m_outputMutex;
    TByteQueue m_output{kMaxQueuedOutput};
    std::atomic<bool> m_shutdown{false};
    std::atomic<bool> m_failed{false};
    std::atomic<bool> m_rxReported{false};
    bool m_linesNoted = false;
};

}  // namespace korvane::serial
