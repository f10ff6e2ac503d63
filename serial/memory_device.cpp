#include "memory_device.h"

#include <algorithm>

#include "line_watch.h"

namespace korvane::serial {

TDeviceResult MemoryNotOpen() { return TDeviceResult::Fail("the port is not open"); }

TMemoryDevice::TMemoryDevice(std::string claimKey) : m_claimKey(std::move(claimKey)) {}

TDeviceResult TMemoryDevice::Open() {
    auto lock = Lock();
    if (m_claim.Held()) {
        return TDeviceResult::Fail(m_claimKey + ": already open");
    }
    m_claim = TPortRegistry::Claim(m_claimKey);
    if (!m_claim.Held()) {
        return TDeviceResult::InUse(m_claimKey);
    }
    m_shutdown = false;
    return TDeviceResult::Ok();
}

bool TMemoryDevice::IsOpen() const {
    auto lock = Lock();
    return m_claim.Held();
}

void TMemoryDevice::Shutdown() {
    auto lock = Lock();
    m_shutdown = true;
    m_changed.notify_all();
}

void TMemoryDevice::Close() {
    auto lock = Lock();
    m_shutdown = true;
    m_claim.Release();
    m_received.Clear();
    m_rxReported = false;
    m_modem = 0;
    m_pendingMask = m_pendingErrors = 0;
    m_changed.notify_all();
}

TDeviceResult TMemoryDevice::ApplySettings(const TLineSettings& settings) {
    auto lock = Lock();
    if (!m_claim.Held()) {
        return MemoryNotOpen();
    }
    if (auto problem = FindSettingsProblem(settings)) {
        return TDeviceResult::Fail("set line settings: " + *problem);
    }
    m_settings = settings;
    return TDeviceResult::Ok();
}

TDeviceResult TMemoryDevice::GetModemStatus(std::uint32_t& status) {
    auto lock = Lock();
    status = m_claim.Held() ? m_modem : 0;
    return m_claim.Held() ? TDeviceResult::Ok() : MemoryNotOpen();
}

TDeviceResult TMemoryDevice::Purge(PurgeTarget target) {
    auto lock = Lock();
    if (!m_claim.Held()) {
        return MemoryNotOpen();
    }
    if (target != PurgeTarget::Output) {
        m_received.Clear();
    }
    return TDeviceResult::Ok();
}

TDeviceResult TMemoryDevice::ReadQueued(std::string& out) {
    auto lock = Lock();
    if (!m_claim.Held()) {
        return MemoryNotOpen();
    }
    const std::string_view front = m_received.Front();
    const std::size_t count = std::min(front.size(), kMaxReadChunk);
    out.append(front.substr(0, count));
    m_received.Consume(count);
    m_rxReported = false;
    m_changed.notify_all();
    return TDeviceResult::Ok();
}

TDeviceEvent TMemoryDevice::WaitEvent() {
    auto lock = Lock();
    m_changed.wait(lock, [this] { return m_shutdown || HasEventLocked(); });
    TDeviceEvent event;
    if (m_shutdown) {
        event.closed = true;
        return event;
    }
    if (!m_rxReported && !m_received.Empty()) {
        m_rxReported = true;
        event.mask |= kEventRxChar;
    }
    event.mask |= m_pendingMask;
    event.errors = m_pendingErrors;
    event.modemBefore = m_pendingBefore;
    event.modemNow = m_modem;
    m_pendingMask = m_pendingErrors = 0;
    return event;
}

TLineSettings TMemoryDevice::Settings() const {
    auto lock = Lock();
    return m_settings;
}

bool TMemoryDevice::ReceiveLocked(std::string_view bytes) {
    if (!m_received.Append(bytes)) {
        return false;
    }
    m_changed.notify_all();
    return true;
}

void TMemoryDevice::SetModemLocked(std::uint32_t modem, std::uint32_t pulsed) {
    constexpr std::uint32_t kLineEvents = kEventCts | kEventDsr | kEventRlsd | kEventRing;
    TDeviceEvent change;
    AddLevelChanges(m_modem, modem, change);
    change.mask |= pulsed & kLineEvents;
    if (change.mask == 0) {
        return;
    }
    if ((m_pendingMask & kLineEvents) == 0) {
        m_pendingBefore = m_modem;  // levels before the first change not yet reported
    }
    m_pendingMask |= change.mask;
    m_modem = modem;
    m_changed.notify_all();
}

void TMemoryDevice::RaiseErrorsLocked(std::uint32_t errors) {
    if (errors == 0) {
        return;
    }
    m_pendingMask |= kEventErr;
    m_pendingErrors |= errors;
    m_changed.notify_all();
}

bool TMemoryDevice::HasEventLocked() const {
    return m_pendingMask != 0 || (!m_rxReported && !m_received.Empty());
}

}  // namespace korvane::serial
