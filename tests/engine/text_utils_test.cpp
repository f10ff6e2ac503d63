#include "engine/text_utils.h"

#include <gtest/gtest.h>

namespace korvane::engine {
namespace {

TEST(SplitCall, ArgumentsAreFoundOutsideQuotesAndNestedCalls) {
    struct Case {
        const char* text;
        const char* name;
        std::vector<std::string> args;
    };
    const Case cases[] = {
        {"f()", "f", {}},
        {"f(a)", "f", {"a"}},
        {"f(a, g(b, c), \"x,y\")", "f", {"a", "g(b, c)", "\"x,y\""}},
        {" send ( \"com1\" , x ) trailing", "send", {"\"com1\"", "x"}},
        {"f(a,,b)", "f", {"a", "", "b"}},
        {"f(a,)", "f", {"a", ""}},
        // A comma in the first position stays part of the only argument.
        {"f(,b)", "f", {",b"}},
        {"f(a", "f", {}},
    };
    for (const Case& c : cases) {
        std::string name = "unchanged";
        std::vector<std::string> args{"stale"};
        SplitCall(c.text, name, args);
        EXPECT_EQ(name, c.name) << c.text;
        EXPECT_EQ(args, c.args) << c.text;
    }
}

TEST(SplitCall, TextWithoutParenthesisKeepsNameAndGivesNoArguments) {
    std::string name = "previous";
    std::vector<std::string> args{"x"};
    SplitCall("showline", name, args);
    EXPECT_EQ(name, "previous");
    EXPECT_TRUE(args.empty());
}

TEST(SplitCall, AnUnpairedQuoteHidesTheCommasBeforeIt) {
    std::string name;
    std::vector<std::string> args;
    SplitCall("f(a,b,\")", name, args);
    EXPECT_EQ(args, (std::vector<std::string>{"a,b,\""}));
}

TEST(StripBlanks, RemovesBlanksAndTabsOutsideQuotesOnly) {
    EXPECT_EQ(StripBlanks("  x = a + \"b c\"\t+ 1 "), "x=a+\"b c\"+1");
    EXPECT_EQ(StripBlanks("closeport (\"com1\")"), "closeport(\"com1\")");
    EXPECT_EQ(StripBlanks("\"a\" b \"c d"), "\"a\"b\"c d");
}

TEST(TrimAndLines, TrimRemovesControlCharactersAndLinesSplitOnAnyBreak) {
    EXPECT_EQ(Trim("\t\x01 x y \r\n"), "x y");
    EXPECT_EQ(SplitLines("a\r\nb\nc\rd\n"), (std::vector<std::string>{"a", "b", "c", "d"}));
    EXPECT_EQ(SplitLines("a\n\nb"), (std::vector<std::string>{"a", "", "b"}));
    EXPECT_TRUE(SplitLines("").empty());
}

}  // namespace
}  // namespace korvane::engine
