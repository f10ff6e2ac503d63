#include "racks/ui/dial_widgets.h"

#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>
#include <algorithm>
#include <cmath>
#include <numbers>

#include "engine/number_text.h"
#include "racks/ui/instrument_geometry.h"
#include "racks/ui/paint_kit.h"

namespace korvane::racks {

// One scale: its centre, radius and arc, and the colours it is drawn in.
struct TDialWidget::TDial {
    QPointF centre;
    double radius = 0;
    double start = 0;
    double sweep = 0;
    QColor ink;
    QColor needle;
    double labelSize = 0.15;   // label height, as a share of the radius
    double labelRadius = 0.7;  // where the labels sit
};

void TDialWidget::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    if (m_control.Class() == TControlClass::Meter) {
        PaintPanelMeter(painter);
    } else {
        PaintGauge(painter);
    }
}

void TDialWidget::PaintScale(QPainter& painter, const TDial& dial) {
    const TRange& range = m_control.range;
    const std::vector<double> ticks = ScaleTicks(range, 5);
    // Minor marks between the labelled ones.
    painter.setPen(QPen(dial.ink, std::max(1.0, dial.radius / 90)));
    const int minor = 5;
    for (size_t i = 0; i + 1 < ticks.size(); ++i) {
        for (int k = 1; k < minor; ++k) {
            const double v = ticks[i] + (ticks[i + 1] - ticks[i]) * k / minor;
            const double a = DialAngle(ValueFraction(v, range), dial.start, dial.sweep);
            painter.drawLine(PointOnDial(dial.centre, dial.radius * 0.93, a),
                             PointOnDial(dial.centre, dial.radius, a));
        }
    }
    // The arc itself and the labelled marks.
    painter.setPen(QPen(dial.ink, std::max(1.0, dial.radius / 60), Qt::SolidLine, Qt::FlatCap));
    const QRectF circle(dial.centre.x() - dial.radius, dial.centre.y() - dial.radius,
                        dial.radius * 2, dial.radius * 2);
    painter.drawArc(circle, static_cast<int>(dial.start * 16), static_cast<int>(dial.sweep * 16));
    QFont face = font();
    face.setPixelSize(std::max(6, static_cast<int>(dial.radius * dial.labelSize)));
    painter.setFont(face);
    // The labels' room: the arc between two labelled marks.
    const double arc = dial.radius * dial.labelRadius * std::abs(dial.sweep) * std::numbers::pi /
                       180 / std::max<double>(1, static_cast<double>(ticks.size()) - 1);
    const bool labelled = LabelsFit(face, ticks, arc);
    for (double tick : ticks) {
        const double a = DialAngle(ValueFraction(tick, range), dial.start, dial.sweep);
        painter.drawLine(PointOnDial(dial.centre, dial.radius * 0.86, a),
                         PointOnDial(dial.centre, dial.radius, a));
        if (!labelled) continue;
        const QPointF at = PointOnDial(dial.centre, dial.radius * dial.labelRadius, a);
        const double box = dial.radius * 0.5;
        painter.drawText(QRectF(at.x() - box / 2, at.y() - box / 4, box, box / 2), Qt::AlignCenter,
                         QString::fromStdString(engine::FormatNumber(tick)));
    }
}

void TDialWidget::PaintNeedle(QPainter& painter, const TDial& dial) {
    const double fraction = ValueFraction(m_control.State().value, m_control.range);
    const double angle = DialAngle(fraction, dial.start, dial.sweep);
    const QPointF tip = PointOnDial(dial.centre, dial.radius * 0.97, angle);
    const QPointF tail = PointOnDial(dial.centre, dial.radius * 0.12, angle + 180);
    painter.setPen(
        QPen(QColor(0, 0, 0, 60), std::max(1.5, dial.radius / 40), Qt::SolidLine, Qt::RoundCap));
    painter.drawLine(tail + QPointF(1.5, 1.5), tip + QPointF(1.5, 1.5));
    painter.setPen(QPen(dial.needle, std::max(1.2, dial.radius / 45), Qt::SolidLine, Qt::RoundCap));
    painter.drawLine(tail, tip);
}

void TDialWidget::PaintPanelMeter(QPainter& painter) {
    const QRectF area = Area();
    painter.fillRect(area, QColor(25, 25, 25));
    const QRectF face = area.adjusted(3, 3, -3, -3);
    const QColor paper = ToQColor(m_control.look.colour, QColor(244, 240, 224));
    DrawFace(painter, face, paper, 2);
    DrawBevel(painter, area, true, 2);
    TDial dial;
    dial.start = 135;
    dial.sweep = -90;
    // The pivot sits at the bottom edge, the arc's top just under the face's top.
    dial.radius = std::min(face.width() * 0.62, face.height() * 1.05);
    dial.centre = QPointF(face.center().x(), face.top() + face.height() * 0.1 + dial.radius);
    dial.labelSize = 0.11;
    dial.labelRadius = 0.76;
    dial.ink = Readable(ToQColor(m_control.look.font.colour, Qt::black), paper);
    dial.needle = ToQColor(m_control.look.paletteHigh, QColor(192, 0, 0));
    painter.save();
    painter.setClipRect(face);
    // A red band over the last fifth of the scale, as on a panel meter's overload zone.
    const QRectF band(dial.centre.x() - dial.radius * 0.99, dial.centre.y() - dial.radius * 0.99,
                      dial.radius * 1.98, dial.radius * 1.98);
    painter.setPen(
        QPen(QColor(200, 40, 40), std::max(2.0, dial.radius / 18), Qt::SolidLine, Qt::FlatCap));
    painter.drawArc(band, static_cast<int>((dial.start + dial.sweep * 0.8) * 16),
                    static_cast<int>(dial.sweep * 0.2 * 16));
    PaintScale(painter, dial);
    painter.setPen(dial.ink);
    const QRectF captionArea(face.left(), dial.centre.y() - dial.radius * 0.5, face.width(),
                             dial.radius * 0.16);
    DrawFittedText(painter, captionArea, Latin1(m_control.look.caption), font(), Qt::AlignCenter);
    PaintNeedle(painter, dial);
    painter.restore();
    // The pivot's cover at the bottom edge.
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(40, 40, 40));
    painter.drawRect(QRectF(face.left(), face.bottom() - face.height() * 0.12, face.width(),
                            face.height() * 0.12));
}

void TDialWidget::PaintGauge(QPainter& painter) {
    const QRectF area = Area();
    const double size = std::min(area.width(), area.height()) - 2;
    const QRectF rim(area.center().x() - size / 2, area.center().y() - size / 2, size, size);
    QRadialGradient bezel(rim.center(), size / 2);
    bezel.setColorAt(0.85, QColor(70, 70, 70));
    bezel.setColorAt(0.95, QColor(180, 180, 180));
    bezel.setColorAt(1.0, QColor(40, 40, 40));
    painter.setPen(Qt::NoPen);
    painter.setBrush(bezel);
    painter.drawEllipse(rim);
    const QColor faceColour = ToQColor(m_control.look.colour, QColor(15, 15, 15));
    const QRectF face = rim.adjusted(size * 0.07, size * 0.07, -size * 0.07, -size * 0.07);
    QRadialGradient shade(face.center() - QPointF(0, face.height() * 0.2), face.width() * 0.7);
    shade.setColorAt(0, Blend(faceColour, Qt::white, 0.12));
    shade.setColorAt(1, Blend(faceColour, Qt::black, 0.3));
    painter.setBrush(shade);
    painter.drawEllipse(face);
    TDial dial;
    dial.start = 225;
    dial.sweep = -270;
    dial.centre = face.center();
    dial.radius = face.width() * 0.44;
    dial.labelSize = 0.19;
    dial.ink = Readable(ToQColor(m_control.look.font.colour, Qt::white), faceColour);
    dial.needle = ToQColor(m_control.look.paletteHigh, QColor(255, 80, 0));
    PaintScale(painter, dial);
    painter.setPen(dial.ink);
    const double value = m_control.State().value;
    const QString readout =
        std::isnan(value) ? QStringLiteral("--") : QString::number(value, 'f', 1);
    QFont big = font();
    big.setPixelSize(std::max(6, static_cast<int>(dial.radius * 0.22)));
    DrawFittedText(painter,
                   QRectF(dial.centre.x() - dial.radius * 0.5, dial.centre.y() + dial.radius * 0.5,
                          dial.radius, dial.radius * 0.3),
                   readout, big, Qt::AlignCenter);
    DrawFittedText(painter,
                   QRectF(dial.centre.x() - dial.radius * 0.5, dial.centre.y() + dial.radius * 0.22,
                          dial.radius, dial.radius * 0.2),
                   Latin1(m_control.look.caption), font(), Qt::AlignCenter);
    PaintNeedle(painter, dial);
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(90, 90, 90));
    painter.drawEllipse(dial.centre, dial.radius * 0.08, dial.radius * 0.08);
}

}  // namespace korvane::racks
