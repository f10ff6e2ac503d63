#include <fcntl.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdint>

#include "permission_hint.h"
#include "queued_output.h"
#include "system_call.h"
#include "tty_config.h"
#include "tty_device.h"

namespace korvane::serial {

namespace {

// How often modem lines and error counters are looked at while nothing else happens.
constexpr std::chrono::milliseconds kLinePollInterval{10};
constexpr std::size_t kReadBlock = 4096;

TDeviceResult NotOpen() { return TDeviceResult::Fail("the port is not open"); }

bool IsNotSupported(int error) { return error == ENOTTY || error == EINVAL; }

// The descriptor is non-blocking: a full driver answers EAGAIN.
auto WriteNow(int fd) {
    return [fd](std::string_view bytes) { return ::write(fd, bytes.data(), bytes.size()); };
}

}  // namespace

std::optional<std::string> TtyDeviceKey(const std::string& path) {
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0 || !S_ISCHR(info.st_mode)) {
        return std::nullopt;
    }
    return "tty:" + std::to_string(major(info.st_rdev)) + ":" + std::to_string(minor(info.st_rdev));
}

TTtyDevice::TTtyDevice(std::string path) : m_path(std::move(path)) {}

TTtyDevice::~TTtyDevice() { TTtyDevice::Close(); }

TDeviceResult TTtyDevice::Open() {
    if (IsOpen()) {
        return TDeviceResult::Fail(m_path + ": already open");
    }
    TUniqueFd fd(RetryOnEintr(
        [&] { return ::open(m_path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC); }));
    if (!fd.Valid()) {
        return OpenFailure(m_path, errno, "dialout");
    }
    if (!::isatty(fd.Get())) {
        return TDeviceResult::Fail(m_path + ": not a serial device");
    }
    // flock stops everyone who asks, root included; TIOCEXCL also keeps out other
    // users that do not ask.
    if (RetryOnEintr([&] { return ::flock(fd.Get(), LOCK_EX | LOCK_NB); }) == -1) {
        if (errno == EWOULDBLOCK) {
            return TDeviceResult::InUse(m_path);
        }
        return TDeviceResult::Fail(SystemMessage(m_path, errno));
    }
    const std::optional<std::string> key = TtyDeviceKey(m_path);
    TPortClaim claim = key ? TPortRegistry::Claim(*key) : TPortClaim();
    if (!claim.Held()) {
        return TDeviceResult::InUse(m_path);
    }
    if (auto result = Attach(std::move(fd), std::move(claim)); !result) {
        return result;
    }
    if (RetryOnEintr([&] { return ::ioctl(m_fd.Get(), TIOCEXCL); }) == -1) {
        const int error = errno;
        Close();
        return TDeviceResult::Fail(SystemMessage(m_path, error));
    }
    m_exclusive = true;
    return TDeviceResult::Ok();
}

TDeviceResult TTtyDevice::Attach(TUniqueFd fd, TPortClaim claim) {
    if (auto result = ConfigureTty(fd.Get(), TLineSettings{}); !result) {
        return result;
    }
    if (auto created = m_wake.Create(); !created) {
        return created;
    }
    m_watch.Start(fd.Get());
    m_fd = std::move(fd);
    m_claim = std::move(claim);
    m_shutdown = false;
    m_failed = false;
    m_rxReported = false;
    return TDeviceResult::Ok();
}

void TTtyDevice::Shutdown() {
    m_shutdown = true;
    m_wake.Wake();
}

void TTtyDevice::Close() {
    if (m_fd.Valid() && m_exclusive) {
        // Exclusivity outlives our descriptor while others hold the tty; give it back.
        ::ioctl(m_fd.Get(), TIOCNXCL);
    }
    m_exclusive = false;
    m_shutdown = true;
    m_fd.Reset();
    m_wake.Reset();
    m_claim.Release();
    std::lock_guard lock(m_outputMutex);
    m_output.Clear();
}

TDeviceResult TTtyDevice::ApplySettings(const TLineSettings& settings) {
    if (!IsOpen()) {
        return NotOpen();
    }
    return ConfigureTty(m_fd.Get(), settings);
}

TDeviceResult TTtyDevice::SetDtr(LineLevel level) {
    return SetModemControl(TIOCM_DTR, level, "set DTR");
}

TDeviceResult TTtyDevice::SetRts(LineLevel level) {
    return SetModemControl(TIOCM_RTS, level, "set RTS");
}

TDeviceResult TTtyDevice::SetModemControl(int lineBit, LineLevel level, const char* what) {
    if (!IsOpen()) {
        return NotOpen();
    }
    const unsigned long request = level == LineLevel::On ? TIOCMBIS : TIOCMBIC;
    if (RetryOnEintr([&] { return ::ioctl(m_fd.Get(), request, &lineBit); }) == -1) {
        return TDeviceResult::Fail(SystemMessage(what, errno));
    }
    return TDeviceResult::Ok();
}

TDeviceResult TTtyDevice::GetModemStatus(std::uint32_t& status) {
    status = 0;
    if (!IsOpen()) {
        return NotOpen();
    }
    const int error = ReadModemLines(m_fd.Get(), status);
    if (error != 0 && !IsNotSupported(error)) {
        return TDeviceResult::Fail(SystemMessage("read modem lines", error));
    }
    return TDeviceResult::Ok();
}

TDeviceResult TTtyDevice::Purge(PurgeTarget target) {
    if (!IsOpen()) {
        return NotOpen();
    }
    const int queue = target == PurgeTarget::Input    ? TCIFLUSH
                      : target == PurgeTarget::Output ? TCOFLUSH
                                                      : TCIOFLUSH;
    if (target != PurgeTarget::Input) {
        std::lock_guard lock(m_outputMutex);
        m_output.Clear();
    }
    if (RetryOnEintr([&] { return ::tcflush(m_fd.Get(), queue); }) == -1) {
        return TDeviceResult::Fail(SystemMessage("purge", errno));
    }
    return TDeviceResult::Ok();
}

TDeviceResult TTtyDevice::ReadQueued(std::string& out) {
    if (!IsOpen()) {
        return NotOpen();
    }
    char block[kReadBlock];
    std::size_t total = 0;
    int error = 0;
    while (total < kMaxReadChunk) {
        const std::size_t want = std::min(sizeof block, kMaxReadChunk - total);
        const ssize_t got = RetryOnEintr([&] { return ::read(m_fd.Get(), block, want); });
        if (got <= 0) {
            error = got == 0 || errno == EAGAIN ? 0 : errno;
            break;
        }
        out.append(block, static_cast<std::size_t>(got));
        total += static_cast<std::size_t>(got);
    }
    if (m_rxReported.exchange(false)) {
        m_wake.Wake();
    }
    if (error != 0 && total == 0) {
        return TDeviceResult::Fail(SystemMessage("read", error));
    }
    return TDeviceResult::Ok();
}

TDeviceResult TTtyDevice::Write(std::string_view data) {
    if (!IsOpen() || m_shutdown) {
        return NotOpen();
    }
    if (m_failed) {
        return TDeviceResult::Fail(m_path + ": the device has failed");
    }
    std::lock_guard lock(m_outputMutex);
    return QueueAndSend(m_output, data, m_wake, WriteNow(m_fd.Get()));
}

std::size_t TTtyDevice::PendingOutput() const {
    std::lock_guard lock(m_outputMutex);
    return m_output.Size();
}

int TTtyDevice::DrainOutputLocked() { return DrainQueue(m_output, WriteNow(m_fd.Get())); }

TDeviceEvent TTtyDevice::WaitEvent() {
    TDeviceEvent event;
    while (!m_shutdown && IsOpen()) {
        const bool watchDevice = !m_failed;
        pollfd fds[2] = {{m_wake.Fd(), POLLIN, 0}, {m_fd.Get(), FdInterest(), 0}};
        const int timeout =
            watchDevice && m_watch.Active() ? static_cast<int>(kLinePollInterval.count()) : -1;
        if (RetryOnEintr([&] { return ::poll(fds, watchDevice ? 2 : 1, timeout); }) == -1) {
            MarkFailed(event);
            return event;
        }
        if (fds[0].revents != 0) {
            m_wake.Clear();
        }
        if (m_shutdown) {
            break;
        }
        if (watchDevice) {
            HandleReadiness(fds[1].revents, event);
        }
        if (event.mask != 0) {
            return event;
        }
    }
    event.closed = true;
    return event;
}

void TTtyDevice::HandleReadiness(short revents, TDeviceEvent& event) {
    if (revents & POLLOUT) {
        std::lock_guard lock(m_outputMutex);
        if (DrainOutputLocked() != 0) {
            revents |= POLLERR;
        }
    }
    if (revents & POLLIN) {
        m_rxReported = true;
        event.mask |= kEventRxChar;
    }
    if (revents & (POLLERR | POLLHUP | POLLNVAL)) {
        MarkFailed(event);
        return;
    }
    if (m_watch.Active()) {
        m_watch.Collect(m_fd.Get(), event);
    }
}

short TTtyDevice::FdInterest() const {
    short interest = m_rxReported ? 0 : POLLIN;
    if (PendingOutput() != 0) {
        interest |= POLLOUT;
    }
    return interest;
}

void TTtyDevice::MarkFailed(TDeviceEvent& event) {
    // A vanished device (USB unplugged) keeps signalling; report it once, then stop
    // watching it so the reader does not spin.
    m_failed = true;
    event.mask |= kEventErr;
    event.errors |= kErrorIo;
    std::lock_guard lock(m_outputMutex);
    m_output.Clear();
}

}  // namespace korvane::serial
