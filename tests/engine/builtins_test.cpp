#include <gtest/gtest.h>

#include "recording_host.h"

namespace korvane::engine {
namespace {

using testing::TEngineFixture;

struct TFunctionCase {
    const char* script;     // sets x
    const char* x;          // expected value of x ("" = removed)
    const char* error;      // expected value of error
    const char* lastError;  // expected last error text
};

TEST(Builtins, ResultsAndMessages) {
    const TFunctionCase cases[] = {
        {"x = tohex(\"AB\")", "41 42", "0", ""},
        {"x = tohex(chr(10) & chr(255))", "0A FF", "0", ""},
        {"x = tohex(\"\")", "", "0", ""},
        {"x = len(s)", "0", "0", ""},
        {"x = len(\"abc\")", "3", "0", ""},
        {"x = asc(\"A\")", "65", "0", ""},
        {"x = 1\nx = asc(s)", "", "1", "asc: unexpected argument."},
        {"x = pos(\"b\", \"abcabc\")", "2", "0", ""},
        {"x = pos(\"z\", \"abcabc\")", "0", "0", ""},
        {"x = pos(\"\", \"abc\")", "0", "0", ""},
        {"x = ucase(\"aZ1\")", "AZ1", "0", ""},
        {"x = lcase(\"aZ1\")", "az1", "0", ""},
        {"x = mid(\"abcdef\", 3, 2)", "cd", "0", ""},
        {"x = mid(\"abcdef\", 0, 2)", "ab", "0", ""},
        {"x = mid(\"abcdef\", 7, 2)", "", "0", ""},
        {"x = mid(\"abcdef\", 5, 100)", "ef", "0", ""},
        {"x = mid(\"abcdef\", \"a\", 2)", "", "1", "mid: unexpected argument."},
        {"x = del(\"abcdef\", 2, 3)", "aef", "0", ""},
        {"x = del(\"abcdef\", 0, 3)", "abcdef", "0", ""},
        {"x = del(\"abcdef\", 5, 9)", "abcd", "0", ""},
        {"x = del(\"abc\", 1, 1.5)", "", "1", "del: unexpected argument."},
        {"x = chr(321)", "A", "0", ""},
        {"x = chr(\"q\")", "", "1", "chr: unexpected argument."},
        {"x = trim(\"  a b \" & chr(9))", "a b", "0", ""},
        {"x = pow(2, 10)", "1024", "0", ""},
        {"x = pow(2, -1)", "0.5", "0", ""},
        {"x = pow(0, 0)", "1", "0", ""},
        {"x = pow(0, -1)", "", "1", "pow: unexpected argument."},
        {"x = pow(10, 400)", "", "1", "pow: unexpected argument."},
        {"x = get_bit(5, 0)", "1", "0", ""},
        {"x = get_bit(5, 1)", "0", "0", ""},
        {"x = get_bit(-1, 31)", "1", "0", ""},
        {"x = get_bit(5, 40)", "0", "0", ""},
        {"x = get_bit(5, -1)", "0", "0", ""},
        {"x = get_bit(\"a\", 1)", "", "1", "get_bit: error getting bit"},
        {"x = extract(\"a,b,,d,\", \",\", 3)", "", "0", ""},
        {"x = extract(\"a,b,,d,\", \",\", 4)", "d", "0", ""},
        {"x = extract(\"a,b\", \",\", \"z\")", "", "0", ""},
        {"x = random(0)", "0", "0", ""},
        {"x = random(\"q\")", "", "1", "random: unexpected argument."},
        {"x = time()", "14:03:27", "0", ""},
        {"x = date()", "08-12-26", "0", ""},
        {"x = year() & \"/\" & month() & \"/\" & day()", "2026/12/8", "0", ""},
        {"x = asc(s)\ny = len(\"\")\nx = geterror()", "asc: unexpected argument.", "0",
         "asc: unexpected argument."},
        {"x = mid(\"abc\", 2)", "", "0", ""},
    };
    for (const TFunctionCase& c : cases) {
        TEngineFixture fixture;
        auto run = fixture.Run(c.script);
        EXPECT_EQ(run->GetVariable("x"), c.x) << c.script;
        EXPECT_EQ(run->GetVariable("error"), c.error) << c.script;
        EXPECT_EQ(run->LastErrorText(), c.lastError) << c.script;
    }
}

// Each row runs after a failed asc(): a successful call sets error back to 0 (except the
// three-argument extract, which leaves it alone) and the last message stays for geterror().
TEST(Builtins, SuccessAfterFailureClearsErrorButKeepsTheMessage) {
    struct TCase {
        const char* call;
        const char* x;
        const char* error;
    };
    const TCase cases[] = {
        {"tohex(\"A\")", "41", "0"},
        {"len(\"ab\")", "2", "0"},
        {"asc(\"a\")", "97", "0"},
        {"pos(\"b\", \"ab\")", "2", "0"},
        {"ucase(\"a\")", "A", "0"},
        {"lcase(\"A\")", "a", "0"},
        {"mid(\"abc\", 2, 1)", "b", "0"},
        {"del(\"abc\", 2, 1)", "ac", "0"},
        {"chr(66)", "B", "0"},
        {"trim(\" t \")", "t", "0"},
        {"random(1)", "0", "0"},
        {"pow(3, 2)", "9", "0"},
        {"inputbox(\"c\", \"p\", \"preset\")", "preset", "0"},
        {"extract(\"a,b\", \",\", 2)", "b", "1"},
        {"split(\"a;b\", \";\")", "2", "0"},
        {"extract(1)", "a", "0"},
        {"get_bit(2, 1)", "1", "0"},
        {"time()", "14:03:27", "0"},
        {"date()", "08-12-26", "0"},
        {"year()", "2026", "0"},
        {"month()", "12", "0"},
        {"day()", "8", "0"},
        {"geterror()", "asc: unexpected argument.", "0"},
    };
    for (const TCase& c : cases) {
        TEngineFixture fixture;
        // The split leaves one token, a, for extract(1).
        auto run = fixture.Run(std::string("t = split(\"a\", \";\")\nf = asc(\"\")\nx = ") +
                               c.call + "\ne = error\nm = geterror()");
        EXPECT_EQ(run->GetVariable("x"), c.x) << c.call;
        EXPECT_EQ(run->GetVariable("e"), c.error) << c.call;
        EXPECT_EQ(run->GetVariable("m"), "asc: unexpected argument.") << c.call;
    }
    TEngineFixture fixture;
    auto ticks = fixture.Run("f = asc(\"\")\nx = getticks()\ne = error\nm = geterror()");
    EXPECT_EQ(ticks->GetVariable("e"), "0");
    EXPECT_EQ(ticks->GetVariable("m"), "asc: unexpected argument.");
}

// First and last character, one past the end, zero and negative counts.
TEST(Builtins, TextFunctionsAtTheirBoundaries) {
    const TFunctionCase cases[] = {
        {"x = mid(\"abcdef\", 1, 1)", "a", "0", ""},
        {"x = mid(\"abcdef\", 6, 1)", "f", "0", ""},
        {"x = mid(\"abcdef\", 6, 9)", "f", "0", ""},
        {"x = mid(\"abcdef\", 5, 2)", "ef", "0", ""},
        {"x = mid(\"abcdef\", 7, 1)", "", "0", ""},
        {"x = mid(\"abcdef\", 1, 0)", "", "0", ""},
        {"x = mid(\"abcdef\", 1, -1)", "", "0", ""},
        {"x = mid(\"abcdef\", -3, 2)", "ab", "0", ""},
        {"x = mid(\"\", 1, 1)", "", "0", ""},
        {"x = del(\"abcdef\", 1, 1)", "bcdef", "0", ""},
        {"x = del(\"abcdef\", 6, 1)", "abcde", "0", ""},
        {"x = del(\"abcdef\", 6, 100)", "abcde", "0", ""},
        {"x = del(\"abcdef\", 1, 6)", "", "0", ""},
        {"x = del(\"abcdef\", 7, 1)", "abcdef", "0", ""},
        {"x = del(\"abcdef\", 2, 0)", "abcdef", "0", ""},
        {"x = del(\"abcdef\", 2, -1)", "abcdef", "0", ""},
        {"x = del(\"abcdef\", -1, 2)", "abcdef", "0", ""},
        {"x = pos(\"a\", \"abc\")", "1", "0", ""},
        {"x = pos(\"c\", \"abc\")", "3", "0", ""},
        {"x = pos(\"bc\", \"abc\")", "2", "0", ""},
        {"x = pos(\"abc\", \"abc\")", "1", "0", ""},
        {"x = pos(\"abcd\", \"abc\")", "0", "0", ""},
        {"x = pos(\"a\", \"\")", "0", "0", ""},
        {"x = extract(\"a,b,c\", \",\", 1)", "a", "0", ""},
        {"x = extract(\"a,b,c\", \",\", 3)", "c", "0", ""},
        {"x = extract(\"a,b,c\", \",\", 4)", "", "0", ""},
        {"x = extract(\"a,b,c\", \",\", 0)", "", "0", ""},
        {"x = extract(\"a,b,c\", \",\", -1)", "", "0", ""},
        {"x = extract(\",b\", \",\", 2)", "b", "0", ""},
        {"x = extract(\"ab::cd\", \"::\", 2)", "cd", "0", ""},
        {"x = extract(\"abc\", \"\", 1)", "abc", "0", ""},
        {"x = split(\"a;b;\", \";\")", "2", "0", ""},
        {"x = split(\";\", \";\")", "1", "0", ""},
        {"x = split(\";;\", \";\")", "2", "0", ""},
        {"x = split(\"\", \";\")", "0", "0", ""},
        {"x = split(\"abc\", \";\")", "1", "0", ""},
        {"x = split(\"a;b;c\", \";\") & extract(1) & extract(3) & extract(4) & extract(0)",
         "3ac", "0", ""},
        {"x = split(\"a;b\", \";\") & extract(-1)", "2", "0", ""},
        {"x = get_bit(1, 0)", "1", "0", ""},
        {"x = get_bit(4, 2)", "1", "0", ""},
        {"x = get_bit(4, 3)", "0", "0", ""},
        {"x = get_bit(2147483647, 30)", "1", "0", ""},
        {"x = get_bit(2147483647, 31)", "0", "0", ""},
        {"x = get_bit(-2147483648, 31)", "1", "0", ""},
        {"x = get_bit(-2147483648, 30)", "0", "0", ""},
        {"x = get_bit(0, 0)", "0", "0", ""},
        {"x = get_bit(5, \"\")", "", "1", "get_bit: error getting bit"},
        // Counts worked out by arithmetic or held as numbers by variables, at the 32-bit edges.
        {"x = get_bit(2147483646 + 1, 30)", "1", "0", ""},
        {"x = get_bit(2147483647 + 1, 30)", "", "1", "get_bit: error getting bit"},
        {"x = get_bit(0 - 2147483648, 31)", "1", "0", ""},
        {"x = get_bit(0 - 2147483649, 31)", "", "1", "get_bit: error getting bit"},
        {"N = 2\nn = n + 1\nx = mid(\"abcdef\", N, n - 1)", "cd", "0", ""},
        {"x = mid(\"abcdef\", 4 / 2, 2)", "bc", "0", ""},
        {"x = mid(\"abcdef\", 1.5 + 1, 2)", "", "1", "mid: unexpected argument."},
        {"x = mid(\"abcdef\", 0.1 * 30, 1)", "c", "0", ""},
        {"x = chr(1E2 - 35)", "A", "0", ""},
        {"n = 120 + 3\nx = pos(2, n) & len(n)", "23", "0", ""},
        {"x = len(1E15 - 1) & len(1E15)", "154", "0", ""},
        // Texts read where they stand: error changes under the call, and once removed, storing
        // it again moves every entry.
        {"x = asc(\"\")\nx = pos(\"1\", error) & ERROR", "10", "0", "asc: unexpected argument."},
        {"s = \"abc\"\nerror = \"\"\na = 1\nb = 1\nc = 1\nd = 1\ne = 1\nf = 1\ng = 1\n"
         "x = pos(\"b\", s) & mid(s, 2, 2)",
         "2bc", "0", ""},
        {"x = tohex(chr(0))", "00", "0", ""},
        {"x = tohex(\"A\")", "41", "0", ""},
        {"x = tohex(chr(0) & \"A\" & chr(255))", "00 41 FF", "0", ""},
    };
    for (const TFunctionCase& c : cases) {
        TEngineFixture fixture;
        auto run = fixture.Run(c.script);
        EXPECT_EQ(run->GetVariable("x"), c.x) << c.script;
        EXPECT_EQ(run->GetVariable("error"), c.error) << c.script;
        EXPECT_EQ(run->LastErrorText(), c.lastError) << c.script;
    }
}

TEST(Builtins, SplitFillsTheTokenListForTheRunOnly) {
    TEngineFixture fixture;
    TRunControl control(fixture.host, fixture.host, fixture.state, fixture.dispatch);
    control.Run(SplitLines("n = split(\"1;2;3\", \";\")\na = extract(2)\nb = extract(4)"));
    EXPECT_EQ(fixture.host.finalVariables, (std::vector<std::string>{"error=0", "n=3", "a=2"}));
    EXPECT_EQ(fixture.state.tokens.Size(), 0u) << "the end of the run frees the list";
    control.Run(SplitLines("c = extract(3)\nd = extract(\"x\")\ne = error\nm = geterror()"));
    EXPECT_EQ(fixture.host.finalVariables,
              (std::vector<std::string>{"error=0", "e=1", "m=extract: unexpected argument."}));
}

// The token list and the three-argument extract against a plain split, on texts whose pieces
// cross the list's marks: every piece, and nothing past the last.
TEST(Builtins, TokenPiecesMatchAPlainSplit) {
    auto plainSplit = [](std::string_view text, std::string_view separator) {
        std::vector<std::string> pieces;
        if (separator.empty()) {
            if (!text.empty()) pieces.emplace_back(text);
            return pieces;
        }
        for (size_t at; (at = text.find(separator)) != std::string_view::npos;) {
            pieces.emplace_back(text.substr(0, at));
            text.remove_prefix(at + separator.size());
        }
        if (!text.empty()) pieces.emplace_back(text);
        return pieces;
    };
    uint32_t seed = 12345;
    auto next = [&seed] { return seed = seed * 1103515245u + 12345u, (seed >> 16) & 0x7fff; };
    for (int round = 0; round < 300; ++round) {
        const std::string alphabet = round % 3 == 0 ? ",a" : round % 3 == 1 ? ":x;" : ",";
        std::string text;
        const size_t length = next() % (round < 150 ? 40 : 600);
        for (size_t i = 0; i < length; ++i) text.push_back(alphabet[next() % alphabet.size()]);
        const std::string separator = round % 5 == 0   ? std::string()
                                      : round % 5 == 1 ? std::string("::")
                                                       : std::string(1, alphabet[0]);
        const std::vector<std::string> expected = plainSplit(text, separator);
        TTokenList list;
        list.Assign(text, separator);
        ASSERT_EQ(list.Size(), expected.size()) << text << " / " << separator;
        for (size_t i = 0; i <= expected.size(); ++i) {
            const std::optional<std::string_view> want =
                i < expected.size() ? std::optional<std::string_view>(expected[i]) : std::nullopt;
            ASSERT_EQ(list.Piece(i), want) << text << " / " << separator << " #" << i;
            ASSERT_EQ(NthPiece(text, separator, i), want)
                << text << " / " << separator << " #" << i;
        }
    }
}

TEST(Builtins, RandomSequenceIsFixedFromProgramStart) {
    auto draws = [] {
        TEngineFixture fixture;
        auto run = fixture.Run("for (i, 1, 10, 1)\nt = t & random(10) & \" \"\nnext");
        return run->GetVariable("t");
    };
    const std::string first = draws();
    EXPECT_EQ(first, draws());
    // Seeds 1, 134775814, 3698175007: (10 * seed) >> 32 gives 0, 0, 8.
    EXPECT_EQ(first.substr(0, 6), "0 0 8 ");
}

TEST(Builtins, InputboxAsksTheHostAndFailedArgumentsFailTheCall) {
    TEngineFixture fixture;
    fixture.host.inputs = {"typed"};
    auto run = fixture.Run("a = inputbox(\"c\", \"p\", \"preset\")\nb = inputbox(\"c\", \"p\", \"preset\")"
                           "\nc = 1\nc = len(1/0)");
    EXPECT_EQ(run->GetVariable("a"), "typed");
    EXPECT_EQ(run->GetVariable("b"), "preset");
    EXPECT_EQ(run->GetVariable("c"), "1");
}

TEST(Builtins, GetticksIsMonotonicMilliseconds) {
    TEngineFixture fixture;
    auto run = fixture.Run("a = getticks()\nb = getticks()\nd = b - a");
    EXPECT_GE(std::stoll(run->GetVariable("d")), 0);
    EXPECT_GT(std::stoll(run->GetVariable("a")), 0);
}

}  // namespace
}  // namespace korvane::engine
