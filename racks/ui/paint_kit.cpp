#include "racks/ui/paint_kit.h"

#include <QFontMetricsF>
#include <QLinearGradient>
#include <QPainterPath>
#include <QRadialGradient>
#include <algorithm>
#include <array>
#include <cmath>

namespace korvane::racks {

QColor ToQColor(const TRgb& colour, const QColor& whenNone) {
    if (colour.none) return whenNone;
    return QColor(colour.red, colour.green, colour.blue);
}

QFont ToQFont(const TFontLook& look) {
    QFont font(QString::fromLatin1(look.name.data(), static_cast<qsizetype>(look.name.size())));
    // Old Windows dialog faces are not on a Linux desktop; the plain sans face stands in.
    font.setStyleHint(QFont::SansSerif);
    font.setPixelSize(std::max(1, look.pixelHeight));
    font.setBold(look.bold);
    font.setItalic(look.italic);
    font.setUnderline(look.underline);
    font.setStrikeOut(look.strikeOut);
    return font;
}

QString Latin1(const std::string& bytes) {
    return QString::fromLatin1(bytes.data(), static_cast<qsizetype>(bytes.size()));
}

std::string FromLatin1(const QString& text) {
    const QByteArray bytes = text.toLatin1();
    return std::string(bytes.constData(), static_cast<size_t>(bytes.size()));
}

QColor Blend(const QColor& a, const QColor& b, double t) {
    t = std::clamp(t, 0.0, 1.0);
    return QColor::fromRgbF(static_cast<float>(a.redF() + (b.redF() - a.redF()) * t),
                            static_cast<float>(a.greenF() + (b.greenF() - a.greenF()) * t),
                            static_cast<float>(a.blueF() + (b.blueF() - a.blueF()) * t),
                            static_cast<float>(a.alphaF() + (b.alphaF() - a.alphaF()) * t));
}

QColor Readable(const QColor& wanted, const QColor& background) {
    auto luminance = [](const QColor& c) {
        return 0.299 * c.redF() + 0.587 * c.greenF() + 0.114 * c.blueF();
    };
    const double back = luminance(background);
    if (std::abs(luminance(wanted) - back) >= 0.3) return wanted;
    return back < 0.5 ? QColor(235, 235, 235) : QColor(20, 20, 20);
}

void DrawBevel(QPainter& painter, const QRectF& rect, bool raised, double width) {
    const QColor light(255, 255, 255, 150);
    const QColor dark(0, 0, 0, 150);
    const QColor topLeft = raised ? light : dark;
    const QColor bottomRight = raised ? dark : light;
    painter.save();
    painter.setPen(Qt::NoPen);
    const QRectF r = rect.adjusted(0, 0, 0, 0);
    QPainterPath upper;
    upper.moveTo(r.bottomLeft());
    upper.lineTo(r.topLeft());
    upper.lineTo(r.topRight());
    upper.lineTo(r.topRight() + QPointF(-width, width));
    upper.lineTo(r.topLeft() + QPointF(width, width));
    upper.lineTo(r.bottomLeft() + QPointF(width, -width));
    upper.closeSubpath();
    painter.fillPath(upper, topLeft);
    QPainterPath lower;
    lower.moveTo(r.bottomLeft());
    lower.lineTo(r.bottomRight());
    lower.lineTo(r.topRight());
    lower.lineTo(r.topRight() + QPointF(-width, width));
    lower.lineTo(r.bottomRight() + QPointF(-width, -width));
    lower.lineTo(r.bottomLeft() + QPointF(width, -width));
    lower.closeSubpath();
    painter.fillPath(lower, bottomRight);
    painter.restore();
}

void DrawLamp(QPainter& painter, const QRectF& rect, const QColor& on, const QColor& off,
              bool lit) {
    const double size = std::min(rect.width(), rect.height());
    if (size <= 0) return;
    const QRectF lamp(rect.center().x() - size / 2, rect.center().y() - size / 2, size, size);
    painter.save();
    painter.setPen(Qt::NoPen);
    if (lit) {  // a halo around a lit lamp
        QRadialGradient halo(lamp.center(), size * 0.5);
        QColor glow = on;
        glow.setAlpha(110);
        halo.setColorAt(0.6, glow);
        glow.setAlpha(0);
        halo.setColorAt(1.0, glow);
        painter.setBrush(halo);
        painter.drawEllipse(lamp);
    }
    const QRectF body = lamp.adjusted(size * 0.12, size * 0.12, -size * 0.12, -size * 0.12);
    painter.setBrush(QColor(20, 20, 20));
    painter.drawEllipse(body.adjusted(-size * 0.04, -size * 0.04, size * 0.04, size * 0.04));
    const QColor base = lit ? on : off;
    QRadialGradient lens(body.center() - QPointF(body.width() * 0.15, body.height() * 0.15),
                         body.width() * 0.65);
    lens.setColorAt(0.0, lit ? Blend(base, Qt::white, 0.6) : Blend(base, Qt::white, 0.25));
    lens.setColorAt(0.5, base);
    lens.setColorAt(1.0, Blend(base, Qt::black, 0.45));
    painter.setBrush(lens);
    painter.drawEllipse(body);
    const QRectF shine(body.left() + body.width() * 0.22, body.top() + body.height() * 0.12,
                       body.width() * 0.36, body.height() * 0.24);
    painter.setBrush(QColor(255, 255, 255, lit ? 150 : 70));
    painter.drawEllipse(shine);
    painter.restore();
}

void DrawSegment(QPainter& painter, const QRectF& rect, const QColor& colour, bool lit) {
    painter.save();
    painter.setPen(Qt::NoPen);
    QLinearGradient shade(rect.topLeft(), rect.bottomLeft());
    const QColor base = lit ? colour : Blend(colour, Qt::black, 0.78);
    shade.setColorAt(0, lit ? Blend(base, Qt::white, 0.35) : Blend(base, Qt::white, 0.08));
    shade.setColorAt(1, Blend(base, Qt::black, 0.2));
    painter.setBrush(shade);
    const double radius = std::min(rect.width(), rect.height()) * 0.18;
    painter.drawRoundedRect(rect, radius, radius);
    painter.restore();
}

void DrawFace(QPainter& painter, const QRectF& rect, const QColor& base, double radius) {
    painter.save();
    QLinearGradient shade(rect.topLeft(), rect.bottomLeft());
    shade.setColorAt(0, Blend(base, Qt::white, 0.18));
    shade.setColorAt(1, Blend(base, Qt::black, 0.22));
    painter.setPen(QPen(Blend(base, Qt::black, 0.55), 1));
    painter.setBrush(shade);
    painter.drawRoundedRect(rect.adjusted(0.5, 0.5, -0.5, -0.5), radius, radius);
    painter.restore();
}

void DrawSevenSegment(QPainter& painter, const QRectF& cell, uint8_t mask, const QColor& on,
                      const QColor& off) {
    const double w = cell.width();
    const double h = cell.height();
    const double t = std::max(1.0, std::min(w, h) * 0.16);  // segment thickness
    const double slant = w * 0.08;
    auto point = [&](double fx, double fy) {  // fy from 0 (top) to 1, leaning right at the top
        return QPointF(cell.left() + fx * w + (1 - fy) * slant, cell.top() + fy * h);
    };
    const double x0 = t / w * 0.6, x1 = 1 - x0 - slant / w;
    const double ym = 0.5, ty = t / h;
    // Each segment as a hexagon between two end points.
    struct TBar {
        double ax, ay, bx, by;
    };
    const std::array<TBar, 7> bars = {{
        {x0 + 0.05, ty / 2, x1 - 0.05, ty / 2},          // a
        {x1, ty, x1, ym - ty / 2},                       // b
        {x1, ym + ty / 2, x1, 1 - ty},                   // c
        {x0 + 0.05, 1 - ty / 2, x1 - 0.05, 1 - ty / 2},  // d
        {x0, ym + ty / 2, x0, 1 - ty},                   // e
        {x0, ty, x0, ym - ty / 2},                       // f
        {x0 + 0.05, ym, x1 - 0.05, ym},                  // g
    }};
    painter.save();
    painter.setPen(Qt::NoPen);
    for (size_t i = 0; i < bars.size(); ++i) {
        const TBar& bar = bars[i];
        const QPointF a = point(bar.ax, bar.ay), b = point(bar.bx, bar.by);
        const bool horizontal = bar.ay == bar.by;
        const QPointF along = horizontal ? QPointF(t / 2, 0) : QPointF(0, t / 2);
        const QPointF across = horizontal ? QPointF(0, t / 2) : QPointF(t / 2, 0);
        QPolygonF shape;
        shape << a << a + along + across << b - along + across << b << b - along - across
              << a + along - across;
        painter.setBrush((mask >> i) & 1 ? on : off);
        painter.drawPolygon(shape);
    }
    painter.restore();
}

bool LabelsFit(const QFont& font, const std::vector<double>& values, double spacing) {
    const QFontMetricsF metrics(font);
    double widest = 0;
    for (double value : values) {
        widest = std::max(widest, metrics.horizontalAdvance(QString::number(value)));
    }
    return widest + 4 <= spacing;
}

void DrawFittedText(QPainter& painter, const QRectF& rect, const QString& text, QFont font,
                    int flags) {
    if (text.isEmpty() || rect.width() <= 0 || rect.height() <= 0) return;
    for (int size = font.pixelSize(); size > 4; --size) {
        font.setPixelSize(size);
        const QFontMetricsF metrics(font);
        if (metrics.horizontalAdvance(text) <= rect.width() &&
            metrics.height() <= rect.height() + 2)
            break;
    }
    painter.save();
    painter.setFont(font);
    painter.drawText(rect, flags, text);
    painter.restore();
}

}  // namespace korvane::racks
