#pragma once

#include <QFont>

namespace korvane::workbench {

// Courier New at a pixel size, or the desktop's fixed-pitch font where Courier New is not
// installed. The size is set in points worked out from the screen's logical DPI, since the
// editing widget takes point sizes only.
QFont ScriptFont(int pixels);

// Points that draw `pixels` high on a screen with this logical DPI.
double PixelsToPoints(int pixels, double logicalDpi);

}  // namespace korvane::workbench
