#pragma once

#include <string>

#include "racks/ui/control_class.h"
#include "racks/ui/form_colour.h"

namespace korvane::racks {

enum class TOrientation : uint8_t { Horizontal, Vertical };
enum class TAlignment : uint8_t { Left, Center, Right };

struct TFontLook {
    std::string name = "MS Sans Serif";
    int pixelHeight = 11;
    TRgb colour = Rgb(0x000000);
    bool bold = false;
    bool italic = false;
    bool underline = false;
    bool strikeOut = false;

    friend bool operator==(const TFontLook&, const TFontLook&) = default;
};

// Where a control sits in the rack window's client area, in pixels.
struct TBounds {
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;

    friend bool operator==(const TBounds&, const TBounds&) = default;
};

// How a control looks: what rack files set besides the script-visible property. Each class
// reads the fields that mean something to it.
struct TControlLook {
    TRgb colour = Rgb(0x000000);
    TFontLook font;
    TRgb paletteLow = Rgb(0x004000);   // a lamp or segment that is off
    TRgb paletteHigh = Rgb(0x00FF00);  // ... and on
    TRgb startColour = Rgb(0x000080);  // gradients
    TRgb endColour = Rgb(0x000000);
    TOrientation orientation = TOrientation::Horizontal;
    TAlignment alignment = TAlignment::Left;
    std::string caption;  // the words on buttons, check LEDs and meter faces
    bool transparent = false;
    bool leadingZero = false;
    int digits = 4;  // numeric displays
    bool stretch = false;
    bool center = false;
    bool proportional = false;
    bool readOnly = false;
    bool dropDownList = false;  // a drop-down list without its own edit field

    friend bool operator==(const TControlLook&, const TControlLook&) = default;
};

// A new control's look before its record is applied.
TControlLook DefaultLook(TControlClass cls, const TFontLook& windowFont);

}  // namespace korvane::racks
