#include "host/exec_command.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <thread>

#include "host/desktop_launcher.h"
#include "host/log_commands.h"
#include "host/window_actions.h"
#include "host/window_commands.h"
#include "host/launcher.h"
#include "temp_dir.h"
#include "tests/engine/recording_host.h"

namespace korvane::host {
namespace {

using engine::testing::TEngineFixture;
using testing::TTempDir;
using testing::WriteBytes;

struct TFakeLauncher : TLauncher {
    bool answer = true;
    std::vector<std::string> opened;
    bool Open(const std::string& fileName) override {
        opened.push_back(fileName);
        return answer;
    }
};

TEST(ExecCommand, LogsTheOutcomeAndPassesTheWholeText) {
    const struct {
        const char* script;
        bool answer;
        std::vector<std::string> opened;
        std::vector<std::string> log;
        const char* error;
        const char* lastError;
    } cases[] = {
        {"exec(\"notes.txt\")",
         true,
         {"notes.txt"},
         {"14:03:27: External application was stared: notes.txt"},
         "0",
         ""},
        {"exec(\"prog\" & \" --flag x\")",
         false,
         {"prog --flag x"},
         {"14:03:27: External application was not started: prog --flag x"},
         "1",
         "exec: error starting external application.."},
        {"error = 7\nexec(\"a\", \"b\")\nexec()", true, {}, {}, "7", ""},
    };
    for (const auto& c : cases) {
        TEngineFixture engine;
        TFakeLauncher launcher;
        launcher.answer = c.answer;
        BindExecCommand(engine.dispatch, launcher);
        auto run = engine.Run(c.script);
        EXPECT_EQ(launcher.opened, c.opened) << c.script;
        EXPECT_EQ(engine.host.log, c.log) << c.script;
        EXPECT_EQ(run->GetVariable("error"), c.error) << c.script;
        EXPECT_EQ(run->LastErrorText(), c.lastError) << c.script;
    }
}

bool WaitForFile(const std::string& path) {
    for (int i = 0; i < 500; ++i) {
        if (std::filesystem::exists(path)) return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return false;
}

// Texts that would do something in a shell are only ever names of files that do not exist.
TEST(DesktopLauncher, NamesThatNameNothingStartNothing) {
    TTempDir dir;
    const std::string marker = dir.File("ran");
    const std::string names[] = {
        "",
        dir.File("missing.kvs"),
        "/bin/sleep 1",
        "true 1",
        "touch " + marker,
        "$(touch " + marker + ")",
        "x; touch " + marker,
        "`touch " + marker + "`",
        "/bin/sh -c 'touch " + marker + "'",
        std::string("/bin/true\0x", 11),
    };
    TDesktopLauncher launcher;
    for (const std::string& name : names) EXPECT_FALSE(launcher.Open(name)) << name;
    // Had any of them reached a shell, the marker would be there by the time a real program
    // we start ourselves has run.
    const std::string done = dir.File("done");
    const std::string program = dir.File("touch_done.sh");
    WriteBytes(program, "#!/bin/sh\necho > '" + done + "'\n");
    ::chmod(program.c_str(), 0755);
    ASSERT_TRUE(launcher.Open(program));
    ASSERT_TRUE(WaitForFile(done));
    EXPECT_FALSE(std::filesystem::exists(marker));
}

// The program keeps running until the test lets it go, so exec cannot have waited for it.
TEST(DesktopLauncher, StartsAProgramAndReturnsAtOnce) {
    TTempDir dir;
    const std::string started = dir.File("started");
    const std::string release = dir.File("release");
    const std::string finished = dir.File("finished");
    WriteBytes(dir.File("waiter.sh"), "#!/bin/sh\necho > '" + started + "'\nwhile [ ! -e '" +
                                          release + "' ]; do sleep 0.02; done\necho > '" +
                                          finished + "'\n");
    ::chmod(dir.File("waiter.sh").c_str(), 0755);
    const auto previous = std::filesystem::current_path();
    std::filesystem::current_path(dir.Path());  // a relative name is taken from here
    TDesktopLauncher launcher;
    const bool opened = launcher.Open("waiter.sh");
    std::filesystem::current_path(previous);
    ASSERT_TRUE(opened);
    ASSERT_TRUE(WaitForFile(started));
    EXPECT_FALSE(std::filesystem::exists(finished));
    WriteBytes(release, "");
    EXPECT_TRUE(WaitForFile(finished));
}

TEST(DesktopLauncher, FindsAProgramOnThePath) {
    TDesktopLauncher launcher;
    EXPECT_TRUE(launcher.Open("true"));
}

struct TNoWindow : TWindowActions {
    void ShowMain() override {}
    void HideMain() override {}
};

// After a failed exec, writelog and a successful exec set error back to 0; showmain and
// hidemain leave it alone. geterror() keeps the failed exec's message throughout.
TEST(HostCommands, SuccessAfterFailureClearsErrorButKeepsTheMessage) {
    const struct {
        const char* statement;
        const char* error;
    } cases[] = {
        {"writelog(\"note\")", "0"},
        {"exec(\"works.txt\")", "0"},
        {"showmain", "1"},
        {"hidemain(1)", "1"},
    };
    for (const auto& c : cases) {
        TEngineFixture engine;
        TFakeLauncher launcher;
        TNoWindow window;
        BindExecCommand(engine.dispatch, launcher);
        BindLogCommands(engine.dispatch);
        BindWindowCommands(engine.dispatch, window);
        launcher.answer = false;
        engine.host.onEvents = [&] { launcher.answer = !launcher.opened.empty(); };
        // The word openrack in the script makes hidemain a statement.
        auto run = engine.Run(std::string("exec(\"missing\")\n") + c.statement +
                              "\ne = error\nm = geterror()\n# openrack");
        EXPECT_EQ(run->GetVariable("e"), c.error) << c.statement;
        EXPECT_EQ(run->GetVariable("m"), "exec: error starting external application..")
            << c.statement;
    }
}

}  // namespace
}  // namespace korvane::host
