#include "racks/ui/lamp_widgets.h"

#include <QMouseEvent>
#include <QPainter>
#include <algorithm>

#include "racks/ui/paint_kit.h"

namespace korvane::racks {

void TLedWidget::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    if (const QColor back = Colour(); back.alpha() > 0) painter.fillRect(rect(), back);
    DrawLamp(painter, Area(), ToQColor(m_control.look.paletteHigh),
             ToQColor(m_control.look.paletteLow), m_control.State().active);
}

TCheckLedWidget::TCheckLedWidget(TRackControl& control, QWidget* parent)
    : TControlWidget(control, parent) {
    setCursor(Qt::PointingHandCursor);
}

void TCheckLedWidget::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    if (const QColor back = Colour(); back.alpha() > 0) painter.fillRect(rect(), back);
    const double box = std::min<double>(height(), 14.0 + height() * 0.2);
    const QRectF lamp(2, (height() - box) / 2, box, box);
    painter.setPen(QPen(QColor(10, 10, 10), 1));
    painter.setBrush(QColor(30, 30, 30));
    painter.drawRoundedRect(lamp.adjusted(0.5, 0.5, -0.5, -0.5), 2, 2);
    DrawSegment(painter, lamp.adjusted(2.5, 2.5, -2.5, -2.5), ToQColor(m_control.look.paletteHigh),
                m_control.State().active);
    painter.setPen(FontColour());
    const QRectF text(lamp.right() + 5, 0, width() - lamp.right() - 5, height());
    DrawFittedText(painter, text, Latin1(m_control.look.caption), font(),
                   Qt::AlignLeft | Qt::AlignVCenter);
}

void TCheckLedWidget::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) return;
    m_control.SetActive(!m_control.State().active);
    update();
}

TPowerButtonWidget::TPowerButtonWidget(TRackControl& control, QWidget* parent)
    : TControlWidget(control, parent) {
    setCursor(Qt::PointingHandCursor);
}

void TPowerButtonWidget::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const QRectF area = Area();
    const QColor body = ToQColor(m_control.look.colour, QColor(64, 64, 64));
    painter.fillRect(area, QColor(16, 16, 16));
    const QRectF cap = area.adjusted(2, 2, -2, -2).translated(m_pressed ? 1 : 0, m_pressed ? 1 : 0);
    DrawFace(painter, cap, m_pressed ? Blend(body, Qt::black, 0.15) : body, 3);
    DrawBevel(painter, cap, !m_pressed, std::clamp(area.height() / 20, 1.0, 3.0));
    // The lamp strip along the top, lit while the button is on.
    const double stripHeight = std::clamp(cap.height() * 0.16, 3.0, 10.0);
    const QRectF strip(cap.left() + cap.width() * 0.2, cap.top() + cap.height() * 0.14,
                       cap.width() * 0.6, stripHeight);
    painter.fillRect(strip.adjusted(-1, -1, 1, 1), QColor(10, 10, 10));
    const bool on = m_control.State().active;
    DrawSegment(painter, strip,
                ToQColor(on ? m_control.look.paletteHigh : m_control.look.paletteLow), true);
    painter.setPen(FontColour() == Qt::black ? QColor(230, 230, 230) : FontColour());
    const QRectF text(cap.left() + 3, strip.bottom() + 2, cap.width() - 6,
                      cap.bottom() - strip.bottom() - 4);
    DrawFittedText(painter, text, Latin1(m_control.look.caption), font(), Qt::AlignCenter);
}

void TPowerButtonWidget::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) return;
    m_pressed = true;
    update();
}

void TPowerButtonWidget::mouseReleaseEvent(QMouseEvent* event) {
    if (!m_pressed || event->button() != Qt::LeftButton) return;
    m_pressed = false;
    if (rect().contains(event->position().toPoint()))
        m_control.SetActive(!m_control.State().active);
    update();
}

}  // namespace korvane::racks
