#pragma once

#include "racks/ui/control_widget.h"

namespace korvane::racks {

// TVrProgressBar: a level bar of lamp segments, green up to four fifths, then amber and red.
class TLevelBarWidget : public TControlWidget {
 public:
    using TControlWidget::TControlWidget;

 protected:
    void paintEvent(QPaintEvent* event) override;
};

// TVrPowerMeter: a bar graph over a labelled scale with the value written beside it.
class TPowerMeterWidget : public TControlWidget {
 public:
    using TControlWidget::TControlWidget;

 protected:
    void paintEvent(QPaintEvent* event) override;
};

}  // namespace korvane::racks
