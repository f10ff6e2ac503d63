#pragma once

#include <QWidget>

#include "racks/ui/rack_control.h"

namespace korvane::racks {

// The on-screen side of one rack control: it paints the control's state and turns the
// user's clicks and drags into state changes. Everything it shows comes from the control.
class TControlWidget : public QWidget {
 public:
    TControlWidget(TRackControl& control, QWidget* parent);

    TRackControl& Control() { return m_control; }
    // Shows the control anew after a script, a command or a load changed it.
    virtual void ShowState();

 protected:
    QColor Colour() const;  // the control's Color, or none
    QColor FontColour() const;
    QRectF Area() const { return QRectF(rect()); }

    TRackControl& m_control;
};

}  // namespace korvane::racks
