#pragma once

#include "racks/ui/control_widget.h"

namespace korvane::racks {

// TVrLed: a round lamp, lit while Active.
class TLedWidget : public TControlWidget {
 public:
    using TControlWidget::TControlWidget;

 protected:
    void paintEvent(QPaintEvent* event) override;
};

// TVrCheckLed: a small square lamp with its caption; a click toggles Checked.
class TCheckLedWidget : public TControlWidget {
 public:
    TCheckLedWidget(TRackControl& control, QWidget* parent);

 protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
};

// TVrPowerButton: a push button with a lamp strip above its caption; a click toggles Active.
class TPowerButtonWidget : public TControlWidget {
 public:
    TPowerButtonWidget(TRackControl& control, QWidget* parent);

 protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

 private:
    bool m_pressed = false;
};

}  // namespace korvane::racks
