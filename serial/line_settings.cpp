#include "line_settings.h"

namespace korvane::serial {

bool PossibleLineNumbers(std::int64_t baudRate, std::int64_t dataBits) {
    return baudRate > 0 && dataBits >= kMinDataBits && dataBits <= kMaxDataBits;
}

std::optional<std::string> FindSettingsProblem(const TLineSettings& settings) {
    if (settings.baudRate <= 0) {
        return "baud rate " + std::to_string(settings.baudRate) + " is not positive";
    }
    if (settings.dataBits < kMinDataBits || settings.dataBits > kMaxDataBits) {
        return "data bits " + std::to_string(settings.dataBits) + " outside 5 to 8";
    }
    if (static_cast<unsigned>(settings.parity) > static_cast<unsigned>(Parity::Space)) {
        return "unknown parity code " + std::to_string(static_cast<unsigned>(settings.parity));
    }
    if (static_cast<unsigned>(settings.stopBits) > static_cast<unsigned>(StopBits::Two)) {
        return "unknown stop-bit code " + std::to_string(static_cast<unsigned>(settings.stopBits));
    }
    return std::nullopt;
}

}  // namespace korvane::serial
