#include "workbench/ui/window_placement.h"

namespace korvane::workbench {

namespace {

// Enough of the window's top edge to grab it.
constexpr int kVisibleTitle = 24;

}  // namespace

QPoint KeepOnScreen(QPoint topLeft, QSize size, const std::vector<QRect>& screens) {
    if (screens.empty()) return topLeft;
    const QRect titleStrip(topLeft, QSize(size.width(), kVisibleTitle));
    for (const QRect& screen : screens) {
        const QRect visible = screen.intersected(titleStrip);
        if (visible.width() >= kVisibleTitle && visible.height() >= kVisibleTitle) return topLeft;
    }
    return screens.front().topLeft();
}

}  // namespace korvane::workbench
