#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

#include "device_result.h"
#include "line_settings.h"

namespace korvane::serial {

// Event bits a wait reports; the values are the comm event codes the channel expects.
inline constexpr std::uint32_t kEventRxChar = 0x0001;
inline constexpr std::uint32_t kEventCts = 0x0008;
inline constexpr std::uint32_t kEventDsr = 0x0010;
inline constexpr std::uint32_t kEventRlsd = 0x0020;
inline constexpr std::uint32_t kEventErr = 0x0080;
inline constexpr std::uint32_t kEventRing = 0x0100;

// Modem-status bits.
inline constexpr std::uint32_t kModemCts = 0x10;
inline constexpr std::uint32_t kModemDsr = 0x20;
inline constexpr std::uint32_t kModemRing = 0x40;
inline constexpr std::uint32_t kModemRlsd = 0x80;

// Line-error flags, reported with kEventErr.
inline constexpr std::uint32_t kErrorRxOver = 0x0001;   // input buffer overflow
inline constexpr std::uint32_t kErrorOverrun = 0x0002;  // character-buffer overrun
inline constexpr std::uint32_t kErrorParity = 0x0004;
inline constexpr std::uint32_t kErrorFrame = 0x0008;
inline constexpr std::uint32_t kErrorBreak = 0x0010;
inline constexpr std::uint32_t kErrorTxFull = 0x0100;
inline constexpr std::uint32_t kErrorIo = 0x0400;  // the device went away or failed

// What ended one wait. Several things may be reported at once. For each line bit in
// `mask`, `modemBefore` holds the lines as they were before the change and `modemNow`
// as they are after it (a short pulse shows the bit in `mask` with equal levels).
struct TDeviceEvent {
    std::uint32_t mask = 0;
    std::uint32_t modemBefore = 0;
    std::uint32_t modemNow = 0;
    std::uint32_t errors = 0;
    bool closed = false;  // Shutdown was called; the reader should end
};

enum class LineLevel { Off, On };
enum class PurgeTarget { Input, Output, Both };

// What a serial channel needs of the operating system for one port. One reader thread
// sits in WaitEvent; every other call comes from the channel's own thread. Shutdown may
// be called from any thread; Close only once no thread is inside WaitEvent any more.
class TSerialDevice {
 public:
    virtual ~TSerialDevice() = default;

    // Takes the device exclusively; fails if anyone (this program included) holds it.
    virtual TDeviceResult Open() = 0;
    virtual bool IsOpen() const = 0;
    // Wakes the reader: the current or next WaitEvent returns an event with `closed`.
    virtual void Shutdown() = 0;
    // Releases the device; queued output is dropped. Safe to call twice.
    virtual void Close() = 0;

    // Refused settings leave the previous ones in force.
    virtual TDeviceResult ApplySettings(const TLineSettings& settings) = 0;
    virtual TDeviceResult SetDtr(LineLevel level) = 0;
    virtual TDeviceResult SetRts(LineLevel level) = 0;
    // Current kModem* bits; a device without modem lines reads 0.
    virtual TDeviceResult GetModemStatus(std::uint32_t& status) = 0;
    // Discards received bytes not yet read and/or output not yet transmitted.
    virtual TDeviceResult Purge(PurgeTarget target) = 0;

    // Appends the bytes received so far (at most kMaxReadChunk per call) to `out`.
    // After a kEventRxChar the channel must call it before data is reported again.
    virtual TDeviceResult ReadQueued(std::string& out) = 0;
    // Never blocks: whatever the device cannot take now is queued and sent in order.
    // Fails without queuing anything if the output queue would exceed kMaxQueuedOutput.
    virtual TDeviceResult Write(std::string_view data) = 0;
    // Bytes accepted by Write but not yet handed to the device.
    virtual std::size_t PendingOutput() const = 0;

    // Blocks until received data, a modem-line change, a line error or Shutdown.
    virtual TDeviceEvent WaitEvent() = 0;

    // The path another program opens to play the far end (pseudo-terminal ports).
    virtual std::string PeerPath() const { return {}; }
    // What the port does besides carrying bytes ("recording to a.kvr"), for its window title.
    virtual std::string Activity() const { return {}; }

    // For devices whose Open takes a while (a network connect): Open calls `keepWaiting`
    // every few milliseconds and gives up as soon as it returns false.
    virtual void SetOpenWait(std::function<bool()> keepWaiting) { (void)keepWaiting; }
    // True while the device has gone away and the port waits for it to come back.
    virtual bool Lost() const { return false; }
};

inline constexpr std::size_t kMaxReadChunk = 64 * 1024;
inline constexpr std::size_t kMaxQueuedOutput = 16 * 1024 * 1024;

}  // namespace korvane::serial
