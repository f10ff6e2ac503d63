#include "host/program_files.h"

#include <gtest/gtest.h>

#include "temp_dir.h"

namespace korvane::host {
namespace {

namespace fs = std::filesystem;

// bin/ and share/korvane/ side by side, as installed, with the file in either, both or neither.
TEST(ProgramFiles, BesideTheExecutableFirstThenTheInstalledDataFolder) {
    const struct {
        const char* name;
        bool beside;
        bool installed;
        const char* expected;  // relative to the root
    } cases[] = {
        {"beside only", true, false, "bin/Help/html/index.html"},
        {"installed only", false, true, "share/korvane/Help/html/index.html"},
        {"both", true, true, "bin/Help/html/index.html"},
        {"neither", false, false, "bin/Help/html/index.html"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        testing::TTempDir root;
        const fs::path bin = root.Path() / "bin";
        const fs::path name = "Help/html/index.html";
        fs::create_directories(bin / "Help/html");
        fs::create_directories(root.Path() / "share/korvane/Help/html");
        if (c.beside) testing::WriteBytes((bin / name).string(), "b");
        if (c.installed) {
            testing::WriteBytes((root.Path() / "share/korvane" / name).string(), "i");
        }
        EXPECT_EQ(ProgramFile(bin, name), root.Path() / c.expected);
    }
}

}  // namespace
}  // namespace korvane::host
