#include "workbench/script_outline.h"

#include <gtest/gtest.h>

#include "workbench/debug_stops.h"

namespace korvane::workbench {
namespace {

TEST(ScriptOutline, BreakpointLinesMoveToTheNextStatement) {
    const std::vector<std::string> lines = {"a = 1", "", "  # note", "\t", "b = 2", "#"};
    EXPECT_EQ(NextStatementLine(lines, 0), 0);
    EXPECT_EQ(NextStatementLine(lines, 1), 4);
    EXPECT_EQ(NextStatementLine(lines, 2), 4);
    EXPECT_EQ(NextStatementLine(lines, 5), -1);
    EXPECT_EQ(NextStatementLine(lines, 9), -1);
    EXPECT_EQ(NextStatementLine(lines, -3), 0);
}

TEST(ScriptOutline, BlockDepthsFollowTheBlockCheck) {
    struct TCase {
        std::vector<std::string> lines;
        std::vector<int> depths;
    };
    const TCase cases[] = {
        {{"for (i, 1, 3, 1)", "  x = i", "next"}, {0, 1, 0}},
        {{"if (a == 1)", "b = 1", "else", "b = 2", "endif", "c"}, {0, 1, 1, 1, 0, 0}},
        {{"procedure p", "repeat", "x = 1", "until (x == 1)", "procend"}, {0, 1, 2, 1, 0}},
        {{"while (1)", "wend", "wend", "x"}, {0, 0, 0, 0}},
        // Written as the block check reads them: "for(" and "Next" pair with nothing.
        {{"for(i, 1, 2, 1)", "Next"}, {0, 0}},
    };
    for (const TCase& c : cases) EXPECT_EQ(BlockDepths(c.lines), c.depths) << c.lines[0];
}

TEST(ScriptOutline, IndentRoles) {
    EXPECT_EQ(IndentRoleOf("  while (a < 3)"), TIndentRole::Opens);
    EXPECT_EQ(IndentRoleOf("repeat"), TIndentRole::Opens);
    EXPECT_EQ(IndentRoleOf("\tendif  "), TIndentRole::Closes);
    EXPECT_EQ(IndentRoleOf("until (n > 3)"), TIndentRole::Closes);
    EXPECT_EQ(IndentRoleOf("elseif (a == 2)"), TIndentRole::Branch);
    EXPECT_EQ(IndentRoleOf("else"), TIndentRole::Branch);
    EXPECT_EQ(IndentRoleOf("nextvalue = 1"), TIndentRole::None);
}

TEST(ScriptOutline, CommentToggleWorksOnTheLinesAsOne) {
    struct TCase {
        std::vector<std::string> in;
        std::vector<std::string> out;
    };
    const TCase cases[] = {
        {{"a = 1", "  b = 2", "", "\tc"}, {"# a = 1", "  # b = 2", "", "\t# c"}},
        {{"# a = 1", "  # b = 2", ""}, {"a = 1", "  b = 2", ""}},
        {{"#x", "#  y"}, {"x", " y"}},
        // One line that is no comment: the whole selection is commented again.
        {{"# a", "b"}, {"# # a", "# b"}},
        {{"s = \"# not\"\r"}, {"# s = \"# not\"\r"}},
    };
    for (const TCase& c : cases) EXPECT_EQ(ToggleComments(c.in), c.out) << c.in[0];
}

TEST(ScriptOutline, ScriptNamesAreVariablesLoopsAndProcedures) {
    const char* script =
        "counter = 0\r\nfor (idx, 1, 3, 1)\n  Total=Total+idx\nnext\nprocedure report_all\n"
        "procend\nif (counter == 1)\nendif\ncounter = 2\nwhile = 3\n# hidden = 1\n"
        "s = \"q = 1\"\n";
    EXPECT_EQ(ScriptNames(script),
              (std::vector<std::string>{"counter", "idx", "Total", "report_all", "s"}));
}

TEST(DebugStops, BreakpointsHoldAndOneTimeStopsAreUsedUp) {
    TDebugStops stops;
    stops.SetBreakpoints({4, 1, -2});
    EXPECT_FALSE(stops.ShouldStop(0));
    EXPECT_TRUE(stops.ShouldStop(1));
    EXPECT_TRUE(stops.ShouldStop(1));
    EXPECT_FALSE(stops.ShouldStop(9));
    stops.StopOnceAt(7);
    EXPECT_FALSE(stops.ShouldStop(6));
    EXPECT_TRUE(stops.ShouldStop(7));
    EXPECT_FALSE(stops.ShouldStop(7));
    stops.StopAtNextStatement();
    EXPECT_TRUE(stops.ShouldStop(2));
    EXPECT_FALSE(stops.ShouldStop(2));
    stops.StopOnceAt(3);
    stops.ClearOneTimeStop();
    EXPECT_FALSE(stops.ShouldStop(3));
    EXPECT_FALSE(stops.ShouldStop(-1));
}

}  // namespace
}  // namespace korvane::workbench
