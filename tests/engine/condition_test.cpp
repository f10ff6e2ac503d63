#include <gtest/gtest.h>

#include "recording_host.h"

namespace korvane::engine {
namespace {

using testing::TEngineFixture;

struct TConditionCase {
    const char* setup;
    const char* condition;
    bool ok;
    bool truth;
};

TEST(Condition, ComparisonsConnectivesAndGroups) {
    const TConditionCase cases[] = {
        {"a = \"1.0\"", "(a == 1)", true, false},
        {"a = \"1.0\"", "(a >= 1)", true, false},
        {"a = \"1.0\"", "(a << 2)", true, true},
        {"", "(5 >> 10)", true, false},
        {"", "(\"10\" >> \"9\")", true, true},
        {"", "(\"abd\" >> \"abc\")", true, true},
        {"", "(\"ba\" >> \"ab\")", true, false},
        {"", "(\"ba\" >= \"ab\")", true, false},
        {"a = 1", "(a = 1)", true, false},
        {"b = 2", "((a==1)||(b==2))", true, true},
        {"b = 2", "(a==1)||(b==2)", true, true},
        {"a = 1\nb = 2", "(a==1)&&(b==2)||(c==3)", true, false},
        {"a = 1\nb = 2\nc = 3", "(a==1)&&(b==2)||(c==3)", true, true},
        {"b = 2\nc = 3", "((a==1)||(b==2))&&(c==3)", true, true},
        {"b = 2", "((a==1)||(b==2))&&(c==3)", true, false},
        {"a = 2", "((a+1)==3)", true, true},
        {"x = 1", "(x)", true, false},
        {"", "(a <> b)", true, false},
        {"a = \"x\"", "(a <> b)", true, true},
        {"", "(1 == 1", true, false},
        {"", "1 == 1)", false, false},
        {"", "(nosuch(1) == 1)", true, false},
        {"", "(1 == 1))", false, true},
        {"x = 7", "(x<=7)&&(x>=7)", true, true},
        {"w = \"5E-7\"", "(w << 1E-6)", true, true},
        {"w = \"5E-7\"", "(w >> 1e-7)", true, true},
        {"w = 2000", "(w >> 1e+3)", true, true},
        {"s = \"a (b)\"", "(s == \"a (b)\")", true, true},
        {"s = \"x==y\"", "(\"x==y\" == s)", true, true},
        {"s = \"(\"", "((s == \"(\")||(s == \")\"))&&(1 == 1)", true, true},
    };
    for (const TConditionCase& c : cases) {
        TEngineFixture fixture;
        auto run = fixture.Run(c.setup);
        bool truth = false;
        EXPECT_EQ(run->EvaluateCondition(c.condition, truth), c.ok) << c.setup << " | " << c.condition;
        EXPECT_EQ(truth, c.truth) << c.setup << " | " << c.condition;
    }
}

TEST(Condition, FunctionCallInsideAConditionIsNotMade) {
    // The call's parentheses are read as a piece: "len" followed by 3 is compared instead.
    TEngineFixture fixture;
    auto run = fixture.Run("len3 = 3");
    bool truth = false;
    EXPECT_TRUE(run->EvaluateCondition("(len(\"abc\") == 3)", truth));
    EXPECT_FALSE(truth);
    EXPECT_TRUE(run->EvaluateCondition("(len(\"3\") == 3)", truth));
    EXPECT_TRUE(truth);
}

}  // namespace
}  // namespace korvane::engine
