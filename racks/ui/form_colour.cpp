#include "racks/ui/form_colour.h"

#include <array>

namespace korvane::racks {

namespace {

constexpr TRgb kNoColour{0, 0, 0, true};
constexpr int64_t kColourNone = 0x1FFFFFFF;
constexpr int64_t kColourDefault = 0x20000000;
constexpr int64_t kSystemColourBase = 0xFF000000;

struct TNamedColour {
    std::string_view name;
    uint32_t rgb;
};

constexpr std::array<TNamedColour, 20> kStandardColours = {{
    {"clBlack", 0x000000}, {"clMaroon", 0x800000},     {"clGreen", 0x008000},
    {"clOlive", 0x808000}, {"clNavy", 0x000080},       {"clPurple", 0x800080},
    {"clTeal", 0x008080},  {"clGray", 0x808080},       {"clSilver", 0xC0C0C0},
    {"clRed", 0xFF0000},   {"clLime", 0x00FF00},       {"clYellow", 0xFFFF00},
    {"clBlue", 0x0000FF},  {"clFuchsia", 0xFF00FF},    {"clAqua", 0x00FFFF},
    {"clWhite", 0xFFFFFF}, {"clMoneyGreen", 0xC0DCC0}, {"clSkyBlue", 0xA6CAF0},
    {"clCream", 0xFFFBF0}, {"clMedGray", 0xA4A0A0},
}};

// The classic desktop scheme, indexed by system colour number.
constexpr std::array<TNamedColour, 31> kSystemColours = {{
    {"clScrollBar", 0xC8C8C8},
    {"clBackground", 0x3A6EA5},
    {"clActiveCaption", 0x0A246A},
    {"clInactiveCaption", 0x808080},
    {"clMenu", 0xD4D0C8},
    {"clWindow", 0xFFFFFF},
    {"clWindowFrame", 0x000000},
    {"clMenuText", 0x000000},
    {"clWindowText", 0x000000},
    {"clCaptionText", 0xFFFFFF},
    {"clActiveBorder", 0xD4D0C8},
    {"clInactiveBorder", 0xD4D0C8},
    {"clAppWorkSpace", 0x808080},
    {"clHighlight", 0x0A246A},
    {"clHighlightText", 0xFFFFFF},
    {"clBtnFace", 0xD4D0C8},
    {"clBtnShadow", 0x808080},
    {"clGrayText", 0x808080},
    {"clBtnText", 0x000000},
    {"clInactiveCaptionText", 0xD4D0C8},
    {"clBtnHighlight", 0xFFFFFF},
    {"cl3DDkShadow", 0x404040},
    {"cl3DLight", 0xD4D0C8},
    {"clInfoText", 0x000000},
    {"clInfoBk", 0xFFFFE1},
    {"", 0},  // 25 is not used
    {"clHotLight", 0x0000FF},
    {"clGradientActiveCaption", 0xA6CAF0},
    {"clGradientInactiveCaption", 0xC0C0C0},
    {"clMenuHighlight", 0x316AC5},
    {"clMenuBar", 0xD4D0C8},
}};

}  // namespace

std::optional<TRgb> ColourFromName(std::string_view name) {
    if (name == "clNone" || name == "clDefault") return kNoColour;
    for (const TNamedColour& colour : kStandardColours) {
        if (colour.name == name) return Rgb(colour.rgb);
    }
    for (const TNamedColour& colour : kSystemColours) {
        if (!colour.name.empty() && colour.name == name) return Rgb(colour.rgb);
    }
    return std::nullopt;
}

std::optional<TRgb> ColourFromNumber(int64_t number) {
    if (number < 0) number += int64_t{1} << 32;  // stored as a signed 32-bit integer
    if (number == kColourNone || number == kColourDefault) return kNoColour;
    const auto systemCount = static_cast<int64_t>(kSystemColours.size());
    if (number >= kSystemColourBase && number < kSystemColourBase + systemCount) {
        const TNamedColour& colour =
            kSystemColours[static_cast<size_t>(number - kSystemColourBase)];
        if (colour.name.empty()) return std::nullopt;
        return Rgb(colour.rgb);
    }
    if (number < 0 || number > 0xFFFFFF) return std::nullopt;
    const auto bgr = static_cast<uint32_t>(number);
    return TRgb{static_cast<uint8_t>(bgr), static_cast<uint8_t>(bgr >> 8),
                static_cast<uint8_t>(bgr >> 16), false};
}

std::optional<TRgb> ColourFromValue(const TFormValue& value) {
    if (value.Tag() == TValueTag::kIdent) return ColourFromName(value.Bytes());
    if (IsIntegerTag(value.Tag())) return ColourFromNumber(value.IntegerValue());
    return std::nullopt;
}

}  // namespace korvane::racks
