#pragma once

#include <QColor>
#include <QFont>
#include <QPainter>
#include <QRectF>
#include <QString>
#include <string>
#include <vector>

#include "racks/ui/control_look.h"

namespace korvane::racks {

// Drawing pieces the instrument widgets share: colour and font conversion, bevels, lamps,
// faces and seven-segment digits, all scaled to the rectangle they are given.

QColor ToQColor(const TRgb& colour, const QColor& whenNone = Qt::transparent);
QFont ToQFont(const TFontLook& font);
// Script values hold one byte per character; widgets show them as Latin-1.
QString Latin1(const std::string& bytes);
std::string FromLatin1(const QString& text);

QColor Blend(const QColor& a, const QColor& b, double t);
// `wanted`, unless it would hardly show on `background`: then white or black.
QColor Readable(const QColor& wanted, const QColor& background);

// A frame lit from the top left: raised (highlight top left) or sunken.
void DrawBevel(QPainter& painter, const QRectF& rect, bool raised, double width);
// A round lamp with a lens highlight; when lit it glows in `on`, otherwise shows `off`.
void DrawLamp(QPainter& painter, const QRectF& rect, const QColor& on, const QColor& off, bool lit);
// A rectangular lamp segment (level bars, power buttons).
void DrawSegment(QPainter& painter, const QRectF& rect, const QColor& colour, bool lit);
// A brushed panel face with rounded corners.
void DrawFace(QPainter& painter, const QRectF& rect, const QColor& base, double radius);
// One seven-segment digit in `cell`; unlit segments are drawn faintly in `off`.
void DrawSevenSegment(QPainter& painter, const QRectF& cell, uint8_t mask, const QColor& on,
                      const QColor& off);
// Whether scale labels fit between marks `spacing` pixels apart without touching.
bool LabelsFit(const QFont& font, const std::vector<double>& values, double spacing);
// Text fitted into a rectangle: the font shrinks until the text fits.
void DrawFittedText(QPainter& painter, const QRectF& rect, const QString& text, QFont font,
                    int flags);

}  // namespace korvane::racks
