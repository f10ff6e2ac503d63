#pragma once

#include <string>

namespace korvane::serial {

// The five texts the port-settings dialog hands to the next openport, exactly as the user
// left them in its boxes. An empty text means "use the script's own argument".
struct TPortChoice {
    std::string port;
    std::string baudRate;
    std::string dataBits;
    std::string parity;    // none, even, odd, mark or space
    std::string stopBits;  // 1, 1.5 or 2

    bool operator==(const TPortChoice&) const = default;
};

}  // namespace korvane::serial
