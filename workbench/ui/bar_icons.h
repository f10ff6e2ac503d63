#pragma once

#include <QIcon>

namespace korvane::workbench {

enum class TBarIcon { Open, New, Save, SaveAs, Run, Stop, Pause };

// Flat icons for the button bar, drawn in code so the program needs no image files.
QIcon BarIcon(TBarIcon icon);

}  // namespace korvane::workbench
