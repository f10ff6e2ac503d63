#pragma once

#include <atomic>
#include <deque>
#include <filesystem>
#include <mutex>
#include <optional>
#include <string>

#include "port_registry.h"
#include "serial_device.h"
#include "unique_fd.h"
#include "wake_event.h"

namespace korvane::serial {

// How long a USB instrument may take to answer a query.
inline constexpr int kUsbtmcReplyTimeoutMs = 2000;

// What an instrument node (or the USB resource string leading to one) is held by in this
// program; nothing while no such node exists.
std::optional<std::string> UsbtmcDeviceKey(const std::string& path,
                                           const std::filesystem::path& sysfsRoot = "/sys");

// A USB instrument through the kernel's USBTMC driver (/dev/usbtmcN). Each Write is one
// message to the instrument; after a message holding a '?' (a query) the reply is read as
// it comes, for at most kUsbtmcReplyTimeoutMs. Messages go out one at a time in order on
// the reader thread, as the driver blocks. A unix seqpacket socket at the path plays the
// instrument in tests: one packet a message. No line settings, no modem lines.
class TUsbtmcDevice : public TSerialDevice {
 public:
    // `path` is a /dev/usbtmcN node or a USB resource string resolved through sysfs at
    // every Open, so a re-plugged instrument is found again.
    explicit TUsbtmcDevice(std::string path, std::filesystem::path sysfsRoot = "/sys");
    ~TUsbtmcDevice() override;
    TUsbtmcDevice(const TUsbtmcDevice&) = delete;
    TUsbtmcDevice& operator=(const TUsbtmcDevice&) = delete;

    TDeviceResult Open() override;
    bool IsOpen() const override { return m_fd.Valid(); }
    void Shutdown() override;
    void Close() override;

    TDeviceResult ApplySettings(const TLineSettings&) override { return Checked(); }
    TDeviceResult SetDtr(LineLevel) override { return Checked(); }
    TDeviceResult SetRts(LineLevel) override { return Checked(); }
    TDeviceResult GetModemStatus(std::uint32_t& status) override;
    TDeviceResult Purge(PurgeTarget target) override;

    TDeviceResult ReadQueued(std::string& out) override;
    TDeviceResult Write(std::string_view data) override;
    std::size_t PendingOutput() const override;

    TDeviceEvent WaitEvent() override;

 private:
    TDeviceResult Checked() const;
    TDeviceResult OpenNode(const std::string& node);
    std::optional<std::string> TakeMessage();
    // Reads one reply into the received bytes; false when the instrument has gone.
    bool ReadReply();
    void MarkFailed(TDeviceEvent& event);

    std::string m_path;
    std::filesystem::path m_sysfsRoot;
    TUniqueFd m_fd;
    TWakeEvent m_wake;
    TPortClaim m_claim;
    mutable std::mutex m_mutex;
    std::deque<std::string> m_messages;
    std::size_t m_queuedBytes = 0;
    std::string m_received;
    std::atomic<bool> m_shutdown{false};
    std::atomic<bool> m_failed{false};
    bool m_socket = false;  // the stand-in, not a device node
};

}  // namespace korvane::serial
