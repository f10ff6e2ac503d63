#include "racks/ui/window_capture.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QGuiApplication>
#include <QPixmap>
#include <QScreen>
#include <QThread>
#include <QWindow>

namespace korvane::racks {

namespace {

constexpr int kExposeWaitMs = 2000;
constexpr int kSettleMs = 60;

bool Offscreen() { return QGuiApplication::platformName() == QLatin1String("offscreen"); }

void PumpFor(int milliseconds) {
    QDeadlineTimer deadline(milliseconds);
    while (!deadline.hasExpired()) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        QThread::msleep(5);
    }
}

}  // namespace

void BringToFront(QWidget& window) {
    if (!Offscreen()) window.raise();
}

bool WaitUntilExposed(QWidget& window) {
    QDeadlineTimer deadline(kExposeWaitMs);
    while (!deadline.hasExpired()) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        const QWindow* handle = window.windowHandle();
        if (handle && handle->isExposed()) return true;
        QThread::msleep(5);
    }
    return false;
}

void RestoreIfMinimized(QWidget& window) {
    if (!window.isMinimized()) return;
    window.showNormal();
    WaitUntilExposed(window);
}

QImage GrabScreenPixels(QWidget& window) {
    window.repaint();
    // A real display shows the new pixels once the window system has drawn them.
    if (!Offscreen()) PumpFor(kSettleMs);
    QScreen* screen = window.screen();
    if (!screen) return {};
    if (Offscreen()) return screen->grabWindow(window.winId()).toImage();
    const QRect outer = window.frameGeometry();
    if (outer.width() <= 0 || outer.height() <= 0) return {};
    const QPoint onScreen = outer.topLeft() - screen->geometry().topLeft();
    return screen->grabWindow(0, onScreen.x(), onScreen.y(), outer.width(), outer.height())
        .toImage();
}

}  // namespace korvane::racks
