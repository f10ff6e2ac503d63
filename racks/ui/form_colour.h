#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

#include "racks/form_value.h"

namespace korvane::racks {

// A colour as rack files give it, resolved to red, green and blue. `none` marks clNone
// (nothing painted), which controls use for transparent parts.
struct TRgb {
    uint8_t red = 0;
    uint8_t green = 0;
    uint8_t blue = 0;
    bool none = false;

    friend bool operator==(const TRgb&, const TRgb&) = default;
};

constexpr TRgb Rgb(uint32_t rrggbb) {
    return {static_cast<uint8_t>(rrggbb >> 16), static_cast<uint8_t>(rrggbb >> 8),
            static_cast<uint8_t>(rrggbb), false};
}

// A colour value: an identifier such as clLime or clBtnFace, or a number in the form
// designer's layout (0x00BBGGRR, or 0xFF0000nn for system colour nn). Unknown names and
// numbers outside those layouts give none.
std::optional<TRgb> ColourFromValue(const TFormValue& value);
std::optional<TRgb> ColourFromName(std::string_view name);
std::optional<TRgb> ColourFromNumber(int64_t number);

}  // namespace korvane::racks
