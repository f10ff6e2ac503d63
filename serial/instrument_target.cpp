#include "instrument_target.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <vector>

namespace korvane::serial {

namespace {

constexpr std::size_t kMaxResourceLength = 4096;

std::string Lower(std::string_view text) {
    std::string lower(text);
    std::transform(lower.begin(), lower.end(), lower.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return lower;
}

bool StartsWithWord(std::string_view text, std::string_view lowerPrefix) {
    return text.size() >= lowerPrefix.size() && Lower(text.substr(0, lowerPrefix.size())) == lowerPrefix;
}

// "TCPIP", "TCPIP0", "usb1": the interface word followed by an optional board number.
bool IsInterfaceWord(std::string_view token, std::string_view lowerWord) {
    if (!StartsWithWord(token, lowerWord)) return false;
    const std::string_view board = token.substr(lowerWord.size());
    return std::all_of(board.begin(), board.end(),
                       [](char c) { return std::isdigit(static_cast<unsigned char>(c)) != 0; });
}

std::vector<std::string_view> SplitResource(std::string_view text) {
    std::vector<std::string_view> tokens;
    for (std::size_t at = text.find("::"); at != std::string_view::npos; at = text.find("::")) {
        tokens.push_back(text.substr(0, at));
        text.remove_prefix(at + 2);
    }
    tokens.push_back(text);
    return tokens;
}

// A VISA number: "0x1AB1" in hex, else decimal.
std::optional<unsigned> ParseNumber(std::string_view text, unsigned limit) {
    int base = 10;
    if (StartsWithWord(text, "0x")) {
        text.remove_prefix(2);
        base = 16;
    }
    unsigned value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value, base);
    if (text.empty() || error != std::errc() || end != text.data() + text.size() || value > limit) {
        return std::nullopt;
    }
    return value;
}

TInstrumentTarget Problem(std::string text) { return {PortKind::Tcp, {}, std::move(text)}; }

TInstrumentTarget TcpTarget(std::string_view hostPort) {
    if (!SplitHostPort(hostPort)) return Problem("expected tcp:HOST:PORT with a port 1 to 65535");
    return {PortKind::Tcp, std::string(hostPort), {}};
}

TInstrumentTarget VisaTcpTarget(const std::vector<std::string_view>& tokens) {
    const std::string last = Lower(tokens.back());
    if (last == "instr") {
        return Problem("VXI-11 instruments (TCPIP::HOST::INSTR) are not supported; use the "
                       "instrument's raw socket, TCPIP::HOST::5025::SOCKET");
    }
    if (last != "socket" || tokens.size() != 4 || tokens[1].empty()) {
        return Problem("expected TCPIP[n]::HOST::PORT::SOCKET");
    }
    const std::string_view host = tokens[1];
    const std::string hostPort = host.find(':') == std::string_view::npos
                                     ? std::string(host) + ":" + std::string(tokens[2])
                                     : "[" + std::string(host) + "]:" + std::string(tokens[2]);
    return TcpTarget(hostPort);
}

}  // namespace

std::optional<THostPort> SplitHostPort(std::string_view text) {
    const std::size_t colon = text.rfind(':');
    if (colon == std::string_view::npos) return std::nullopt;
    std::string_view host = text.substr(0, colon);
    if (host.size() >= 2 && host.front() == '[' && host.back() == ']') {
        host = host.substr(1, host.size() - 2);
    } else if (host.find(':') != std::string_view::npos) {
        return std::nullopt;  // an IPv6 address needs its brackets
    }
    const std::optional<unsigned> port = ParseNumber(text.substr(colon + 1), 65535);
    const bool blank = std::any_of(host.begin(), host.end(), [](unsigned char c) {
        return std::isspace(c) != 0 || std::iscntrl(c) != 0;
    });
    if (host.empty() || blank || !port || *port == 0 || StartsWithWord(text.substr(colon + 1), "0x")) {
        return std::nullopt;
    }
    return THostPort{std::string(host), static_cast<std::uint16_t>(*port)};
}

std::optional<TUsbResource> ParseUsbResource(std::string_view text) {
    const std::vector<std::string_view> tokens = SplitResource(text);
    if (tokens.size() < 5 || tokens.size() > 6 || !IsInterfaceWord(tokens[0], "usb") ||
        Lower(tokens.back()) != "instr" || tokens[3].empty()) {
        return std::nullopt;
    }
    TUsbResource resource;
    const auto vendor = ParseNumber(tokens[1], 0xFFFF);
    const auto product = ParseNumber(tokens[2], 0xFFFF);
    if (!vendor || !product) return std::nullopt;
    resource.vendor = *vendor;
    resource.product = *product;
    resource.serial = std::string(tokens[3]);
    if (tokens.size() == 6) {
        resource.interface = ParseNumber(tokens[4], 255);
        if (!resource.interface) return std::nullopt;
    }
    return resource;
}

std::optional<TInstrumentTarget> ParseInstrumentTarget(std::string_view value) {
    if (value.size() > kMaxResourceLength) return std::nullopt;
    if (StartsWithWord(value, "tcp:")) return TcpTarget(value.substr(4));
    if (StartsWithWord(value, "usbtmc:")) {
        const std::string_view node = value.substr(7);
        if (node.empty() || node.front() != '/') {
            return Problem("expected usbtmc:/dev/usbtmcN");
        }
        return TInstrumentTarget{PortKind::Usbtmc, std::string(node), {}};
    }
    const std::vector<std::string_view> tokens = SplitResource(value);
    if (tokens.size() < 2) return std::nullopt;
    if (IsInterfaceWord(tokens[0], "tcpip")) return VisaTcpTarget(tokens);
    if (IsInterfaceWord(tokens[0], "usb")) {
        if (!ParseUsbResource(value)) {
            return Problem("expected USB[n]::VENDOR::PRODUCT::SERIAL[::INTERFACE]::INSTR");
        }
        return TInstrumentTarget{PortKind::Usbtmc, std::string(value), {}};
    }
    return std::nullopt;
}

std::string ResourceName(const TPortTarget& target) {
    switch (target.kind) {
        case PortKind::Tcp: return "tcp:" + target.path;
        case PortKind::Usbtmc:
            return target.path.starts_with('/') ? "usbtmc:" + target.path : target.path;
        default: return {};
    }
}

}  // namespace korvane::serial
