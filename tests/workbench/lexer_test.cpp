#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "workbench/lexer_classifier.h"
#include "workbench/lexer_tables.h"

namespace korvane::workbench {
namespace {

TEST(LexerTables, KeywordGroupsInOrder) {
    // Groups of 14, 37 and 37 words, each closed by an empty entry.
    const std::vector<std::size_t> empties = {14, 52, 90};
    for (std::size_t i = 0; i < kKeywords.size(); ++i) {
        const bool closesGroup = std::find(empties.begin(), empties.end(), i) != empties.end();
        EXPECT_EQ(kKeywords[i].empty(), closesGroup) << i;
    }
    EXPECT_EQ(kKeywords[0], "for");
    EXPECT_EQ(kKeywords[13], "exit");
    EXPECT_EQ(kKeywords[15], "closeport");
    EXPECT_EQ(kKeywords[50], "showline");
    EXPECT_EQ(kKeywords[51], "check");
    EXPECT_EQ(kKeywords[53], "geterror");
    EXPECT_EQ(kKeywords[89], "ddown_gettext");
    std::vector<std::string_view> words(kKeywords.begin(), kKeywords.end());
    std::erase(words, "");
    std::sort(words.begin(), words.end());
    EXPECT_EQ(std::adjacent_find(words.begin(), words.end()), words.end()) << "duplicate word";
}

TEST(LexerTables, CompletionsAreKeywordsPlusOneEmptyEntry) {
    ASSERT_EQ(kCompletions.size(), 92u);
    EXPECT_TRUE(std::equal(kKeywords.begin(), kKeywords.end(), kCompletions.begin()));
    EXPECT_EQ(kCompletions.back(), "");
}

TEST(LexerTables, HintHighlightFollowsTheTypedArgument) {
    // Hints of the table are written with ",", which the hint does not split on.
    const std::string_view mid = "mid(string,start,characters number)";
    EXPECT_EQ(HintParameterSpan(mid, 0), (THintSpan{4, 34}));
    EXPECT_EQ(HintParameterSpan(mid, 1), std::nullopt);
    EXPECT_EQ(HintParameterSpan("f (a;bc;d)", 1), (THintSpan{5, 7}));
    EXPECT_EQ(HintParameterSpan("f (a;bc;d)", 2), (THintSpan{8, 9}));
    EXPECT_EQ(HintParameterSpan("f (a;bc;d)", 3), std::nullopt);
    EXPECT_EQ(HintParameterSpan("no parentheses", 0), std::nullopt);

    EXPECT_EQ(TypedArgumentIndex(""), 0);
    EXPECT_EQ(TypedArgumentIndex("s, 1,"), 2);
    EXPECT_EQ(TypedArgumentIndex("\"a,b\", mid(x, 1, 2)"), 1);
}

TEST(LexerTables, ParameterHintLookup) {
    const std::vector<std::pair<std::string_view, std::string_view>> cases = {
        {"len", "len(string)"},
        {"setidle", "setidle(interval in ms) "},
        {"fread", "fread (characters number)"},
        {"openport", "openport (serial port,baudrate,databits,parity,stopbits)"},
        {"ucase", "ucase(astring)"},
        {"tcp_write", "tcp_write(some data)"},
        {"check", "check(name;value;low limit;high limit;unit)"},
    };
    for (const auto& [word, hint] : cases) EXPECT_EQ(FindParameterHint(word), hint) << word;
    for (std::string_view word : {"", "for", "Len", "len(", "tcp", "Check"}) {
        EXPECT_FALSE(FindParameterHint(word).has_value()) << word;
    }
}

// One letter per class, so a case reads as a picture of the line.
std::string Picture(std::string_view text, TLexState start = TLexState::Normal,
                    TLexState* end = nullptr) {
    std::vector<TStyle> styles(text.size(), TStyle::Default);
    const TLexState state = ClassifyText(text, start, styles);
    if (end != nullptr) *end = state;
    std::string picture;
    for (TStyle style : styles) picture.push_back(" KSYLBN"[static_cast<int>(style)]);
    return picture;
}

TEST(LexerClassifier, ClassifiesEachByte) {
    struct TCase {
        std::string_view text;
        std::string_view picture;
    };
    const std::vector<TCase> cases = {
        {"for i=1 to 10", "KKK  YN    NN"},
        {"For forx _for", "             "},
        {"()+-*/&=<>|", "YYYYYYYYYYY"},
        {"0x1F 1F 0x 0xG 0X1F", "NNNN               "},
        {"3.14 12ab x1 7.", "NNNN         N "},
        {"# for \"x\" {", "LLLLLLLLLLL"},
        {"x=1 # next", " YN LLLLLL"},
        {"\"if\" if", "SSSS KK"},
        {"\"a#b{c\"x", "SSSSSSS "},
        {"\"open\nnext", "SSSSS KKKK"},
        {"{ if }wend", "BBBBBBKKKK"},
        {"a}b", "   "},
        {"# c\r\nfor", "LLL  KKK"},
        {"{\"}\"", "BBBS"},
    };
    for (const TCase& c : cases) EXPECT_EQ(Picture(c.text), c.picture) << c.text;
}

TEST(LexerClassifier, BlockCommentCarriesAcrossLines) {
    TLexState state = TLexState::Normal;
    EXPECT_EQ(Picture("x {if", TLexState::Normal, &state), "  BBB");
    EXPECT_EQ(state, TLexState::InBlockComment);
    EXPECT_EQ(Picture("next", state, &state), "BBBB");
    EXPECT_EQ(state, TLexState::InBlockComment);
    EXPECT_EQ(Picture("e} for", state, &state), "BB KKK");
    EXPECT_EQ(state, TLexState::Normal);
    EXPECT_EQ(Picture("a{\r\nb\r\n}c", TLexState::Normal, &state), " BBBBBBB ");
    EXPECT_EQ(state, TLexState::Normal);
}

TEST(LexerClassifier, ShortStyleBufferIsNotOverrun) {
    std::vector<TStyle> styles(3, TStyle::Default);
    ClassifyText("\"a long string that goes on\"", TLexState::Normal, styles);
    EXPECT_EQ(styles, std::vector<TStyle>(3, TStyle::String));
}

}  // namespace
}  // namespace korvane::workbench
