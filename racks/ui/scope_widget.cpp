#include "racks/ui/scope_widget.h"

#include <QPainter>
#include <array>

#include "racks/ui/instrument_geometry.h"
#include "racks/ui/paint_kit.h"

namespace korvane::racks {

namespace {

constexpr int kColumns = 10;
constexpr int kRows = 8;

}  // namespace

TScopeWidget::TScopeWidget(TRackControl& control, QWidget* parent)
    : TControlWidget(control, parent) {
    m_timer.setSingleShot(true);
    m_timer.setInterval(control.scope.intervalMs);
    QObject::connect(&m_timer, &QTimer::timeout, this, [this] { Tick(); });
}

void TScopeWidget::Arm() {
    if (!m_timer.isActive()) m_timer.start();
}

void TScopeWidget::Tick() {
    m_control.ScopeTick(m_runActive && m_runActive());
    update();
}

void TScopeWidget::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const QRectF area = Area();
    const QColor screen = ToQColor(m_control.look.colour, QColor(4, 16, 8));
    painter.fillRect(area, QColor(30, 30, 30));
    const QRectF glass = area.adjusted(2, 2, -2, -2);
    QRadialGradient glow(glass.center(), std::max(glass.width(), glass.height()) * 0.7);
    glow.setColorAt(0, Blend(screen, Qt::white, 0.06));
    glow.setColorAt(1, screen);
    painter.fillRect(glass, glow);
    DrawBevel(painter, area, false, 2);
    // The graticule: faint divisions, brighter centre lines with small marks.
    const QColor grid = Blend(screen, ToQColor(m_control.look.paletteLow, QColor(0, 128, 0)), 0.6);
    painter.setPen(QPen(grid, 1, Qt::DotLine));
    for (int i = 1; i < kColumns; ++i) {
        const double x = glass.left() + glass.width() * i / kColumns;
        painter.drawLine(QPointF(x, glass.top()), QPointF(x, glass.bottom()));
    }
    for (int i = 1; i < kRows; ++i) {
        const double y = glass.top() + glass.height() * i / kRows;
        painter.drawLine(QPointF(glass.left(), y), QPointF(glass.right(), y));
    }
    painter.setPen(QPen(Blend(grid, Qt::white, 0.15), 1));
    painter.drawLine(QPointF(glass.left(), glass.center().y()),
                     QPointF(glass.right(), glass.center().y()));
    painter.drawLine(QPointF(glass.center().x(), glass.top()),
                     QPointF(glass.center().x(), glass.bottom()));
    const std::array<QColor, 4> others = {QColor(255, 220, 0), QColor(0, 200, 255),
                                          QColor(255, 80, 200), QColor(255, 255, 255)};
    painter.setClipRect(glass);
    for (size_t channel = 0; channel < m_control.scope.samples.size(); ++channel) {
        const QColor colour = channel == 0 ? ToQColor(m_control.look.paletteHigh, QColor(0, 255, 0))
                                           : others[(channel - 1) % others.size()];
        const QPolygonF line =
            TracePolygon(m_control.scope.samples[channel], glass.adjusted(1, 2, -1, -2),
                         m_control.range, m_control.scope.capacity);
        QColor halo = colour;
        halo.setAlpha(60);
        painter.setPen(QPen(halo, 3.5, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        painter.drawPolyline(line);
        painter.setPen(QPen(colour, 1.4, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        painter.drawPolyline(line);
    }
}

}  // namespace korvane::racks
