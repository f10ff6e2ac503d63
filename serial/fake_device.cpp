#include "fake_device.h"

#include <atomic>

namespace korvane::serial {

namespace {

constexpr std::uint32_t LineEventsOf(std::uint32_t modem) {
    return ((modem & kModemCts) ? kEventCts : 0) | ((modem & kModemDsr) ? kEventDsr : 0) |
           ((modem & kModemRing) ? kEventRing : 0) | ((modem & kModemRlsd) ? kEventRlsd : 0);
}

}  // namespace

TFakeDevice::TFakeDevice(std::string claimKey) : TMemoryDevice(std::move(claimKey)) {}

std::string TFakeDevice::NextKey() {
    static std::atomic<int> counter{0};
    return "fake:" + std::to_string(++counter);
}

TDeviceResult TFakeDevice::Scripted(FakeOperation operation) const {
    auto lock = Lock();
    const std::string& message = m_failures[static_cast<std::size_t>(operation)];
    return message.empty() ? TDeviceResult::Ok() : TDeviceResult::Fail(message);
}

TDeviceResult TFakeDevice::Open() {
    if (auto result = Scripted(FakeOperation::Open); !result) {
        return result;
    }
    return TMemoryDevice::Open();
}

TDeviceResult TFakeDevice::ApplySettings(const TLineSettings& settings) {
    if (auto result = Scripted(FakeOperation::ApplySettings); !result) {
        return result;
    }
    return TMemoryDevice::ApplySettings(settings);
}

TDeviceResult TFakeDevice::SetDtr(LineLevel level) {
    if (auto result = Scripted(FakeOperation::SetDtr); !result) {
        return result;
    }
    auto lock = Lock();
    if (!OpenLocked()) {
        return MemoryNotOpen();
    }
    m_dtr = level;
    return TDeviceResult::Ok();
}

TDeviceResult TFakeDevice::SetRts(LineLevel level) {
    if (auto result = Scripted(FakeOperation::SetRts); !result) {
        return result;
    }
    auto lock = Lock();
    if (!OpenLocked()) {
        return MemoryNotOpen();
    }
    m_rts = level;
    return TDeviceResult::Ok();
}

TDeviceResult TFakeDevice::GetModemStatus(std::uint32_t& status) {
    if (auto result = Scripted(FakeOperation::GetModemStatus); !result) {
        status = 0;
        return result;
    }
    return TMemoryDevice::GetModemStatus(status);
}

TDeviceResult TFakeDevice::Purge(PurgeTarget target) {
    if (auto result = Scripted(FakeOperation::Purge); !result) {
        return result;
    }
    {
        auto lock = Lock();
        ++m_purgeCount;
    }
    return TMemoryDevice::Purge(target);
}

TDeviceResult TFakeDevice::ReadQueued(std::string& out) {
    if (auto result = Scripted(FakeOperation::ReadQueued); !result) {
        return result;
    }
    return TMemoryDevice::ReadQueued(out);
}

TDeviceResult TFakeDevice::Write(std::string_view data) {
    if (auto result = Scripted(FakeOperation::Write); !result) {
        return result;
    }
    auto lock = Lock();
    if (!OpenLocked()) {
        return MemoryNotOpen();
    }
    if (data.size() > kMaxQueuedOutput - m_written.size()) {
        return TDeviceResult::Fail("write: output queue full");
    }
    m_written.append(data);
    return TDeviceResult::Ok();
}

bool TFakeDevice::Receive(std::string_view bytes) {
    auto lock = Lock();
    return ReceiveLocked(bytes);
}

void TFakeDevice::SetModemLines(std::uint32_t modem) {
    auto lock = Lock();
    SetModemLocked(modem);
}

void TFakeDevice::PulseModemLines(std::uint32_t modem) {
    auto lock = Lock();
    SetModemLocked(ModemLocked(), LineEventsOf(modem));
}

void TFakeDevice::RaiseLineErrors(std::uint32_t errors) {
    auto lock = Lock();
    RaiseErrorsLocked(errors);
}

void TFakeDevice::SetFailure(FakeOperation operation, std::string message) {
    auto lock = Lock();
    m_failures[static_cast<std::size_t>(operation)] = std::move(message);
}

std::string TFakeDevice::Written() const {
    auto lock = Lock();
    return m_written;
}

LineLevel TFakeDevice::Dtr() const {
    auto lock = Lock();
    return m_dtr;
}

LineLevel TFakeDevice::Rts() const {
    auto lock = Lock();
    return m_rts;
}

int TFakeDevice::PurgeCount() const {
    auto lock = Lock();
    return m_purgeCount;
}

}  // namespace korvane::serial
