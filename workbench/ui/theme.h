#pragma once

#include <string_view>

#include <QColor>
#include <QPalette>

namespace korvane::workbench {

// View > Theme: follow the desktop's palette, or force the light or the dark look.
enum class TTheme { System, Light, Dark };

TTheme ThemeFromName(std::string_view name);
std::string_view ThemeName(TTheme theme);

// The contrast ratio of two colours as accessibility guides define it (1 to 21).
double ContrastRatio(const QColor& a, const QColor& b);

// Whether a palette draws dark windows (light text on dark ground).
bool PaletteIsDark(const QPalette& palette);

// Gives the application the theme's palette (the desktop's own for System, as it was when
// the program started) and returns it. Windows already open take it from their owner: the
// application's palette reaches them only while the event loop runs.
QPalette ApplyApplicationTheme(TTheme theme);

}  // namespace korvane::workbench
