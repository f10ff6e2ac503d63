#pragma once

#include <array>
#include <string_view>

#include "racks/form_object.h"
#include "racks/result.h"

namespace korvane::racks {

// The control classes a rack file may hold, matched exactly.
inline constexpr std::array<std::string_view, 22> kRegisteredClasses = {
    "TLabel",         "TVrSlider",      "TVrBorder",       "TVrSwitch",  "TVrLed",
    "TVrMatrix",      "TVrPowerButton", "TVrMeter",        "TVrNum",     "TLcd",
    "TVrProgressBar", "TVrScope",       "TVrGradient",     "TEdit",      "TVrCheckLed",
    "TVrTrackBar",    "TVrPowerMeter",  "TVrAngularMeter", "TVrSpinner", "TMemo",
    "TImage",         "TComboBox",
};

bool IsRegisteredClass(std::string_view className);

// Fails, naming the first offender, when any object below the root has a class outside the
// list. The root is the window itself, whose class is never compared.
TStatus CheckRegisteredClasses(const TFormObject& root);

}  // namespace korvane::racks
