#pragma once

#include <QPointF>
#include <QPolygonF>
#include <QRectF>
#include <deque>
#include <string>
#include <vector>

#include "racks/ui/control_look.h"
#include "racks/ui/rack_control.h"

namespace korvane::racks {

// Value-to-geometry maths of the instrument widgets, kept apart from painting so it can be
// checked on its own. Angles are in degrees, counter-clockwise from the positive x axis
// (y pointing up, as on a dial); points are in widget coordinates (y pointing down).

// Where a value lies in its range, 0..1; a NaN or an empty range gives 0.
double ValueFraction(double value, const TRange& range);
// The value at a fraction of the range, rounded to a whole number when asked.
double ValueAtFraction(double fraction, const TRange& range, bool whole);

// A slider's thumb travels along the long side of `track`; the maximum is at the right or
// the top.
double ThumbLength(const QRectF& track, TOrientation orientation);
QRectF SliderThumb(const QRectF& track, TOrientation orientation, double fraction);
double SliderFractionAt(const QRectF& track, TOrientation orientation, const QPointF& point);

// A dial's pointer angle for a fraction of a scale that starts at startAngle and turns by
// sweep (negative: clockwise).
double DialAngle(double fraction, double startAngle, double sweep);
QPointF PointOnDial(const QPointF& centre, double radius, double angle);
// The scale values to label: about `wanted` round steps between the range's ends.
std::vector<double> ScaleTicks(const TRange& range, int wanted);

// How many of `count` level segments a fraction lights.
int LitSegments(double fraction, int count);

// A rotary switch's positions spread over 270 degrees, offset 0 at the lower left; a switch
// with one position points straight up.
double SwitchAngle(int offset, int positions);
// The position nearest to where a click at `point` lands on a knob centred at `centre`.
int SwitchOffsetAt(const QPointF& centre, const QPointF& point, int positions);

// +1 for a click in a spinner's upper (or right) half, -1 for the other half.
int SpinnerStepAt(const QRectF& area, TOrientation orientation, const QPointF& point);

// The scope trace as a polyline: the newest sample at the right edge, `capacity` samples
// across the width.
QPolygonF TracePolygon(const std::deque<double>& samples, const QRectF& area, const TRange& range,
                       size_t capacity);

// The characters a numeric display shows for a value: right-aligned in `digits` places,
// blanks (or zeros with leadingZero) in front, a minus sign for negatives; a value with more
// digits than places shows its last ones.
std::string NumericDisplayText(double value, int digits, bool leadingZero);

// How many 5 x 7 characters (one dot apart, dots as far apart as the height allows: nine
// pitches) fit across a dot-matrix display; at least one.
int MatrixCharacters(const QSizeF& area);

}  // namespace korvane::racks
