#pragma once

#include "racks/form_object.h"
#include "racks/result.h"
#include "racks/ui/rack_control.h"

namespace korvane::racks {

// Coordinates and sizes from rack files are kept within these, so a hostile file cannot make
// a window or a picture that needs gigabytes to paint.
inline constexpr int kMaxCoordinate = 32767;
inline constexpr int kMaxClientSize = 4096;

// Applies the properties of the control's own record that its class knows; the rest stay in
// the record untouched. A known property holding the wrong kind of value fails, naming the
// control and the property.
TStatus ApplyControlRecord(TRackControl& control);

// The control's record with every state change since loading written into it, so a rack that
// nobody changed saves to the bytes it was read from.
TFormObject SavedControlRecord(const TRackControl& control);

// The font properties ("Font.Name", "Font.Height", ...) of a record applied to `font`.
TStatus ApplyFontProperties(const TPropertyList& properties, TFontLook& font);

int ClampCoordinate(int64_t value, int low, int high);

}  // namespace korvane::racks
