#include "host/log_commands.h"

#include <gtest/gtest.h>

#include "tests/engine/recording_host.h"

namespace korvane::host {
namespace {

TEST(LogCommands, WritelogKeepsTheLogShortAndReportsAFailedAppend) {
    engine::testing::TEngineFixture engine;
    BindLogCommands(engine.dispatch);
    // Past 500 lines the log is emptied before the next line goes in.
    engine.host.log.assign(501, "old");
    engine.Run("writelog(\"new\")");
    EXPECT_EQ(engine.host.log, (std::vector<std::string>{"14:03:27, from line 1: new"}));
    engine.host.log.assign(500, "old");
    engine.Run("writelog(\"kept\")");
    EXPECT_EQ(engine.host.log.size(), 501u);

    // A line that cannot be appended sets error; the run goes on.
    engine.host.log.clear();
    engine.host.logFull = true;
    auto run = engine.Run("writelog(\"lost\")\ne = error\nt = geterror()\nafter = 1");
    EXPECT_EQ(run->GetVariable("e"), "1");
    EXPECT_EQ(run->GetVariable("t"), "writelog: unexpected argument.");
    EXPECT_EQ(run->GetVariable("after"), "1");
}

}  // namespace
}  // namespace korvane::host
