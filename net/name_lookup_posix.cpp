#include <netdb.h>
#include <sys/socket.h>

#include <array>
#include <memory>

#include "net/name_lookup.h"

namespace korvane::net {

std::optional<std::string> SystemHostLookup(const std::string& name) {
    addrinfo hints{};
    hints.ai_family = AF_UNSPEC;
    hints.ai_socktype = SOCK_STREAM;
    addrinfo* found = nullptr;
    if (getaddrinfo(name.c_str(), nullptr, &hints, &found) != 0 || found == nullptr) {
        return std::nullopt;
    }
    const std::unique_ptr<addrinfo, decltype(&freeaddrinfo)> list(found, freeaddrinfo);
    const addrinfo* chosen = found;
    for (const addrinfo* entry = found; entry; entry = entry->ai_next) {
        if (entry->ai_family == AF_INET) {
            chosen = entry;
            break;
        }
    }
    std::array<char, NI_MAXHOST> text{};
    if (getnameinfo(chosen->ai_addr, chosen->ai_addrlen, text.data(), text.size(), nullptr, 0,
                    NI_NUMERICHOST) != 0) {
        return std::nullopt;
    }
    return std::string(text.data());
}

}  // namespace korvane::net
