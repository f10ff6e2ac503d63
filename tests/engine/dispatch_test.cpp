#include <gtest/gtest.h>

#include "host/log_commands.h"
#include "recording_host.h"

namespace korvane::engine {
namespace {

using testing::TEngineFixture;

TEST(DispatchTables, RowsAndOrder) {
    EXPECT_EQ(StatementTable().size(), 46u);  // plus the assignment that takes everything else
    EXPECT_EQ(StatementTable()[1].text, "for (");
    EXPECT_EQ(StatementTable()[9].text, "closeport(");
    EXPECT_EQ(StatementTable()[44].text, "setvisible(");
    EXPECT_EQ(StatementTable()[45].text, "check(");
    ASSERT_EQ(FunctionTable().size(), 38u);
    EXPECT_EQ(FunctionTable()[24].name, "extract");
    EXPECT_EQ(FunctionTable()[24].argumentCount, 3u);
    EXPECT_EQ(FunctionTable()[25].argumentCount, 1u);
    EXPECT_EQ(FunctionTable()[37].name, "ddown_gettext");
}

// A handler that records the lines its row received.
struct TRecorder {
    std::vector<std::string> lines;
    TStatementHandler Handler() {
        return [this](TExecute&, const std::string& line, int&) { lines.push_back(line); };
    }
};

TEST(Dispatch, TestsOnLineOrOnTextWithoutBlanks) {
    TEngineFixture fixture;
    TRecorder closeport, debugon, showmain, hidemain;
    fixture.dispatch.Bind(TStatement::Closeport, closeport.Handler());
    fixture.dispatch.Bind(TStatement::Showmain, showmain.Handler());
    fixture.dispatch.Bind(TStatement::Hidemain, hidemain.Handler());
    fixture.Run("closeport (\"com1\")\n  close port(1)\nshowmain(1)\nhidemain\nfor(i, 1, 3, 1)\n"
                "t = t & \"x\"\nnext");
    EXPECT_EQ(closeport.lines, (std::vector<std::string>{"closeport (\"com1\")", "close port(1)"}));
    EXPECT_EQ(showmain.lines, (std::vector<std::string>{"showmain(1)"}));
    EXPECT_TRUE(hidemain.lines.empty()) << "hidemain needs openrack somewhere in the script";

    auto run = fixture.Run("hidemain\n# openrack is mentioned in this comment");
    EXPECT_EQ(hidemain.lines, (std::vector<std::string>{"hidemain"}));
    fixture.host.standalone = true;
    fixture.Run("showmain");
    EXPECT_EQ(showmain.lines.size(), 1u) << "showmain is no statement in standalone mode";
}

// Every command row is bound here, so a row that took a mere prefix of its word would show.
TEST(Dispatch, NamesThatBeginLikeStatementWordsStayAssignments) {
    const char* const names[] = {
        "repeats", "nextval", "fortune", "iffy", "whiled", "endifx", "breaker", "exiting",
        "procedures", "writelogs", "sendx", "closeports", "openports", "setrtsx", "clearrtsx",
        "setdtrx", "cleardtrx", "execs", "flushed", "fcreated", "fclosed", "fseeks", "openracks",
        "saveracks", "showterms", "hideterms", "capturerackx", "tcp_srv_opens", "tcp_opened",
        "tcp_srv_closed", "tcp_closed", "tcp_srv_flushed", "tcp_flushed", "tcp_srv_writes",
        "tcp_writes", "setidles", "loadimages", "ddown_settexts", "setvisibles", "check", "checks", "CHECK"};
    TEngineFixture fixture;
    TRecorder recorder;
    for (size_t row = static_cast<size_t>(TStatement::Closeport);
         row < static_cast<size_t>(TStatement::Count); ++row) {
        fixture.dispatch.Bind(static_cast<TStatement>(row), recorder.Handler());
    }
    for (const char* name : names) {
        auto run = fixture.Run(std::string(name) + " = 5\nafter = 1");
        EXPECT_EQ(run->GetVariable(name), "5") << name;
        EXPECT_EQ(run->GetVariable("after"), "1") << name;
    }
    EXPECT_EQ(recorder.lines, std::vector<std::string>{});
    // The exact forms still dispatch, with or without blanks before the parenthesis.
    fixture.Run("sendx = 1\nsend (\"com1\", 1)\nwritelog(1)\ntcp_write(\"a\")");
    EXPECT_EQ(recorder.lines, (std::vector<std::string>{"send (\"com1\", 1)", "writelog(1)",
                                                        "tcp_write(\"a\")"}));
}

TEST(Dispatch, UnboundRowsFallThroughToAssignment) {
    TEngineFixture fixture;
    auto run = fixture.Run("send(\"com1\", \"x\")\nopenport = 3\nx = openport");
    EXPECT_EQ(run->GetVariable("x"), "3");
    EXPECT_EQ(run->GetVariable(""), "");
}

TEST(Dispatch, CommentsAndPlainWords) {
    TEngineFixture fixture;
    auto run = fixture.Run("  # x = 1\nendif\nnext\nelse\nwend\nnosuchword");
    EXPECT_EQ(run->Variables().Lines(), (std::vector<std::string>{"error=0"}));
}

TEST(Setidle, MessagesAndInterval) {
    TEngineFixture fixture;
    auto run = fixture.Run("setidle(-5)\ne1 = error\nsetidle(abc)\nsetidle(0)\ne2 = error");
    EXPECT_EQ(fixture.host.log,
              (std::vector<std::string>{
                  "14:03:27: Idle time not set, must be a positive integer value",
                  "14:03:27: Cannot set idle time"}));
    EXPECT_EQ(run->GetVariable("e1"), "1");
    EXPECT_EQ(run->GetVariable("e2"), "0");
    EXPECT_EQ(run->IdleInterval(), 0);
    EXPECT_EQ(run->LastErrorText(), "setidle: unexpected argument");
}

TEST(Writelog, FormatLineNumberAndArgumentRules) {
    TEngineFixture fixture;
    host::BindLogCommands(fixture.dispatch);
    auto run = fixture.Run("x = 1\nwritelog(\"ready\")\nwritelog(1+1)\nwritelog(1, 2)");
    EXPECT_EQ(fixture.host.log, (std::vector<std::string>{"14:03:27, from line 2: ready",
                                                          "14:03:27, from line 3: 2"}));
    fixture.host.log.assign(501, "old");
    fixture.Run("writelog(\"new\")");
    EXPECT_EQ(fixture.host.log, (std::vector<std::string>{"14:03:27, from line 1: new"}));
    fixture.host.log.clear();
    fixture.host.standalone = true;
    fixture.Run("writelog(inputbox(\"a\", \"b\", \"c\"))");
    EXPECT_TRUE(fixture.host.log.empty());
}

TEST(ShowLine, NeedsItsParenthesesAndMarksEachLine) {
    TEngineFixture fixture;
    fixture.Run("showline\nx = 1");
    EXPECT_TRUE(fixture.host.markedLines.empty());
    fixture.Run("showline()\nx = 1\ny = 2");
    EXPECT_EQ(fixture.host.markedLines, (std::vector<int>{1, 2}));
}

TEST(Events, ArePumpedBeforeEveryStatementAndStopEndsTheRun) {
    TEngineFixture fixture;
    TExecute* current = nullptr;
    int statements = 0;
    fixture.host.onEvents = [&] {
        if (++statements == 3) current->Stop();
    };
    TExecute run(fixture.host, fixture.state, fixture.dispatch);
    current = &run;
    run.RunProgram(SplitLines("a = 1\nb = 2\nc = 3\nd = 4"));
    EXPECT_EQ(run.GetVariable("b"), "2");
    EXPECT_EQ(run.GetVariable("c"), "");
}

}  // namespace
}  // namespace korvane::engine
