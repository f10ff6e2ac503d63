#include "serial/serial_module.h"

#include <gtest/gtest.h>

#include <cstdlib>

#include "channel_fixture.h"
#include "tests/engine/recording_host.h"

namespace korvane::serial {
namespace {

TEST(SerialModule, MapsThePortsBindsTheRowsAndClosesEverythingAtTheEnd) {
    ASSERT_EQ(::setenv("KORVANE_PORTS", "com240=loop;com0=loop", 1), 0);
    TSerialOptions options;
    options.portEntries = {{"com241", "loop"}, {"port", "loop"}};
    options.layoutFile = testing::kTerminalLayout;
    options.portDialog = false;
    TSerialModule module(options);
    ::unsetenv("KORVANE_PORTS");
    EXPECT_EQ(module.PortMapIssues().size(), 2u);

    engine::testing::TEngineFixture engine;
    module.Bind(engine.dispatch);
    engine.host.onEvents = [] { QCoreApplication::processEvents(); };
    auto run = engine.Run(
        "openport(\"com240\", 9600, 8, \"n\", 1)\nopenport(\"com241\", 9600, 8, \"n\", 1)\n"
        "myport = \"kept\"\nsetport\n");
    EXPECT_EQ(engine.host.log, (std::vector<std::string>{"14:03:27: Port opened: com240",
                                                         "14:03:27: Port opened: com241"}));
    EXPECT_EQ(run->GetVariable("myport"), "kept");

    module.SetTerminalPosition(QPoint(5, 6));
    for (const int port : {240, 241}) module.Table().Terminal(port)->Window().show();
    module.Table().Terminal(240)->Window().move(50, 60);
    module.Table().Terminal(241)->Window().move(70, 80);
    module.CloseAll();
    EXPECT_EQ(module.Table().Terminal(240), nullptr);
    EXPECT_EQ(module.Table().Terminal(241), nullptr);
    // The last terminal to go leaves its place for the next one.
    EXPECT_EQ(module.TerminalPosition(), QPoint(70, 80));
}

}  // namespace
}  // namespace korvane::serial
