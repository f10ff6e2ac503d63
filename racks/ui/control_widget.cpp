#include "racks/ui/control_widget.h"

#include "racks/ui/paint_kit.h"

namespace korvane::racks {

TControlWidget::TControlWidget(TRackControl& control, QWidget* parent)
    : QWidget(parent), m_control(control) {
    const TBounds& b = control.bounds;
    setGeometry(b.left, b.top, b.width, b.height);
    setObjectName(Latin1(control.Name()));
    setFont(ToQFont(control.look.font));
}

void TControlWidget::ShowState() {
    setVisible(m_control.State().visible);
    update();
}

QColor TControlWidget::Colour() const { return ToQColor(m_control.look.colour); }

QColor TControlWidget::FontColour() const {
    return ToQColor(m_control.look.font.colour, Qt::black);
}

}  // namespace korvane::racks
