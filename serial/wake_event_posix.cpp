#include <sys/eventfd.h>

#include <cerrno>
#include <cstdint>

#include "system_call.h"
#include "wake_event.h"

namespace korvane::serial {

TDeviceResult TWakeEvent::Create() {
    m_fd.Reset(::eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC));
    if (!m_fd.Valid()) return TDeviceResult::Fail(SystemMessage("create wake-up event", errno));
    return TDeviceResult::Ok();
}

void TWakeEvent::Wake() {
    if (!m_fd.Valid()) return;
    const std::uint64_t one = 1;
    // EAGAIN means the counter is already non-zero: the reader wakes anyway.
    (void)RetryOnEintr([&] { return ::write(m_fd.Get(), &one, sizeof one); });
}

void TWakeEvent::Clear() {
    std::uint64_t count = 0;
    (void)RetryOnEintr([&] { return ::read(m_fd.Get(), &count, sizeof count); });
}

}  // namespace korvane::serial
