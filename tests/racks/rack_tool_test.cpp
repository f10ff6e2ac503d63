#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>

#include "racks/rack_file.h"
#include "test_streams.h"

namespace korvane::racks {
namespace {

namespace fs = std::filesystem;

struct TRun {
    int exitCode = -1;
    std::string errors;
};

// Runs korvane-rack with the given arguments and collects its exit code and standard error.
class RackTool : public ::testing::Test {
 protected:
    void SetUp() override {
        m_folder = fs::temp_directory_path() /
                   ("korvane_rack_tool_" +
                    std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
        fs::create_directories(m_folder);
    }
    void TearDown() override { fs::remove_all(m_folder); }

    TRun Run(const std::vector<std::string>& args) {
        const fs::path errors = m_folder / "stderr.txt";
        std::string command = "'" KORVANE_RACK_TOOL "'";
        for (const std::string& arg : args) command += " '" + arg + "'";
        command += " 2> '" + errors.string() + "'";
        const int status = std::system(command.c_str());
        TRun run;
        run.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
        run.errors = ReadFileBytes(errors, kMaxRackFileSize).Value();
        return run;
    }

    std::string Data(const char* name) { return std::string(KORVANE_RACK_TEST_DATA) + "/" + name; }
    std::string Temp(const char* name) { return (m_folder / name).string(); }
    std::string Read(const std::string& path) {
        return ReadFileBytes(path, kMaxRackFileSize).Value();
    }

    fs::path m_folder;
};

TEST_F(RackTool, TextToRackAndBackGivesTheSameBytes) {
    for (const char* name : {"sample_rack.txt", "terminal.txt", "every_value.txt"}) {
        SCOPED_TRACE(name);
        TRun toBinary = Run({"tobin", Data(name), Temp("rack.res")});
        ASSERT_EQ(toBinary.exitCode, 0) << toBinary.errors;
        EXPECT_EQ(toBinary.errors, "");
        TRun toText = Run({"totext", Temp("rack.res"), Temp("rack.txt")});
        ASSERT_EQ(toText.exitCode, 0) << toText.errors;
        TRun again = Run({"tobin", Temp("rack.txt"), Temp("again.res")});
        ASSERT_EQ(again.exitCode, 0) << again.errors;
        EXPECT_EQ(Read(Temp("again.res")), Read(Temp("rack.res")));
    }
    EXPECT_EQ(Read(Temp("rack.txt")).substr(0, 31), "object frmEvery: TfrmEvery\n  No");
}

TEST_F(RackTool, WritesARackTheLoaderAccepts) {
    ASSERT_EQ(Run({"tobin", Data("terminal.txt"), Temp("terminal.res")}).exitCode, 0);
    const std::string bytes = Read(Temp("terminal.res"));
    EXPECT_EQ(bytes.substr(0, 15),
              test::Bytes({0xFF, 10, 0}) + "TTERMINAL" + test::Bytes({0, 0x30, 0x10}));
    TResult<TFormObject> root = LoadRackFile(Temp("terminal.res"));
    ASSERT_TRUE(root.Ok()) << root.Error();
    ASSERT_EQ(root.Value().children.size(), 1u);
    EXPECT_EQ(root.Value().children[0].objectName, "Memo1");
    EXPECT_EQ(root.Value().children[0].properties.GetIdent("Color").value, "clBlack");
}

TEST_F(RackTool, FailuresExitNonZeroWithAMessage) {
    ASSERT_TRUE(
        WriteFileBytes(Temp("unknown.txt"), "object f: TForm\n  object b: TButton\n  end\nend\n")
            .Ok());
    ASSERT_TRUE(WriteFileBytes(Temp("broken.txt"), "object f: TForm\n  Left 3\nend\n").Ok());
    ASSERT_TRUE(WriteFileBytes(Temp("not_a_rack.res"), "TPF0 is not enough").Ok());
    const std::string usage =
        "usage: korvane-rack totext RACK OUT.txt\n       korvane-rack tobin IN.txt RACK\n";
    const struct {
        std::vector<std::string> args;
        int exitCode;
        std::string errors;
    } cases[] = {
        {{}, 2, usage},
        {{"tojson", "a", "b"}, 2, usage},
        {{"totext", "only-one"}, 2, usage},
        {{"totext", Temp("missing.res"), Temp("out.txt")},
         1,
         "korvane-rack: cannot open " + Temp("missing.res") + ": No such file or directory\n"},
        {{"totext", Temp("not_a_rack.res"), Temp("out.txt")},
         1,
         "korvane-rack: " + Temp("not_a_rack.res") +
             ": not a rack file: first byte is 0x54, not 0xFF\n"},
        {{"tobin", Temp("unknown.txt"), Temp("out.res")},
         1,
         "korvane-rack: " + Temp("unknown.txt") +
             ": unregistered control class TButton (object b)\n"},
        {{"tobin", Temp("broken.txt"), Temp("out.res")},
         1,
         "korvane-rack: " + Temp("broken.txt") +
             ": bad text form: line 2: expected '=' after property Left\n"},
        {{"tobin", Data("sample_rack.txt"), Temp("no/such/folder.res")},
         1,
         "korvane-rack: cannot create " + Temp("no/such/folder.res") +
             ": No such file or directory\n"},
    };
    for (const auto& c : cases) {
        TRun run = Run(c.args);
        EXPECT_EQ(run.exitCode, c.exitCode) << run.errors;
        EXPECT_EQ(run.errors, c.errors);
    }
    EXPECT_FALSE(fs::exists(Temp("out.res")));
    EXPECT_FALSE(fs::exists(Temp("out.txt")));
}

}  // namespace
}  // namespace korvane::racks
