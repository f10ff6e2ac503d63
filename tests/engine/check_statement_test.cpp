#include <gtest/gtest.h>

#include "recording_host.h"

namespace korvane::engine {
namespace {

using testing::TEngineFixture;

struct TCheckCase {
    const char* script;     // the check under test is its last line
    const char* log;        // its log line without the time ("" = none)
    const char* error;      // error afterwards (nullptr: whatever it is)
    const char* lastError;  // geterror afterwards
    int recorded;           // checks the host was told of: -1 none, 0 a FAIL, 1 a pass
};

TEST(CheckStatement, LimitsValuesAndBadCalls) {
    const TCheckCase cases[] = {
        {"check(\"vdd\", 3.31, 3.13, 3.47, \"V\")", "check vdd: 3.31 V in [3.13, 3.47]: pass", "0", "", 1},
        {"check(\"vdd\", 3.13, 3.13, 3.47, \"V\")", "check vdd: 3.13 V in [3.13, 3.47]: pass", "0", "", 1},
        {"check(\"vdd\", 3.47, 3.13, 3.47)", "check vdd: 3.47 in [3.13, 3.47]: pass", "0", "", 1},
        {"check(\"vdd\", 3.4700001, 3.13, 3.47, \"V\")", "check vdd: 3.4700001 V in [3.13, 3.47]: FAIL",
         "1", "check vdd: 3.4700001 V in [3.13, 3.47] out of limits", 0},
        {"check(\"vdd\", 3.1299, \"3.13\", \"3.47\")", "check vdd: 3.1299 in [3.13, 3.47]: FAIL", "1",
         "check vdd: 3.1299 in [3.13, 3.47] out of limits", 0},
        {"check(\"leak\", 0.001, \"\", 0.002, \"A\")", "check leak: 0.001 A in [-inf, 0.002]: pass", "0", "", 1},
        {"check(\"leak\", -1E9, \"\", \"2E-3\", \"A\")", "check leak: -1000000000 A in [-inf, 2E-3]: pass",
         "0", "", 1},
        {"check(\"temp\", 2, 3, \"\")", "check temp: 2 in [3, inf]: FAIL", "1",
         "check temp: 2 in [3, inf] out of limits", 0},
        {"check(\"any\", 1E300, \"\", \"\")", "check any: 1E300 in [-inf, inf]: pass", "0", "", 1},
        {"n = 1 + 2\ncheck(\"sum\", n, n, n)", "check sum: 3 in [3, 3]: pass", "0", "", 1},
        {"check(\"v\", \" 2.5 \", 2, 3)", "check v:  2.5  in [2, 3]: pass", "0", "", 1},
        {"check(\"v\", \"12V\", 0, 20, \"V\")", "check v: 12V V in [0, 20]: FAIL", "1",
         "check v: 12V is not a number", 0},
        {"check(\"v\", \"\", 0, 20)", "check v:  in [0, 20]: FAIL", "1", "check v:  is not a number", 0},
        {"check(\"v\", 5, \"low\", 20)", "check v: 5 in [low, 20]: FAIL", "1",
         "check v: the low limit low is not a number", 0},
        {"check(\"v\", 5, 6, 4)", "check v: 5 in [6, 4]: FAIL", "1", "check v: 5 in [6, 4] out of limits", 0},
        // A failing check before: a pass clears error, the message stays for geterror.
        {"check(\"a\", 9, 0, 1)\ncheck(\"b\", 0, 0, 1)", "check b: 0 in [0, 1]: pass", "0",
         "check a: 9 in [0, 1] out of limits", 1},
        {"check(\"v\", 1, 2, 3, \"V\", 4)", "check: expects (name, value, low, high) or (name, value, "
         "low, high, unit)", "1", "check: expects (name, value, low, high) or (name, value, low, high, "
         "unit)", -1},
        {"check(\"v\", 1, 2)", "check: expects (name, value, low, high) or (name, value, low, high, unit)",
         "1", "check: expects (name, value, low, high) or (name, value, low, high, unit)", -1},
        {"check()", "check: expects (name, value, low, high) or (name, value, low, high, unit)", "1",
         "check: expects (name, value, low, high) or (name, value, low, high, unit)", -1},
        {"check(\"\", 1, 0, 2)", "check: the name is empty", "1", "check: the name is empty", -1},
        {"check(nobody, 1, 0, 2)", "check: the name is empty", "1", "check: the name is empty", -1},
        // Statement words are case-sensitive, and check does not take over existing names.
        {"Check(\"v\", 1, 0, 2)", "", nullptr, "", -1},
        {"check = 5\nerror = check", "", "5", "", -1},
        {"procedure check\nerror = 7\nprocend\ncheck", "", "7", "", -1},
        {"procedure check(\"v\", 1, 0, 2)\nerror = 8\nprocend\ncheck(\"v\", 1, 0, 2)", "", "8", "", -1},
    };
    for (const TCheckCase& c : cases) {
        TEngineFixture fixture;
        auto run = fixture.Run(c.script);
        const std::string expectedLog = *c.log ? std::string("14:03:27: ") + c.log : "";
        EXPECT_EQ(fixture.host.log.empty() ? "" : fixture.host.log.back(), expectedLog) << c.script;
        if (c.error) {
            EXPECT_EQ(run->GetVariable("error"), c.error) << c.script;
        }
        EXPECT_EQ(run->LastErrorText(), c.lastError) << c.script;
        if (c.recorded < 0) {
            EXPECT_TRUE(fixture.host.checks.empty()) << c.script;
            continue;
        }
        ASSERT_FALSE(fixture.host.checks.empty()) << c.script;
        EXPECT_EQ(fixture.host.checks.back().passed, c.recorded == 1) << c.script;
    }
}

TEST(CheckStatement, RecordCarriesTheEvaluatedArgumentsAndTheEditorLine) {
    TEngineFixture fixture;
    fixture.Run("u = \"mA\"\n\nfor (i, 1, 2, 1)\ncheck(\"I\" & i, i * 10, \"\", 15, u)\nnext");
    ASSERT_EQ(fixture.host.checks.size(), 2u);
    const TCheckRecord& second = fixture.host.checks[1];
    EXPECT_EQ(second.name, "I2");
    EXPECT_EQ(second.value, "20");
    EXPECT_EQ(second.low, "");
    EXPECT_EQ(second.high, "15");
    EXPECT_EQ(second.unit, "mA");
    EXPECT_FALSE(second.passed);
    EXPECT_EQ(second.line, 4);
    EXPECT_TRUE(fixture.host.checks[0].passed);
    // A check never ends the run.
    fixture.Run("check(\"x\", \"no\", 0, 1)\nafter = 1\ncheck(\"y\", after, 1, 1)");
    EXPECT_TRUE(fixture.host.checks.back().passed);
}

}  // namespace
}  // namespace korvane::engine
