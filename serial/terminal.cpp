#include "serial/terminal.h"

#include <QString>
#include <algorithm>
#include <exception>
#include <utility>

#include "serial/com_error.h"
#include "serial/terminal_dump.h"

namespace korvane::serial {

namespace {

// What a port is set to the moment it opens; they stay in force where the device refuses
// the terminal's own settings.
constexpr TLineSettings kCreationSettings{9600, 8, Parity::Even, StopBits::One};

void SetState(std::uint32_t mask, std::uint32_t status, std::uint32_t eventBit,
              std::uint32_t modemBit, int& state) {
    // The status is from before the change: a line that was off has just come on.
    if (mask & eventBit) state = (status & modemBit) ? 0 : 1;
}

LineLevel Level(bool on) { return on ? LineLevel::On : LineLevel::Off; }

// Quick changes can fold into one event whose levels before and after agree (off, on, off
// again). A line state has to end where its line settled, so each line's "before" is taken
// as the opposite of its level now. A ring that came and went still reads as having come:
// ringing is a pulse by nature.
std::uint32_t SettledBefore(const TDeviceEvent& event) {
    return (~event.modemNow & ~kModemRing) | (event.modemBefore & kModemRing);
}

}  // namespace

TTerminal::TTerminal(TDeviceMaker makeDevice, QWidget* owner,
                     std::function<void(QPoint)> rememberPosition)
    : m_makeDevice(std::move(makeDevice)),
      m_rememberPosition(std::move(rememberPosition)),
      m_window(new TTerminalWindow(owner, m_rememberPosition)) {}

TTerminal::~TTerminal() {
    ClosePort();
    if (m_window) {
        // A window never shown sits where the port's opening put it, not where anyone left it.
        if (m_rememberPosition && m_window->WasShown()) m_rememberPosition(m_window->pos());
        delete m_window.data();
    }
}

std::string TTerminal::PeerPath() const { return m_device ? m_device->PeerPath() : std::string(); }

std::string TTerminal::Activity() const { return m_device ? m_device->Activity() : std::string(); }

void TTerminal::Open(std::function<bool()> keepWaiting) {
    if (m_connected) return;
    m_openFoundInUse = false;
    m_openAdvice.clear();
    m_window->PrepareForPort();
    try {
        OpenDevice(std::move(keepWaiting));
        m_thread = std::make_unique<TCommThread>(*m_device,
                                                 [this](const TDeviceEvent& e) { Dispatch(e); });
        (void)m_device->ApplySettings(TLineSettings{m_baudRate, m_byteSize, m_parity, m_stopBits});
        m_connected = true;
        m_openFailure.clear();
        m_droppedTotal = m_droppedUnreported = 0;
        m_thread->start();
    } catch (const std::exception& error) {
        m_openFailure = error.what();
        ReleaseDevice();
        m_window->Dismiss();
    }
}

void TTerminal::OpenDevice(std::function<bool()> keepWaiting) {
    m_device = m_makeDevice ? m_makeDevice() : nullptr;
    if (!m_device) throw EComError("TTerminal : cannot open " + m_port + "\rno such port");
    m_device->SetOpenWait(std::move(keepWaiting));
    const TDeviceResult opened = m_device->Open();
    m_openFoundInUse = opened.PortInUse();
    if (opened.PermissionDenied()) m_openAdvice = opened.Message();
    if (!opened) throw EComError("TTerminal : cannot open " + m_port + "\r" + opened.Message());
    (void)m_device->ApplySettings(kCreationSettings);
    Reset();
}

void TTerminal::Reset() {
    (void)m_device->Purge(PurgeTarget::Both);
    (void)m_device->SetDtr(LineLevel::Off);
    (void)m_device->SetRts(LineLevel::Off);
}

void TTerminal::ClosePort() {
    if (!m_connected) return;
    m_connected = false;
    Reset();
    ReleaseDevice();
}

void TTerminal::ReleaseDevice() {
    if (m_thread) {
        m_thread->Stop();
        m_thread.reset();
    }
    if (m_device) {
        m_device->Close();
        m_device.reset();
    }
}

bool TTerminal::SetDTR(bool on) {
    return m_connected && static_cast<bool>(m_device->SetDtr(Level(on)));
}

bool TTerminal::SetRTS(bool on) {
    return m_connected && static_cast<bool>(m_device->SetRts(Level(on)));
}

void TTerminal::DeleteFromBuffer(int count) {
    if (count <= 0) return;
    m_rxBuffer.erase(0, std::min(static_cast<std::size_t>(count), m_rxBuffer.size()));
}

bool TTerminal::Send(std::string_view data) {
    if (!m_connected) return true;
    if (m_window->isVisible()) ShowTraffic(kSentMark, data);
    return static_cast<bool>(m_device->Write(data));
}

void TTerminal::Dispatch(const TDeviceEvent& event) {
    if (event.mask & kEventRxChar) HandleRead();
    const std::uint32_t rest = event.mask & ~kEventRxChar;
    if (rest != 0) HandleEvent(rest, SettledBefore(event), event.errors);
}

void TTerminal::HandleRead() {
    if (!m_device) return;
    std::string chunk;
    // A failed read leaves the chunk empty; the device reports its failure as a line error.
    (void)m_device->ReadQueued(chunk);
    if (!m_connected || chunk.empty()) return;
    if (m_window->isVisible()) ShowTraffic(kReceivedMark, chunk);
    AppendReceived(chunk);
}

void TTerminal::AppendReceived(std::string_view chunk) {
    const std::uint64_t droppedBefore = m_droppedTotal;
    while (!chunk.empty()) {
        const std::string_view slice = chunk.substr(0, kBufferLimit);
        chunk.remove_prefix(slice.size());
        if (m_rxBuffer.size() > kBufferLimit) {
            const std::size_t dropped = std::min(slice.size(), m_rxBuffer.size());
            m_rxBuffer.erase(0, dropped);
            m_droppedTotal += dropped;
            m_droppedUnreported += dropped;
        }
        m_rxBuffer += slice;
    }
    if (m_droppedTotal != droppedBefore) UpdateCaption();
}

void TTerminal::SetCaption(std::string caption) {
    m_caption = std::move(caption);
    UpdateCaption();
}

void TTerminal::UpdateCaption() {
    std::string title = m_caption.empty() ? m_port : m_caption;
    if (m_droppedTotal > 0) title += " - " + DroppedBytesText(m_droppedTotal);
    m_window->setWindowTitle(QString::fromStdString(title));
}

void TTerminal::HandleEvent(std::uint32_t mask, std::uint32_t status, std::uint32_t errors) {
    SetState(mask, status, kEventCts, kModemCts, m_ctsState);
    SetState(mask, status, kEventDsr, kModemDsr, m_dsrState);
    SetState(mask, status, kEventRlsd, kModemRlsd, m_rlsdState);
    SetState(mask, status, kEventRing, kModemRing, m_ringState);
    if (mask & kEventErr) {
        m_window->AddLine(std::string(kPortErrorPrefix) +
                          std::string(LineErrorDescription(errors)));
    }
}

void TTerminal::ShowTraffic(std::string_view mark, std::string_view chunk) {
    for (const std::string& line : DumpLines(mark, chunk, m_charsPerLine)) m_window->AddLine(line);
}

std::string DroppedBytesText(std::uint64_t count) {
    std::string digits = std::to_string(count);
    for (std::size_t at = digits.size(); at > 3; at -= 3) digits.insert(at - 3, ",");
    return digits + " received bytes dropped";
}

}  // namespace korvane::serial
