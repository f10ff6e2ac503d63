#include "workbench/ui/window_placement.h"

#include <gtest/gtest.h>

namespace korvane::workbench {
namespace {

TEST(WindowPlacement, HelperWindowsOpenBesideTheMainWindowTheFirstTime) {
    const std::vector<QRect> screens = {QRect(0, 0, 1920, 1080), QRect(1920, 0, 1280, 1024)};
    const QSize size(400, 300);
    struct TCase {
        QRect main;
        QPoint placed;
    };
    const TCase cases[] = {
        {{100, 50, 800, 600}, {908, 50}},     // right of it, tops lined up
        {{1000, 50, 900, 600}, {592, 50}},    // no room on the right: left of it
        {{0, 0, 1920, 600}, {0, 608}},        // below
        {{0, 500, 1920, 580}, {0, 192}},      // above
        {{2000, 100, 800, 600}, {2000, 708}}, // on the second screen, below
        {{100, 900, 800, 170}, {908, 780}},   // right of it, pulled up onto the screen
        {{0, 0, 1920, 1080}, {1520, 780}},    // maximised: the bottom-right corner
    };
    for (const TCase& c : cases) {
        EXPECT_EQ(PlaceHelperWindow(std::nullopt, c.main, size, screens), c.placed)
            << c.main.x() << "," << c.main.y();
        const QRect placed(c.placed, size);
        if (c.main.width() < 1920 || c.main.height() < 1080) {
            EXPECT_FALSE(placed.intersects(c.main)) << c.main.x() << "," << c.main.y();
        }
    }
    EXPECT_EQ(BesideWindow({100, 50, 800, 600}, size, {}), QPoint(908, 50));
}

TEST(WindowPlacement, RememberedHelperWindowsArePulledOntoTheScreen) {
    const std::vector<QRect> screens = {QRect(0, 0, 1920, 1080), QRect(1920, 0, 1280, 1024)};
    const QSize size(400, 300);
    const QRect main(100, 50, 800, 600);
    struct TCase {
        QPoint remembered;
        QPoint placed;
    };
    const TCase cases[] = {
        {{300, 200}, {300, 200}},      // over the main window, where the user left it
        {{2500, 900}, {2500, 724}},    // mostly on the second screen, its bottom cut off
        {{-150, 10}, {0, 10}},
        {{5000, 100}, {1520, 100}},    // on no screen: into the first
        {{100, -300}, {100, 0}},
    };
    for (const TCase& c : cases) {
        EXPECT_EQ(PlaceHelperWindow(c.remembered, main, size, screens), c.placed)
            << c.remembered.x() << "," << c.remembered.y();
    }
    EXPECT_EQ(PlaceHelperWindow(QPoint(5000, 5000), main, size, {}), QPoint(5000, 5000));
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
