#pragma once

#include "racks/ui/control_widget.h"

namespace korvane::racks {

// TVrSlider (a fader with a lit groove) and TVrTrackBar (a groove with a tick scale): the
// thumb shows Position and follows the mouse while it is dragged.
class TSliderWidget : public TControlWidget {
 public:
    TSliderWidget(TRackControl& control, QWidget* parent);

 protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;

 private:
    QRectF Track() const;
    void MoveTo(const QPointF& point);
    void PaintFader(QPainter& painter, const QRectF& track, const QRectF& thumb);
    void PaintTrackBar(QPainter& painter, const QRectF& track);

    bool m_dragging = false;
};

}  // namespace korvane::racks
