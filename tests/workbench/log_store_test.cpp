#include "workbench/log_store.h"

#include <gtest/gtest.h>

#include "workbench/run_folder.h"

namespace korvane::workbench {
namespace {

std::vector<std::string> Held(const TLogStore& store) {
    std::vector<std::string> lines;
    for (std::size_t i = 0; i < store.LineCount(); ++i) lines.push_back(store.Line(i));
    return lines;
}

// Nothing goes while the bounds hold; past either bound the oldest lines go in one block down
// to 80 %, and the note in front counts every line that went since the last Clear.
TEST(LogStore, KeepsEveryLineUntilABoundThenTrimsOldestInBlocks) {
    TLogStore store({10, 1000});
    for (int i = 0; i < 10; ++i) EXPECT_EQ(store.Append("line " + std::to_string(i)), 0u);
    EXPECT_EQ(store.LineCount(), 10u);
    EXPECT_EQ(store.Removed(), 0u);
    EXPECT_EQ(store.Append("line 10"), 3u);  // 11 lines, down to 8
    EXPECT_EQ(Held(store).front(), RemovalNote(3));
    EXPECT_EQ(Held(store)[1], "line 3");
    EXPECT_EQ(store.BodyCount(), 8u);
    for (int i = 11; i < 13; ++i) EXPECT_EQ(store.Append("line " + std::to_string(i)), 0u);
    EXPECT_EQ(store.Append("line 13"), 3u);
    EXPECT_EQ(store.Note(), RemovalNote(6));
    EXPECT_EQ(store.Bytes().substr(0, store.Note().size() + 8), RemovalNote(6) + "\nline 6\n");

    // The byte bound: one long line pushes older ones out, yet the newest always stays.
    store.Append(std::string(2000, 'x'));
    EXPECT_EQ(store.BodyCount(), 1u);
    EXPECT_EQ(store.BodyLine(0).size(), 2000u);
    store.Clear();
    EXPECT_EQ(store.LineCount(), 0u);
    EXPECT_EQ(store.Bytes(), "");
    EXPECT_EQ(store.Removed(), 0u);
}

TEST(LogStore, VeryLongLinesAreShortenedForTheScreenOnly) {
    const std::string exact(kShownLineLimit, 'a');
    EXPECT_EQ(ShownLine(exact), exact);
    const std::string longer = exact + "bc";
    EXPECT_EQ(ShownLine(longer), exact + " ... [line of " + std::to_string(kShownLineLimit + 2) +
                                     " characters shortened; Save log keeps it whole]");
    TLogStore store;
    store.Append(longer);
    EXPECT_EQ(store.Bytes(), longer + "\n");
}

TEST(RunFolder, SavedScriptsRunBesideThemselvesUntitledInHome) {
    const char* home = std::getenv("HOME");
    ASSERT_NE(home, nullptr);
    EXPECT_EQ(RunFolderFor("/srv/lab/t.kvs"), std::filesystem::path("/srv/lab"));
    EXPECT_EQ(RunFolderFor(""), std::filesystem::path(home));
    EXPECT_EQ(RunFolderFor("rel/t.kvs"), std::filesystem::current_path() / "rel");
    // Dialogs: the script's folder first, then the last folder used, then home.
    EXPECT_EQ(DialogFolderFor("/srv/lab/t.kvs", "/tmp/x"), std::filesystem::path("/srv/lab"));
    EXPECT_EQ(DialogFolderFor("", "/tmp/x"), std::filesystem::path("/tmp/x"));
    EXPECT_EQ(DialogFolderFor("", ""), std::filesystem::path(home));

    const std::filesystem::path before = std::filesystem::current_path();
    {
        const TRunFolder folder(std::filesystem::temp_directory_path());
        EXPECT_EQ(std::filesystem::current_path(), std::filesystem::canonical(std::filesystem::temp_directory_path()));
    }
    EXPECT_EQ(std::filesystem::current_path(), before);
    {
        // A folder that is gone leaves the working directory alone.
        const TRunFolder folder("/nonexistent/korvane-run-folder");
        EXPECT_EQ(std::filesystem::current_path(), before);
    }
    EXPECT_EQ(std::filesystem::current_path(), before);
}

}  // namespace
}  // namespace korvane::workbench
