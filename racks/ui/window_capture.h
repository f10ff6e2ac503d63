#pragma once

#include <QImage>
#include <QWidget>

namespace korvane::racks {

// Raises the window above the others where the platform has such a thing.
void BringToFront(QWidget& window);

// Pumps events until the window is on screen (exposed) or a moment has passed; false when it
// never showed.
bool WaitUntilExposed(QWidget& window);

// Shows a minimised window normally again and waits until it is on screen.
void RestoreIfMinimized(QWidget& window);

// The window's pixels as the screen shows them: its outer rectangle (frame and caption) on a
// real display; on the offscreen platform, which draws no frames, its client area.
QImage GrabScreenPixels(QWidget& window);

}  // namespace korvane::racks
