#pragma once

#include "racks/ui/control_widget.h"

namespace korvane::racks {

// TVrMeter: a moving-coil panel meter, a needle swinging over a 90-degree scale on a light
// face. TVrAngularMeter: a round gauge with a 270-degree scale and a readout of its value.
class TDialWidget : public TControlWidget {
 public:
    using TControlWidget::TControlWidget;

 protected:
    void paintEvent(QPaintEvent* event) override;

 private:
    struct TDial;
    void PaintScale(QPainter& painter, const TDial& dial);
    void PaintNeedle(QPainter& painter, const TDial& dial);
    void PaintPanelMeter(QPainter& painter);
    void PaintGauge(QPainter& painter);
};

}  // namespace korvane::racks
