#include "host/window_commands.h"

#include <gtest/gtest.h>

#include "host/window_actions.h"
#include "tests/engine/recording_host.h"

namespace korvane::host {
namespace {

struct TWindowRecorder : TWindowActions {
    int shown = 0;
    int hidden = 0;
    void ShowMain() override { ++shown; }
    void HideMain() override { ++hidden; }
};

TEST(WindowCommands, ShowAndHideTheMainWindow) {
    const struct {
        const char* script;
        bool standalone;
        int shown;
        int hidden;
    } cases[] = {
        {"error = 7\nshowmain(1) and more\nx = error", false, 1, 0},
        {"hidemain", false, 0, 0},  // the script never mentions openrack
        {"hidemain(2)\n# openrack is mentioned here", false, 0, 1},
        {"hidemain\n# openrack", true, 0, 0},
        {"showmain", true, 0, 0},
    };
    for (const auto& c : cases) {
        engine::testing::TEngineFixture engine;
        engine.host.standalone = c.standalone;
        TWindowRecorder window;
        BindWindowCommands(engine.dispatch, window);
        auto run = engine.Run(c.script);
        EXPECT_EQ(window.shown, c.shown) << c.script;
        EXPECT_EQ(window.hidden, c.hidden) << c.script;
        EXPECT_TRUE(engine.host.log.empty()) << c.script;
        EXPECT_NE(run->GetVariable("error"), "1") << c.script;
    }
}

}  // namespace
}  // namespace korvane::host
