#include "workbench/file_io.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include "temp_folder.h"

namespace korvane::workbench {
namespace {

unsigned ModeOf(const std::filesystem::path& path) {
    struct stat info;
    if (::stat(path.c_str(), &info) != 0) return 0;
    return info.st_mode & 07777;
}

TEST(FileIo, ReadStopsAtTheLimit) {
    testing::TTempFolder folder;
    const auto path = folder.Path() / "ten";
    testing::WriteTestFile(path, "0123456789");
    const TReadResult exact = ReadFileBounded(path, 10);
    EXPECT_EQ(exact.status, TReadStatus::Ok);
    EXPECT_EQ(exact.bytes, "0123456789");
    const TReadResult over = ReadFileBounded(path, 9);
    EXPECT_EQ(over.status, TReadStatus::TooLarge);
    EXPECT_TRUE(over.bytes.empty());
    const TReadResult missing = ReadFileBounded(folder.Path() / "none", 10);
    EXPECT_EQ(missing.status, TReadStatus::Failed);
    EXPECT_NE(missing.problem.find("none"), std::string::npos);
}

// A FIFO would block the open until a writer came; a device could be read for ever.
TEST(FileIo, OnlyARegularFileIsRead) {
    testing::TTempFolder folder;
    const auto fifo = folder.Path() / "fifo";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    for (const std::filesystem::path& path : {fifo, folder.Path(), std::filesystem::path("/dev/zero")}) {
        const TReadResult read = ReadFileBounded(path, 10);
        EXPECT_EQ(read.status, TReadStatus::Failed) << path;
        EXPECT_TRUE(read.bytes.empty()) << path;
        EXPECT_NE(read.problem.find(path.string()), std::string::npos) << read.problem;
    }
}

TEST(FileIo, WriteSetsTheModeWhateverTheUmask) {
    testing::TTempFolder folder;
    const mode_t oldMask = ::umask(077);
    std::string problem;
    const auto program = folder.Path() / "program";
    const auto data = folder.Path() / "data";
    const bool wroteProgram =
        WriteFileReplacing(program, std::string("a\0b", 3), TFileMode::Executable, problem);
    const bool wroteData = WriteFileReplacing(data, "x", TFileMode::Regular, problem);
    ::umask(oldMask);
    ASSERT_TRUE(wroteProgram && wroteData) << problem;
    EXPECT_EQ(ModeOf(program), 0755u);
    EXPECT_EQ(ModeOf(data), 0644u);
    EXPECT_EQ(testing::ReadTestFile(program), std::string("a\0b", 3));
}

TEST(FileIo, WriteReplacesFileAndLinkLeavingNoTemporary) {
    testing::TTempFolder folder;
    const auto target = folder.Path() / "target";
    const auto link = folder.Path() / "link";
    testing::WriteTestFile(target, "old");
    std::filesystem::create_symlink(target, link);
    std::string problem;
    ASSERT_TRUE(WriteFileReplacing(link, "new", TFileMode::Regular, problem)) << problem;
    EXPECT_FALSE(std::filesystem::is_symlink(link)) << "the link itself is replaced";
    EXPECT_EQ(testing::ReadTestFile(link), "new");
    EXPECT_EQ(testing::ReadTestFile(target), "old") << "nothing written through the link";
    std::size_t entries = 0;
    for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator(folder.Path())) {
        ++entries;
    }
    EXPECT_EQ(entries, 2u);
}

TEST(FileIo, WriteIntoAMissingFolderFails) {
    testing::TTempFolder folder;
    std::string problem;
    EXPECT_FALSE(
        WriteFileReplacing(folder.Path() / "no" / "file", "x", TFileMode::Regular, problem));
    EXPECT_FALSE(problem.empty());
}

}  // namespace
}  // namespace korvane::workbench
