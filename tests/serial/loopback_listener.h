#pragma once

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cstdint>
#include <string>

namespace korvane::serial::testing {

// A listening loopback socket on an ephemeral port. With a backlog of 0 one connection fills
// its queue, and connects after that hang until the caller gives up.
class TLoopbackListener {
 public:
    explicit TLoopbackListener(int backlog = 4) {
        m_fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t size = sizeof address;
        if (::bind(m_fd, reinterpret_cast<sockaddr*>(&address), size) == 0 &&
            ::listen(m_fd, backlog) == 0 &&
            ::getsockname(m_fd, reinterpret_cast<sockaddr*>(&address), &size) == 0) {
            m_port = ntohs(address.sin_port);
        }
    }
    ~TLoopbackListener() { ::close(m_fd); }
    TLoopbackListener(const TLoopbackListener&) = delete;
    TLoopbackListener& operator=(const TLoopbackListener&) = delete;

    std::string HostPort() const { return "127.0.0.1:" + std::to_string(m_port); }
    // The next connection, or -1 when none comes within a few seconds.
    int Accept() const {
        pollfd ready{m_fd, POLLIN, 0};
        if (::poll(&ready, 1, kWaitMs) != 1) return -1;
        return ::accept4(m_fd, nullptr, nullptr, SOCK_CLOEXEC);
    }
    // Connects a plain socket of the test's own (to fill the queue); -1 on failure.
    int ConnectOwn() const {
        const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        address.sin_port = htons(m_port);
        if (::connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) {
            ::close(fd);
            return -1;
        }
        return fd;
    }

    static constexpr int kWaitMs = 5000;

 private:
    int m_fd = -1;
    std::uint16_t m_port = 0;
};

}  // namespace korvane::serial::testing
