#pragma once

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <QCoreApplication>
#include <chrono>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <thread>

namespace korvane::net::testing {

// Pumps the Qt event loop until `done` holds or the time runs out.
inline bool PumpUntil(const std::function<bool()>& done,
                      std::chrono::milliseconds timeout = std::chrono::seconds(5)) {
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    while (std::chrono::steady_clock::now() < deadline) {
        QCoreApplication::processEvents();
        if (done()) return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return done();
}

inline void PumpFor(std::chrono::milliseconds duration) {
    PumpUntil([] { return false; }, duration);
}

// The far end of a test connection: a plain non-blocking POSIX socket on 127.0.0.1, driven
// from the test's own thread between pumps of the event loop.
class TLoopbackPeer {
 public:
    TLoopbackPeer() = default;
    explicit TLoopbackPeer(int fd) : m_fd(fd) { fcntl(m_fd, F_SETFL, O_NONBLOCK); }
    TLoopbackPeer(TLoopbackPeer&& other) noexcept : m_fd(other.m_fd) { other.m_fd = -1; }
    TLoopbackPeer& operator=(TLoopbackPeer&& other) noexcept {
        std::swap(m_fd, other.m_fd);
        return *this;
    }
    ~TLoopbackPeer() { Close(); }

    // Blocking connect to a local port (the listen queue accepts it without our pumping).
    static TLoopbackPeer Connect(uint16_t port) {
        const int fd = socket(AF_INET, SOCK_STREAM, 0);
        const sockaddr_in address = Loopback(port);
        if (connect(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0) {
            close(fd);
            return TLoopbackPeer();
        }
        return TLoopbackPeer(fd);
    }

    bool Valid() const { return m_fd >= 0; }
    void Close() {
        if (m_fd >= 0) close(m_fd);
        m_fd = -1;
    }
    // Closes with a reset instead of the usual FIN.
    void Reset() {
        linger option{1, 0};
        setsockopt(m_fd, SOL_SOCKET, SO_LINGER, &option, sizeof option);
        Close();
    }
    // Sends what the system takes now; returns the count.
    size_t SendSome(std::string_view bytes) {
        const ssize_t sent = send(m_fd, bytes.data(), bytes.size(), MSG_NOSIGNAL);
        return sent > 0 ? static_cast<size_t>(sent) : 0;
    }
    // Sends everything, pumping the event loop while the system's buffers are full.
    bool SendAll(std::string_view bytes) {
        return PumpUntil([&] {
            bytes.remove_prefix(SendSome(bytes));
            return bytes.empty();
        });
    }
    // Reads until `count` bytes came or the connection ended; `ended` tells which.
    std::string Receive(size_t count, bool* ended = nullptr) {
        std::string data;
        bool closed = false;
        PumpUntil([&] {
            char chunk[65536];
            ssize_t got = 1;
            while (data.size() < count && (got = recv(m_fd, chunk, sizeof chunk, 0)) > 0) {
                data.append(chunk, static_cast<size_t>(got));
            }
            if (got == 0 || (got < 0 && errno != EAGAIN && errno != EWOULDBLOCK)) closed = true;
            return closed || data.size() >= count;
        });
        if (ended) *ended = closed;
        return data;
    }
    // What has arrived so far, without waiting.
    std::string TryReceive() {
        std::string data;
        char chunk[4096];
        ssize_t got = 0;
        while ((got = recv(m_fd, chunk, sizeof chunk, 0)) > 0)
            data.append(chunk, static_cast<size_t>(got));
        return data;
    }
    // True when the far side has closed (pending bytes are read and discarded).
    bool SeesClose() {
        bool ended = false;
        Receive(SIZE_MAX, &ended);
        return ended;
    }

    static sockaddr_in Loopback(uint16_t port) {
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_port = htons(port);
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        return address;
    }

 private:
    int m_fd = -1;
};

// A listening socket on 127.0.0.1 with an ephemeral port, for tests where we are the client.
class TLoopbackListener {
 public:
    TLoopbackListener() {
        m_fd = socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in address = TLoopbackPeer::Loopback(0);
        bind(m_fd, reinterpret_cast<sockaddr*>(&address), sizeof address);
        listen(m_fd, 4);
        socklen_t size = sizeof address;
        getsockname(m_fd, reinterpret_cast<sockaddr*>(&address), &size);
        m_port = ntohs(address.sin_port);
        fcntl(m_fd, F_SETFL, O_NONBLOCK);
    }
    ~TLoopbackListener() { close(m_fd); }
    TLoopbackListener(const TLoopbackListener&) = delete;
    TLoopbackListener& operator=(const TLoopbackListener&) = delete;

    uint16_t Port() const { return m_port; }
    // The next connection if one is waiting.
    TLoopbackPeer TryAccept() {
        const int fd = accept(m_fd, nullptr, nullptr);
        return fd >= 0 ? TLoopbackPeer(fd) : TLoopbackPeer();
    }
    // Waits (pumping) for the next connection.
    TLoopbackPeer Accept() {
        int fd = -1;
        PumpUntil([&] {
            fd = accept(m_fd, nullptr, nullptr);
            return fd >= 0;
        });
        return fd >= 0 ? TLoopbackPeer(fd) : TLoopbackPeer();
    }

 private:
    int m_fd = -1;
    uint16_t m_port = 0;
};

// A port the system just handed out and nobody listens on now, for a server the script
// opens itself (scripts cannot ask for "any port").
inline uint16_t FreePort() { return TLoopbackListener().Port(); }

}  // namespace korvane::net::testing
