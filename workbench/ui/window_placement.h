#pragma once

#include <vector>

#include <QPoint>
#include <QRect>
#include <QSize>

namespace korvane::workbench {

// A remembered top-left corner, unless a window of this size placed there would not show its
// title on any screen; then the top-left corner of the first screen. Without screens the
// corner is kept.
QPoint KeepOnScreen(QPoint topLeft, QSize size, const std::vector<QRect>& screens);

}  // namespace korvane::workbench
