#include "workbench/ui/window_placement.h"

#include <algorithm>

#include <QGuiApplication>
#include <QScreen>

namespace korvane::workbench {

namespace {

// Room left between the main window and a window opened beside it.
constexpr int kGap = 8;

// The screen a rectangle mostly lies on; the first one when it lies on none.
const QRect& ScreenOf(const QRect& area, const std::vector<QRect>& screens) {
    const auto overlap = [&area](const QRect& screen) {
        const QRect common = screen.intersected(area);
        return common.isEmpty() ? 0LL : static_cast<long long>(common.width()) * common.height();
    };
    return *std::max_element(
        screens.begin(), screens.end(),
        [&overlap](const QRect& a, const QRect& b) { return overlap(a) < overlap(b); });
}

}  // namespace

QRect FitOnScreen(QRect wanted, const std::vector<QRect>& screens) {
    if (screens.empty()) return wanted;
    const QRect& screen = ScreenOf(wanted, screens);
    const QSize size = wanted.size().boundedTo(screen.size());
    const int x = std::clamp(wanted.x(), screen.left(), screen.right() + 1 - size.width());
    const int y = std::clamp(wanted.y(), screen.top(), screen.bottom() + 1 - size.height());
    return {QPoint(x, y), size};
}

QPoint BesideWindow(QRect mainFrame, QSize size, const std::vector<QRect>& screens) {
    if (screens.empty()) return mainFrame.topRight() + QPoint(1 + kGap, 0);
    const QRect& screen = ScreenOf(mainFrame, screens);
    const int spaceRight = screen.right() - mainFrame.right() - kGap;
    const int spaceLeft = mainFrame.left() - screen.left() - kGap;
    const int spaceBelow = screen.bottom() - mainFrame.bottom() - kGap;
    const int spaceAbove = mainFrame.top() - screen.top() - kGap;
    QPoint at(screen.right() + 1 - size.width(), screen.bottom() + 1 - size.height());
    if (spaceRight >= size.width()) {
        at = QPoint(mainFrame.right() + 1 + kGap, mainFrame.top());
    } else if (spaceLeft >= size.width()) {
        at = QPoint(mainFrame.left() - kGap - size.width(), mainFrame.top());
    } else if (spaceBelow >= size.height()) {
        at = QPoint(mainFrame.left(), mainFrame.bottom() + 1 + kGap);
    } else if (spaceAbove >= size.height()) {
        at = QPoint(mainFrame.left(), mainFrame.top() - kGap - size.height());
    }
    return FitOnScreen(QRect(at, size), {screen}).topLeft();
}

QPoint PlaceHelperWindow(std::optional<QPoint> remembered, QRect mainFrame, QSize size,
                         const std::vector<QRect>& screens) {
    if (!remembered) return BesideWindow(mainFrame, size, screens);
    return FitOnScreen(QRect(*remembered, size), screens).topLeft();
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
