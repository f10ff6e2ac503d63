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

}  // namespace
}  // namespace korvane::workbench
