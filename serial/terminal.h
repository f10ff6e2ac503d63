#pragma once

#include <QPoint>
#include <QPointer>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>

#include "serial/comm_thread.h"
#include "serial/line_settings.h"
#include "serial/serial_device.h"
#include "serial/terminal_window.h"

class QWidget;

namespace korvane::serial {

using TDeviceMaker = std::function<std::unique_ptr<TSerialDevice>()>;

// One port's channel and its terminal window: the line settings, the reader thread, the
// receive buffer and the line states, all touched on the GUI thread only. The port table
// decides which terminals exist; the device layer does the talking to the system.
class TTerminal {
 public:
    // The receive buffer trims its front once it holds more than this.
    static constexpr std::size_t kBufferLimit = 8192;
    static constexpr int kDefaultCharsPerLine = 8;

    // `makeDevice` gives the closed device Open takes; `rememberPosition` keeps the window's
    // place when it is hidden by its close button or destroyed.
    TTerminal(TDeviceMaker makeDevice, QWidget* owner,
              std::function<void(QPoint)> rememberPosition);
    ~TTerminal();
    TTerminal(const TTerminal&) = delete;
    TTerminal& operator=(const TTerminal&) = delete;

    TTerminalWindow& Window() { return *m_window; }

    const std::string& Port() const { return m_port; }
    void SetPort(std::string port) { m_port = std::move(port); }
    std::int32_t BaudRate() const { return m_baudRate; }
    void SetBaudRate(std::int32_t baudRate) { m_baudRate = baudRate; }
    std::uint8_t ByteSize() const { return m_byteSize; }
    void SetByteSize(std::uint8_t byteSize) { m_byteSize = byteSize; }
    serial::Parity Parity() const { return m_parity; }
    void SetParity(serial::Parity parity) { m_parity = parity; }
    serial::StopBits StopBits() const { return m_stopBits; }
    void SetStopBits(serial::StopBits stopBits) { m_stopBits = stopBits; }
    int CharsPerLine() const { return m_charsPerLine; }
    void SetCharsPerLine(int charsPerLine) { m_charsPerLine = charsPerLine; }

    bool Connected() const { return m_connected; }
    int CtsState() const { return m_ctsState; }
    int DsrState() const { return m_dsrState; }
    int RingState() const { return m_ringState; }
    int RlsdState() const { return m_rlsdState; }
    const std::string& RxBuffer() const { return m_rxBuffer; }
    // Why the last Open failed, as EComError said it; empty after a good open.
    const std::string& OpenFailure() const { return m_openFailure; }
    // Whether the last Open failed because someone else holds the device.
    bool OpenFoundPortInUse() const { return m_openFoundInUse; }
    // What the user can do about the last failed Open (a missing group); empty for most.
    const std::string& OpenAdvice() const { return m_openAdvice; }
    // The device went away; the port stays open and waits for it to come back.
    bool Lost() const { return m_device && m_device->Lost(); }
    // Where another program opens the far end, for pseudo-terminal ports.
    std::string PeerPath() const;
    // What the port does besides carrying bytes ("recording to a.kvr"); empty for most.
    std::string Activity() const;

    // Opens the device with the settings above and starts the reader; a failure leaves the
    // terminal unconnected with its window hidden. A device that takes a while to open
    // calls `keepWaiting` meanwhile and gives up when it returns false.
    void Open(std::function<bool()> keepWaiting = {});
    // Drops both lines, discards both queues, ends the reader and releases the device.
    void ClosePort();
    bool SetDTR(bool on);
    bool SetRTS(bool on);
    void ClearBuffer() { m_rxBuffer.clear(); }
    void DeleteFromBuffer(int count);
    // False when the device refused the bytes (it has failed, or far too much is queued).
    bool Send(std::string_view data);

    // What the reader thread hands over: queued bytes arrived; lines changed or errors
    // occurred (`status` holds the lines as they were before the change).
    void HandleRead();
    void HandleEvent(std::uint32_t mask, std::uint32_t status, std::uint32_t errors);

 private:
    void Dispatch(const TDeviceEvent& event);
    void OpenDevice(std::function<bool()> keepWaiting);
    void Reset();
    void ShowTraffic(std::string_view mark, std::string_view chunk);
    void ReleaseDevice();

    TDeviceMaker m_makeDevice;
    std::function<void(QPoint)> m_rememberPosition;
    QPointer<TTerminalWindow> m_window;
    std::unique_ptr<TSerialDevice> m_device;
    std::unique_ptr<TCommThread> m_thread;

    std::string m_port;
    std::int32_t m_baudRate = 9600;
    std::uint8_t m_byteSize = 8;
    serial::Parity m_parity = serial::Parity::None;
    serial::StopBits m_stopBits = serial::StopBits::One;
    bool m_connected = false;
    int m_ctsState = 0;
    int m_dsrState = 0;
    int m_ringState = 0;
    int m_rlsdState = 0;
    std::string m_rxBuffer;
    int m_charsPerLine = kDefaultCharsPerLine;
    std::string m_openFailure;
    bool m_openFoundInUse = false;
    std::string m_openAdvice;
};

}  // namespace korvane::serial
