#include <gtest/gtest.h>

#include <utility>

#include "engine/errors.h"
#include "recording_host.h"

namespace korvane::engine {
namespace {

using testing::TEngineFixture;

// Runs a script and returns the text the script collected in variable "t".
std::string Trace(const std::string& script) {
    TEngineFixture fixture;
    return fixture.Run(script)->GetVariable("t");
}

TEST(ForLoop, ValuesCountsAndFinalValue) {
    struct Case {
        const char* header;
        const char* trace;
    };
    const Case cases[] = {
        {"for (i, 1, 3, 1)", ",1,2,3|3"},
        {"for (i, 10, 1, -3)", ",10,7,4,1|1"},
        {"for (i, 1, 10, 4)", ",1,5,9|9"},
        {"for (i, 5, 5, 1)", ",5|5"},
        {"for (i, 5, 5, -1)", ",5|5"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(Trace(std::string(c.header) + "\nt = t & \",\" & i\nnext\nt = t & \"|\" & i"),
                  c.trace)
            << c.header;
    }
}

TEST(ForLoop, VariableIsRestoredBeforeEveryBodyLine) {
    EXPECT_EQ(Trace("for (i, 1, 3, 1)\ni = 100\nt = t & i\nnext"), "123");
}

// A sign is an operator on the empty-name variable, which a bare function line fills (10 here).
TEST(ForLoop, SignedBoundsAreExpressions) {
    EXPECT_EQ(Trace("len(\"abcdefghij\")\nfor (i, 1, +3, 4)\nt = t & i & \",\"\nnext"),
              "1,5,9,13,");
    EXPECT_EQ(Trace("for (i, -2, 0, 1)\nt = t & i\nnext"), "-2-10");
}

TEST(ForLoop, BoundsAreEvaluatedAgainEveryIteration) {
    EXPECT_EQ(Trace("n = 2\nfor (i, 1, n, 1)\nt = t & i\nn = 4\nnext"), "1234");
}

TEST(ForLoop, ZeroStepIsFatal) {
    TEngineFixture fixture;
    EXPECT_THROW(fixture.Run("for (i, 1, 3, 0)\nnext"), EFatalError);
    try {
        fixture.Run("for (i, 1, 3, 0)\nnext");
    } catch (const EFatalError& error) {
        EXPECT_STREQ(error.what(), "Division by zero");
    }
    try {
        fixture.Run("for (i, 1, 2.5, 1)\nnext");
        FAIL() << "a fractional bound must be fatal";
    } catch (const EFatalError& error) {
        EXPECT_STREQ(error.what(), "'2.5' is not a valid integer value");
    }
}

TEST(ForLoop, UnusableHeaderRunsTheBodyOnceAsOrdinaryLines) {
    EXPECT_EQ(Trace("for (i, 3, 1, 1)\nt = t & \"body\"\nnext\nt = t & \"after\""), "bodyafter");
    EXPECT_EQ(Trace("for(i, 1, 3, 1)\nt = t & \"x\"\nnext"), "x");
}

TEST(IfBlock, ExactlyOneBranchRuns) {
    const std::string block =
        "if (a == 1)\nt = \"one\"\nelseif (a == 2)\nt = \"two\"\nelseif (a == 3)\nt = \"three\"\n"
        "else\nt = \"other\"\nendif\nt = t & \".\"";
    EXPECT_EQ(Trace("a = 1\n" + block), "one.");
    EXPECT_EQ(Trace("a = 2\n" + block), "two.");
    EXPECT_EQ(Trace("a = 3\n" + block), "three.");
    EXPECT_EQ(Trace("a = 4\n" + block), "other.");
}

TEST(IfBlock, NestedBlocksArePassedOverWhole) {
    EXPECT_EQ(Trace("a = 1\nif (a == 1)\nt = \"T\"\nelse\nif (a == 1)\nt = \"nested\"\nelse\n"
                    "t = \"x\"\nendif\nendif\nt = t & \"!\""),
              "T!");
    EXPECT_EQ(Trace("if (a == 1)\nif (1 == 1)\nt = \"wrong\"\nendif\nelse\nt = \"else\"\nendif"),
              "else");
    EXPECT_EQ(Trace("if (1 == 2)\nt = \"no\"\nendif\nt = t & \"end\""), "end");
}

TEST(WhileLoop, FalseConditionSkipsNestedLoops) {
    EXPECT_EQ(Trace("while (1 == 2)\nwhile (1 == 1)\nt = \"bad\"\nwend\nwend\nt = t & \"ok\""), "ok");
    EXPECT_EQ(Trace("i = 0\nwhile (i << 3)\ni = i + 1\nt = t & i\nwend"), "123");
}

TEST(Break, EndsTheInnermostLoopSkippingNestedBlocks) {
    EXPECT_EQ(Trace("i = 0\nwhile (i << 10)\ni = i + 1\nif (i == 3)\nbreak\nendif\n"
                    "for (j, 1, 2, 1)\nt = t & j\nnext\nt = t & \";\"\nwend\nt = t & \"|\" & i"),
              "12;12;|3");
    EXPECT_EQ(Trace("for (i, 1, 5, 1)\nt = t & i\nif (i == 2)\nbreak\nendif\nnext\nt = t & \"end\""),
              "12end");
}

TEST(Break, OutsideALoopStopsEverythingAfterIt) {
    EXPECT_EQ(Trace("t = \"a\"\nbreak\nt = \"b\""), "a");
}

TEST(RepeatLoop, RunsAtLeastOnce) {
    EXPECT_EQ(Trace("repeat\nt = t & \"x\"\nuntil (1 == 1)"), "x");
    EXPECT_EQ(Trace("i = 0\nrepeat\ni = i + 1\nt = t & i\nuntil (i == 3)"), "123");
}

TEST(Procedures, CallRecursionAndExit) {
    EXPECT_EQ(Trace("greet\ngreet\nprocedure greet\nt = t & \"hi\"\nprocend"), "hihi");
    EXPECT_EQ(Trace("n = 3\ndown\nt = t & \"|\"\nprocedure down\nt = t & n\nn = n - 1\n"
                    "if (n >> 0)\ndown\nendif\nt = t & \"<\"\nprocend"),
              "321<<<|");
    EXPECT_EQ(Trace("n = 3\nrec\nt = t & \"|\" & n\nprocedure rec\nn = n - 1\nif (n == 1)\nexit\n"
                    "endif\nrec\nt = t & \"back\"\nprocend"),
              "back|1");
    // Names compare without regard to case; an indented definition is not found.
    EXPECT_EQ(Trace("GREET\nprocedure greet\nt = \"hi\"\nprocend"), "hi");
    EXPECT_EQ(Trace("greet\n  procedure greet\nt = \"hi\"\nprocend\nt = t & \"!\""), "!");
}

TEST(Procedures, RunawayRecursionIsAStackOverflowNotACrash) {
    TEngineFixture fixture;
    try {
        fixture.Run("loop\nprocedure loop\nloop\nprocend");
        FAIL() << "expected a fatal error";
    } catch (const EFatalError& error) {
        EXPECT_STREQ(error.what(), "Stack overflow");
    }
}

TEST(Blocks, RunningOffTheEndEndsSilently) {
    TEngineFixture fixture;
    auto run = fixture.Run("t = 1\nwhile (1 == 1)\nt = t + 1");
    EXPECT_EQ(run->GetVariable("t"), "2");
}

// Block words are whole lines: a variable whose name starts like one is a body line.
TEST(Blocks, NamesThatBeginLikeBlockWordsAreBodyLines) {
    const std::pair<const char*, const char*> cases[] = {
        {"for (i, 1, 3, 1)\nnextval = i\nt = t & nextval\nnext", "123"},
        {"for (i, 1, 2, 1)\nfortune = i\nt = t & fortune\nnext", "12"},
        {"if (1 == 2)\niffy = 1\nendif\nt = \"after\"", "after"},
        {"if (1 == 2)\nendifx = 1\nelsewhere = 1\nelseifs = 1\nt = \"no\"\nelse\nt = \"else\"\n"
         "endif",
         "else"},
        {"if (1 == 1)\nelsewhere = 1\nendifx = 2\nt = elsewhere & endifx\nelse\nt = \"no\"\n"
         "endif",
         "12"},
        {"n = 0\nwhile (n << 3)\nwendy = n\nn = n + 1\nt = t & wendy\nwend", "012"},
        {"while (1 == 2)\nwhiled = 1\nwend\nt = \"after\"", "after"},
        {"n = 0\nrepeat\nuntilx = 1\nrepeats = 2\nn = n + 1\nt = t & n\nuntil (n == 3)", "123"},
        {"for (i, 1, 3, 1)\nbreaker = 1\nexiting = 2\nt = t & i\nnext", "123"},
        {"p\np\nprocedure p\nprocendx = 1\nexiting = 1\nt = t & \"p\"\nprocend", "pp"},
        {"procedures = 1\nt = procedures", "1"},
    };
    for (const auto& [script, expected] : cases) {
        EXPECT_EQ(Trace(script), expected) << script;
    }
}

TEST(Program, EndLineEndsTheRunOnlyAtTopLevelAndExactCase) {
    EXPECT_EQ(Trace("t = 1\nend\nt = 2"), "1");
    EXPECT_EQ(Trace("t = 1\nEnd\nt = 2"), "2");
}

}  // namespace
}  // namespace korvane::engine
