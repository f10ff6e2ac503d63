#include "returning_device.h"

#include <utility>

namespace korvane::serial {

TReturningDevice::TReturningDevice(TMaker make, std::string port,
                                   std::shared_ptr<TPortNotices> notices, std::string claimKey)
    : m_make(std::move(make)),
      m_port(std::move(port)),
      m_notices(std::move(notices)),
      m_claimKey(std::move(claimKey)) {}

TReturningDevice::~TReturningDevice() { TReturningDevice::Close(); }

TDeviceResult TReturningDevice::Open() {
    if (IsOpen()) return TDeviceResult::Fail(m_port + ": already open");
    TPortClaim claim = m_claimKey.empty() ? TPortClaim() : TPortRegistry::Claim(m_claimKey);
    if (!m_claimKey.empty() && !claim.Held()) return TDeviceResult::InUse(m_port);
    std::unique_ptr<TSerialDevice> device = m_make();
    if (!device) return TDeviceResult::Fail(m_port + ": no such device");
    // The caller's wait belongs to this open only; it may not outlive the caller.
    device->SetOpenWait(std::exchange(m_keepWaiting, {}));
    const TDeviceResult opened = device->Open();
    device->SetOpenWait({});
    if (!opened) return opened;
    std::lock_guard lock(m_mutex);
    m_claim = std::move(claim);
    m_device = std::move(device);
    m_shutdown = false;
    m_lost = false;
    m_settings.reset();
    m_dtr.reset();
    m_rts.reset();
    return TDeviceResult::Ok();
}

bool TReturningDevice::IsOpen() const {
    std::lock_guard lock(m_mutex);
    return m_device != nullptr;
}

void TReturningDevice::Shutdown() {
    std::lock_guard lock(m_mutex);
    m_shutdown = true;
    m_shutdownSignal.notify_all();
    if (m_device) m_device->Shutdown();
}

void TReturningDevice::Close() {
    std::lock_guard lock(m_mutex);
    m_shutdown = true;
    m_shutdownSignal.notify_all();
    if (m_device) m_device->Close();
    m_device.reset();
    m_claim.Release();
    m_lost = false;
}

void TReturningDevice::SetOpenWait(std::function<bool()> keepWaiting) {
    m_keepWaiting = std::move(keepWaiting);
}

TDeviceResult TReturningDevice::OnDevice(const std::function<TDeviceResult(TSerialDevice&)>& call,
                                         TDeviceResult whileLost) {
    std::lock_guard lock(m_mutex);
    if (!m_device) return TDeviceResult::Fail("the port is not open");
    if (m_lost) return whileLost;
    return call(*m_device);
}

TDeviceResult TReturningDevice::ApplySettings(const TLineSettings& settings) {
    TDeviceResult result = OnDevice([&](TSerialDevice& d) { return d.ApplySettings(settings); },
                                    TDeviceResult::Ok());
    std::lock_guard lock(m_mutex);
    if (result) m_settings = settings;
    return result;
}

TDeviceResult TReturningDevice::SetDtr(LineLevel level) {
    TDeviceResult result =
        OnDevice([&](TSerialDevice& d) { return d.SetDtr(level); }, TDeviceResult::Ok());
    std::lock_guard lock(m_mutex);
    if (result) m_dtr = level;
    return result;
}

TDeviceResult TReturningDevice::SetRts(LineLevel level) {
    TDeviceResult result =
        OnDevice([&](TSerialDevice& d) { return d.SetRts(level); }, TDeviceResult::Ok());
    std::lock_guard lock(m_mutex);
    if (result) m_rts = level;
    return result;
}

TDeviceResult TReturningDevice::GetModemStatus(std::uint32_t& status) {
    status = 0;
    return OnDevice([&](TSerialDevice& d) { return d.GetModemStatus(status); },
                    TDeviceResult::Ok());
}

TDeviceResult TReturningDevice::Purge(PurgeTarget target) {
    return OnDevice([&](TSerialDevice& d) { return d.Purge(target); }, TDeviceResult::Ok());
}

TDeviceResult TReturningDevice::ReadQueued(std::string& out) {
    // What the lost device still held is read too: it arrived before the loss.
    std::lock_guard lock(m_mutex);
    if (!m_device) return TDeviceResult::Fail("the port is not open");
    return m_device->ReadQueued(out);
}

TDeviceResult TReturningDevice::Write(std::string_view data) {
    return OnDevice([&](TSerialDevice& d) { return d.Write(data); },
                    TDeviceResult::Fail(m_port + ": device lost"));
}

std::size_t TReturningDevice::PendingOutput() const {
    std::lock_guard lock(m_mutex);
    return m_device && !m_lost ? m_device->PendingOutput() : 0;
}

std::string TReturningDevice::PeerPath() const {
    std::lock_guard lock(m_mutex);
    return m_device ? m_device->PeerPath() : std::string();
}

// Only the reader swaps the device, so it may wait on it without the lock.
TDeviceEvent TReturningDevice::WaitEvent() {
    for (;;) {
        TSerialDevice* device = nullptr;
        {
            std::lock_guard lock(m_mutex);
            if (m_shutdown || !m_device) break;
            device = m_device.get();
        }
        if (!m_lost) {
            TDeviceEvent event = device->WaitEvent();
            if (event.closed || !(event.errors & kErrorIo)) return event;
            m_lost = true;
            if (m_notices) m_notices->Note(m_port + ": device lost");
            return event;
        }
        {
            // Let go of the lost device (its last bytes were read when its loss was
            // reported), so it can be taken again when it returns under the same identity.
            std::lock_guard lock(m_mutex);
            if (m_device->IsOpen()) m_device->Close();
        }
        if (!Pause()) break;
        std::unique_ptr<TSerialDevice> fresh = Reopen();
        if (!fresh) continue;
        {
            std::lock_guard lock(m_mutex);
            if (m_shutdown) {
                fresh->Close();
                break;
            }
            m_device->Close();
            m_device = std::move(fresh);
            m_lost = false;
        }
        if (m_notices) m_notices->Note(m_port + ": device back");
    }
    TDeviceEvent closed;
    closed.closed = true;
    return closed;
}

bool TReturningDevice::Pause() {
    std::unique_lock lock(m_mutex);
    return !m_shutdownSignal.wait_for(lock, kRetryInterval, [this] { return m_shutdown; });
}

std::unique_ptr<TSerialDevice> TReturningDevice::Reopen() {
    std::unique_ptr<TSerialDevice> fresh = m_make();
    if (!fresh) return nullptr;
    fresh->SetOpenWait([this] {
        std::lock_guard lock(m_mutex);
        return !m_shutdown;
    });
    if (!fresh->Open()) return nullptr;
    std::lock_guard lock(m_mutex);
    if (m_settings) (void)fresh->ApplySettings(*m_settings);
    if (m_dtr) (void)fresh->SetDtr(*m_dtr);
    if (m_rts) (void)fresh->SetRts(*m_rts);
    return fresh;
}

}  // namespace korvane::serial
