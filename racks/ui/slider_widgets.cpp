#include "racks/ui/slider_widgets.h"

#include <QFontMetricsF>
#include <QMouseEvent>
#include <QPainter>
#include <QWheelEvent>
#include <algorithm>

#include "racks/ui/instrument_geometry.h"
#include "racks/ui/paint_kit.h"

namespace korvane::racks {

namespace {

bool IsHorizontal(const TRackControl& control) {
    return control.look.orientation == TOrientation::Horizontal;
}

void PaintThumb(QPainter& painter, const QRectF& thumb, bool horizontal) {
    QLinearGradient metal(thumb.topLeft(), horizontal ? thumb.topRight() : thumb.bottomLeft());
    metal.setColorAt(0, QColor(235, 235, 235));
    metal.setColorAt(0.45, QColor(170, 170, 170));
    metal.setColorAt(0.55, QColor(150, 150, 150));
    metal.setColorAt(1, QColor(95, 95, 95));
    painter.setPen(QPen(QColor(30, 30, 30), 1));
    painter.setBrush(metal);
    painter.drawRoundedRect(thumb.adjusted(0.5, 0.5, -0.5, -0.5), 2, 2);
    painter.setPen(QPen(QColor(20, 20, 20),
                        std::max(1.0, (horizontal ? thumb.width() : thumb.height()) / 10)));
    const QPointF c = thumb.center();
    if (horizontal) {
        painter.drawLine(QPointF(c.x(), thumb.top() + 2), QPointF(c.x(), thumb.bottom() - 2));
    } else {
        painter.drawLine(QPointF(thumb.left() + 2, c.y()), QPointF(thumb.right() - 2, c.y()));
    }
}

}  // namespace

TSliderWidget::TSliderWidget(TRackControl& control, QWidget* parent)
    : TControlWidget(control, parent) {
    setCursor(Qt::PointingHandCursor);
}

QRectF TSliderWidget::Track() const {
    QRectF area = Area().adjusted(2, 2, -2, -2);
    const bool horizontal = IsHorizontal(m_control);
    if (m_control.Class() == TControlClass::TrackBar) {
        // The track bar keeps room for its scale below (or right of) the groove.
        area = horizontal ? area.adjusted(0, 0, 0, -area.height() * 0.35)
                          : area.adjusted(0, 0, -area.width() * 0.35, 0);
    }
    // A slider much thicker than long would look like a wall: keep it slim and centred.
    const double along = horizontal ? area.width() : area.height();
    const double across = horizontal ? area.height() : area.width();
    const double slim = std::min(across, std::max(16.0, along * 0.3));
    const double margin = (across - slim) / 2;
    return horizontal ? area.adjusted(0, margin, 0, -margin) : area.adjusted(margin, 0, -margin, 0);
}

void TSliderWidget::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const QColor back = Colour();
    if (back.alpha() > 0) painter.fillRect(rect(), back);
    const QRectF track = Track();
    const QRectF thumb = SliderThumb(track, m_control.look.orientation,
                                     ValueFraction(m_control.State().value, m_control.range));
    if (m_control.Class() == TControlClass::TrackBar) {
        PaintTrackBar(painter, track);
    } else {
        PaintFader(painter, track, thumb);
    }
    PaintThumb(painter, thumb, IsHorizontal(m_control));
}

void TSliderWidget::PaintFader(QPainter& painter, const QRectF& track, const QRectF& thumb) {
    const bool horizontal = IsHorizontal(m_control);
    const double across = horizontal ? track.height() : track.width();
    const double groove = std::clamp(across * 0.22, 3.0, 12.0);
    const QPointF c = track.center();
    const QRectF slot = horizontal
                            ? QRectF(track.left(), c.y() - groove / 2, track.width(), groove)
                            : QRectF(c.x() - groove / 2, track.top(), groove, track.height());
    // Scale marks on both sides of the groove, ten divisions.
    painter.setPen(QPen(Blend(ToQColor(m_control.look.paletteLow), Qt::white, 0.35), 1));
    const double length = ThumbLength(track, m_control.look.orientation);
    for (int i = 0; i <= 10; ++i) {
        const double f = i / 10.0;
        const double mark = (i % 5 == 0 ? 0.42 : 0.3) * across;
        if (horizontal) {
            const double x = track.left() + length / 2 + f * (track.width() - length);
            painter.drawLine(QPointF(x, c.y() - mark), QPointF(x, c.y() - groove));
            painter.drawLine(QPointF(x, c.y() + groove), QPointF(x, c.y() + mark));
        } else {
            const double y = track.bottom() - length / 2 - f * (track.height() - length);
            painter.drawLine(QPointF(c.x() - mark, y), QPointF(c.x() - groove, y));
            painter.drawLine(QPointF(c.x() + groove, y), QPointF(c.x() + mark, y));
        }
    }
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(8, 8, 8));
    painter.drawRoundedRect(slot, groove / 2, groove / 2);
    // The groove is lit from the minimum up to the thumb.
    const QRectF lit =
        horizontal
            ? QRectF(slot.left(), slot.top(), thumb.center().x() - slot.left(), groove)
            : QRectF(slot.left(), thumb.center().y(), groove, slot.bottom() - thumb.center().y());
    DrawSegment(painter, lit.adjusted(1, 1, -1, -1), ToQColor(m_control.look.paletteHigh), true);
}

void TSliderWidget::PaintTrackBar(QPainter& painter, const QRectF& track) {
    const bool horizontal = IsHorizontal(m_control);
    const QPointF c = track.center();
    const QRectF slot = horizontal ? QRectF(track.left(), c.y() - 2, track.width(), 4)
                                   : QRectF(c.x() - 2, track.top(), 4, track.height());
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(40, 40, 40));
    painter.drawRect(slot);
    DrawBevel(painter, slot.adjusted(-1, -1, 1, 1), false, 1);
    const double length = ThumbLength(track, m_control.look.orientation);
    painter.setPen(Readable(FontColour(), Colour().alpha() > 0 ? Colour() : Qt::black));
    QFont small = font();
    small.setPixelSize(std::max(
        7,
        std::min(font().pixelSize(), static_cast<int>((horizontal ? height() : width()) * 0.22))));
    painter.setFont(small);
    const std::vector<double> ticks = ScaleTicks(m_control.range, 5);
    const double travel = (horizontal ? track.width() : track.height()) - length;
    const double spacing =
        ticks.size() > 1 ? travel / static_cast<double>(ticks.size() - 1) : travel;
    const bool labelled = horizontal ? LabelsFit(small, ticks, spacing)
                                     : QFontMetricsF(small).height() + 2 <= spacing;
    for (double tick : ticks) {
        const double f = ValueFraction(tick, m_control.range);
        if (horizontal) {
            const double x = track.left() + length / 2 + f * (track.width() - length);
            painter.drawLine(QPointF(x, track.bottom() + 1), QPointF(x, track.bottom() + 4));
            if (!labelled) continue;
            painter.drawText(QRectF(x - 30, track.bottom() + 4, 60, height() - track.bottom() - 4),
                             Qt::AlignHCenter | Qt::AlignTop, QString::number(tick));
        } else {
            const double y = track.bottom() - length / 2 - f * (track.height() - length);
            painter.drawLine(QPointF(track.right() + 1, y), QPointF(track.right() + 4, y));
            if (!labelled) continue;
            painter.drawText(QRectF(track.right() + 6, y - 10, width() - track.right() - 6, 20),
                             Qt::AlignLeft | Qt::AlignVCenter, QString::number(tick));
        }
    }
}

void TSliderWidget::MoveTo(const QPointF& point) {
    const double fraction = SliderFractionAt(Track(), m_control.look.orientation, point);
    m_control.SetValue(ValueAtFraction(fraction, m_control.range, true));
    update();
}

void TSliderWidget::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) return;
    m_dragging = true;
    MoveTo(event->position());
}

void TSliderWidget::mouseMoveEvent(QMouseEvent* event) {
    if (m_dragging) MoveTo(event->position());
}

void TSliderWidget::mouseReleaseEvent(QMouseEvent*) { m_dragging = false; }

void TSliderWidget::wheelEvent(QWheelEvent* event) {
    const int steps = event->angleDelta().y() / 120;
    if (steps == 0) return;
    m_control.SetValue(m_control.State().value + steps);
    update();
}

}  // namespace korvane::racks
