#include <netdb.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>

#include <algorithm>
#include <condition_variable>
#include <memory>
#include <thread>
#include <vector>

#include "instrument_target.h"
#include "open_wait.h"
#include "queued_output.h"
#include "system_call.h"
#include "tcp_device.h"

namespace korvane::serial {

namespace {

constexpr std::size_t kReadBlock = 4096;
// A peer that vanished without closing (switched off, cable pulled) is noticed this late.
constexpr int kKeepAliveIdleSeconds = 5;
constexpr int kKeepAliveIntervalSeconds = 2;
constexpr int kKeepAliveProbes = 3;

TDeviceResult NotOpen() { return TDeviceResult::Fail("the port is not open"); }

struct TAddresses {
    std::mutex mutex;
    std::condition_variable resolved;
    bool done = false;
    int error = 0;
    std::vector<std::vector<unsigned char>> list;  // sockaddr bytes
    std::vector<int> families;
};

void Collect(addrinfo* list, TAddresses& into) {
    for (const addrinfo* at = list; at; at = at->ai_next) {
        const auto* bytes = reinterpret_cast<const unsigned char*>(at->ai_addr);
        into.list.emplace_back(bytes, bytes + at->ai_addrlen);
        into.families.push_back(at->ai_family);
    }
}

addrinfo Hints(int flags) {
    addrinfo hints{};
    hints.ai_family = AF_UNSPEC;
    hints.ai_socktype = SOCK_STREAM;
    hints.ai_flags = flags;
    return hints;
}

// Host names are resolved on a thread of their own: the lookup cannot be cancelled, and
// whoever waits for it must stay free to give up. The thread keeps the results alive.
std::shared_ptr<TAddresses> Resolve(const THostPort& target) {
    auto addresses = std::make_shared<TAddresses>();
    const std::string service = std::to_string(target.port);
    addrinfo hints = Hints(AI_NUMERICHOST | AI_NUMERICSERV);
    addrinfo* list = nullptr;
    if (::getaddrinfo(target.host.c_str(), service.c_str(), &hints, &list) == 0) {
        Collect(list, *addresses);
        ::freeaddrinfo(list);
        addresses->done = true;
        return addresses;
    }
    std::thread([addresses, host = target.host, service] {
        addrinfo lookupHints = Hints(AI_NUMERICSERV | AI_ADDRCONFIG);
        addrinfo* found = nullptr;
        const int error = ::getaddrinfo(host.c_str(), service.c_str(), &lookupHints, &found);
        std::lock_guard lock(addresses->mutex);
        if (error == 0) {
            Collect(found, *addresses);
            ::freeaddrinfo(found);
        }
        addresses->error = error;
        addresses->done = true;
        addresses->resolved.notify_all();
    }).detach();
    return addresses;
}

void SetOption(int fd, int level, int name, int value) {
    (void)::setsockopt(fd, level, name, &value, sizeof value);
}

void TuneSocket(int fd) {
    SetOption(fd, IPPROTO_TCP, TCP_NODELAY, 1);
    SetOption(fd, SOL_SOCKET, SO_KEEPALIVE, 1);
    SetOption(fd, IPPROTO_TCP, TCP_KEEPIDLE, kKeepAliveIdleSeconds);
    SetOption(fd, IPPROTO_TCP, TCP_KEEPINTVL, kKeepAliveIntervalSeconds);
    SetOption(fd, IPPROTO_TCP, TCP_KEEPCNT, kKeepAliveProbes);
}

// A send that neither waits nor raises SIGPIPE when the peer has gone.
auto SendNow(int fd) {
    return [fd](std::string_view bytes) {
        return ::send(fd, bytes.data(), bytes.size(), MSG_DONTWAIT | MSG_NOSIGNAL);
    };
}

}  // namespace

TTcpDevice::TTcpDevice(std::string hostPort, std::string port,
                       std::shared_ptr<TPortNotices> notices)
    : m_hostPort(std::move(hostPort)),
      m_port(std::move(port)),
      m_notices(std::move(notices)) {}

TTcpDevice::~TTcpDevice() { TTcpDevice::Close(); }

TDeviceResult TTcpDevice::Open() {
    if (IsOpen()) return TDeviceResult::Fail("tcp:" + m_hostPort + ": already open");
    if (auto created = m_wake.Create(); !created) return created;
    if (auto connected = Connect(); !connected) {
        m_wake.Reset();
        return connected;
    }
    m_shutdown = false;
    m_failed = false;
    m_rxReported = false;
    return TDeviceResult::Ok();
}

TDeviceResult TTcpDevice::Connect() {
    const std::string name = "tcp:" + m_hostPort;
    const std::optional<THostPort> target = SplitHostPort(m_hostPort);
    if (!target) return TDeviceResult::Fail(name + ": not HOST:PORT");
    const auto deadline = std::chrono::steady_clock::now() + kOpenTimeout;
    const auto gaveUp = [&] {
        return TDeviceResult::Fail(std::chrono::steady_clock::now() >= deadline
                                       ? name + ": no connection within " +
                                             std::to_string(kOpenTimeout.count()) + " s"
                                       : name + ": connecting abandoned");
    };
    const std::shared_ptr<TAddresses> addresses = Resolve(*target);
    const auto resolved = [&addresses](std::chrono::milliseconds slice) {
        std::unique_lock lock(addresses->mutex);
        return addresses->resolved.wait_for(lock, slice, [&] { return addresses->done; });
    };
    if (!WaitInSlices(resolved, deadline, m_keepWaiting)) return gaveUp();
    std::lock_guard lock(addresses->mutex);
    if (addresses->list.empty()) {
        return TDeviceResult::Fail(name + ": unknown host " + target->host);
    }
    int lastError = 0;
    for (std::size_t i = 0; i < addresses->list.size(); ++i) {
        TUniqueFd fd(::socket(addresses->families[i], SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0));
        if (!fd.Valid()) return TDeviceResult::Fail(SystemMessage(name, errno));
        const auto& address = addresses->list[i];
        if (::connect(fd.Get(), reinterpret_cast<const sockaddr*>(address.data()),
                      static_cast<socklen_t>(address.size())) == -1 &&
            errno != EINPROGRESS) {
            lastError = errno;
            continue;
        }
        const auto writable = [&fd](std::chrono::milliseconds slice) {
            pollfd ready{fd.Get(), POLLOUT, 0};
            return RetryOnEintr([&] { return ::poll(&ready, 1, static_cast<int>(slice.count())); }) != 0;
        };
        if (!WaitInSlices(writable, deadline, m_keepWaiting)) return gaveUp();
        int error = 0;
        socklen_t size = sizeof error;
        if (::getsockopt(fd.Get(), SOL_SOCKET, SO_ERROR, &error, &size) == -1) error = errno;
        if (error != 0) {
            lastError = error;
            continue;
        }
        TuneSocket(fd.Get());
        m_fd = std::move(fd);
        return TDeviceResult::Ok();
    }
    return TDeviceResult::Fail(SystemMessage(name, lastError));
}

void TTcpDevice::Shutdown() {
    m_shutdown = true;
    m_wake.Wake();
}

void TTcpDevice::Close() {
    m_shutdown = true;
    m_fd.Reset();
    m_wake.Reset();
    std::lock_guard lock(m_outputMutex);
    m_output.Clear();
}

TDeviceResult TTcpDevice::Checked() const { return IsOpen() ? TDeviceResult::Ok() : NotOpen(); }

TDeviceResult TTcpDevice::NoLines(LineLevel level) {
    if (!IsOpen()) return NotOpen();
    // Every open drops both lines; only a script asking for one is worth a word.
    if (level == LineLevel::On && !m_linesNoted && m_notices) {
        m_notices->Note(m_port + ": a network instrument has no RTS or DTR line; "
                        "setting them does nothing");
        m_linesNoted = true;
    }
    return TDeviceResult::Ok();
}

TDeviceResult TTcpDevice::GetModemStatus(std::uint32_t& status) {
    status = 0;
    return Checked();
}

TDeviceResult TTcpDevice::Purge(PurgeTarget target) {
    if (!IsOpen()) return NotOpen();
    if (target != PurgeTarget::Input) {
        std::lock_guard lock(m_outputMutex);
        m_output.Clear();
    }
    if (target != PurgeTarget::Output) {
        std::string dropped;
        (void)ReadQueued(dropped);
    }
    return TDeviceResult::Ok();
}

TDeviceResult TTcpDevice::ReadQueued(std::string& out) {
    if (!IsOpen()) return NotOpen();
    char block[kReadBlock];
    std::size_t total = 0;
    while (total < kMaxReadChunk) {
        const std::size_t want = std::min(sizeof block, kMaxReadChunk - total);
        const ssize_t got =
            RetryOnEintr([&] { return ::recv(m_fd.Get(), block, want, MSG_DONTWAIT); });
        if (got <= 0) break;  // an end or failure is seen by the reader's next wait
        out.append(block, static_cast<std::size_t>(got));
        total += static_cast<std::size_t>(got);
    }
    if (m_rxReported.exchange(false)) m_wake.Wake();
    return TDeviceResult::Ok();
}

TDeviceResult TTcpDevice::Write(std::string_view data) {
    if (!IsOpen() || m_shutdown) return NotOpen();
    if (m_failed) return TDeviceResult::Fail("tcp:" + m_hostPort + ": the connection has ended");
    std::lock_guard lock(m_outputMutex);
    return QueueAndSend(m_output, data, m_wake, SendNow(m_fd.Get()));
}

std::size_t TTcpDevice::PendingOutput() const {
    std::lock_guard lock(m_outputMutex);
    return m_output.Size();
}

int TTcpDevice::DrainOutputLocked() { return DrainQueue(m_output, SendNow(m_fd.Get())); }

TDeviceEvent TTcpDevice::WaitEvent() {
    TDeviceEvent event;
    while (!m_shutdown && IsOpen()) {
        // While the channel has not read what was reported, an ended connection would keep
        // the socket ready: it is left alone until the read wakes us.
        const bool pending = PendingOutput() != 0;
        const bool watchSocket = !m_failed && (!m_rxReported || pending);
        short interest = m_rxReported ? 0 : POLLIN;
        if (pending) interest |= POLLOUT;
        pollfd fds[2] = {{m_wake.Fd(), POLLIN, 0}, {m_fd.Get(), interest, 0}};
        if (RetryOnEintr([&] { return ::poll(fds, watchSocket ? 2 : 1, -1); }) == -1) {
            MarkFailed(event);
            return event;
        }
        if (fds[0].revents != 0) m_wake.Clear();
        if (m_shutdown) break;
        if (watchSocket) HandleReadiness(fds[1].revents, event);
        if (event.mask != 0) return event;
    }
    event.closed = true;
    return event;
}

void TTcpDevice::HandleReadiness(short revents, TDeviceEvent& event) {
    if (revents & POLLOUT) {
        std::lock_guard lock(m_outputMutex);
        if (DrainOutputLocked() != 0) revents |= POLLERR;
    }
    if (revents & (POLLIN | POLLHUP | POLLERR)) {
        // Bytes still waiting are handed over before an end of the connection counts.
        char probe = 0;
        const ssize_t waiting = RetryOnEintr(
            [&] { return ::recv(m_fd.Get(), &probe, 1, MSG_PEEK | MSG_DONTWAIT); });
        if (waiting > 0) {
            if (!m_rxReported.exchange(true)) event.mask |= kEventRxChar;
            return;
        }
        if (waiting == 0 || errno != EAGAIN) MarkFailed(event);
    }
}

void TTcpDevice::MarkFailed(TDeviceEvent& event) {
    m_failed = true;
    event.mask |= kEventErr;
    event.errors |= kErrorIo;
    std::lock_guard lock(m_outputMutex);
    m_output.Clear();
}

}  // namespace korvane::serial
