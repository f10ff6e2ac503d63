// Expressions and assignments, checked through small scripts.
#include <gtest/gtest.h>

#include "assignment_cases.h"
#include "engine/errors.h"
#include "engine/text_limit.h"

namespace korvane::engine {
namespace {

using testing::ExpectAssignments;
using testing::TEngineFixture;

TEST(Expression, LeftToRightWithoutPrecedence) {
    ExpectAssignments({
        {"x = 2+3*4", "x", "20"},
        {"x = 2+(3*4)", "x", "14"},
        {"x = 10-2-3", "x", "5"},
        {"x = 3*-2", "x", "-2"},
        {"x = -5", "x", "-5"},
        {"x = 1/4", "x", "0.25"},
        {"x = 1/3", "x", "0.333333333333333"},
        {"x = 1e3 + 0", "x", "1000"},
        {"x = ((2+3)*(1+1))", "x", "10"},
        // A step goes on from its result as its text reads; whole numbers print as digits
        // up to 15 of them, and minus zero as 0.
        {"x = 0.1+0.2-0.3", "x", "0"},
        {"x = 999999999999998 + 1", "x", "999999999999999"},
        {"x = 999999999999999 + 1", "x", "1E15"},
        {"x = 0-999999999999999", "x", "-999999999999999"},
        {"y = -1\nx = 0*y\nz = x & \"|\"", "z", "0|"},
        {"x = 2.5*2\ny = x & \"|\" & len(x)", "y", "5|1"},
    });
}

// "%", "\" and "^" split operands but compute nothing: the step keeps the result of the
// step before it, and there is none at the first step.
TEST(Expression, OperatorsWithoutAnOperation) {
    ExpectAssignments({
        {"x = 9\nx = 2%3", "x", ""},
        {"x = 9\nx = 2\\3", "x", ""},
        {"x = 9\nx = 2^3", "x", ""},
        {"x = 2%3+1", "x", "1"},
        {"x = 2^3&\"z\"", "x", "z"},
        {"x = 1+2%5", "x", "3"},
        {"x = 1+2\\5*2", "x", "6"},
        {"x = 1+2^5-1", "x", "2"},
        {"x = \"a\"&\"b\"%\"c\"&\"d\"", "x", "abd"},
        {"x = 4*5^", "x", "20"},
        {"x = 4*5%6\\7^8", "x", "20"},
        {"x = 1+1^9^9", "x", "2"},
        {"x = \"1%2\" & \"\\^\"", "x", "1%2\\^"},
    });
}

TEST(Expression, TextsJoinAndReadLeniently) {
    ExpectAssignments({
        {"x = \"a\" & \"b\" & 1", "x", "ab1"},
        {"x = \"a\" + 1", "x", "1"},
        {"x = \"5\" & \"1\"", "x", "51"},
        {"x = \"5\" + \"1\"", "x", "6"},
        {"x = \"12V\" + 0", "x", "12"},
        {"x = \"a b\" & \"-c\"", "x", "a b-c"},
        {"x = nosuch + 1", "x", "1"},
        // Counters and loop variables, stored as numbers, join on as their digits.
        {"n = 0 - 7\nx = \"a\" & N & n", "x", "a-7-7"},
        {"n = 99999999999999 * 10 + 9\nx = \"a\" & n", "x", "a999999999999999"},
        {"for (i, 0, 2, 1)\nx = x & \",\" & I\nnext", "x", ",0,1,2"},
    });
}

TEST(Expression, NumbersAreNormalisedButVariablesKeepTheirText) {
    TEngineFixture fixture;
    auto run = fixture.Run("x = 007\ns = \"007\"\ny = s + 1\nz = s\nw = 1.50");
    EXPECT_EQ(run->GetVariable("x"), "7");
    EXPECT_EQ(run->GetVariable("s"), "007");
    EXPECT_EQ(run->GetVariable("y"), "8");
    EXPECT_EQ(run->GetVariable("z"), "007");
    EXPECT_EQ(run->GetVariable("w"), "1.5");
}

TEST(Expression, FailedEvaluationLeavesTheVariableAlone) {
    ExpectAssignments({
        {"x = 5\nx = 1/0", "x", "5"},
        {"x = 5\nx = nosuchfn(1)", "x", "5"},
        {"x = 5\nx = 2)", "x", "5"},
        {"x = 5\nx = 1e308*1e308", "x", "5"},
        {"x = 5\nx = len(\"a\", \"b\")", "x", "5"},
    });
}

TEST(Expression, CallsAreEvaluatedInnermostFirst) {
    ExpectAssignments({
        {"x = len(\"abc\")*2", "x", "6"},
        {"s = \"abcdef\"\nx = mid(s,pos(\"c\",s),2)", "x", "cd"},
        {"s = \"abcdef\"\nx = mid(s,1+1,2)", "x", "bc"},
        // A group right after a comma reads as a call whose name ends at the comma.
        {"s = \"abcdef\"\nx = 9\nx = mid(s,(1+1),2)", "x", "9"},
        {"time = 5\nx = time", "x", "5"},
    });
}

TEST(Expression, AFunctionThatRefusesTheCallIsUnrecognised) {
    TEngineFixture fixture;
    fixture.dispatch.Bind(TFunction::Fread, [](TExecute&, const std::vector<std::string>&) {
        return TFunctionResult{"\"x\"", true, false};
    });
    auto run = fixture.Run("a = 1\na = fread(5)\nb = len(fread(5))");
    EXPECT_EQ(run->GetVariable("a"), "1");
    EXPECT_EQ(run->GetVariable("b"), "");
    // The expression's value is then the flat reading of the whole text.
    EXPECT_EQ(run->EvaluateExpression("fread(5)").text, "");
    EXPECT_FALSE(run->EvaluateExpression("fread(5)").ok);
}

TEST(Expression, ParenthesisedLiteralReadsAsAVariableName) {
    ExpectAssignments({
        {"abc = 4\nx = (\"abc\")", "x", "4"},
        {"x = 3\nx = (\"abc\")", "x", ""},
    });
}

TEST(Expression, LiteralsKeepTheirText) {
    ExpectAssignments({
        {"b = 7\ns = \"a (b)\"", "s", "a (b)"},
        {"t = 21\ns = \"Temp (C): \" & t", "s", "Temp (C): 21"},
        {"s = \"ROUT:CLOS (@101:105)\" & chr(10)", "s", "ROUT:CLOS (@101:105)\n"},
        {"s = \"hex (\" & tohex(\"*I\") & \")\"", "s", "hex (2A 49)"},
        {"s = \"a, b + c * d\" & \"(\"", "s", "a, b + c * d("},
        {"n = len(\"a(b\")", "n", "3"},
        {"n = len(\") (\") * 2", "n", "6"},
        {"s = mid(\"x(1, 2)y\", 2, 6)", "s", "(1, 2)"},
        {"s = ucase(\"a)\" & lcase(\"(B\"))", "s", "A)(B"},
        {"n = pos(\")\", \"ab)c\")", "n", "3"},
        {"n = 2 * (len(\"((\") + 1)", "n", "6"},
        // A group whose content is a literal still reads its value as a variable name.
        {"abc = 4\nv = (\"abc\")", "v", "4"},
        {"v = 1\nv = (\"a b\")", "v", ""},
        // A quote inside a literal keeps the old reading: first and last quote frame it.
        {"s = \"a\"b\"", "s", "a\"b"},
    });
}

TEST(Expression, ExponentSignsBelongToTheirLiteral) {
    ExpectAssignments({
        {"x = 1E-7", "x", "1E-7"},
        {"x = 2.5e-3", "x", "0.0025"},
        {"x = 1e+3", "x", "1000"},
        {"x = .5E+1", "x", "5"},
        {"x = 1.5E-7 * 2", "x", "3E-7"},
        {"x = 4 - 1e-1", "x", "3.9"},
        {"x = 1e-1 - 4", "x", "-3.9"},
        {"x = 1E+2+1", "x", "101"},
        {"x = -1e-2", "x", "-0.01"},
        {"x = pow(10, 1e+1)", "x", "10000000000"},
        {"x = \"\" & 5E-6", "x", "5E-6"},
        // Everything else stays an operator.
        {"a = 5\nx = a-3", "x", "2"},
        {"x = 2-3", "x", "-1"},
        {"e = 10\nx = e-3", "x", "7"},
        {"x = 9\nx e-3", "x", "9"},
        {"xe = 10\nx = xe-3", "x", "7"},
        {"x = \"1e\"-3", "x", "-2"},
        {"x = 1e", "x", ""},
        {"x = 1.e-1", "x", "0.1"},
        {"x = 1..e-1", "x", "-1"},
    });
}

TEST(Assignment, StoreRules) {
    TEngineFixture fixture;
    auto run = fixture.Run("x = 5\nX = 6\ny = \"\"\nz = 1\nz = \"\"\nw = z");
    EXPECT_EQ(run->Variables().Lines(), (std::vector<std::string>{"error=0", "X=6"}));
    // Each store takes the spelling it is given, the loop's and the error's own too.
    run = fixture.Run("ERROR = 0\nn = len(\"ab\")\nfor (i, 1, 2, 1)\nI = I + 10\nN = n + I\nnext");
    EXPECT_EQ(run->Variables().Lines(),
              (std::vector<std::string>{"error=0", "N=5", "i=2"}));
}

// The bound on all variables together counts what is stored now: values replaced, removed or
// renamed in spelling give their room back, a value that points into its own old text is kept
// whole, and only growth past the bound fails, leaving the store as it was.
TEST(Assignment, TheDataBoundCountsWhatIsStoredNow) {
    TVariableStore store;
    const std::string mib(size_t{1} << 20, 'm');
    for (int round = 0; round < 1100; ++round) {
        store.Set(round % 2 ? "big" : "BIG", mib);
        if (round % 3 == 0) store.Set("big", "");
        store.SetMoved("other", std::string(mib));
    }
    const std::string* big = store.Find("big");
    ASSERT_NE(big, nullptr);
    store.Set("big", std::string_view(*big).substr(1));
    EXPECT_EQ(*store.Find("big"), mib.substr(1));

    const std::string chunk(kMaxTextSize, 'c');
    size_t stored = 0;
    try {
        for (; stored < 20; ++stored) store.Set("v" + std::to_string(stored), chunk);
    } catch (const EFatalError& error) {
        EXPECT_STREQ(error.what(),
                     "Out of script memory: all variables together may hold at "
                     "most 1 GiB (1073741824 bytes)");
    }
    EXPECT_EQ(stored, 15u) << "two 1 MiB values and fifteen of 64 MiB fill the bound";
    EXPECT_EQ(store.Find("v15"), nullptr);
    EXPECT_EQ(store.Size(), 17u);
}

TEST(Assignment, ValueStoredUnderTheEmptyNameFeedsLeadingMinus) {
    // A line without "=" stores its value under the empty name; an expression starting
    // with "-" then subtracts from it.
    TEngineFixture fixture;
    auto run = fixture.Run("len(\"0123456789\")\nx = -5\nword\ny = 3 # remark");
    EXPECT_EQ(run->GetVariable("x"), "5");
    EXPECT_EQ(run->GetVariable("y"), "");  // the remark became part of a variable name
}

TEST(Expression, ValuesHoldingParenthesesAreOneOperand) {
    // Rack controls and received data can hold parentheses; the group reads the value as one
    // operand (here a variable name that does not exist) and the run goes on.
    TEngineFixture fixture;
    auto run = fixture.Run("");
    run->SetVariable("x", "(x)");
    const TValue group = run->EvaluateExpression("(x)");
    EXPECT_TRUE(group.ok);
    EXPECT_EQ(group.text, "");
    bool truth = true;
    EXPECT_TRUE(run->EvaluateCondition("((x)==1)", truth));
    EXPECT_FALSE(truth);
    run->SetVariable("x", "((x))");
    EXPECT_EQ(run->EvaluateExpression("(x)+1").text, "1");
}

}  // namespace
}  // namespace korvane::engine
