#pragma once

#include <QWidget>

#include "racks/ui/control_widget.h"

namespace korvane::racks {

// The widget that shows a control of the given class, as a child of `parent`, placed and
// sized as the control's bounds say. It is not shown yet: ShowState does that.
TControlWidget* CreateControlWidget(TRackControl& control, QWidget* parent);

}  // namespace korvane::racks
