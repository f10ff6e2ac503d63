#include "racks/ui/instrument_geometry.h"

#include <QSizeF>
#include <algorithm>
#include <cmath>
#include <numbers>

namespace korvane::racks {

namespace {

constexpr double kSwitchStart = 225;
constexpr double kSwitchSweep = -270;
constexpr double kThumbShare = 0.18;

double Clamp01(double value) { return std::clamp(value, 0.0, 1.0); }

double Radians(double degrees) { return degrees * std::numbers::pi / 180; }

}  // namespace

double ValueFraction(double value, const TRange& range) {
    const double span = range.max - range.min;
    if (!(span > 0) || std::isnan(value)) return 0;
    return Clamp01((value - range.min) / span);
}

double ValueAtFraction(double fraction, const TRange& range, bool whole) {
    const double value = range.min + Clamp01(fraction) * (range.max - range.min);
    return whole ? std::clamp(std::round(value), range.min, range.max) : value;
}

double ThumbLength(const QRectF& track, TOrientation orientation) {
    const bool horizontal = orientation == TOrientation::Horizontal;
    const double along = horizontal ? track.width() : track.height();
    const double across = horizontal ? track.height() : track.width();
    return std::max(4.0, std::min(along * kThumbShare, across * 1.2));
}

QRectF SliderThumb(const QRectF& track, TOrientation orientation, double fraction) {
    const double length = ThumbLength(track, orientation);
    fraction = Clamp01(fraction);
    if (orientation == TOrientation::Horizontal) {
        const double left = track.left() + fraction * (track.width() - length);
        return {left, track.top(), length, track.height()};
    }
    const double top = track.bottom() - length - fraction * (track.height() - length);
    return {track.left(), top, track.width(), length};
}

double SliderFractionAt(const QRectF& track, TOrientation orientation, const QPointF& point) {
    const double length = ThumbLength(track, orientation);
    if (orientation == TOrientation::Horizontal) {
        const double travel = track.width() - length;
        return travel > 0 ? Clamp01((point.x() - track.left() - length / 2) / travel) : 0;
    }
    const double travel = track.height() - length;
    return travel > 0 ? Clamp01((track.bottom() - length / 2 - point.y()) / travel) : 0;
}

double DialAngle(double fraction, double startAngle, double sweep) {
    return startAngle + Clamp01(fraction) * sweep;
}

QPointF PointOnDial(const QPointF& centre, double radius, double angle) {
    return {centre.x() + radius * std::cos(Radians(angle)),
            centre.y() - radius * std::sin(Radians(angle))};
}

std::vector<double> ScaleTicks(const TRange& range, int wanted) {
    const double span = range.max - range.min;
    if (!(span > 0) || wanted < 1) return {range.min};
    const double rough = span / wanted;
    const double magnitude = std::pow(10.0, std::floor(std::log10(rough)));
    double step = magnitude;
    for (double factor : {1.0, 2.0, 2.5, 5.0, 10.0}) {
        step = factor * magnitude;
        if (step >= rough) break;
    }
    std::vector<double> ticks;
    const double first = std::ceil(range.min / step - 1e-9) * step;
    for (double tick = first; tick <= range.max + step * 1e-9 && ticks.size() < 64; tick += step) {
        ticks.push_back(std::abs(tick) < step * 1e-9 ? 0.0 : tick);
    }
    return ticks;
}

int LitSegments(double fraction, int count) {
    return std::clamp(static_cast<int>(std::floor(Clamp01(fraction) * count + 0.5)), 0, count);
}

double SwitchAngle(int offset, int positions) {
    if (positions <= 1) return 90;
    return kSwitchStart + kSwitchSweep * offset / (positions - 1);
}

int SwitchOffsetAt(const QPointF& centre, const QPointF& point, int positions) {
    if (positions <= 1) return 0;
    const double angle =
        std::atan2(centre.y() - point.y(), point.x() - centre.x()) * 180 / std::numbers::pi;
    int best = 0;
    double bestDistance = 360;
    for (int offset = 0; offset < positions; ++offset) {
        double distance = std::fmod(std::abs(SwitchAngle(offset, positions) - angle), 360.0);
        distance = std::min(distance, 360 - distance);
        if (distance < bestDistance) {
            bestDistance = distance;
            best = offset;
        }
    }
    return best;
}

int SpinnerStepAt(const QRectF& area, TOrientation orientation, const QPointF& point) {
    if (orientation == TOrientation::Horizontal) return point.x() >= area.center().x() ? 1 : -1;
    return point.y() < area.center().y() ? 1 : -1;
}

QPolygonF TracePolygon(const std::deque<double>& samples, const QRectF& area, const TRange& range,
                       size_t capacity) {
    QPolygonF line;
    if (samples.empty() || capacity == 0) return line;
    const double step = capacity > 1 ? area.width() / static_cast<double>(capacity - 1) : 0;
    const size_t shown = std::min(samples.size(), capacity);
    const size_t skip = samples.size() - shown;
    for (size_t i = 0; i < shown; ++i) {
        const double x = area.right() - step * static_cast<double>(shown - 1 - i);
        const double y = area.bottom() - ValueFraction(samples[skip + i], range) * area.height();
        line << QPointF(x, y);
    }
    return line;
}

std::string NumericDisplayText(double value, int digits, bool leadingZero) {
    digits = std::max(digits, 1);
    if (std::isnan(value)) return std::string(static_cast<size_t>(digits), '-');
    const bool negative = value < 0;
    const auto magnitude = static_cast<long long>(std::llround(std::min(std::abs(value), 1e17)));
    std::string number = std::to_string(magnitude);
    const size_t room = static_cast<size_t>(digits) - (negative ? 1 : 0);
    if (room == 0) return "-";
    if (number.size() > room) number = number.substr(number.size() - room);
    const char pad = leadingZero ? '0' : ' ';
    std::string text(room - number.size(), pad);
    text += number;
    if (negative) text.insert(leadingZero ? 0 : text.find_first_not_of(' '), 1, '-');
    return text;
}

int MatrixCharacters(const QSizeF& area) {
    if (!(area.height() > 0)) return 1;
    const double pitch = area.height() / 9.0;
    return std::clamp(static_cast<int>((area.width() / pitch - 1) / 6), 1, 4096);
}

}  // namespace korvane::racks
