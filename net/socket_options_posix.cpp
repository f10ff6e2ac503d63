#include <netdb.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <sys/socket.h>

#include <array>

#include "net/socket_options.h"

namespace korvane::net {

bool PrepareConnectedSocket(intptr_t descriptor) {
    if (descriptor < 0) return false;
    const int fd = static_cast<int>(descriptor);
    linger option{};
    option.l_onoff = 1;
    option.l_linger = 0;
    const int on = 1;
    const bool lingerSet = setsockopt(fd, SOL_SOCKET, SO_LINGER, &option, sizeof option) == 0;
    return setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &on, sizeof on) == 0 && lingerSet;
}

std::optional<uint16_t> LookupServicePort(const std::string& name) {
    if (name.empty() || name.find('\0') != std::string::npos) return std::nullopt;
    servent entry{};
    servent* found = nullptr;
    std::array<char, 4096> scratch{};
    if (getservbyname_r(name.c_str(), "tcp", &entry, scratch.data(), scratch.size(), &found) != 0 ||
        found == nullptr) {
        return std::nullopt;
    }
    return ntohs(static_cast<uint16_t>(found->s_port));
}

}  // namespace korvane::net
