#pragma once

#include <functional>

#include "racks/ui/control_widget.h"

namespace korvane::racks {

// TVrSwitch: a rotary switch; a click on a position mark turns the knob there, a click on
// the knob turns it one position on (from the last back to the first).
class TSwitchWidget : public TControlWidget {
 public:
    TSwitchWidget(TRackControl& control, QWidget* parent);

 protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;

 private:
    QPointF Centre() const;
    double KnobRadius() const;
};

// TVrSpinner: up and down buttons; a click steps the spinner's companion display.
class TSpinnerWidget : public TControlWidget {
 public:
    TSpinnerWidget(TRackControl& control, QWidget* parent);
    // What a click asks for: +1 (up) or -1 (down).
    void SetStepAction(std::function<void(int)> step) { m_step = std::move(step); }

 protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

 private:
    std::function<void(int)> m_step;
    int m_pressed = 0;
};

}  // namespace korvane::racks
