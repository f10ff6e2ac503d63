#include "workbench/ui/editor_fonts.h"

#include <QFontDatabase>
#include <QGuiApplication>
#include <QScreen>

#include "workbench/editor_look.h"

namespace korvane::workbench {

namespace {

constexpr double kDefaultDpi = 96.0;

double ScreenDpi() {
    const QScreen* screen = QGuiApplication::primaryScreen();
    const double dpi = screen ? screen->logicalDotsPerInchY() : kDefaultDpi;
    return dpi > 0 ? dpi : kDefaultDpi;
}

}  // namespace

double PixelsToPoints(int pixels, double logicalDpi) { return pixels * 72.0 / logicalDpi; }

QFont ScriptFont(int pixels) {
    const QString family = QString::fromLatin1(kEditorFontFamily.data(),
                                               static_cast<qsizetype>(kEditorFontFamily.size()));
    QFont font = QFontDatabase::families().contains(family)
                     ? QFont(family)
                     : QFontDatabase::systemFont(QFontDatabase::FixedFont);
    font.setFixedPitch(true);
    font.setStyleHint(QFont::Monospace);
    font.setPointSizeF(PixelsToPoints(pixels, ScreenDpi()));
    return font;
}

}  // namespace korvane::workbench
