#include "workbench/startup.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <set>
#include <string>
#include <vector>

#include "fake_executable.h"
#include "temp_folder.h"
#include "workbench/package_builder.h"
#include "workbench/payload_area.h"
#include "workbench/payload_reader.h"
#include "workbench/payload_writer.h"
#include "workbench/ucrypt.h"

namespace korvane::workbench {
namespace {

std::string PackagedSpace(std::string_view script, const std::vector<TRackFile>& racks) {
    TPayloadWriter writer;
    writer.AddScript(Scramble(script, ScriptKey()));
    for (const TRackFile& rack : racks) writer.AddRack(rack.name, rack.bytes);
    std::string space = writer.Finish();
    space.resize(kPayloadSpaceSize, kFillerByte);
    return space;
}

// A program's surroundings at start-up: which files exist, its payload space, and the racks
// it writes out.
struct TFakeStart {
    std::set<std::string> existing;
    std::string space = std::string(kPayloadSpaceSize, kFillerByte);
    std::set<std::string> unwritable;
    std::vector<TRackFile> written;

    TStartupPlan Plan(std::vector<std::string> arguments) {
        TStartupEnvironment environment;
        environment.fileExists = [this](const std::string& p) { return existing.count(p) > 0; };
        environment.readOwnPayloadSpace = [this] { return space; };
        environment.writeRack = [this](const TRackFile& rack) {
            if (unwritable.count(rack.name) > 0) return false;
            written.push_back(rack);
            return true;
        };
        return PlanStartup(arguments, environment);
    }
};

const std::vector<TRackFile> kRacks = {{"terminal.res", "t"}, {"panel.res", "p"}};

TEST(Startup, ChoosesTheMode) {
    struct TCase {
        const char* what;
        std::vector<std::string> arguments;
        bool packaged;
        TStartMode mode;
    };
    const std::vector<TCase> cases = {
        {"plain start", {}, false, TStartMode::Normal},
        {"script argument", {"run.kvs"}, false, TStartMode::ScriptFile},
        {"script argument beats the payload", {"run.kvs"}, true, TStartMode::ScriptFile},
        {"missing file is ignored", {"missing.kvs"}, false, TStartMode::Normal},
        {"missing file, packaged", {"missing.kvs"}, true, TStartMode::Standalone},
        {"two arguments are ignored", {"run.kvs", "run.kvs"}, true, TStartMode::Standalone},
        {"packaged", {}, true, TStartMode::Standalone},
    };
    for (const TCase& c : cases) {
        TFakeStart start;
        start.existing.insert("run.kvs");
        if (c.packaged) start.space = PackagedSpace("x=1", kRacks);
        const TStartupPlan plan = start.Plan(c.arguments);
        EXPECT_EQ(plan.mode, c.mode) << c.what;
        if (c.mode == TStartMode::ScriptFile) {
            EXPECT_EQ(plan.scriptPath, "run.kvs");
        }
        if (c.mode != TStartMode::Standalone) {
            EXPECT_TRUE(start.written.empty()) << c.what;
        }
    }
}

TEST(Startup, StandaloneRestoresScriptAndWritesRacksInOrder) {
    TFakeStart start;
    const std::string script = std::string("openrack(\"panel.res\")\r\n\0x", 26);
    start.space = PackagedSpace(script, kRacks);
    const TStartupPlan plan = start.Plan({});
    ASSERT_EQ(plan.mode, TStartMode::Standalone);
    EXPECT_EQ(plan.scriptText, script);
    ASSERT_EQ(start.written.size(), 2u);
    EXPECT_EQ(start.written[0].name, "terminal.res");
    EXPECT_EQ(start.written[1].name, "panel.res");
    EXPECT_EQ(start.written[1].bytes, "p");
}

TEST(Startup, EmptyScriptSectionRunsAnEmptyScript) {
    TFakeStart start;
    start.space = PackagedSpace("", kRacks);
    const TStartupPlan plan = start.Plan({});
    EXPECT_EQ(plan.mode, TStartMode::Standalone);
    EXPECT_EQ(plan.scriptText, "");
}

TEST(Startup, FailsWhenARackCannotBeWrittenButTriesEveryOne) {
    TFakeStart start;
    start.space = PackagedSpace("x=1", kRacks);
    start.unwritable.insert("terminal.res");
    const TStartupPlan plan = start.Plan({});
    EXPECT_EQ(plan.mode, TStartMode::StandaloneFailed);
    ASSERT_EQ(start.written.size(), 1u);
    EXPECT_EQ(start.written[0].name, "panel.res");
}

TEST(Startup, MalformedPayloadFailsBeforeWritingAnything) {
    TFakeStart start;
    start.space = PackagedSpace("x=1", kRacks);
    start.space.replace(start.space.find("[embe]"), 6, "VVVVVV");
    const TStartupPlan plan = start.Plan({});
    EXPECT_EQ(plan.mode, TStartMode::StandaloneFailed);
    EXPECT_EQ(plan.problem, "rack record or end tag expected");
    EXPECT_TRUE(start.written.empty());
}

TEST(Startup, WriteRackFileStaysInsideTheFolder) {
    testing::TTempFolder folder;
    std::string problem;
    EXPECT_TRUE(WriteRackFile(folder.Path(), {"a.res", "one"}, problem)) << problem;
    EXPECT_TRUE(WriteRackFile(folder.Path(), {"a.res", "two"}, problem)) << problem;
    EXPECT_EQ(testing::ReadTestFile(folder.Path() / "a.res"), "two");
    for (const char* unsafe : {"../escape.res", "sub/a.res", "..", "", "/abs/x.res"}) {
        EXPECT_FALSE(WriteRackFile(folder.Path(), {unsafe, "x"}, problem)) << unsafe;
    }
    EXPECT_FALSE(std::filesystem::exists(folder.Path().parent_path() / "escape.res"));
    // The writer a packaged start uses: into its folder, and never anywhere without one.
    EXPECT_TRUE(RackWriter(folder.Path())({"b.res", "three"}));
    EXPECT_EQ(testing::ReadTestFile(folder.Path() / "b.res"), "three");
    EXPECT_FALSE(RackWriter({})({"c.res", "four"}));
    EXPECT_FALSE(std::filesystem::exists("c.res"));
}

// The whole chain on this very program: Build patches a copy of the test binary, the copy is
// written executable, and its payload reads back.
TEST(Startup, PackagedCopyOfThisProgramReadsBack) {
    testing::TTempFolder folder;
    const auto self = OwnExecutablePath();
    ASSERT_TRUE(self.has_value());
    const std::filesystem::path program = folder.Path() / "korvane";
    std::filesystem::copy_file(*self, program);
    testing::WriteTestFile(folder.Path() / "terminal.res", "terminal");
    const std::filesystem::path rack = folder.Path() / "panel.res";
    testing::WriteTestFile(rack, "panel bytes");
    const std::string script = "openrack(\"" + rack.string() + "\")\r\nwritelog(\"hi\")";

    std::vector<std::string> log;
    const TBuildEnvironment environment =
        SystemBuildEnvironment([&log](std::string_view line) { log.emplace_back(line); },
                               [](const std::string&) { return true; });
    const auto built = BuildPackage({program, script, {}}, environment);
    ASSERT_TRUE(built.has_value()) << (log.empty() ? "" : log.back());

    const std::filesystem::path copy = folder.Path() / "packaged";
    std::string problem;
    ASSERT_TRUE(WritePackagedExecutable(copy, *built, problem)) << problem;
    struct stat info;
    ASSERT_EQ(::stat(copy.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 07777, 0755u);

    const TReadResult reread = ReadFileBounded(copy, kMaxExecutableSize);
    ASSERT_EQ(reread.status, TReadStatus::Ok);
    const auto space = FindPayloadSpace(reread.bytes);
    ASSERT_TRUE(space.has_value());
    const TPayloadReading reading = ReadPayload(std::string_view(reread.bytes).substr(*space));
    ASSERT_EQ(reading.status, TPayloadStatus::Valid) << reading.problem;
    EXPECT_EQ(Scramble(reading.payload.scrambledScript, ScriptKey()), script);
    ASSERT_EQ(reading.payload.racks.size(), 2u);
    EXPECT_EQ(reading.payload.racks[1].name, "panel.res");
    EXPECT_EQ(reading.payload.racks[1].bytes, "panel bytes");
}

}  // namespace
}  // namespace korvane::workbench
