#include "racks/ui/bar_widgets.h"

#include <QPainter>
#include <algorithm>
#include <cmath>

#include "engine/number_text.h"
#include "racks/ui/instrument_geometry.h"
#include "racks/ui/paint_kit.h"

namespace korvane::racks {

namespace {

constexpr double kAmberFrom = 0.8;
constexpr double kRedFrom = 0.92;

QColor ZoneColour(double fraction, const QColor& normal) {
    if (fraction >= kRedFrom) return QColor(255, 40, 30);
    if (fraction >= kAmberFrom) return QColor(255, 190, 0);
    return normal;
}

}  // namespace

void TLevelBarWidget::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const QRectF area = Area();
    painter.fillRect(area, ToQColor(m_control.look.colour, QColor(10, 10, 10)));
    DrawBevel(painter, area, false, 1);
    const bool horizontal = m_control.look.orientation == TOrientation::Horizontal;
    const QRectF inner = area.adjusted(3, 3, -3, -3);
    const double along = horizontal ? inner.width() : inner.height();
    const double across = horizontal ? inner.height() : inner.width();
    // Segments about half as long as the bar is thick, at least three pixels each and at
    // least ten to a bar.
    const double length = std::max(3.0, std::min(across * 0.5, along / 10));
    const int count = std::clamp(static_cast<int>(along / length), 1, 200);
    const double pitch = along / count;
    const double gap = std::max(1.0, pitch * 0.2);
    const int lit = LitSegments(ValueFraction(m_control.State().value, m_control.range), count);
    const QColor normal = ToQColor(m_control.look.paletteHigh, QColor(0, 255, 0));
    for (int i = 0; i < count; ++i) {
        const double f = (i + 0.5) / count;
        const QRectF segment =
            horizontal ? QRectF(inner.left() + i * pitch, inner.top(), pitch - gap, inner.height())
                       : QRectF(inner.left(), inner.bottom() - (i + 1) * pitch + gap, inner.width(),
                                pitch - gap);
        DrawSegment(painter, segment, ZoneColour(f, normal), i < lit);
    }
}

void TPowerMeterWidget::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const QRectF area = Area();
    const QColor back = ToQColor(m_control.look.colour, QColor(12, 12, 12));
    DrawFace(painter, area, back, 3);
    const QColor ink = Readable(ToQColor(m_control.look.font.colour, Qt::white), back);
    const double value = m_control.State().value;
    const double fraction = ValueFraction(value, m_control.range);
    // Readout at the right, bar and scale in the rest.
    const QRectF readout(area.right() - area.width() * 0.26, area.top() + 2,
                         area.width() * 0.26 - 4, area.height() - 4);
    const QRectF bar(area.left() + 6, area.top() + area.height() * 0.18,
                     readout.left() - area.left() - 12, area.height() * 0.3);
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(0, 0, 0));
    painter.drawRoundedRect(bar.adjusted(-1, -1, 1, 1), 2, 2);
    QLinearGradient fill(bar.topLeft(), bar.topRight());
    fill.setColorAt(0, ToQColor(m_control.look.paletteLow, QColor(0, 64, 0)));
    fill.setColorAt(1, ToQColor(m_control.look.paletteHigh, QColor(0, 255, 0)));
    painter.setBrush(fill);
    painter.drawRoundedRect(QRectF(bar.left(), bar.top(), bar.width() * fraction, bar.height()), 2,
                            2);
    painter.setPen(QPen(ink, 1));
    QFont small = font();
    small.setPixelSize(
        std::max(6, std::min(font().pixelSize(), static_cast<int>(area.height() * 0.28))));
    painter.setFont(small);
    const std::vector<double> ticks = ScaleTicks(m_control.range, 4);
    const double spacing =
        ticks.size() > 1 ? bar.width() / static_cast<double>(ticks.size() - 1) : bar.width();
    const bool labelled = LabelsFit(small, ticks, spacing);
    for (double tick : ticks) {
        const double x = bar.left() + ValueFraction(tick, m_control.range) * bar.width();
        painter.drawLine(QPointF(x, bar.bottom() + 2), QPointF(x, bar.bottom() + 5));
        if (!labelled) continue;
        painter.drawText(QRectF(x - 25, bar.bottom() + 5, 50, area.bottom() - bar.bottom() - 5),
                         Qt::AlignHCenter | Qt::AlignTop,
                         QString::fromStdString(engine::FormatNumber(tick)));
    }
    const QString text = std::isnan(value) ? QStringLiteral("--") : QString::number(value, 'f', 1);
    QFont big = font();
    big.setPixelSize(std::max(6, static_cast<int>(area.height() * 0.45)));
    big.setBold(true);
    painter.setPen(ToQColor(m_control.look.paletteHigh, ink));
    DrawFittedText(painter, readout.adjusted(0, 0, 0, -readout.height() * 0.3), text, big,
                   Qt::AlignRight | Qt::AlignVCenter);
    painter.setPen(ink);
    DrawFittedText(painter, readout.adjusted(0, readout.height() * 0.7, 0, 0),
                   Latin1(m_control.look.caption), small, Qt::AlignRight | Qt::AlignVCenter);
}

}  // namespace korvane::racks
