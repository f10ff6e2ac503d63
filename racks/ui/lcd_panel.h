#pragma once

#include "racks/ui/rack_control.h"

namespace korvane::racks {

// The empty LCD panel every TLcd starts with: a 257 x 40 Windows bitmap (grey-green panel,
// dark frame, light-grey bevel) built into the program, stretched to the control's size.
TPicture BuiltInLcdPicture();

}  // namespace korvane::racks
