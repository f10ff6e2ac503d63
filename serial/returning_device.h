#pragma once

#include <atomic>
#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>

#include "port_notices.h"
#include "port_registry.h"
#include "serial_device.h"

namespace korvane::serial {

// A port whose device may go away and come back: an unplugged adapter, a switched-off
// instrument. When the device fails the port stays open and is "lost": writes fail, and
// the reader tries a fresh device from `make` every kRetryInterval until one opens. Then
// the port's line settings, DTR and RTS are applied to it again and it carries on. Both
// changes are noted once ("com3: device lost", "com3: device back").
class TReturningDevice : public TSerialDevice {
 public:
    using TMaker = std::function<std::unique_ptr<TSerialDevice>()>;
    static constexpr std::chrono::milliseconds kRetryInterval{250};

    // `claimKey`, when given, is held from Open to Close, lost or not, for devices that hold
    // no identity of their own (a network instrument).
    TReturningDevice(TMaker make, std::string port, std::shared_ptr<TPortNotices> notices,
                     std::string claimKey = {});
    ~TReturningDevice() override;
    TReturningDevice(const TReturningDevice&) = delete;
    TReturningDevice& operator=(const TReturningDevice&) = delete;

    TDeviceResult Open() override;
    bool IsOpen() const override;
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
    std::string PeerPath() const override;

    void SetOpenWait(std::function<bool()> keepWaiting) override;
    bool Lost() const override { return m_lost; }

 private:
    // Runs `call` on the current device unless it is lost; `whileLost` otherwise.
    TDeviceResult OnDevice(const std::function<TDeviceResult(TSerialDevice&)>& call,
                           TDeviceResult whileLost);
    // Waits out one retry interval; false once the port is shut down.
    bool Pause();
    // A fresh device, open and set up as the port was; null while the device is still away.
    std::unique_ptr<TSerialDevice> Reopen();

    TMaker m_make;
    std::string m_port;
    std::shared_ptr<TPortNotices> m_notices;
    std::string m_claimKey;
    TPortClaim m_claim;
    std::function<bool()> m_keepWaiting;
    mutable std::mutex m_mutex;  // guards the device pointer and what is applied to it
    std::condition_variable m_shutdownSignal;
    std::unique_ptr<TSerialDevice> m_device;
    std::optional<TLineSettings> m_settings;
    std::optional<LineLevel> m_dtr;
    std::optional<LineLevel> m_rts;
    std::atomic<bool> m_lost{false};
    bool m_shutdown = false;  // under m_mutex
};

}  // namespace korvane::serial
