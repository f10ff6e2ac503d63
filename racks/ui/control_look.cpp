#include "racks/ui/control_look.h"

namespace korvane::racks {

namespace {

constexpr TRgb kNone{0, 0, 0, true};
constexpr TRgb kBlack = Rgb(0x000000);
constexpr TRgb kWindow = Rgb(0xFFFFFF);
constexpr TRgb kButtonFace = Rgb(0xD4D0C8);
constexpr TRgb kDarkGreen = Rgb(0x004000);
constexpr TRgb kLime = Rgb(0x00FF00);

}  // namespace

TControlLook DefaultLook(TControlClass cls, const TFontLook& windowFont) {
    TControlLook look;
    look.font = windowFont;
    look.colour = kBlack;
    look.paletteLow = kDarkGreen;
    look.paletteHigh = kLime;
    switch (cls) {
        case TControlClass::Label:
        case TControlClass::Border:
        case TControlClass::Image:
        case TControlClass::Lcd:
            look.colour = kNone;
            break;
        case TControlClass::Edit:
        case TControlClass::Memo:
        case TControlClass::ComboBox:
            look.colour = kWindow;
            break;
        case TControlClass::Meter:
            look.colour = Rgb(0xF4F0E0);  // a cream meter face
            look.paletteHigh = Rgb(0xC00000);
            break;
        case TControlClass::Spinner:
            look.orientation = TOrientation::Vertical;
            look.colour = kButtonFace;
            break;
        case TControlClass::TrackBar:
            look.colour = kButtonFace;
            break;
        case TControlClass::Switch:
            look.colour = Rgb(0x303030);
            break;
        case TControlClass::PowerButton:
            look.colour = Rgb(0x404040);
            break;
        default:
            break;
    }
    return look;
}

}  // namespace korvane::racks
