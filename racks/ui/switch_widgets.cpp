#include "racks/ui/switch_widgets.h"

#include <QLineF>
#include <QMouseEvent>
#include <QPainter>
#include <QRadialGradient>
#include <algorithm>

#include "racks/ui/instrument_geometry.h"
#include "racks/ui/paint_kit.h"

namespace korvane::racks {

namespace {

int Positions(const TRackControl& control) { return static_cast<int>(control.range.max) + 1; }

void PaintArrow(QPainter& painter, const QRectF& box, bool up, bool horizontal, bool pressed,
                const QColor& face) {
    DrawFace(painter, box, pressed ? Blend(face, Qt::black, 0.2) : face, 2);
    DrawBevel(painter, box, !pressed, 1);
    const QPointF c = box.center() + (pressed ? QPointF(1, 1) : QPointF());
    const double s = std::min(box.width(), box.height()) * 0.28;
    QPolygonF arrow;
    if (horizontal) {
        const double d = up ? s : -s;
        arrow << c + QPointF(d, 0) << c + QPointF(-d, -s) << c + QPointF(-d, s);
    } else {
        const double d = up ? -s : s;
        arrow << c + QPointF(0, d) << c + QPointF(-s, -d) << c + QPointF(s, -d);
    }
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(30, 30, 30));
    painter.drawPolygon(arrow);
}

}  // namespace

TSwitchWidget::TSwitchWidget(TRackControl& control, QWidget* parent)
    : TControlWidget(control, parent) {
    setCursor(Qt::PointingHandCursor);
}

QPointF TSwitchWidget::Centre() const { return Area().center(); }

double TSwitchWidget::KnobRadius() const { return std::min(width(), height()) * 0.3; }

void TSwitchWidget::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    if (const QColor back = Colour(); back.alpha() > 0) painter.fillRect(rect(), back);
    const QPointF c = Centre();
    const double knob = KnobRadius();
    const int positions = Positions(m_control);
    const int offset = static_cast<int>(m_control.State().value);
    const QColor ink = Readable(ToQColor(m_control.look.font.colour, Qt::white), Colour());
    const QColor lamp = ToQColor(m_control.look.paletteHigh, QColor(0, 255, 0));
    QFont small = font();
    small.setPixelSize(std::max(6, static_cast<int>(knob * 0.4)));
    painter.setFont(small);
    // A mark and a number per position around the knob; the selected one is lit.
    for (int i = 0; i < positions; ++i) {
        const double a = SwitchAngle(i, positions);
        const bool selected = i == offset;
        painter.setPen(QPen(selected ? lamp : ink, selected ? 2.0 : 1.0));
        painter.drawLine(PointOnDial(c, knob * 1.1, a), PointOnDial(c, knob * 1.3, a));
        const QPointF at = PointOnDial(c, knob * 1.55, a);
        painter.drawText(QRectF(at.x() - knob * 0.4, at.y() - knob * 0.3, knob * 0.8, knob * 0.6),
                         Qt::AlignCenter, QString::number(i));
    }
    QRadialGradient body(c - QPointF(knob * 0.3, knob * 0.3), knob * 1.3);
    body.setColorAt(0, QColor(120, 120, 120));
    body.setColorAt(1, QColor(25, 25, 25));
    painter.setPen(QPen(QColor(10, 10, 10), 1));
    painter.setBrush(body);
    painter.drawEllipse(c, knob, knob);
    // The knob's pointer line.
    const double a = SwitchAngle(offset, positions);
    painter.setPen(
        QPen(QColor(240, 240, 240), std::max(1.5, knob / 7), Qt::SolidLine, Qt::RoundCap));
    painter.drawLine(PointOnDial(c, knob * 0.25, a), PointOnDial(c, knob * 0.9, a));
}

void TSwitchWidget::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) return;
    const int positions = Positions(m_control);
    const QPointF at = event->position();
    int offset = static_cast<int>(m_control.State().value) + 1;
    if (QLineF(Centre(), at).length() > KnobRadius()) {
        offset = SwitchOffsetAt(Centre(), at, positions);
    } else if (offset >= positions) {
        offset = 0;
    }
    m_control.SetValue(offset);
    update();
}

TSpinnerWidget::TSpinnerWidget(TRackControl& control, QWidget* parent)
    : TControlWidget(control, parent) {
    setCursor(Qt::PointingHandCursor);
}

void TSpinnerWidget::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const QRectF area = Area();
    const bool horizontal = m_control.look.orientation == TOrientation::Horizontal;
    const QColor face = ToQColor(m_control.look.colour, QColor(212, 208, 200));
    const QRectF first = horizontal
                             ? QRectF(area.left(), area.top(), area.width() / 2, area.height())
                             : QRectF(area.left(), area.top(), area.width(), area.height() / 2);
    const QRectF second =
        horizontal ? first.translated(area.width() / 2, 0) : first.translated(0, area.height() / 2);
    // Up is the top half, or the right half of a horizontal spinner.
    PaintArrow(painter, horizontal ? second : first, true, horizontal, m_pressed == 1, face);
    PaintArrow(painter, horizontal ? first : second, false, horizontal, m_pressed == -1, face);
}

void TSpinnerWidget::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) return;
    m_pressed = SpinnerStepAt(Area(), m_control.look.orientation, event->position());
    if (m_step) m_step(m_pressed);
    update();
}

void TSpinnerWidget::mouseReleaseEvent(QMouseEvent*) {
    m_pressed = 0;
    update();
}

}  // namespace korvane::racks
