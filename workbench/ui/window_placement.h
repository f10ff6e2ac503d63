#pragma once

#include <utility>
#include <vector>

#include <QPoint>
#include <QRect>
#include <QSize>

namespace korvane::workbench {

// A remembered top-left corner, unless a window of this size placed there would not show its
// title on any screen; then the top-left corner of the first screen. Without screens the
// corner is kept.
QPoint KeepOnScreen(QPoint topLeft, QSize size, const std::vector<QRect>& screens);

// A remembered window rectangle made to fit the screen it mostly lies on (the first screen
// when it lies on none): no larger than that screen, and moved inside it. Without screens the
// rectangle is kept.
QRect FitOnScreen(QRect wanted, const std::vector<QRect>& screens);

// The sizes of an editor-over-log split as the window shrinks: the log keeps its height until
// the editor would get less than half, then the two share the height.
std::pair<int, int> EditorFirstSplit(int editor, int log);

// The available area of every screen.
std::vector<QRect> AvailableScreens();

}  // namespace korvane::workbench
