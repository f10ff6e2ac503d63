#pragma once

#include <stdexcept>
#include <string>

namespace korvane::serial {

// A port that would not open. Raised and caught inside TTerminal::Open, which turns it into
// an unopened terminal; it never leaves the channel.
class EComError : public std::runtime_error {
 public:
    explicit EComError(const std::string& message) : std::runtime_error(message) {}
};

}  // namespace korvane::serial
