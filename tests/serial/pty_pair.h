#pragma once

#include <poll.h>
#include <pty.h>
#include <unistd.h>

#include <string>
#include <string_view>

namespace korvane::serial::testing {

// A pseudo-terminal pair made by the test: the code under test opens SlavePath() as
// its port, the test plays the far end on the master.
class TPtyPair {
 public:
    TPtyPair() {
        char name[256] = {};
        if (::openpty(&m_master, &m_slave, name, nullptr, nullptr) == 0) {
            m_slavePath = name;
        }
    }
    ~TPtyPair() { CloseAll(); }
    TPtyPair(const TPtyPair&) = delete;
    TPtyPair& operator=(const TPtyPair&) = delete;

    bool Valid() const { return !m_slavePath.empty(); }
    const std::string& SlavePath() const { return m_slavePath; }
    int Master() const { return m_master; }
    // The test's own descriptor of the slave, as another program would hold it.
    int Slave() const { return m_slave; }

    void CloseAll() {
        for (int* fd : {&m_master, &m_slave}) {
            if (*fd >= 0) {
                ::close(*fd);
                *fd = -1;
            }
        }
    }

    bool PeerWrite(std::string_view bytes) const {
        while (!bytes.empty()) {
            if (!WaitFd(m_master, POLLOUT)) {
                return false;
            }
            const ssize_t written = ::write(m_master, bytes.data(), bytes.size());
            if (written < 0) {
                return false;
            }
            bytes.remove_prefix(static_cast<std::size_t>(written));
        }
        return true;
    }

    // Reads until `count` bytes have come or nothing arrives for a few seconds.
    std::string PeerRead(std::size_t count) const {
        std::string bytes;
        char block[65536];
        while (bytes.size() < count && WaitFd(m_master, POLLIN)) {
            const ssize_t got = ::read(m_master, block, sizeof block);
            if (got <= 0) {
                break;
            }
            bytes.append(block, static_cast<std::size_t>(got));
        }
        return bytes;
    }

    // True once the slave has input waiting (pty data arrives asynchronously).
    bool SlaveHasInput() const { return WaitFd(m_slave, POLLIN); }

 private:
    static bool WaitFd(int fd, short events) {
        pollfd entry{fd, events, 0};
        constexpr int kTimeoutMs = 5000;
        return ::poll(&entry, 1, kTimeoutMs) == 1 && (entry.revents & events);
    }

    int m_master = -1;
    int m_slave = -1;
    std::string m_slavePath;
};

}  // namespace korvane::serial::testing
