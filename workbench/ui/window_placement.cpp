#include "workbench/ui/window_placement.h"

#include <algorithm>

#include <QGuiApplication>
#include <QScreen>

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

QRect FitOnScreen(QRect wanted, const std::vector<QRect>& screens) {
    if (screens.empty()) return wanted;
    const auto overlap = [&wanted](const QRect& screen) {
        const QRect common = screen.intersected(wanted);
        return common.isEmpty() ? 0LL : static_cast<long long>(common.width()) * common.height();
    };
    const QRect screen = *std::max_element(
        screens.begin(), screens.end(),
        [&overlap](const QRect& a, const QRect& b) { return overlap(a) < overlap(b); });
    const QSize size = wanted.size().boundedTo(screen.size());
    const int x = std::clamp(wanted.x(), screen.left(), screen.right() + 1 - size.width());
    const int y = std::clamp(wanted.y(), screen.top(), screen.bottom() + 1 - size.height());
    return {QPoint(x, y), size};
}

std::pair<int, int> EditorFirstSplit(int editor, int log) {
    if (editor >= log) return {editor, log};
    const int half = (editor + log) / 2;
    return {editor + log - half, half};
}

std::vector<QRect> AvailableScreens() {
    std::vector<QRect> screens;
    for (const QScreen* screen : QGuiApplication::screens()) {
        screens.push_back(screen->availableGeometry());
    }
    return screens;
}

}  // namespace korvane::workbench
