#include "recording_device.h"

#include <utility>

namespace korvane::serial {

namespace {

TRecordedEvent ValueEvent(RecordedKind kind, std::uint32_t value) {
    TRecordedEvent event;
    event.kind = kind;
    event.value = value;
    return event;
}

}  // namespace

TRecordingDevice::TRecordingDevice(std::unique_ptr<TSerialDevice> inner, std::string file,
                                   std::string port, std::shared_ptr<TPortNotices> notices)
    : m_inner(std::move(inner)),
      m_file(std::move(file)),
      m_port(std::move(port)),
      m_notices(std::move(notices)) {}

TRecordingDevice::~TRecordingDevice() { Close(); }

// The device opens first, so a port that is absent or busy leaves an earlier recording of
// it alone.
TDeviceResult TRecordingDevice::Open() {
    TDeviceResult opened = m_inner->Open();
    if (!opened) return opened;
    // A recording that cannot be finished is lost data: the run has to fail, not only say so.
    const std::string problem = m_writer.Open(m_file, [this](const std::string& failure) {
        if (m_notices) m_notices->AddRecordingFailure(m_port + ": " + failure);
    });
    if (!problem.empty()) {
        m_inner->Close();
        if (m_notices) m_notices->Note(m_port + ": " + problem);
        return TDeviceResult::Unavailable(m_port + ": " + problem);
    }
    m_opened = std::chrono::steady_clock::now();
    m_writer.Append(std::string(kRecordingHeader) + "\n# " + m_port + "\n");
    return TDeviceResult::Ok();
}

void TRecordingDevice::Close() {
    m_inner->Close();
    (void)m_writer.Close();
}

TDeviceResult TRecordingDevice::ApplySettings(const TLineSettings& settings) {
    TDeviceResult result = m_inner->ApplySettings(settings);
    if (result) {
        TRecordedEvent event;
        event.kind = RecordedKind::Settings;
        event.settings = settings;
        Record(std::move(event));
    }
    return result;
}

TDeviceResult TRecordingDevice::SetDtr(LineLevel level) {
    TDeviceResult result = m_inner->SetDtr(level);
    if (result) Record(ValueEvent(RecordedKind::Dtr, level == LineLevel::On ? 1 : 0));
    return result;
}

TDeviceResult TRecordingDevice::SetRts(LineLevel level) {
    TDeviceResult result = m_inner->SetRts(level);
    if (result) Record(ValueEvent(RecordedKind::Rts, level == LineLevel::On ? 1 : 0));
    return result;
}

TDeviceResult TRecordingDevice::ReadQueued(std::string& out) {
    const std::size_t before = out.size();
    TDeviceResult result = m_inner->ReadQueued(out);
    if (out.size() > before) {
        Record(BytesEvent(0, RecordedKind::Received, std::string_view(out).substr(before)));
    }
    return result;
}

TDeviceResult TRecordingDevice::Write(std::string_view data) {
    TDeviceResult result = m_inner->Write(data);
    if (result && !data.empty()) Record(BytesEvent(0, RecordedKind::Sent, data));
    return result;
}

TDeviceEvent TRecordingDevice::WaitEvent() {
    const TDeviceEvent event = m_inner->WaitEvent();
    constexpr std::uint32_t kLines[][2] = {{kEventCts, kModemCts},
                                           {kEventDsr, kModemDsr},
                                           {kEventRlsd, kModemRlsd},
                                           {kEventRing, kModemRing}};
    std::uint32_t pulsed = 0;
    bool changed = false;
    for (const auto& [eventBit, modemBit] : kLines) {
        if (!(event.mask & eventBit)) continue;
        if ((event.modemBefore ^ event.modemNow) & modemBit) {
            changed = true;
        } else {
            pulsed |= modemBit;
        }
    }
    if (changed) Record(ValueEvent(RecordedKind::Modem, event.modemNow));
    if (pulsed) Record(ValueEvent(RecordedKind::Pulse, pulsed));
    constexpr std::uint32_t kNamedErrors = kErrorRxOver | kErrorOverrun | kErrorParity |
                                           kErrorFrame | kErrorBreak | kErrorTxFull | kErrorIo;
    if ((event.mask & kEventErr) && (event.errors & kNamedErrors)) {
        Record(ValueEvent(RecordedKind::Error, event.errors & kNamedErrors));
    }
    return event;
}

void TRecordingDevice::Record(TRecordedEvent event) {
    event.micros = Elapsed();
    m_writer.Append(FormatEvent(event));
}

std::int64_t TRecordingDevice::Elapsed() const {
    return std::chrono::duration_cast<std::chrono::microseconds>(std::chrono::steady_clock::now() -
                                                                 m_opened)
        .count();
}

}  // namespace korvane::serial
