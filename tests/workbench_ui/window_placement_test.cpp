#include "workbench/ui/window_placement.h"

#include <gtest/gtest.h>

namespace korvane::workbench {
namespace {

TEST(WindowPlacement, RemembereredCornerIsKeptOnlyWhenTheTitleCanBeReached) {
    const std::vector<QRect> screens = {QRect(0, 0, 1920, 1080), QRect(1920, 0, 1280, 1024)};
    const QSize size(212, 348);
    struct TCase {
        QPoint remembered;
        QPoint placed;
    };
    const TCase cases[] = {
        {{100, 200}, {100, 200}},
        {{2500, 900}, {2500, 900}},   // on the second screen
        {{-150, 10}, {-150, 10}},     // partly off the left edge, title still reachable
        {{5000, 100}, {0, 0}},        // right of every screen
        {{100, -300}, {0, 0}},        // above
        {{100, 1070}, {0, 0}},        // below the first screen, left of the second
    };
    for (const TCase& c : cases) {
        EXPECT_EQ(KeepOnScreen(c.remembered, size, screens), c.placed) << c.remembered.x();
    }
    EXPECT_EQ(KeepOnScreen({5000, 5000}, size, {}), QPoint(5000, 5000));
}

TEST(WindowPlacement, RememberedGeometryFitsTheScreenItMostlyLiesOn) {
    const std::vector<QRect> screens = {QRect(0, 0, 1600, 1000), QRect(1600, 0, 1280, 1024)};
    struct TCase {
        QRect remembered;
        QRect placed;
    };
    const TCase cases[] = {
        {{100, 50, 800, 600}, {100, 50, 800, 600}},
        // A maximised window saved at a larger scale: shrunk to the screen.
        {{0, 0, 2400, 1472}, {0, 0, 1600, 1000}},
        {{1500, 100, 800, 600}, {1600, 100, 800, 600}},  // mostly on the second screen
        {{5000, 4000, 500, 400}, {1100, 600, 500, 400}}, // on no screen: into the first
        {{-300, -200, 500, 400}, {0, 0, 500, 400}},
    };
    for (const TCase& c : cases) {
        EXPECT_EQ(FitOnScreen(c.remembered, screens), c.placed) << c.remembered.x();
    }
    EXPECT_EQ(FitOnScreen({5, 5, 9000, 9000}, {}), QRect(5, 5, 9000, 9000));
}

TEST(WindowPlacement, ShrinkingGivesTheEditorAtLeastHalf) {
    EXPECT_EQ(EditorFirstSplit(300, 160), (std::pair{300, 160}));
    EXPECT_EQ(EditorFirstSplit(160, 160), (std::pair{160, 160}));
    EXPECT_EQ(EditorFirstSplit(45, 160), (std::pair{103, 102}));
}

}  // namespace
}  // namespace korvane::workbench
