#include "workbench/ui/editor_words.h"

#include <gtest/gtest.h>

namespace korvane::workbench {
namespace {

TEST(EditorWords, CompletionOffersTableWordsSorted) {
    using V = std::vector<std::string_view>;
    EXPECT_EQ(CompletionCandidates("tcp_srv_"),
              (V{"tcp_srv_close", "tcp_srv_flush", "tcp_srv_hasclient", "tcp_srv_open",
                 "tcp_srv_read", "tcp_srv_write"}));
    EXPECT_EQ(CompletionCandidates("Wri"), (V{"writelog"}));
    EXPECT_EQ(CompletionCandidates("zzz"), V{});
    // Every entry of the table for an empty prefix, without the empty group ends.
    EXPECT_EQ(CompletionCandidates("").size(), 88u);
    EXPECT_EQ(CompletionCandidates("che"), (V{"check"}));
}

TEST(EditorWords, WordBeforeAnOpeningParenthesis) {
    struct TCase {
        const char* line;
        const char* word;
    };
    const TCase cases[] = {
        {"x = len(", "len"},
        {"openport (", "openport"},
        {"    fseek\t(", "fseek"},
        {"x = (", ""},
        {"(", ""},
        {"a=tcp_srv_open(", "tcp_srv_open"},
    };
    for (const TCase& c : cases) {
        const std::string_view line = c.line;
        EXPECT_EQ(WordBeforeParenthesis(line, line.size() - 1), c.word) << c.line;
    }
}

TEST(EditorWords, UrlsAreFoundUpToTheirEnd) {
    struct TCase {
        const char* text;
        std::vector<std::string> urls;
    };
    const TCase cases[] = {
        {"# see https://example.org/a?b=1.", {"https://example.org/a?b=1"}},
        {"x = \"http://h/p\" & www.example.com, ftp://f/x",
         {"http://h/p", "www.example.com", "ftp://f/x"}},
        {"mail mailto:me@example.org) now", {"mailto:me@example.org"}},
        {"nohttp://x and http:// alone", {}},
        {"", {}},
    };
    for (const TCase& c : cases) {
        const std::string_view text = c.text;
        std::vector<std::string> found;
        for (const TUrlSpan& span : FindUrls(text)) {
            found.emplace_back(text.substr(span.begin, span.end - span.begin));
        }
        EXPECT_EQ(found, c.urls) << c.text;
    }
    EXPECT_EQ(UrlToOpen("www.example.com"), "http://www.example.com");
    EXPECT_EQ(UrlToOpen("https://example.com"), "https://example.com");
}

}  // namespace
}  // namespace korvane::workbench
