// Values the evaluator writes back (function results, group values) are single operands:
// whatever bytes they hold never run, never get lost and never split a number.
#include <gtest/gtest.h>

#include "engine/errors.h"
#include "engine/text_limit.h"
#include "assignment_cases.h"

namespace korvane::engine {
namespace {

using testing::ExpectAssignments;
using testing::TEngineFixture;

TEST(WrittenBackValues, ArithmeticAndTheKeptQuirks) {
    ExpectAssignments({
        // A negative group or an exponent stays one number.
        {"f = 2 * (0 - 3)", "f", "-6"},
        {"f = 10-(2-3)", "f", "11"},
        {"f = (5/1000000)", "f", "5E-6"},
        {"f = (5/1000000)*2", "f", "0.00001"},
        {"f = pow(2,-40)", "f", "9.09494701772928E-13"},
        {"f = pow(2,-40)*2", "f", "1.81898940354586E-12"},
        {"f = (1E20)+1", "f", "1E20"},
        {"f = -(2-5)", "f", "3"},
        // A group's value reads as a number, a literal or a variable name, never as a call.
        {"a = \"fwrite(\" & chr(34) & \"z\" & chr(34) & \")\"\nx = 1\nx = (a)", "x", ""},
        {"b = 5\na = \"b\"\nx = (a)", "x", "5"},
        {"abc = 4\nvv = (\"abc\")", "vv", "4"},
        {"s = \"len\"\nx = 9\nx = (s)(\"ab\")", "x", "9"},
        // What the script itself writes keeps its old reading.
        {"x = 3*-2", "x", "-2"},
        {"x = mid(\"007\",1,3)", "x", "007"},
        {"x = 5\nx = len(1/0)", "x", "5"},
        {"s = \"abc\"\nx = 1\nif (len(s) == 3)\nx = 2\nendif", "x", "1"},
        {"a = 2\nx = 1\nif ((a+1)==3)\nx = 2\nendif", "x", "2"},
    });
}

TEST(WrittenBackValues, SpecialCharactersInResultsArriveExactly) {
    ExpectAssignments({
        {"x = chr(41)", "x", ")"},
        {"x = chr(40) & chr(41)", "x", "()"},
        {"x = chr(34) & \"a\"", "x", "\"a"},
        {"x = chr(34)", "x", "\""},
        {"x = chr(44) & chr(32) & chr(38)", "x", ", &"},
        {"s = \"Temp: \" & chr(40) & \"23.5 C\" & chr(41)\nx = trim(s)", "x", "Temp: (23.5 C)"},
        {"b = 9\ns = \"a \" & chr(40) & \"b\" & chr(41)\nx = ucase(s)", "x", "A (B)"},
        {"s = \"OK\" & chr(40) & \"2 items\" & chr(41)\nx = mid(s, 1, len(s))", "x", "OK(2 items)"},
        {"s = chr(44) & chr(44)\nx = len(trim(s))", "x", "2"},
        {"s = \"1-2\"\nx = trim(s)", "x", "1-2"},
    });
}

TEST(WrittenBackValues, DialogAnswersNeverRun) {
    // inputbox answers that look like script text: if any of them ran, the further inputbox
    // calls would eat the remaining answers, random would move the seed, or x would change.
    const std::vector<std::string> answers = {
        "bob\"&inputbox(\"a\",\"b\",\"c\")&\"",
        "\")&random(100)&(\"",
        "a (b)",
        "x = 1",
        ")",
        "((",
        "\"",
        ",,,",
        "len(\"abc\")",
        std::string("\x7F\x80\x80\x80\x80", 5),
    };
    for (const std::string& answer : answers) {
        TEngineFixture fixture;
        fixture.host.inputs = {answer, "second"};
        const uint32_t seed = fixture.state.randomSeed;
        auto run = fixture.Run(
            "b = 7\nx = 1\nr = inputbox(\"Name\",\"Your name?\",\"\")\n"
            "t = trim(inputbox(\"Name\",\"Again?\",\"\"))\nu = ucase(r)\nn = len(r)");
        EXPECT_EQ(run->GetVariable("r"), answer);
        EXPECT_EQ(run->GetVariable("t"), "second") << answer;
        EXPECT_EQ(run->GetVariable("n"), std::to_string(answer.size()));
        EXPECT_EQ(run->GetVariable("x"), "1");
        EXPECT_EQ(fixture.state.randomSeed, seed);
        EXPECT_TRUE(fixture.host.inputs.empty());
    }
}

TEST(WrittenBackValues, EveryByteValueRoundTrips) {
    std::string all;
    for (int i = 0; i < 256; ++i) all.push_back(static_cast<char>(i));
    TEngineFixture fixture;
    fixture.host.inputs = {all};
    auto run = fixture.Run(
        "r = inputbox(\"a\",\"b\",\"c\")\nn = len(r)\nm = mid(r, 1, len(r))\n"
        "j = \"\" & r & \"\"\nh = tohex(r)\nf = mid(r, 42, 1) & mid(r, 35, 1)\n"
        "k = 0\nfor (i, 0, 255, 1)\nk = k + asc(mid(r, i + 1, 1)) - i\nnext");
    EXPECT_EQ(run->GetVariable("r"), all);
    EXPECT_EQ(run->GetVariable("n"), "256");
    EXPECT_EQ(run->GetVariable("m"), all);
    EXPECT_EQ(run->GetVariable("j"), all);
    EXPECT_EQ(run->GetVariable("h").substr(0, 15), "00 01 02 03 04 ");
    EXPECT_EQ(run->GetVariable("h").substr(run->GetVariable("h").size() - 5), "FE FF");
    EXPECT_EQ(run->GetVariable("f"), ")\"");
    EXPECT_EQ(run->GetVariable("k"), "0");
}

TEST(WrittenBackValues, ScriptTextCannotForgeAPlaceholder) {
    // The marker byte in the script's own text stays what it is.
    const std::string marker("\x7F\x80\x80\x80\x80", 5);
    TEngineFixture fixture;
    fixture.host.inputs = {"secret"};
    auto run = fixture.Run("r = inputbox(\"a\",\"b\",\"c\")\nx = \"" + marker + "\" & (1+1)\n" +
                           "y = len(\"" + marker + "\")");
    EXPECT_EQ(run->GetVariable("x"), marker + "2");
    EXPECT_EQ(run->GetVariable("y"), "5");
}

TEST(TextLimit, DoublingATextEndsTheRunWithAClearError) {
    TEngineFixture fixture;
    std::unique_ptr<TExecute> run;
    try {
        run = fixture.Run("s = \"0123456789abcdef\"\nn = 0\nwhile (n << 40)\ns = s & s\nn = n + 1\nwend\n"
                          "after = 1");
        FAIL() << "the run went on";
    } catch (const EFatalError& error) {
        EXPECT_STREQ(error.what(), "Text too long: a value may hold at most 64 MiB (67108864 bytes)");
    }
    // Up to the bound a text is whole: 16 bytes doubled 22 times is exactly 64 MiB.
    TEngineFixture exact;
    auto ok = exact.Run("s = \"0123456789abcdef\"\nfor (i, 1, 22, 1)\ns = s & s\nnext");
    EXPECT_EQ(ok->GetVariable("s").size(), kMaxTextSize);
}

}  // namespace
}  // namespace korvane::engine
