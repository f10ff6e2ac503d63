// The widgets' value-to-geometry maths.
#include "racks/ui/instrument_geometry.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "racks/ui/glyph_tables.h"

namespace korvane::racks {
namespace {

TEST(InstrumentGeometry, ValueFractionAndBack) {
    struct TCase {
        double value;
        TRange range;
        double fraction;
    };
    const TCase cases[] = {
        {0, {0, 100}, 0},
        {50, {0, 100}, 0.5},
        {100, {0, 100}, 1},
        {150, {0, 100}, 1},
        {-5, {0, 100}, 0},
        {15, {10, 20}, 0.5},
        {3, {3, 3}, 0},
        {-25, {-50, 50}, 0.25},
        {std::numeric_limits<double>::quiet_NaN(), {0, 10}, 0},
    };
    for (const TCase& c : cases) {
        EXPECT_DOUBLE_EQ(ValueFraction(c.value, c.range), c.fraction) << c.value;
    }
    EXPECT_EQ(ValueAtFraction(0.333, {0, 10}, true), 3);
    EXPECT_DOUBLE_EQ(ValueAtFraction(0.25, {0, 10}, false), 2.5);
    EXPECT_EQ(ValueAtFraction(1.7, {-5, 5}, true), 5);
}

TEST(InstrumentGeometry, SliderThumbFollowsThePointerBothWays) {
    const QRectF track(10, 20, 200, 30);
    for (TOrientation o : {TOrientation::Horizontal, TOrientation::Vertical}) {
        const QRectF area = o == TOrientation::Horizontal ? track : track.transposed();
        for (double f : {0.0, 0.2, 0.5, 0.9, 1.0}) {
            const QRectF thumb = SliderThumb(area, o, f);
            EXPECT_TRUE(area.contains(thumb)) << f;
            EXPECT_NEAR(SliderFractionAt(area, o, thumb.center()), f, 1e-9) << f;
        }
    }
    // The maximum is at the right of a horizontal and at the top of a vertical slider.
    EXPECT_GT(SliderThumb(track, TOrientation::Horizontal, 1).left(),
              SliderThumb(track, TOrientation::Horizontal, 0).left());
    EXPECT_LT(SliderThumb(track.transposed(), TOrientation::Vertical, 1).top(),
              SliderThumb(track.transposed(), TOrientation::Vertical, 0).top());
    EXPECT_EQ(SliderFractionAt(track, TOrientation::Horizontal, {-100, 0}), 0);
    EXPECT_EQ(SliderFractionAt(track, TOrientation::Horizontal, {900, 0}), 1);
}

TEST(InstrumentGeometry, DialAnglesAndPoints) {
    EXPECT_DOUBLE_EQ(DialAngle(0, 225, -270), 225);
    EXPECT_DOUBLE_EQ(DialAngle(0.5, 225, -270), 90);
    EXPECT_DOUBLE_EQ(DialAngle(2, 135, -90), 45);
    const QPointF up = PointOnDial({50, 50}, 10, 90);
    EXPECT_NEAR(up.x(), 50, 1e-9);
    EXPECT_NEAR(up.y(), 40, 1e-9);  // up on screen is a smaller y
    const QPointF right = PointOnDial({50, 50}, 10, 0);
    EXPECT_NEAR(right.x(), 60, 1e-9);
}

TEST(InstrumentGeometry, ScaleTicksAreRoundSteps) {
    EXPECT_EQ(ScaleTicks({0, 100}, 5), (std::vector<double>{0, 20, 40, 60, 80, 100}));
    EXPECT_EQ(ScaleTicks({0, 60}, 5), (std::vector<double>{0, 20, 40, 60}));
    EXPECT_EQ(ScaleTicks({10, 20}, 5), (std::vector<double>{10, 12, 14, 16, 18, 20}));
    EXPECT_EQ(ScaleTicks({-5, 5}, 4), (std::vector<double>{-5, -2.5, 0, 2.5, 5}));
    EXPECT_EQ(ScaleTicks({7, 7}, 5), (std::vector<double>{7}));
    EXPECT_LE(ScaleTicks({0, 1e300}, 5).size(), 64u);
}

TEST(InstrumentGeometry, LitSegments) {
    EXPECT_EQ(LitSegments(0, 10), 0);
    EXPECT_EQ(LitSegments(0.04, 10), 0);
    EXPECT_EQ(LitSegments(0.05, 10), 1);
    EXPECT_EQ(LitSegments(0.5, 10), 5);
    EXPECT_EQ(LitSegments(1, 10), 10);
    EXPECT_EQ(LitSegments(7, 10), 10);
}

TEST(InstrumentGeometry, SwitchPositionsRoundTheKnob) {
    EXPECT_DOUBLE_EQ(SwitchAngle(0, 4), 225);
    EXPECT_DOUBLE_EQ(SwitchAngle(3, 4), -45);
    EXPECT_DOUBLE_EQ(SwitchAngle(0, 1), 90);
    const QPointF centre(40, 40);
    for (int positions : {2, 4, 7, 12}) {
        for (int offset = 0; offset < positions; ++offset) {
            const QPointF mark = PointOnDial(centre, 30, SwitchAngle(offset, positions));
            EXPECT_EQ(SwitchOffsetAt(centre, mark, positions), offset) << positions;
        }
    }
    EXPECT_EQ(SwitchOffsetAt(centre, {40, 90}, 4), 0);  // straight down: nearer the first mark
}

TEST(InstrumentGeometry, SpinnerHalves) {
    const QRectF area(0, 0, 20, 40);
    EXPECT_EQ(SpinnerStepAt(area, TOrientation::Vertical, {10, 5}), 1);
    EXPECT_EQ(SpinnerStepAt(area, TOrientation::Vertical, {10, 35}), -1);
    EXPECT_EQ(SpinnerStepAt(area, TOrientation::Horizontal, {15, 5}), 1);
    EXPECT_EQ(SpinnerStepAt(area, TOrientation::Horizontal, {2, 5}), -1);
}

TEST(InstrumentGeometry, TraceEndsAtTheRightEdge) {
    const QRectF area(0, 0, 100, 50);
    const QPolygonF line = TracePolygon({0, 50, 100}, area, {0, 100}, 11);
    ASSERT_EQ(line.size(), 3);
    EXPECT_DOUBLE_EQ(line[2].x(), 100);
    EXPECT_DOUBLE_EQ(line[2].y(), 0);
    EXPECT_DOUBLE_EQ(line[1].x(), 90);
    EXPECT_DOUBLE_EQ(line[1].y(), 25);
    EXPECT_DOUBLE_EQ(line[0].y(), 50);
    // Only the newest `capacity` samples show.
    EXPECT_EQ(TracePolygon(std::deque<double>(30, 1.0), area, {0, 100}, 11).size(), 11);
    EXPECT_TRUE(TracePolygon({}, area, {0, 100}, 11).empty());
}

TEST(InstrumentGeometry, NumericDisplayText) {
    struct TCase {
        double value;
        int digits;
        bool leadingZero;
        const char* text;
    };
    const TCase cases[] = {
        {42, 4, false, "  42"},
        {42, 4, true, "0042"},
        {-42, 4, false, " -42"},
        {-42, 4, true, "-042"},
        {12345, 4, false, "2345"},
        {0, 3, false, "  0"},
        {-7, 1, false, "-"},
        {7, 1, false, "7"},
        {std::numeric_limits<double>::quiet_NaN(), 3, false, "---"},
    };
    for (const TCase& c : cases) {
        EXPECT_EQ(NumericDisplayText(c.value, c.digits, c.leadingZero), c.text) << c.value;
    }
}

TEST(InstrumentGeometry, MatrixCharactersFitTheWidth) {
    EXPECT_EQ(MatrixCharacters({55, 9}), 9);  // pitch 1: 6 dots per character plus one
    EXPECT_EQ(MatrixCharacters({254, 48}), 7);
    EXPECT_EQ(MatrixCharacters({3, 40}), 1);
    EXPECT_EQ(MatrixCharacters({100, 0}), 1);
}

TEST(GlyphTables, SegmentsAndDots) {
    EXPECT_EQ(SevenSegmentMask('8'), 0x7F);
    EXPECT_EQ(SevenSegmentMask('1'), 0x06);
    EXPECT_EQ(SevenSegmentMask('-'), 0x40);
    EXPECT_EQ(SevenSegmentMask(' '), 0);
    EXPECT_EQ(SevenSegmentMask('?'), 0);
    EXPECT_EQ(MatrixGlyph(' '), (std::array<uint8_t, 5>{0, 0, 0, 0, 0}));
    EXPECT_EQ(MatrixGlyph('I'), (std::array<uint8_t, 5>{0x00, 0x41, 0x7F, 0x41, 0x00}));
    EXPECT_EQ(MatrixGlyph('\x01'), (std::array<uint8_t, 5>{0x7F, 0x7F, 0x7F, 0x7F, 0x7F}));
    EXPECT_EQ(MatrixGlyph('\xE9')[0], 0x7F);
}

}  // namespace
}  // namespace korvane::racks
