#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "port_map.h"

namespace korvane::serial {

// What an instrument entry of the port map names, or why it names nothing usable.
struct TInstrumentTarget {
    PortKind kind = PortKind::Tcp;
    std::string path;
    std::string problem;  // empty when the entry is good
};

// Reads "tcp:HOST:PORT", "usbtmc:/dev/usbtmcN" and the VISA resource strings
// "TCPIP[n]::HOST::PORT::SOCKET" and "USB[n]::VID::PID::SERIAL[::INTF]::INSTR" (any letter
// case). Nothing when `value` is none of these forms.
std::optional<TInstrumentTarget> ParseInstrumentTarget(std::string_view value);

struct THostPort {
    std::string host;  // without the brackets of an IPv6 address
    std::uint16_t port = 0;
};

// "HOST:PORT" or "[IPv6]:PORT", the port a number 1..65535.
std::optional<THostPort> SplitHostPort(std::string_view text);

// A USB instrument as a VISA resource names it.
struct TUsbResource {
    unsigned vendor = 0;
    unsigned product = 0;
    std::string serial;
    std::optional<unsigned> interface;
};

std::optional<TUsbResource> ParseUsbResource(std::string_view text);

// How the terminal caption names an instrument ("tcp:10.0.0.5:5025"); empty for serial
// and virtual ports.
std::string ResourceName(const TPortTarget& target);

}  // namespace korvane::serial
