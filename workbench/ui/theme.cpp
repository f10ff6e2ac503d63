#include "workbench/ui/theme.h"

#include <algorithm>
#include <cmath>

#include <QApplication>
#include <QStyle>

namespace korvane::workbench {

namespace {

double Channel(int value) {
    const double c = value / 255.0;
    return c <= 0.03928 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
}

double Luminance(const QColor& colour) {
    return 0.2126 * Channel(colour.red()) + 0.7152 * Channel(colour.green()) +
           0.0722 * Channel(colour.blue());
}

QPalette DarkPalette() {
    const QColor window(45, 47, 51);
    const QColor base(30, 31, 34);
    const QColor text(220, 222, 226);
    const QColor disabled(128, 130, 136);
    QPalette palette;
    palette.setColor(QPalette::Window, window);
    palette.setColor(QPalette::WindowText, text);
    palette.setColor(QPalette::Base, base);
    palette.setColor(QPalette::AlternateBase, window);
    palette.setColor(QPalette::ToolTipBase, window);
    palette.setColor(QPalette::ToolTipText, text);
    palette.setColor(QPalette::PlaceholderText, disabled);
    palette.setColor(QPalette::Text, text);
    palette.setColor(QPalette::Button, window);
    palette.setColor(QPalette::ButtonText, text);
    palette.setColor(QPalette::BrightText, QColor(255, 110, 110));
    palette.setColor(QPalette::Link, QColor(120, 180, 255));
    palette.setColor(QPalette::LinkVisited, QColor(190, 150, 255));
    palette.setColor(QPalette::Highlight, QColor(38, 79, 120));
    palette.setColor(QPalette::HighlightedText, Qt::white);
    palette.setColor(QPalette::Light, QColor(70, 72, 78));
    palette.setColor(QPalette::Midlight, QColor(58, 60, 65));
    palette.setColor(QPalette::Mid, QColor(38, 40, 44));
    palette.setColor(QPalette::Dark, QColor(24, 25, 28));
    palette.setColor(QPalette::Shadow, QColor(10, 10, 12));
    for (QPalette::ColorRole role : {QPalette::WindowText, QPalette::Text, QPalette::ButtonText}) {
        palette.setColor(QPalette::Disabled, role, disabled);
    }
    return palette;
}

}  // namespace

TTheme ThemeFromName(std::string_view name) {
    if (name == "light") return TTheme::Light;
    if (name == "dark") return TTheme::Dark;
    return TTheme::System;
}

std::string_view ThemeName(TTheme theme) {
    switch (theme) {
        case TTheme::Light:
            return "light";
        case TTheme::Dark:
            return "dark";
        case TTheme::System:
            break;
    }
    return "system";
}

double ContrastRatio(const QColor& a, const QColor& b) {
    const double la = Luminance(a);
    const double lb = Luminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

bool PaletteIsDark(const QPalette& palette) {
    return Luminance(palette.color(QPalette::Base)) < Luminance(palette.color(QPalette::Text));
}

QPalette ApplyApplicationTheme(TTheme theme) {
    // The desktop's palette as the program found it, before any theme replaced it.
    static const QPalette desktop = QApplication::palette();
    QPalette chosen = desktop;
    if (theme == TTheme::Light) chosen = QApplication::style()->standardPalette();
    if (theme == TTheme::Dark) chosen = DarkPalette();
    QApplication::setPalette(chosen);
    return chosen;
}

}  // namespace korvane::workbench
