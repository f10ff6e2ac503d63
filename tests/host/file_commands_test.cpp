#include "host/file_commands.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <map>

#include "host/dm.h"
#include "temp_dir.h"
#include "tests/engine/recording_host.h"

namespace korvane::host {
namespace {

using engine::testing::TEngineFixture;
using testing::ReadBytes;
using testing::TTempDir;
using testing::WriteBytes;

// Scripts name the files F and G as %F and %G; the slot outlives each run.
struct TFileScript {
    TEngineFixture engine;
    TDM dm;
    TTempDir dir;

    TFileScript() { BindFileCommands(engine.dispatch, dm); }
    std::string F() const { return dir.File("f.dat"); }
    std::string G() const { return dir.File("g.dat"); }
    std::string Expand(std::string script) const {
        for (const auto& [mark, path] : {std::pair{"%F", F()}, std::pair{"%G", G()}}) {
            for (size_t at; (at = script.find(mark)) != std::string::npos;) {
                script.replace(at, 2, "\"" + path + "\"");
            }
        }
        return script;
    }
    std::unique_ptr<engine::TExecute> Run(const std::string& script) {
        return engine.Run(Expand(script));
    }
};

struct TFileCase {
    const char* name;
    const char* before;  // content of F before the run; nullptr: F does not exist
    const char* script;
    std::map<std::string, std::string> variables;
    const char* lastError;
    const char* after;  // content of F after the run; nullptr: not checked
};

TEST(FileCommands, Rules) {
    const TFileCase cases[] = {
        {"missing file",
         nullptr,
         "h = fopen(%F)\ne1 = geterror()\nx = \"keep\"\nx = fread(5)",
         {{"h", "-1"}, {"e1", "fopen: error opening file"}, {"x", "keep"}, {"error", "1"}},
         "fread: file not open",
         nullptr},
        {"fcreate empties and leaves nothing open",
         "old text",
         "fcreate(%F)\nx = \"keep\"\nx = fwrite(\"a\")",
         {{"x", "keep"}, {"error", "1"}},
         "fwrite: file not open",
         ""},
        {"append after seeking to the end",
         "abc",
         "h = fopen(%F)\nfseek(0, 2)\nn = fwrite(\"def\")\nfclose()",
         {{"n", "3"}, {"error", "0"}},
         "",
         "abcdef"},
        {"overwrite in the middle",
         "abcdef",
         "h = fopen(%F)\nfseek(\"2\", \"0\")\nn = fwrite(12)\nfseek(-1, 1)\nr = fread(9)\nfclose()",
         {{"n", "2"}, {"r", "2ef"}},
         "",
         "ab12ef"},
        {"reads up to the end, then empty",
         "0123456789",
         "h = fopen(%F)\na = fread(4)\nb = fread(10)\nc = \"[\" & fread(10) & \"]\"\ne = error",
         {{"a", "0123"}, {"b", "456789"}, {"c", "[]"}, {"e", "0"}},
         "",
         nullptr},
        {"counts",
         "0123456789",
         "h = fopen(%F)\na = fread(2.7)\nb = \"[\" & fread(-5) & \"]\"\nc = \"[\" & fread(\"x\") & "
         "\"]\"",
         {{"a", "01"}, {"b", "[]"}, {"c", "[]"}, {"error", "1"}},
         "fread: error reading from file",
         nullptr},
        {"empty write",
         "",
         "h = fopen(%F)\nn = fwrite(\"\")",
         {{"n", "0"}, {"error", "1"}},
         "fwrite: error writing to file",
         ""},
        {"seek before the start",
         "abc",
         "h = fopen(%F)\nfseek(-1, 0)\ne = error",
         {{"e", "1"}},
         "fseek: error seeking in file",
         nullptr},
        {"seek modes",
         "abc",
         "h = fopen(%F)\nfseek(0, 3)",
         {{"error", "1"}},
         "fseek: invalid seeking mode",
         nullptr},
        {"seek with no number",
         "abc",
         "h = fopen(%F)\nfseek(\"a\", 0)\ne1 = geterror()\nfseek(0, \"x\")",
         {{"e1", "fseek: error seeking in file"}, {"error", "1"}},
         "fseek: error seeking in file",
         nullptr},
        {"other argument counts do nothing",
         "abc",
         "h = fopen(%F)\nerror = 7\nfseek(5)\nfclose(1)\nfcreate()\nfcreate(%F, 1)",
         {{"error", "7"}},
         "",
         "abc"},
        {"seek with no file open",
         nullptr,
         "fseek(0, 0)",
         {{"error", "1"}},
         "fseek: file not open",
         nullptr},
        {"fclose with no file open only clears error",
         nullptr,
         "error = 7\nfclose()",
         {{"error", "0"}},
         "",
         nullptr},
        {"fcreate in a missing folder",
         nullptr,
         "fcreate(%F & \"/no/such\")",
         {{"error", "1"}},
         "fcreate: error creating file",
         nullptr},
        {"fopen of a folder",
         nullptr,
         "h = fopen(\"/\")",
         {{"h", "-1"}},
         "fopen: error opening file",
         nullptr},
    };
    for (const TFileCase& c : cases) {
        TFileScript f;
        if (c.before) WriteBytes(f.F(), c.before);
        auto run = f.Run(c.script);
        for (const auto& [name, value] : c.variables) {
            EXPECT_EQ(run->GetVariable(name), value) << c.name << ": " << name;
        }
        EXPECT_EQ(run->LastErrorText(), c.lastError) << c.name;
        if (c.after) {
            EXPECT_EQ(ReadBytes(f.F()), c.after) << c.name;
        }
    }
}

// Each row follows a failed fcreate: its success sets error back to 0 and geterror() keeps
// the earlier message. "open" rows run with F open, the others with no file open.
TEST(FileCommands, SuccessAfterFailureClearsErrorButKeepsTheMessage) {
    const struct {
        const char* statement;
        bool open;
    } cases[] = {
        {"fcreate(%G)", false}, {"fcreate(%G)", true},       {"fclose()", false},
        {"fclose()", true},     {"h = fopen(%F)", false},     {"fseek(1, 0)", true},
        {"x = fread(2)", true}, {"x = fwrite(\"z\")", true},
    };
    for (const auto& c : cases) {
        TFileScript f;
        WriteBytes(f.F(), "abc");
        const std::string opening = c.open ? "h = fopen(%F)\n" : "";
        auto run = f.Run(opening + "fcreate(%F & \"/no/such\")\n" + c.statement +
                         "\ne = error\nm = geterror()");
        EXPECT_EQ(run->GetVariable("e"), "0") << c.statement << (c.open ? " (open)" : "");
        EXPECT_EQ(run->GetVariable("m"), "fcreate: error creating file") << c.statement;
    }
    // fseek, fread and fwrite with no file open fail before they clear anything.
    TFileScript f;
    auto run = f.Run("fcreate(%F & \"/no/such\")\nfseek(0, 0)\ne = error");
    EXPECT_EQ(run->GetVariable("e"), "1");
    EXPECT_EQ(run->LastErrorText(), "fseek: file not open");
}

TEST(FileCommands, BeyondTheEndLeavesAHoleOfZeroBytes) {
    TFileScript f;
    WriteBytes(f.F(), "ab");
    f.Run("h = fopen(%F)\nfseek(4, 0)\nn = fwrite(\"Z\")\nfclose()");
    EXPECT_EQ(ReadBytes(f.F()), std::string("ab\0\0Z", 5));
}

TEST(FileCommands, BytesGoThroughUnchanged) {
    TFileScript f;
    const std::string bytes("\x01\xff\r\n\tz\x7f", 7);
    WriteBytes(f.F(), bytes);
    auto run = f.Run(
        "h = fopen(%F)\nx = fread(100)\nfcreate(%G)\nfclose()\nh = fopen(%G)\n"
        "n = fwrite(x & chr(200))\nfclose()");
    EXPECT_EQ(run->GetVariable("x"), bytes);
    EXPECT_EQ(run->GetVariable("n"), "8");
    EXPECT_EQ(ReadBytes(f.G()), bytes + "\xc8");
}

TEST(FileCommands, SecondFopenIsRefusedAndTheFirstFileStaysWhereItWas) {
    TFileScript f;
    WriteBytes(f.F(), "abcdef");
    WriteBytes(f.G(), "xyz");
    auto run = f.Run("h = fopen(%F)\na = fread(2)\nh2 = \"keep\"\nh2 = fopen(%G)\nb = fread(2)");
    const std::string handle = run->GetVariable("h");
    EXPECT_GT(std::stoi(handle), 0);
    EXPECT_EQ(run->GetVariable("h2"), "keep");
    EXPECT_EQ(run->GetVariable("b"), "cd");
    EXPECT_EQ(run->GetVariable("error"), "0") << "fread cleared it";
    auto check = f.Run("h2 = fopen(%G)");
    EXPECT_EQ(check->LastErrorText(), "fopen: another file is open:" + handle);
}

TEST(FileCommands, AFileLeftOpenIsStillOpenInTheNextRun) {
    TFileScript f;
    WriteBytes(f.F(), "abcdef");
    f.Run("h = fopen(%F)\na = fread(3)");
    EXPECT_TRUE(f.dm.FileOpen());
    auto next = f.Run("b = fread(3)\nfclose()\nx = \"keep\"\nx = fread(1)");
    EXPECT_EQ(next->GetVariable("b"), "def");
    EXPECT_EQ(next->GetVariable("x"), "keep");
    EXPECT_FALSE(f.dm.FileOpen());
}

TEST(FileCommands, OtherProcessesMayUseTheFileMeanwhile) {
    TFileScript f;
    WriteBytes(f.F(), "abc");
    const int outside = ::open(f.F().c_str(), O_RDWR);
    ASSERT_GE(outside, 0);
    auto run = f.Run("h = fopen(%F)\nn = fwrite(\"XY\")");
    EXPECT_EQ(run->GetVariable("n"), "2");
    char seen[3] = {};
    EXPECT_EQ(::pread(outside, seen, 3, 0), 3);
    EXPECT_EQ(std::string(seen, 3), "XYc");
    ::close(outside);
}

// A FIFO: fopen never waits for a writer, fread gathers what arrives while events go on, and
// Stop ends a read or a write that waits, before any later statement.
TEST(FileCommands, AFifoNeverHoldsTheRunPastStop) {
    const struct {
        const char* name;
        const char* script;
        std::vector<std::string> pieces;  // written to the FIFO, one per pump once it is open
        std::map<std::string, std::string> variables;
    } cases[] = {
        {"read gathers pieces",
         "h = fopen(%F)\nx = fread(5)\nb = 2",
         {"ab", "", "cde"},
         {{"x", "abcde"}, {"b", "2"}}},
        {"read waits for data", "h = fopen(%F)\nx = fread(5)\nb = 2", {"ab"}, {{"x", ""}}},
        // Far more than a pipe holds, and nobody reads it.
        {"write waits for room",
         "t = \"0123456789\"\nfor (i, 1, 15, 1)\nt = t & t\nnext\nh = fopen(%F)\n"
         "n = fwrite(t)\nb = 2",
         {},
         {{"n", ""}}},
    };
    for (const auto& c : cases) {
        TFileScript f;
        ASSERT_EQ(::mkfifo(f.F().c_str(), 0600), 0);
        engine::TExecute run(f.engine.host, f.engine.state, f.engine.dispatch);
        int writer = -1;
        size_t written = 0;
        int idlePumps = 0;
        f.engine.host.onEvents = [&] {
            if (writer < 0) writer = ::open(f.F().c_str(), O_WRONLY | O_NONBLOCK | O_CLOEXEC);
            if (writer < 0) return;
            if (written < c.pieces.size()) {
                const std::string& piece = c.pieces[written++];
                EXPECT_EQ(::write(writer, piece.data(), piece.size()),
                          static_cast<ssize_t>(piece.size()));
            } else if (++idlePumps == 20) {
                run.Stop();
            }
        };
        run.RunProgram(engine::SplitLines(f.Expand(c.script)));
        EXPECT_GT(std::stoi(run.GetVariable("h")), 0) << c.name;
        for (const auto& [name, value] : c.variables) {
            EXPECT_EQ(run.GetVariable(name), value) << c.name << ": " << name;
        }
        if (!c.variables.count("b")) {
            EXPECT_EQ(run.GetVariable("b"), "") << c.name << ": a statement ran after Stop";
        }
        if (writer >= 0) ::close(writer);
        EXPECT_TRUE(f.dm.FileOpen()) << "the file stays open for the next run";
    }
}

TEST(FileCommands, FailedCloseStillFreesTheSlot) {
    TFileScript f;
    WriteBytes(f.F(), "abc");
    f.Run("h = fopen(%F)");
    ::close(f.dm.FileHandle());  // pulled away underneath, so closing it again fails
    auto run = f.Run("fclose()");
    EXPECT_EQ(run->LastErrorText(), "fclose: error closing file");
    EXPECT_FALSE(f.dm.FileOpen());
}

}  // namespace
}  // namespace korvane::host
