#pragma once

#include "racks/ui/control_widget.h"

namespace korvane::racks {

// TVrNum: a seven-segment display of Value in Digits places.
class TNumWidget : public TControlWidget {
 public:
    using TControlWidget::TControlWidget;

 protected:
    void paintEvent(QPaintEvent* event) override;
};

// TVrMatrix: a 5 x 7 dot-matrix display of Text, as many characters as fit.
class TMatrixWidget : public TControlWidget {
 public:
    using TControlWidget::TControlWidget;

 protected:
    void paintEvent(QPaintEvent* event) override;
};

}  // namespace korvane::racks
