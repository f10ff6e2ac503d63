#include "racks/ui/display_widgets.h"

#include <QPainter>
#include <algorithm>

#include "racks/ui/glyph_tables.h"
#include "racks/ui/instrument_geometry.h"
#include "racks/ui/paint_kit.h"

namespace korvane::racks {

namespace {

void PaintDisplayGlass(QPainter& painter, const QRectF& area, const QColor& back) {
    painter.fillRect(area, back);
    DrawBevel(painter, area, false, std::clamp(area.height() / 25, 1.0, 2.0));
}

QColor OffColour(const QColor& low, const QColor& back) { return Blend(back, low, 0.55); }

}  // namespace

void TNumWidget::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const QRectF area = Area();
    const QColor back = ToQColor(m_control.look.colour, Qt::black);
    PaintDisplayGlass(painter, area, back);
    const std::string text = NumericDisplayText(m_control.State().value, m_control.look.digits,
                                                m_control.look.leadingZero);
    const QRectF inner = area.adjusted(area.height() * 0.12, area.height() * 0.14,
                                       -area.height() * 0.12, -area.height() * 0.14);
    const double cellWidth =
        std::min(inner.width() / static_cast<double>(text.size()), inner.height() * 0.6);
    // Digits keep their shape: no taller than twice their width.
    const double cellHeight = std::min(inner.height(), cellWidth * 2);
    const double top = inner.top() + (inner.height() - cellHeight) / 2;
    const double left = inner.right() - cellWidth * static_cast<double>(text.size());
    const QColor on = ToQColor(m_control.look.paletteHigh, QColor(0, 255, 0));
    const QColor off = OffColour(ToQColor(m_control.look.paletteLow, QColor(0, 64, 0)), back);
    for (size_t i = 0; i < text.size(); ++i) {
        const QRectF cell(left + cellWidth * static_cast<double>(i) + cellWidth * 0.1, top,
                          cellWidth * 0.8, cellHeight);
        DrawSevenSegment(painter, cell, SevenSegmentMask(text[i]), on, off);
    }
}

void TMatrixWidget::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const QRectF area = Area();
    const QColor back = ToQColor(m_control.look.colour, Qt::black);
    PaintDisplayGlass(painter, area, back);
    const double pitch = area.height() / 9.0;
    if (pitch <= 0) return;
    const int characters = MatrixCharacters(area.size());
    const double usedWidth = (characters * 6 + 1) * pitch;
    const QPointF origin(area.left() + (area.width() - usedWidth) / 2 + pitch, area.top() + pitch);
    const std::string& text = m_control.State().text;
    const QColor on = ToQColor(m_control.look.paletteHigh, QColor(0, 255, 0));
    const QColor off = OffColour(ToQColor(m_control.look.paletteLow, QColor(0, 64, 0)), back);
    const double dot = pitch * 0.8;
    painter.setPen(Qt::NoPen);
    for (int c = 0; c < characters; ++c) {
        const char ch = static_cast<size_t>(c) < text.size() ? text[static_cast<size_t>(c)] : ' ';
        const std::array<uint8_t, 5> glyph = MatrixGlyph(ch);
        for (int column = 0; column < 5; ++column) {
            for (int row = 0; row < 7; ++row) {
                const bool lit = (glyph[static_cast<size_t>(column)] >> row) & 1;
                painter.setBrush(lit ? on : off);
                const QPointF at = origin + QPointF((c * 6 + column) * pitch, row * pitch);
                painter.drawEllipse(QRectF(at.x(), at.y(), dot, dot));
            }
        }
    }
}

}  // namespace korvane::racks
