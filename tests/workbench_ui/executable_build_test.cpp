#include <filesystem>
#include <sstream>

#include <QAction>
#include <gtest/gtest.h>

#include "racks/ui/frm_rack.h"
#include "workbench/file_io.h"
#include "workbench/payload_area.h"
#include "workbench/payload_layout.h"
#include "workbench/payload_reader.h"
#include "workbench/startup.h"
#include "workbench/ucrypt.h"
#include "workbench/ui/executable_build.h"
#include "workbench/ui/log_pane.h"
#include "workbench/ui/main_form.h"
#include "workbench/ui/program_start.h"
#include "workbench/ui/rack_owner.h"
#include "workbench/ui/workbench_context.h"
#include "workbench_fixture.h"

namespace korvane::workbench {
namespace {

using testing::ReadBytes;
using testing::TUserActions;
using testing::TWorkbenchFixture;
using testing::WriteBytes;

// The workbench over a temporary folder, packaging this test program (which carries the
// payload area like every program of the project) with the terminal layout beside it.
struct TBuildFixture : TWorkbenchFixture {
    explicit TBuildFixture(bool standalone = false) : TWorkbenchFixture(standalone) {
        App().Context().executablePath = *OwnExecutablePath();
        rack = (Folder() / "panel.res").string();
        std::filesystem::copy_file(KORVANE_DEMO_RACK, rack);
    }
    void Build() { Action("Build1")->trigger(); }
    TPayloadReading Packaged(const std::filesystem::path& file) {
        const std::string bytes = ReadBytes(file);
        const std::optional<std::size_t> space = FindPayloadSpace(bytes);
        if (!space) return {};
        return ReadPayload(std::string_view(bytes).substr(*space, kPayloadSpaceSize));
    }
    std::string rack;
};

TEST(ExecutableBuild, BuildWritesAnExecutableCopyCarryingScriptAndRacks) {
    TBuildFixture f;
    const std::string out = (f.Folder() / "tester").string();
    f.dialogs.files.push_back(out);
    f.SetScript("openrack(\"" + f.rack + "\")\nx = 1");
    f.Build();
    EXPECT_EQ(f.LogLines(),
              (QStringList{"Building", "Adding header", "Adding script", "Adding racks",
                           "Adding terminal.res (required)",
                           QString::fromStdString("Found rack " + f.rack), "Done",
                           QString::fromStdString("Program written: " + out + " (" +
                                                  std::to_string(std::filesystem::file_size(out)) +
                                                  " bytes)")}));
    EXPECT_EQ(f.dialogs.startFolders.size(), 1u);
    EXPECT_EQ(f.dialogs.executableSuggestions, (std::vector<std::string>{"untitled"}));
    // The rack window was used to check the rack and is hidden again.
    EXPECT_FALSE(f.App().Rack().Window().isVisible());

    ASSERT_TRUE(std::filesystem::exists(out));
    const auto permissions = std::filesystem::status(out).permissions();
    EXPECT_EQ(permissions & std::filesystem::perms::all, static_cast<std::filesystem::perms>(0755));
    EXPECT_EQ(std::filesystem::file_size(out),
              std::filesystem::file_size(f.App().Context().executablePath));
    const TPayloadReading reading = f.Packaged(out);
    ASSERT_EQ(reading.status, TPayloadStatus::Valid) << reading.problem;
    EXPECT_EQ(Scramble(reading.payload.scrambledScript, ScriptKey()),
              "openrack(\"" + f.rack + "\")\r\nx = 1");
    ASSERT_EQ(reading.payload.racks.size(), 2u);
    EXPECT_EQ(reading.payload.racks[0].name, "terminal.res");
    EXPECT_EQ(reading.payload.racks[1].name, "panel.res");
    EXPECT_EQ(reading.payload.racks[1].bytes, ReadBytes(f.rack));
}

TEST(ExecutableBuild, CancelFailureAndBadRacks) {
    TBuildFixture f;
    // Cancelling the save dialog writes nothing and says so; the name offered is the script's.
    const std::filesystem::path script = f.Folder() / "probe.kvs";
    WriteBytes(script, "openrack(\"" + f.rack + "\")\nloadimage(Img1, \"logo.bmp\")");
    f.Form().OpenFile(script.string());
    f.Build();
    EXPECT_EQ(f.LogLines().mid(6), (QStringList{"Done", "Warning: line 2: file not found: logo.bmp",
                                                "Build cancelled: no program written"}));
    EXPECT_EQ(f.dialogs.executableSuggestions, (std::vector<std::string>{"probe"}));
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(f.Folder().Path()), {}), 2);

    // A rack that does not load is logged and left out; without any other rack the build fails.
    const std::string bad = (f.Folder() / "bad.res").string();
    WriteBytes(bad, "not a rack");
    f.Form().Log().ClearItems();
    f.SetScript("openrack(\"" + bad + "\")");
    f.Build();
    EXPECT_EQ(f.LogLines().mid(5), (QStringList{QString::fromStdString("Found rack " + bad),
                                                QString::fromStdString("Rack file not valid " + bad),
                                                "Error building:", "Sorry, no racks found !"}));
    EXPECT_EQ(f.dialogs.startFolders.size(), 1u);
}

// Runs the test body in another current folder and comes back.
class TCurrentFolder {
public:
    explicit TCurrentFolder(const std::filesystem::path& folder)
        : m_before(std::filesystem::current_path()) {
        std::filesystem::current_path(folder);
    }
    ~TCurrentFolder() { std::filesystem::current_path(m_before); }

private:
    std::filesystem::path m_before;
};

// The shipped demo opens its rack by bare name with a fallback line for the repository's
// folder; it builds from the workbench wherever the program was started, and from
// "korvane --build" in the repository.
TEST(ExecutableBuild, TheShippedDemoBuilds) {
    const std::filesystem::path examples = KORVANE_EXAMPLES;
    TBuildFixture f;
    const std::string out = (f.Folder() / "demo").string();
    {
        TCurrentFolder elsewhere(f.Folder().Path());
        f.Form().OpenFile((examples / "demo.kvs").string());
        f.dialogs.files.push_back(out);
        f.Build();
    }
    EXPECT_EQ(f.LogLines().mid(5, 2), (QStringList{"Found rack demo_rack.res", "Done"}));
    EXPECT_TRUE(f.LogLines().last().startsWith("Program written: "));
    const TPayloadReading built = f.Packaged(out);
    ASSERT_EQ(built.status, TPayloadStatus::Valid);
    ASSERT_EQ(built.payload.racks.size(), 2u);
    EXPECT_EQ(built.payload.racks[1].name, "demo_rack.res");
    EXPECT_EQ(built.payload.racks[1].bytes, ReadBytes(examples / "demo_rack.res"));

    TCurrentFolder repository(examples.parent_path());
    std::ostringstream log, errors;
    EXPECT_EQ(BuildFromCommandLine(f.App(), "examples/demo.kvs", out, log, errors), kExitNormal)
        << errors.str();
    EXPECT_EQ(f.Packaged(out).payload.racks.size(), 2u);
}

TEST(ExecutableBuild, RefusedWhileAScriptRuns) {
    TBuildFixture f;
    f.Form().show();
    f.SetScript("openrack(\"" + f.rack + "\")\nwhile (1 == 1)\nwend");
    TUserActions user;
    user.Then([&] { return f.Form().Running(); }, [&] {
        f.Build();
        f.Form().StopScript();
    });
    f.Form().RunScript();
    EXPECT_TRUE(user.Done());
    EXPECT_FALSE(f.LogLines().contains("Building"));
}

TEST(ProgramStart, StandaloneRunsThePackagedScriptHiddenAndEndsWithItsOutcome) {
    struct TCase {
        std::string script;
        int exitCode;
        const char* errors;
    };
    TBuildFixture f(true);
    const std::string evidence = (f.Folder() / "evidence.txt").string();
    // The racks the program carries, unpacked; openrack finds them by file name.
    const std::filesystem::path unpacked = f.Folder() / "unpacked";
    std::filesystem::create_directory(unpacked);
    std::filesystem::copy_file(f.rack, unpacked / "carried.res");
    f.App().Context().packagedRackFolder = unpacked;
    const auto writes = [](const std::string& file, const std::string& text) {
        return "fcreate(\"" + file + "\")\nh = fopen(\"" + file + "\")\nn = fwrite(" + text +
               ")\nfclose()";
    };
    const std::string rackEvidence = (f.Folder() / "rack.txt").string();
    const TCase cases[] = {
        {writes(evidence, "\"ran\""), kExitNormal, ""},
        {"for (i, 1, 3, 0)\nnext", kExitFatal, "Fatal error: Division by zero\n"},
        {"for (i, 1, 3)", kExitRefused, "The packaged script did not pass the block check.\n"},
        {"openrack(\"racks/carried.res\")\n" + writes(rackEvidence, "\"rack \" & error"),
         kExitNormal, ""},
        // Without its rack a packaged program would run unseen until killed.
        {"openrack(\"absent.res\")\nwhile (1 == 1)\nwend", kExitFatal,
         "Fatal error: openrack: cannot open absent.res: No such file or directory\n"},
    };
    for (const TCase& c : cases) {
        TStartupPlan plan;
        plan.mode = TStartMode::Standalone;
        plan.scriptText = c.script;
        std::ostringstream errors;
        EXPECT_EQ(StartProgram(f.App(), plan, errors), c.exitCode) << c.script;
        EXPECT_EQ(errors.str(), c.errors);
        EXPECT_FALSE(f.Form().isVisible());
        // The script log writes nothing in standalone mode.
        EXPECT_FALSE(f.LogLines().contains("14:03:27: Script started"));
    }
    EXPECT_EQ(ReadBytes(evidence), "ran");
    EXPECT_EQ(ReadBytes(rackEvidence), "rack 0");
}

TEST(ProgramStart, StandaloneThatCannotWriteItsRacksSaysSoAndEnds) {
    TBuildFixture f(true);
    TStartupPlan plan;
    plan.mode = TStartMode::StandaloneFailed;
    plan.problem = "a packaged rack file could not be written";
    std::ostringstream errors;
    EXPECT_EQ(StartProgram(f.App(), plan, errors), kExitCannotStart);
    EXPECT_EQ(f.dialogs.messages, QStringList{QString::fromLatin1(kResourcesErrorText)});
    EXPECT_NE(errors.str().find(plan.problem), std::string::npos);
}

TEST(ProgramStart, CommandLineBuildReportsFailuresOnTheErrorStream) {
    TBuildFixture f;
    const std::string script = (f.Folder() / "s.kvs").string();
    const std::string out = (f.Folder() / "packaged").string();
    std::ostringstream log, errors;
    EXPECT_EQ(BuildFromCommandLine(f.App(), script, out, log, errors), kExitCannotStart);
    EXPECT_EQ(errors.str(), "Error loading file " + script + "\n");

    WriteBytes(script, "x = 1\nopenrack(\"" + (f.Folder() / "missing.res").string() + "\")\n");
    errors.str("");
    EXPECT_EQ(BuildFromCommandLine(f.App(), script, out, log, errors), kExitFatal);
    EXPECT_EQ(errors.str(), "Rack file not found " + (f.Folder() / "missing.res").string() + "\n");
    EXPECT_FALSE(std::filesystem::exists(out));

    WriteBytes(script, "x = 1\nopenrack(\"" + f.rack + "\")\n");
    log.str("");
    errors.str("");
    EXPECT_EQ(BuildFromCommandLine(f.App(), script, out, log, errors), kExitNormal);
    EXPECT_EQ(errors.str(), "");
    EXPECT_NE(log.str().find("Found rack " + f.rack + "\nDone\n"), std::string::npos);
    // What the program will miss is said here too.
    WriteBytes(script, "loadimage(Img1, \"logo.bmp\")\nopenrack(\"" + f.rack + "\")\n");
    log.str("");
    EXPECT_EQ(BuildFromCommandLine(f.App(), script, out, log, errors), kExitNormal);
    EXPECT_TRUE(log.str().ends_with("Done\nWarning: line 1: file not found: logo.bmp\n"))
        << log.str();
    WriteBytes(script, "x = 1\nopenrack(\"" + f.rack + "\")\n");
    EXPECT_EQ(BuildFromCommandLine(f.App(), script, out, log, errors), kExitNormal);
    EXPECT_EQ(f.Packaged(out).status, TPayloadStatus::Valid);
    // Lines of a file with LF endings are packaged with CR LF, as the editor gives them.
    EXPECT_EQ(Scramble(f.Packaged(out).payload.scrambledScript, ScriptKey()),
              "x = 1\r\nopenrack(\"" + f.rack + "\")");
}

}  // namespace
}  // namespace korvane::workbench
