#include "workbench/ui/toolbar_layout.h"

#include <gtest/gtest.h>

namespace korvane::workbench {
namespace {

using enum TBarId;

TBarPlacement Docked(int row, int pos) { return {TBarStyle::Docked, row, pos, {}}; }
TBarPlacement Floating() { return {TBarStyle::Floating, 0, 0, {}}; }

TEST(ToolbarLayout, PlacementsBecomeRowsAndFloatingBars) {
    struct TCase {
        TBarPlacements placements;
        TBarArrangement expected;
    };
    const TCase cases[] = {
        // The defaults: the menu bar alone, then the button and recent bars side by side.
        {{Docked(0, 0), Docked(1, 0), Docked(1, 153)}, {{{MenuBar}, {ButtonBar, RecentBar}}, {}}},
        // Order within a row follows pos; row numbers with gaps close up.
        {{Docked(5, 0), Docked(2, 300), Docked(2, 10)}, {{{RecentBar, ButtonBar}, {MenuBar}}, {}}},
        // Equal places keep the file's order.
        {{Docked(0, 0), Docked(0, 0), Docked(0, 0)}, {{{MenuBar, ButtonBar, RecentBar}}, {}}},
        {{Docked(0, 0), Floating(), Docked(1, 153)}, {{{MenuBar}, {RecentBar}}, {ButtonBar}}},
        {{Floating(), Floating(), Floating()}, {{}, {MenuBar, ButtonBar, RecentBar}}},
    };
    for (const TCase& c : cases) EXPECT_EQ(ArrangeBars(c.placements), c.expected);
}

TEST(ToolbarLayout, GeometryGivesRowsFromTheTopAndXAsPos) {
    const TBarPlacements placements =
        PlacementsFromGeometry({TBarGeometry{false, 0, 0}, {false, 0, 26}, {false, 180, 26}});
    EXPECT_EQ(placements[0], Docked(0, 0));
    EXPECT_EQ(placements[1], Docked(1, 0));
    EXPECT_EQ(placements[2], Docked(1, 180));
}

TEST(ToolbarLayout, FloatingBarsKeepTheirScreenPlaceAndTakeNoRow) {
    const TBarPlacements placements =
        PlacementsFromGeometry({TBarGeometry{false, 0, 26}, {true, 400, 300}, {false, 90, 52}});
    EXPECT_EQ(placements[0], Docked(0, 0));
    EXPECT_EQ(placements[1].style, TBarStyle::Floating);
    EXPECT_EQ(placements[1].floating, (TPosition{400, 300}));
    EXPECT_EQ(placements[2], Docked(1, 90));
}

TEST(ToolbarLayout, WrittenPlacesArrangeTheSameWayAgain) {
    const std::array<TBarGeometry, kBarCount> seen = {
        TBarGeometry{false, 200, 0}, {false, 0, 0}, {false, 0, 30}};
    EXPECT_EQ(ArrangeBars(PlacementsFromGeometry(seen)),
              (TBarArrangement{{{ButtonBar, MenuBar}, {RecentBar}}, {}}));
}

}  // namespace
}  // namespace korvane::workbench
