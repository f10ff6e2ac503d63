#include "engine/run_control.h"

#include <algorithm>

#include <gtest/gtest.h>

#include "engine/errors.h"
#include "recording_host.h"

namespace korvane::engine {
namespace {

using testing::TRecordingHost;

struct TRunFixture {
    TRecordingHost host;
    TProgramState state;
    TDispatch dispatch;
    TRunControl control{host, host, state, dispatch};
    TRunFixture() { BindEngine(dispatch); }
    TRunOutcome Run(std::string_view script) { return control.Run(SplitLines(script)); }
};

TEST(RunControl, StartAndFinishLines) {
    TRunFixture f;
    EXPECT_EQ(f.Run("end"), TRunOutcome::Finished);
    EXPECT_EQ(f.host.log, (std::vector<std::string>{"14:03:27: Script started",
                                                    "14:03:27: Script finished"}));
    EXPECT_EQ(f.host.buttons, (std::vector<TRunButtons>{TRunButtons::Running, TRunButtons::Idle}));
    EXPECT_FALSE(f.control.Active());
}

TEST(RunControl, RefusedScriptShowsOnlyTheReport) {
    TRunFixture f;
    f.host.log = {"old line"};
    EXPECT_EQ(f.Run("x = 1\ny = 2\nnext"), TRunOutcome::Refused);
    EXPECT_EQ(f.host.log, (std::vector<std::string>{"Error: unexpected next on line 3"}));
}

TEST(RunControl, FatalErrorIsReportedThenTheRunFinishes) {
    TRunFixture f;
    EXPECT_EQ(f.Run("for (i, 1, 3, 0)\nnext"), TRunOutcome::FatalError);
    EXPECT_EQ(f.host.log, (std::vector<std::string>{"14:03:27: Script started",
                                                    "14:03:27 Fatal error: Division by zero",
                                                    "14:03:27: Script finished"}));
}

TEST(RunControl, PauseThenStopEndsTheRunBeforeThePausedStatement) {
    TRunFixture f;
    int pumps = 0;
    f.host.onEvents = [&] {
        ++pumps;
        if (pumps == 2) f.control.Pause();
        if (pumps == 5) f.control.Stop();
    };
    f.Run("a = 1\nb = 2\nc = 3");
    EXPECT_EQ(f.host.log, (std::vector<std::string>{"14:03:27: Script started",
                                                    "14:03:27: Script paused",
                                                    "14:03:27: Script finished"}));
    EXPECT_EQ(f.host.finalVariables, (std::vector<std::string>{"error=0", "a=1"}));
}

// Stop (or a signal turned into Stop) given while the run waits or works inside one statement
// acts before any later statement runs.
TEST(RunControl, StopDuringALongIdleSleepEndsItBeforeTheNextStatement) {
    struct TCase {
        int pauseAt;  // pumps since the interval was set; 0 for none
        int stopAt;
    };
    // The first pump with the interval set comes before the sleep, the later ones inside it.
    for (const TCase c : {TCase{0, 2}, TCase{2, 4}}) {
        TRunFixture f;
        int pumpsWhileIdle = 0;
        f.host.onEvents = [&] {
            const TExecute* run = f.control.Current();
            if (!run || run->IdleInterval() == 0) return;
            ++pumpsWhileIdle;
            if (pumpsWhileIdle == c.pauseAt) f.control.Pause();
            if (pumpsWhileIdle == c.stopAt) f.control.Stop();
        };
        EXPECT_EQ(f.Run("a = 1\nsetidle(10000)\nb = 2\nc = 3"), TRunOutcome::Finished);
        EXPECT_EQ(f.host.finalVariables, (std::vector<std::string>{"error=0", "a=1"}))
            << "pause at " << c.pauseAt;
        EXPECT_EQ(f.host.log.back(), "14:03:27: Script finished");
    }
}

TEST(RunControl, StopGivenWhileAnInputboxWaitsActsBeforeTheNextStatement) {
    TRunFixture f;
    f.host.pumpInterval = std::chrono::seconds(10);  // no pump falls due by the clock
    bool stopClicked = false;
    f.host.onInput = [&] { stopClicked = true; };
    f.host.onEvents = [&] {
        if (stopClicked) f.control.Stop();
    };
    f.Run("a = 1\nr = inputbox(\"t\", \"p\", \"preset\")\nb = 2");
    EXPECT_EQ(f.host.finalVariables, (std::vector<std::string>{"error=0", "a=1", "r=preset"}));
}

std::string DeeplyNested() {
    constexpr size_t kDepth = 1000000;
    return std::string(kDepth, '(') + "1" + std::string(kDepth, ')');
}

TEST(RunControl, StopInsideOneLongStatementEndsTheRunThere) {
    TRunFixture f;
    f.host.onEvents = [&] {
        // Lines are marked after the pump before them, so a pump once line 2 is marked comes
        // from inside that statement.
        if (!f.host.markedLines.empty() && f.host.markedLines.back() == 2) f.control.Stop();
    };
    f.Run("showline()\na = 1\nx = " + DeeplyNested() + "\nb = 2");
    EXPECT_EQ(f.host.finalVariables, (std::vector<std::string>{"error=0", "a=1"}));
    EXPECT_EQ(f.host.log.back(), "14:03:27: Script finished");
}

TEST(RunControl, StopInsideALongExpressionOrConditionEndsTheEvaluation) {
    const std::string nested = DeeplyNested();
    {
        TRunFixture f;
        TExecute run(f.host, f.state, f.dispatch);
        f.host.onEvents = [&] { run.Stop(); };
        EXPECT_THROW(run.EvaluateExpression(nested), EStopped);
    }
    {
        TRunFixture f;
        TExecute run(f.host, f.state, f.dispatch);
        f.host.onEvents = [&] { run.Stop(); };
        bool truth = false;
        EXPECT_THROW(run.EvaluateCondition("(" + nested + " = 1)", truth), EStopped);
    }
}

TEST(RunControl, SecondRunClickResumesInsteadOfStartingAgain) {
    TRunFixture f;
    int pumps = 0;
    std::vector<std::string> lines = SplitLines("a = 1\nb = 2");
    f.host.onEvents = [&] {
        ++pumps;
        if (pumps == 1) f.control.Pause();
        if (pumps == 3) {
            EXPECT_EQ(f.control.Run(lines), TRunOutcome::AlreadyRunning);
        }
    };
    EXPECT_EQ(f.control.Run(lines), TRunOutcome::Finished);
    EXPECT_EQ(f.host.log, (std::vector<std::string>{
                              "14:03:27: Script started", "14:03:27: Script paused",
                              "14:03:27: Script resumed", "14:03:27: Script finished"}));
}

TEST(RunControl, StepModeRunsOneStatementPerRunPress) {
    TRunFixture f;
    std::vector<std::string> lines = SplitLines("debugon\na = 1\nb = 2\nc = 3");
    int waits = 0;
    f.host.onEvents = [&] {
        TExecute* run = f.control.Current();
        if (!run || !run->WaitingForStep()) return;
        // Release twice, then stop while the third line is shown.
        if (++waits <= 2) {
            f.control.Run(lines);
        } else {
            f.control.Stop();
        }
    };
    f.Run("debugon\na = 1\nb = 2\nc = 3");
    EXPECT_TRUE(f.host.watchVisible);
    EXPECT_EQ(f.host.log, (std::vector<std::string>{
                              "14:03:27: Script started", "Next line to execute: a = 1",
                              "Next line to execute: b = 2", "Next line to execute: c = 3",
                              "14:03:27: Script finished"}));
    ASSERT_EQ(f.host.watchSnapshots.size(), 3u);
    EXPECT_EQ(f.host.watchSnapshots[2], "error=0\na=1\nb=2\n") << "c = 3 must not have run";
}

TEST(RunControl, StepModeClearsAFullLogBeforeTheNextLine) {
    TRunFixture f;
    int waits = 0;
    f.host.onEvents = [&] {
        TExecute* run = f.control.Current();
        if (!run || !run->WaitingForStep()) return;
        if (++waits == 1) {
            f.host.log.assign(600, "filler");
            run->ReleaseStep();
        } else {
            f.control.Stop();
        }
    };
    f.Run("debugon\nx = 1\ny = 2");
    ASSERT_EQ(f.host.log.size(), 2u);
    EXPECT_EQ(f.host.log[0], "Next line to execute: y = 2");
}

TEST(RunControl, StandaloneModeWritesNothing) {
    TRunFixture f;
    f.host.standalone = true;
    f.Run("debugon\nsetidle(-1)\nfor (i, 1, 1, 0)\nnext");
    EXPECT_TRUE(f.host.log.empty());
    EXPECT_FALSE(f.host.watchVisible);
}

// The failure record holds each line whose last execution failed, with the message: a
// command's SetError, or an assignment that could not be computed. A line that later runs
// cleanly loses its entry; a loop header's own work is not charged to the body's last line;
// the log and `error` are the same as without the record; the next run starts empty.
TEST(RunControl, FailedStatementsAreRecordedByLine) {
    TRunFixture f;
    f.Run("x = 1/0\n"
          "writlog(\"a\")\n"
          "setidle(-5)\n"
          "b = 0\n"
          "for (i, 1, 2, 1)\n"
          "  y = 1/b\n"
          "  b = 1\n"
          "next\n"
          "z = len(\"a\", \"b\")\n"
          "e = error");
    const std::map<int, std::string> expected = {
        {0, "cannot compute: division by zero or overflow"},
        {1, "no function writlog with these arguments"},
        {2, "setidle: idle time must be positive"},
        {8, "no function len with these arguments"}};
    EXPECT_EQ(f.control.Failures().Lines(), expected);
    EXPECT_EQ(FailureReport(f.control.Failures(), "t.kvs"),
              "t.kvs:1: cannot compute: division by zero or overflow\n"
              "t.kvs:2: no function writlog with these arguments\n"
              "t.kvs:3: setidle: idle time must be positive\n"
              "t.kvs:9: no function len with these arguments\n");
    EXPECT_EQ(FailureCountText(4), "4 statements failed");
    EXPECT_EQ(FailureCountText(1), "1 statement failed");
    EXPECT_EQ(FailureCountText(0), "");
    // Only setidle set error; the failed assignments left it alone.
    EXPECT_NE(std::find(f.host.finalVariables.begin(), f.host.finalVariables.end(), "e=1"),
              f.host.finalVariables.end());
    EXPECT_EQ(f.host.log.size(), 3u);  // started, setidle's own line, finished

    f.Run("x = 1");
    EXPECT_EQ(f.control.Failures().Count(), 0u);
}

}  // namespace
}  // namespace korvane::engine
