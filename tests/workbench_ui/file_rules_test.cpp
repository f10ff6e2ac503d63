#include "workbench/ui/file_rules.h"

#include <gtest/gtest.h>

namespace korvane::workbench {
namespace {

TEST(FileRules, SaveAsAddsTheExtensionOnlyWithoutAnyDot) {
    struct TCase {
        const char* chosen;
        const char* written;
    };
    const TCase cases[] = {
        {"/home/u/scripts/test", "/home/u/scripts/test.kvs"},
        {"/home/u/scripts/test.kvs", "/home/u/scripts/test.kvs"},
        {"/home/u/scripts/test.txt", "/home/u/scripts/test.txt"},
        {"/home/u/my.scripts/test", "/home/u/my.scripts/test"},
        {"/home/u/scripts/test.", "/home/u/scripts/test."},
    };
    for (const TCase& c : cases) EXPECT_EQ(SaveAsTarget(c.chosen), c.written) << c.chosen;
}

TEST(FileRules, CaptionShowsTheFileNameWithoutFolders) {
    EXPECT_EQ(CaptionFor("untitled.kvs"), "Korvane - untitled.kvs");
    EXPECT_EQ(CaptionFor("/a/b.c/demo.kvs"), "Korvane - demo.kvs");
    EXPECT_EQ(RecentLabel("/a/b/demo.kvs"), "demo.kvs");
}

TEST(FileRules, SaveAsSuggestionIsTheCaptionTailCutAtOneHundred) {
    EXPECT_EQ(SaveAsSuggestion("Korvane - untitled.kvs"), "untitled.kvs");
    const std::string longName(150, 'n');
    EXPECT_EQ(SaveAsSuggestion("Korvane - " + longName), std::string(100, 'n'));
}

TEST(FileRules, FilterPairsBecomeQtFilters) {
    EXPECT_EQ(QtFileFilter(kExecutableFilter), "Program (*)");
    EXPECT_EQ(QtFileFilter("Scripts|*.kvs|All|*"), "Scripts (*.kvs);;All (*)");
    EXPECT_EQ(QtFileFilter("Lonely"), "Lonely");
}

TEST(FileRules, HelpPageLiesBesideTheExecutable) {
    EXPECT_EQ(HelpPagePath("/opt/korvane/bin"),
              std::filesystem::path("/opt/korvane/bin/Help/html/index.html"));
}

}  // namespace
}  // namespace korvane::workbench
