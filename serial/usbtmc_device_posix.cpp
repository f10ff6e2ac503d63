#include <fcntl.h>
#include <linux/usb/tmc.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>

#include <cstring>

#include "instrument_target.h"
#include "permission_hint.h"
#include "system_call.h"
#include "tty_device.h"
#include "usbtmc_device.h"
#include "usbtmc_lookup.h"

namespace korvane::serial {

namespace {

// The driver hands over a reply in pieces of at most what was asked for; a shorter piece
// ends the message.
constexpr std::size_t kReplyBlock = 64 * 1024;

TDeviceResult NotOpen() { return TDeviceResult::Fail("the port is not open"); }

// The node a path names: itself, or for a USB resource string the plugged-in match.
std::optional<std::string> NodeOf(const std::string& path, const std::filesystem::path& sysfs) {
    if (path.starts_with('/')) return path;
    const std::optional<TUsbResource> resource = ParseUsbResource(path);
    if (!resource) return std::nullopt;
    return FindUsbtmcNode(*resource, sysfs);
}

bool IsSocket(const std::string& node) {
    struct stat info {};
    return ::stat(node.c_str(), &info) == 0 && S_ISSOCK(info.st_mode);
}

bool IsQuery(std::string_view message) { return message.find('?') != std::string_view::npos; }

void SetSocketTimeout(int fd, int name) {
    timeval timeout{kUsbtmcReplyTimeoutMs / 1000, (kUsbtmcReplyTimeoutMs % 1000) * 1000};
    (void)::setsockopt(fd, SOL_SOCKET, name, &timeout, sizeof timeout);
}

}  // namespace

std::optional<std::string> UsbtmcDeviceKey(const std::string& path,
                                           const std::filesystem::path& sysfsRoot) {
    const std::optional<std::string> node = NodeOf(path, sysfsRoot);
    if (!node) return std::nullopt;
    struct stat info {};
    if (::stat(node->c_str(), &info) != 0) return std::nullopt;
    if (S_ISSOCK(info.st_mode)) {
        return "socket:" + std::to_string(info.st_dev) + ":" + std::to_string(info.st_ino);
    }
    return TtyDeviceKey(*node);
}

TUsbtmcDevice::TUsbtmcDevice(std::string path, std::filesystem::path sysfsRoot)
    : m_path(std::move(path)), m_sysfsRoot(std::move(sysfsRoot)) {}

TUsbtmcDevice::~TUsbtmcDevice() { TUsbtmcDevice::Close(); }

TDeviceResult TUsbtmcDevice::Open() {
    if (IsOpen()) return TDeviceResult::Fail(m_path + ": already open");
    const std::optional<std::string> node = NodeOf(m_path, m_sysfsRoot);
    if (!node) return TDeviceResult::Fail(m_path + ": no such instrument is plugged in");
    const std::optional<std::string> key = UsbtmcDeviceKey(*node);
    if (!key) return TDeviceResult::Fail(SystemMessage(*node, ENOENT));
    TPortClaim claim = TPortRegistry::Claim(*key);
    if (!claim.Held()) return TDeviceResult::InUse(*node);
    if (auto opened = OpenNode(*node); !opened) return opened;
    if (auto created = m_wake.Create(); !created) {
        m_fd.Reset();
        return created;
    }
    m_claim = std::move(claim);
    m_shutdown = false;
    m_failed = false;
    return TDeviceResult::Ok();
}

TDeviceResult TUsbtmcDevice::OpenNode(const std::string& node) {
    if (IsSocket(node)) {
        sockaddr_un address{};
        address.sun_family = AF_UNIX;
        if (node.size() >= sizeof address.sun_path) return TDeviceResult::Fail(node + ": path too long");
        std::memcpy(address.sun_path, node.c_str(), node.size() + 1);
        TUniqueFd fd(::socket(AF_UNIX, SOCK_SEQPACKET | SOCK_CLOEXEC, 0));
        if (!fd.Valid() || RetryOnEintr([&] {
                return ::connect(fd.Get(), reinterpret_cast<const sockaddr*>(&address),
                                 sizeof address);
            }) == -1) {
            return TDeviceResult::Fail(SystemMessage(node, errno));
        }
        SetSocketTimeout(fd.Get(), SO_RCVTIMEO);
        SetSocketTimeout(fd.Get(), SO_SNDTIMEO);
        m_fd = std::move(fd);
        m_socket = true;
        return TDeviceResult::Ok();
    }
    TUniqueFd fd(RetryOnEintr([&] { return ::open(node.c_str(), O_RDWR | O_CLOEXEC); }));
    if (!fd.Valid()) return OpenFailure(node, errno, "plugdev");
    if (RetryOnEintr([&] { return ::flock(fd.Get(), LOCK_EX | LOCK_NB); }) == -1) {
        return errno == EWOULDBLOCK ? TDeviceResult::InUse(node)
                                    : TDeviceResult::Fail(SystemMessage(node, errno));
    }
    // Both ways the driver waits at most this long; older drivers keep their own time-out.
    std::uint32_t timeout = kUsbtmcReplyTimeoutMs;
    (void)::ioctl(fd.Get(), USBTMC_IOCTL_SET_TIMEOUT, &timeout);
    m_fd = std::move(fd);
    m_socket = false;
    return TDeviceResult::Ok();
}

void TUsbtmcDevice::Shutdown() {
    m_shutdown = true;
    m_wake.Wake();
    // Ends a wait for a reply on the stand-in socket; the driver's own time-out ends it there.
    if (m_fd.Valid()) (void)::shutdown(m_fd.Get(), SHUT_RDWR);
}

void TUsbtmcDevice::Close() {
    m_shutdown = true;
    m_fd.Reset();
    m_wake.Reset();
    m_claim.Release();
    std::lock_guard lock(m_mutex);
    m_messages.clear();
    m_queuedBytes = 0;
    m_received.clear();
}

TDeviceResult TUsbtmcDevice::Checked() const { return IsOpen() ? TDeviceResult::Ok() : NotOpen(); }

TDeviceResult TUsbtmcDevice::GetModemStatus(std::uint32_t& status) {
    status = 0;
    return Checked();
}

TDeviceResult TUsbtmcDevice::Purge(PurgeTarget target) {
    if (!IsOpen()) return NotOpen();
    std::lock_guard lock(m_mutex);
    if (target != PurgeTarget::Input) {
        m_messages.clear();
        m_queuedBytes = 0;
    }
    if (target != PurgeTarget::Output) m_received.clear();
    return TDeviceResult::Ok();
}

TDeviceResult TUsbtmcDevice::ReadQueued(std::string& out) {
    if (!IsOpen()) return NotOpen();
    std::lock_guard lock(m_mutex);
    const std::size_t count = std::min(m_received.size(), kMaxReadChunk);
    out.append(m_received, 0, count);
    m_received.erase(0, count);
    return TDeviceResult::Ok();
}

TDeviceResult TUsbtmcDevice::Write(std::string_view data) {
    if (!IsOpen() || m_shutdown) return NotOpen();
    if (m_failed) return TDeviceResult::Fail(m_path + ": the device has failed");
    {
        std::lock_guard lock(m_mutex);
        if (m_queuedBytes + data.size() > kMaxQueuedOutput) {
            return TDeviceResult::Fail("write: output queue full (" +
                                       std::to_string(m_queuedBytes) + " bytes waiting)");
        }
        m_messages.emplace_back(data);
        m_queuedBytes += data.size();
    }
    m_wake.Wake();
    return TDeviceResult::Ok();
}

std::size_t TUsbtmcDevice::PendingOutput() const {
    std::lock_guard lock(m_mutex);
    return m_queuedBytes;
}

std::optional<std::string> TUsbtmcDevice::TakeMessage() {
    std::lock_guard lock(m_mutex);
    if (m_messages.empty()) return std::nullopt;
    std::string message = std::move(m_messages.front());
    m_messages.pop_front();
    m_queuedBytes -= message.size();
    return message;
}

TDeviceEvent TUsbtmcDevice::WaitEvent() {
    TDeviceEvent event;
    while (!m_shutdown && IsOpen()) {
        std::optional<std::string> message = m_failed ? std::nullopt : TakeMessage();
        if (!message) {
            pollfd wake{m_wake.Fd(), POLLIN, 0};
            if (RetryOnEintr([&] { return ::poll(&wake, 1, -1); }) == -1) break;
            m_wake.Clear();
            continue;
        }
        const ssize_t written = RetryOnEintr(
            [&] { return ::send(m_fd.Get(), message->data(), message->size(), MSG_NOSIGNAL); });
        // send refuses a device node; the driver takes a message through write.
        const bool sent = written >= 0 || (errno == ENOTSOCK &&
                                           RetryOnEintr([&] {
                                               return ::write(m_fd.Get(), message->data(),
                                                              message->size());
                                           }) >= 0);
        if (m_shutdown) break;
        if (!sent) {
            MarkFailed(event);
            return event;
        }
        if (!IsQuery(*message)) continue;
        if (!ReadReply()) {
            if (m_shutdown) break;
            MarkFailed(event);
            return event;
        }
        std::lock_guard lock(m_mutex);
        if (!m_received.empty()) {
            event.mask |= kEventRxChar;
            return event;
        }
    }
    event.closed = true;
    return event;
}

bool TUsbtmcDevice::ReadReply() {
    std::string block(kReplyBlock, '\0');
    for (;;) {
        const ssize_t got = RetryOnEintr([&] { return ::read(m_fd.Get(), block.data(), block.size()); });
        if (got < 0) return errno == ETIMEDOUT || errno == EAGAIN;  // no reply to this one
        // The stand-in socket reads nothing once its far end has gone.
        if (got == 0) return !m_socket;
        {
            std::lock_guard lock(m_mutex);
            m_received.append(block.data(), static_cast<std::size_t>(got));
        }
        if (static_cast<std::size_t>(got) < block.size()) return true;
    }
}

void TUsbtmcDevice::MarkFailed(TDeviceEvent& event) {
    m_failed = true;
    event.mask |= kEventErr;
    event.errors |= kErrorIo;
    std::lock_guard lock(m_mutex);
    m_messages.clear();
    m_queuedBytes = 0;
}

}  // namespace korvane::serial
