#include "tools/toolkit_handoff.h"

#include <gtest/gtest.h>

#include <string>

#include "engine/builtins.h"
#include "engine/dispatch.h"
#include "tools/console_host.h"
#include "tools/plain_modules.h"

namespace korvane::tools {
namespace {

// The runner without windows must hand over every script that names a row it leaves
// unbound, however the name is written, and keep the rest.
TEST(ToolkitHandoff, ScriptsNamingUnboundRowsAreHandedOver) {
    engine::TDispatch dispatch;
    engine::BindEngine(dispatch);
    TConsoleHost host(std::nullopt, "");
    TPlainModules modules;
    modules.BindCommands(dispatch, host);
    const struct {
        std::string script;
        bool handedOver;
    } rows[] = {
        {"x = 1\nwritelog(x)\n", false},
        {"s = mid(\"abc\", 1, 2) & len(\"a\")\r\nfcreate(\"out.txt\")\r\n", false},
        {"tcp_open(\"localhost\", 5025)\nv = tcp_read()\ncheck(v == \"\")\n", false},
        {"procedure go\nendproc\ngo\n", false},
        {"tcp_flush()\ntcp_srv_flush()\nmyreceive = 1\n", false},
        {"x = 1\nflush(\"com1\")\n", true},
        {"x = 1\r\nFlush (\"com1\")\r\n", true},
        {"x = 2 + getdsr(\"com1\")\n", true},
        {"openport(\"com1\", 9600)\n", true},
        {"OPEN PORT (\"com1\", 9600)\n", true},
        {"v = Receive (\"com1\")\n", true},
        {"if (getcts(\"com1\") == 1)\nendif\n", true},
        {"x = 1\r\nSetPort\r\n", true},
        {"openrack(\"panel.res\")\n", true},
        {"exec(\"ls\")\n", true},
        {"e = enumports()\n", true},
        // A name inside a text counts too: a slower start, never a lost command.
        {"writelog(\"send(\")\n", true},
    };
    for (const auto& row : rows) {
        EXPECT_EQ(UsesUnboundRows(row.script, dispatch), row.handedOver) << row.script;
    }
}

}  // namespace
}  // namespace korvane::tools
