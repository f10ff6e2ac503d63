#pragma once

#include <optional>
#include <utility>
#include <vector>

#include <QPoint>
#include <QRect>
#include <QSize>

namespace korvane::workbench {

// A remembered window rectangle made to fit the screen it mostly lies on (the first screen
// when it lies on none): no larger than that screen, and moved inside it. Without screens the
// rectangle is kept.
QRect FitOnScreen(QRect wanted, const std::vector<QRect>& screens);

// Where a window of this (outer) size opens beside the main window's frame, on the screen
// the main window mostly lies on: to its right, else to its left, else below, else above,
// top or left edges lined up. When no side has room, the screen's bottom-right corner, over
// the log rather than the tool bar and the code.
QPoint BesideWindow(QRect mainFrame, QSize size, const std::vector<QRect>& screens);

// Where a helper window (terminal, rack, floating Watch) goes: where the user left it, pulled
// onto a screen as the main window is; or beside the main window when it has no place yet.
QPoint PlaceHelperWindow(std::optional<QPoint> remembered, QRect mainFrame, QSize size,
                         const std::vector<QRect>& screens);

// The sizes of an editor-over-log split as the window shrinks: the log keeps its height until
// the editor would get less than half, then the two share the height.
std::pair<int, int> EditorFirstSplit(int editor, int log);

// The available area of every screen.
std::vector<QRect> AvailableScreens();

}  // namespace korvane::workbench
