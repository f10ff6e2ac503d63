#include <map>

#include <QMenu>
#include <QAction>
#include <QToolBar>
#include <QPlainTextEdit>
#include <QTest>
#include <gtest/gtest.h>

#include "workbench/ui/about_window.h"
#include "workbench/ui/help_window.h"
#include "racks/ui/frm_rack.h"
#include "workbench/ui/failure_marks.h"
#include "workbench/ui/main_form.h"
#include "workbench/ui/rack_owner.h"
#include "workbench/ui/script_editor.h"
#include "workbench/ui/status_line.h"
#include "workbench/ui/watch_window.h"
#include "workbench/ui/workbench_context.h"
#include "workbench_fixture.h"

namespace korvane::workbench {
namespace {

using testing::TUserActions;
using testing::TWorkbenchFixture;

const QString kStarted = QStringLiteral("14:03:27: Script started");
const QString kFinished = QStringLiteral("14:03:27: Script finished");
const QString kPaused = QStringLiteral("14:03:27: Script paused");
const QString kResumed = QStringLiteral("14:03:27: Script resumed");
// Runs until stopped; every pass writes one line.
const char* const kEndlessTicks = "while (1 == 1)\nwritelog(\"tick\")\nwend";

struct TRunFixture : TWorkbenchFixture {
    TRunFixture() { Form().show(); }

    bool LogHas(const QString& line) { return LogLines().contains(line); }
    std::function<bool()> Logged(const QString& line) {
        return [this, line] { return LogHas(line); };
    }
    std::function<bool()> InPhase(TRunPhase phase) {
        return [this, phase] { return Form().RunPhase() == phase; };
    }
    // Enabled state of the Run, Stop and Pause buttons and then their menu items.
    std::vector<bool> RunActions() {
        std::vector<bool> states;
        for (const char* name : {"SBRun1", "SBStop1", "SBPause1", "Run1", "Stop1", "Pause1"}) {
            states.push_back(Action(name)->isEnabled());
        }
        return states;
    }
};

TEST(MainFormRun, ShortScriptLogsStartAndFinishAndRestoresTheButtons) {
    TRunFixture f;
    f.SetScript("x = 1\nend\nwritelog(\"not reached\")");
    f.Click("SBRun1");
    EXPECT_EQ(f.LogLines(), (QStringList{kStarted, kFinished}));
    EXPECT_EQ(f.RunActions(), (std::vector<bool>{true, false, false, true, false, false}));
    EXPECT_TRUE(f.Action("SBOpen1")->isEnabled());
    EXPECT_FALSE(f.Form().Editor().isReadOnly());
    EXPECT_FALSE(f.Form().Running());
}

TEST(MainFormRun, BlockCheckReportsAreShownAloneAndTheScriptDoesNotRun) {
    struct TCase {
        const char* script;
        QStringList log;
    };
    const TCase cases[] = {
        {"x = 1\ny = 2\nnext", {"Error: unexpected next on line 3"}},
        {"for (i, 1, 2, 1)\nwritelog(i)", {"", "Error: unterminated block (for)"}},
        {"while (1 == 1)\nendif",
         {"Error: unexpected endif on line 2", "Error: unterminated block (while)"}},
    };
    TRunFixture f;
    for (const TCase& c : cases) {
        f.SetScript(c.script);
        f.Click("SBRun1");
        EXPECT_EQ(f.LogLines(), c.log) << c.script;
        EXPECT_TRUE(f.Action("SBRun1")->isEnabled());
    }
}

TEST(MainFormRun, PauseResumeAndStopDriveTheButtonsAndTheLog) {
    TRunFixture f;
    f.SetScript(kEndlessTicks);
    std::vector<std::vector<bool>> seen;
    bool readOnlyDuringRun = false;
    bool fileActionsDuringRun = true;
    TUserActions user;
    user.Then(f.Logged(kStarted), [&] {
        seen.push_back(f.RunActions());
        readOnlyDuringRun = f.Form().Editor().isReadOnly();
        fileActionsDuringRun = f.Action("SBOpen1")->isEnabled() || f.Action("SBSave1")->isEnabled();
        f.Click("SBPause1");
    });
    user.Then(f.Logged(kPaused), [&] {
        seen.push_back(f.RunActions());
        f.Click("SBRun1");
    });
    user.Then(f.Logged(kResumed), [&] {
        seen.push_back(f.RunActions());
        f.Click("SBStop1");
    });
    f.Click("SBRun1");
    ASSERT_TRUE(user.Done());
    EXPECT_EQ(seen, (std::vector<std::vector<bool>>{
                        {false, true, true, false, true, true},
                        {true, true, false, true, false, false},
                        {false, true, true, false, true, true},
                    }));
    EXPECT_TRUE(readOnlyDuringRun);
    EXPECT_FALSE(fileActionsDuringRun);
    const QStringList log = f.LogLines();
    EXPECT_EQ(log.count(kStarted), 1);  // the second Run click resumed, it did not start again
    EXPECT_EQ(log.back(), kFinished);
    EXPECT_LT(log.indexOf(kPaused), log.indexOf(kResumed));
    EXPECT_EQ(f.RunActions(), (std::vector<bool>{true, false, false, true, false, false}));
    EXPECT_FALSE(f.Form().Editor().isReadOnly());
}

TEST(MainFormRun, StopWhilePausedEndsTheRunBeforeThePausedStatement) {
    TRunFixture f;
    f.SetScript(kEndlessTicks);
    TUserActions user;
    // Paused inside the loop, the statement waiting is the next writelog.
    user.Then(f.Logged("14:03:27, from line 2: tick"), [&] { f.Click("SBPause1"); });
    user.Then(f.Logged(kPaused), [&] { f.Click("SBStop1"); });
    f.Click("SBRun1");
    const QStringList log = f.LogLines();
    const qsizetype paused = log.indexOf(kPaused);
    ASSERT_GE(paused, 0);
    EXPECT_EQ(log.mid(paused), (QStringList{kPaused, kFinished}));
}

TEST(MainFormRun, StopDuringALongIdleSleepEndsTheRunBeforeTheNextStatement) {
    TRunFixture f;
    f.SetScript("writelog(\"ready\")\nsetidle(10000)\nwritelog(\"after\")");
    TUserActions user;
    user.Then(f.Logged("14:03:27, from line 1: ready"), [&] { f.Click("SBStop1"); });
    f.Click("SBRun1");
    ASSERT_TRUE(user.Done());
    EXPECT_EQ(f.LogLines(), (QStringList{kStarted, "14:03:27, from line 1: ready", kFinished}));
}

TEST(MainFormRun, StepModeRunsOneStatementPerRunPressAndStopSkipsTheShownLine) {
    TRunFixture f;
    f.SetScript("a = 5\ndebugon\nwritelog(a)\nwritelog(\"second\")");
    QString watchAtFirstStep;
    QString watchAtSecondStep;
    bool watchShown = false;
    std::vector<bool> stepActions;
    TUserActions user;
    user.Then(f.Logged("Next line to execute: writelog(a)"), [&] {
        watchShown = f.App().Watch().isVisible();
        watchAtFirstStep = f.App().Watch().Memo()->toPlainText();
        stepActions = f.RunActions();
        f.Click("SBRun1");
    });
    user.Then(f.Logged("Next line to execute: writelog(\"second\")"), [&] {
        watchAtSecondStep = f.App().Watch().Memo()->toPlainText();
        f.Click("SBStop1");
    });
    f.Click("SBRun1");
    ASSERT_TRUE(user.Done());
    EXPECT_TRUE(watchShown);
    EXPECT_EQ(watchAtFirstStep, "error=0\na=5");
    EXPECT_EQ(watchAtSecondStep, "error=0\na=5");
    EXPECT_EQ(stepActions, (std::vector<bool>{true, true, false, true, true, false}));
    EXPECT_EQ(f.LogLines(), (QStringList{kStarted, "Next line to execute: writelog(a)",
                                         "14:03:27, from line 3: 5",
                                         "Next line to execute: writelog(\"second\")", kFinished}));
}

// While a step waits only the line it waits before is marked: showline's mark of the
// statement before goes.
TEST(MainFormRun, ShowlineMarksTheLineAboutToRunUntilTheRunEnds) {
    TRunFixture f;
    f.SetScript("showline()\nx = 1\ndebugon\ny = 2\nz = 3");
    std::vector<std::pair<int, int>> marks;  // showline's mark, the step mark
    const auto note = [&] {
        f.Form().ShowRunLine();
        marks.emplace_back(f.Form().Editor().MarkedLine(), f.Form().Editor().StepLine());
        f.Click("SBRun1");
    };
    TUserActions user;
    user.Then(f.Logged("Next line to execute: y = 2"), note);
    user.Then(f.Logged("Next line to execute: z = 3"), note);
    f.Click("SBRun1");
    EXPECT_EQ(marks, (std::vector<std::pair<int, int>>{{-1, 3}, {-1, 4}}));
    EXPECT_EQ(f.Form().Editor().MarkedLine(), -1);
}

TEST(MainFormRun, ShowlineWithoutParenthesesMarksNothing) {
    TRunFixture f;
    f.SetScript("showline\ndebugon\nx = 1");
    int mark = 0;
    TUserActions user;
    user.Then(f.Logged("Next line to execute: x = 1"), [&] {
        mark = f.Form().Editor().MarkedLine();
        f.Click("SBRun1");
    });
    f.Click("SBRun1");
    EXPECT_EQ(mark, -1);
}

TEST(MainFormRun, FileMenuItemsRefuseWhileAScriptRunsButHelpAndAboutOpenBesideIt) {
    TRunFixture f;
    f.SetScript(kEndlessTicks);
    f.dialogs.files.push_back(std::string("/nonexistent/never-opened.kvs"));
    std::filesystem::create_directories(f.Folder() / "Help" / "html");
    testing::WriteBytes(f.Folder() / "Help" / "html" / "index.html", "<html>help</html>");
    bool helpShown = false;
    bool aboutShown = false;
    bool helpMenuEnabled = false;
    TUserActions user;
    user.Then(f.Logged(kStarted), [&] {
        f.Action("New1")->trigger();
        f.Action("Open1")->trigger();
        f.Action("Saveas1")->trigger();
        f.Action("About1")->trigger();
        f.Action("Help1")->trigger();
        helpMenuEnabled = f.Form().findChild<QMenu*>("Help2")->isEnabled();
        helpShown = f.Form().HelpWindow() != nullptr && f.Form().HelpWindow()->isVisible();
        aboutShown = f.App().About().isVisible();
    });
    // The run goes on with both windows open.
    user.Then([&] { return f.LogLines().count("14:03:27, from line 2: tick") > 2; }, [&] { f.Click("SBStop1"); });
    f.Click("SBRun1");
    ASSERT_TRUE(user.Done());
    EXPECT_EQ(f.Form().Editor().Bytes(), kEndlessTicks);
    EXPECT_EQ(f.dialogs.files.size(), 1u);
    EXPECT_TRUE(f.dialogs.saveSuggestions.empty());
    EXPECT_EQ(f.dialogs.modal, nullptr);
    EXPECT_TRUE(helpMenuEnabled);
    EXPECT_TRUE(helpShown);
    EXPECT_TRUE(aboutShown);
}

TEST(MainFormRun, ClosingTheWindowStopsTheRun) {
    TRunFixture f;
    f.SetScript(kEndlessTicks);
    TUserActions user;
    user.Then(f.Logged(kStarted), [&] { f.Form().close(); });
    f.Click("SBRun1");
    EXPECT_TRUE(f.Form().Closed());
    EXPECT_FALSE(f.Form().isVisible());
    EXPECT_EQ(f.LogLines().back(), kFinished);
    EXPECT_TRUE(std::filesystem::exists(f.SettingsPath()));
}

TEST(MainFormRun, FatalErrorIsReportedBeforeTheFinishLine) {
    TRunFixture f;
    f.SetScript("for (i, 1, 3, 0)\nnext");
    f.Click("SBRun1");
    EXPECT_EQ(f.LogLines(), (QStringList{kStarted, "14:03:27 Fatal error: Division by zero",
                                         kFinished}));
}

// The file named on the command line runs at once and is the current file, as if opened.
TEST(MainFormRun, StartUpScriptFileRunsAtOnceAsTheCurrentFile) {
    TRunFixture f;
    const auto script = f.Folder() / "start.kvs";
    testing::WriteBytes(script, "writelog(\"from the command line\")\n");
    f.Form().LoadAndRun(script.string());
    EXPECT_EQ(f.LogLines(), (QStringList{kStarted, "14:03:27, from line 1: from the command line",
                                         kFinished}));
    EXPECT_EQ(f.Form().windowTitle(), "Korvane - start.kvs");
    EXPECT_EQ(f.Form().CurrentFile(), script.string());
    EXPECT_EQ(f.Form().RecentFiles(), std::vector<std::string>{script.string()});
    EXPECT_FALSE(f.Form().Modified());
    // Save writes back to it, with no dialog.
    f.Form().Editor().SetBytes("x = 2\n");
    f.Click("SBSave1");
    EXPECT_TRUE(f.dialogs.saveSuggestions.empty());
    EXPECT_EQ(testing::ReadBytes(script), "x = 2\n");
}

TEST(MainFormRun, HidemainHidesTheWindowUntilTheRunEnds) {
    TRunFixture f;
    // hidemain is a statement only in scripts that mention openrack.
    f.SetScript("# no rack is opened (openrack)\nhidemain\ndebugon\nshowmain\nx = 1");
    std::vector<bool> visible;
    TUserActions user;
    user.Then(f.Logged("Next line to execute: showmain"), [&] {
        visible.push_back(f.Form().isVisible());
        f.Click("SBRun1");
    });
    user.Then(f.Logged("Next line to execute: x = 1"), [&] {
        visible.push_back(f.Form().isVisible());
        f.Form().hide();
        f.Click("SBStop1");
    });
    f.Click("SBRun1");
    EXPECT_EQ(visible, (std::vector<bool>{false, true}));
    EXPECT_TRUE(f.Form().isVisible());  // shown again at the end of a run without fatal error
}

TEST(MainFormRun, HideButtonAndEscapeToggleTheWindowOnlyWhileARackIsOpenInARun) {
    TRunFixture f;
    bool rackShown = true;
    f.App().Context().modules.rackVisible = [&rackShown] { return rackShown; };
    f.Form().ToggleMainForRack();  // no run: nothing happens
    EXPECT_TRUE(f.Form().isVisible());
    f.SetScript(kEndlessTicks);
    std::vector<bool> visible;
    TUserActions user;
    user.Then(f.Logged(kStarted), [&] {
        f.Action("SBHide1")->trigger();  // rack flag clear: nothing happens
        visible.push_back(f.Form().isVisible());
        f.App().Context().rackOpen = true;
        f.Form().activateWindow();
        QTest::keyClick(&f.Form(), Qt::Key_Escape);
        visible.push_back(f.Form().isVisible());
        rackShown = false;
        f.Action("SBHide1")->trigger();
        visible.push_back(f.Form().isVisible());
        f.Click("SBStop1");
    });
    f.Click("SBRun1");
    EXPECT_EQ(visible, (std::vector<bool>{true, false, true}));
    EXPECT_FALSE(f.App().Context().rackOpen);  // Stop and the end of the run clear it
}

TEST(MainFormRun, OpenedRackIsBoundAndEscapeHidesTheWindowBehindIt) {
    TRunFixture f;
    f.SetScript(std::string("openrack(\"") + KORVANE_DEMO_RACK +
                "\")\ncounter = 42\nn = counter\ndebugon\nwritelog(n)");
    bool rackShown = false;
    bool rackFlag = false;
    bool mainAfterEscape = true;
    std::pair<bool, bool> afterRackEscape, afterSecondEscape;  // rack shown, workbench shown
    TUserActions user;
    user.Then(f.Logged("Next line to execute: writelog(n)"), [&] {
        rackShown = f.App().Context().modules.rackVisible();
        rackFlag = f.App().Context().rackOpen;
        f.Form().activateWindow();
        QTest::keyClick(&f.Form(), Qt::Key_Escape);
        mainAfterEscape = f.Form().isVisible();
        // Escape in the rack hides the rack and brings the workbench; Escape there brings the
        // rack back, so neither window is lost.
        QTest::keyRelease(&f.App().Rack().Window(), Qt::Key_Escape);
        afterRackEscape = {f.App().Rack().Window().isVisible(), f.Form().isVisible()};
        QTest::keyClick(&f.Form(), Qt::Key_Escape);
        afterSecondEscape = {f.App().Rack().Window().isVisible(), f.Form().isVisible()};
        f.Click("SBRun1");
    });
    f.Click("SBRun1");
    EXPECT_TRUE(rackShown);
    EXPECT_TRUE(rackFlag);
    EXPECT_FALSE(mainAfterEscape);
    EXPECT_EQ(afterRackEscape, (std::pair<bool, bool>{false, true}));
    EXPECT_EQ(afterSecondEscape, (std::pair<bool, bool>{true, true}));
    EXPECT_TRUE(f.LogLines().contains("14:03:27, from line 5: 42")) << f.LogLines().join("\n").toStdString();
    EXPECT_TRUE(f.Form().isVisible());
    EXPECT_FALSE(f.App().Context().rackOpen);
}

// The status bar follows the run: its state and the line being run, through a pause, step
// mode (where Step does what Run does) and Stop.
TEST(MainFormRun, StatusBarFollowsTheRun) {
    TRunFixture f;
    f.SetScript("x = 0\nwhile (x << 1000000)\n  x = x + 1\n  if (x == 50)\n    debugon\n  endif\nwend");
    TStatusLine& status = f.Form().Status();
    EXPECT_EQ(status.StateText(), "Idle");
    QStringList states;
    QStringList lines;
    std::vector<int> stepMarks;
    const auto note = [&] {
        states << status.StateText();
        lines << status.RunLineText();
    };
    TUserActions user;
    user.Then(f.Logged(kStarted), [&] {
        note();
        f.Click("SBPause1");
    });
    user.Then(f.Logged(kPaused), [&] {
        note();
        f.Click("SBRun1");
    });
    user.Then(f.InPhase(TRunPhase::Stepping), [&] {
        note();
        stepMarks.push_back(f.Form().Editor().StepLine());
        EXPECT_TRUE(f.Action("Step1")->isEnabled());
        f.Action("Step1")->trigger();
    });
    user.Then(f.InPhase(TRunPhase::Stepping), [&] {
        note();
        stepMarks.push_back(f.Form().Editor().StepLine());
        f.Click("SBStop1");
    });
    f.Click("SBRun1");
    ASSERT_TRUE(user.Done());
    EXPECT_EQ(states, (QStringList{"Running", "Paused", "Stepping", "Stepping"}));
    // The loop's closing lines are not statements of their own: after debugon the first step
    // waits before the increment, the next before the if.
    EXPECT_EQ(lines.mid(2), (QStringList{"Line 3", "Line 4"}));
    EXPECT_EQ(stepMarks, (std::vector<int>{2, 3}));
    EXPECT_EQ(status.StateText(), "Stopped");
    EXPECT_EQ(status.RunLineText(), "");
    EXPECT_EQ(f.Form().Editor().StepLine(), -1);
    // With no run, Step starts one that stops before its first statement.
    EXPECT_TRUE(f.Action("Step1")->isEnabled());

    f.SetScript("x = 1");
    f.Click("SBRun1");
    EXPECT_EQ(status.StateText(), "Finished");
    EXPECT_EQ(status.ChecksText(), "");

    // Checks are counted for the run that made them, and a run without any shows none.
    f.SetScript("check(\"a\", 1, 0, 2)\ncheck(\"b\", 3, 0, 2, \"V\")\ncheck(\"a\", 2, 2, \"\")");
    f.Click("SBRun1");
    EXPECT_EQ(status.ChecksText(), "checks: 2 passed, 1 failed");
    EXPECT_TRUE(f.LogLines().contains("14:03:27: check b: 3 V in [0, 2]: FAIL"))
        << f.LogLines().join("\n").toStdString();
    f.Click("SBRun1");
    EXPECT_EQ(status.ChecksText(), "checks: 2 passed, 1 failed");
    f.SetScript("x = 1");
    f.Click("SBRun1");
    EXPECT_EQ(status.ChecksText(), "");
}

// A fatal error and a failed block check mark their line; double-clicking the fatal error
// line goes there. The next run starts without the mark.
TEST(MainFormRun, ErrorsMarkTheirLine) {
    TRunFixture f;
    f.SetScript("x = 1\ny = 2\nfor (i, 1, 3, 0)\nnext\n");
    f.Click("SBRun1");
    EXPECT_EQ(f.Form().Editor().ErrorLine(), 2);
    f.Form().Editor().setCursorPosition(0, 0);
    f.Form().GoToLogLine("14:03:27 Fatal error: Division by zero");
    int line = 0, column = 0;
    f.Form().Editor().getCursorPosition(&line, &column);
    EXPECT_EQ(line, 2);

    // A refusal marks the lines it names, the opening line of an unterminated block
    // included, says why in the status bar, and its log lines lead there.
    struct TRefusal {
        const char* script;
        int errorLine;
        QString problem;
        std::map<int, QString> marks;
    };
    const TRefusal refusals[] = {
        {"x = 1\nwhile (1 == 1)\nnext\n", 2, "unexpected next on line 3",
         {{1, "unterminated block (while) opened here"}, {2, "unexpected next on line 3"}}},
        {"x = 1\n  if (x == 1)\nwritelog(x)\n", 1, "unterminated block (if)",
         {{1, "unterminated block (if) opened here"}}},
    };
    for (const TRefusal& refusal : refusals) {
        f.SetScript(refusal.script);
        f.Click("SBRun1");
        EXPECT_EQ(f.Form().Editor().ErrorLine(), refusal.errorLine) << refusal.script;
        EXPECT_EQ(f.Form().Status().StateText(), "Refused");
        EXPECT_EQ(f.Form().Status().ProblemsText(), refusal.problem);
        EXPECT_EQ(f.Form().FailureMarks().Count(), static_cast<int>(refusal.marks.size()));
        for (const auto& [at, message] : refusal.marks) {
            EXPECT_EQ(f.Form().FailureMarks().MessageAt(at), message) << refusal.script;
        }
        f.Form().Editor().setCursorPosition(2, 0);
        f.Form().GoToLogLine(f.LogLines().last());
        f.Form().Editor().getCursorPosition(&line, &column);
        EXPECT_EQ(line, 1) << refusal.script;
    }

    f.SetScript("x = 1\n");
    f.Form().Editor().MarkErrorLine(0);
    f.Click("SBRun1");
    EXPECT_EQ(f.Form().Editor().ErrorLine(), -1);
}

// Statements that failed get a mark with their message and a count in the status bar; the
// log is what it always was, and the next run starts without marks.
TEST(MainFormRun, FailedStatementsAreMarkedAndCounted) {
    TRunFixture f;
    f.SetScript("x = 1/0\nwritlog(\"a\")\nok = 1\nz = len(\"a\", \"b\")\nsetidle(-5)");
    f.Click("SBRun1");
    TFailureMarks& marks = f.Form().FailureMarks();
    EXPECT_EQ(marks.Count(), 4);
    EXPECT_EQ(marks.MessageAt(0), "cannot compute: division by zero or overflow");
    EXPECT_EQ(marks.MessageAt(2), "");
    EXPECT_EQ(marks.MessageAt(4), "setidle: idle time must be positive");
    EXPECT_EQ(f.Form().Status().ProblemsText(), "4 statements failed");
    EXPECT_EQ(f.LogLines(), (QStringList{kStarted,
                                         "14:03:27: Idle time not set, must be a positive integer value",
                                         kFinished}));
    // A mark follows its line when lines are added above it.
    f.Form().Editor().insertAt("# note\n", 0, 0);
    EXPECT_EQ(marks.MessageAt(5), "setidle: idle time must be positive");

    f.SetScript("x = 1");
    f.Click("SBRun1");
    EXPECT_EQ(marks.Count(), 0);
    EXPECT_EQ(f.Form().Status().ProblemsText(), "");
}

// 520 writelog lines: every one stays in the pane, none is cleared away.
TEST(MainFormRun, TheLogKeepsEveryLineOfARun) {
    TRunFixture f;
    f.SetScript("for (i, 1, 520, 1)\nwritelog(i)\nnext");
    f.Click("SBRun1");
    const QStringList log = f.LogLines();
    ASSERT_EQ(log.size(), 522);
    EXPECT_EQ(log[0], kStarted);
    EXPECT_EQ(log[1], "14:03:27, from line 2: 1");
    EXPECT_EQ(log[520], "14:03:27, from line 2: 520");
}

// While a script runs or is paused nothing replaces the editor's text; once it has ended,
// opening a file starts from Idle.
TEST(MainFormRun, NothingReplacesTheRunningScript) {
    TRunFixture f;
    const auto other = f.Folder() / "other.kvs";
    testing::WriteBytes(other, "y = 2");
    f.Form().OpenFile(other.string());
    f.SetScript(kEndlessTicks);
    const std::string running = f.Form().Editor().Bytes();
    bool recentEnabled = true;
    int pausedMark = -2;
    TUserActions user;
    user.Then(f.Logged(kStarted), [&] { f.Click("SBPause1"); });
    user.Then(f.Logged(kPaused), [&] {
        recentEnabled = f.Form().Bar(TBarId::RecentBar)->isEnabled();
        pausedMark = f.Form().Editor().StepLine();
        f.Form().OpenRecent(other.string());
        f.Form().OpenFile(other.string());
        f.Form().NewScript();
        f.Form().LoadAndRun(other.string());
        f.Click("SBStop1");
    });
    f.Click("SBRun1");
    ASSERT_TRUE(user.Done());
    EXPECT_FALSE(recentEnabled);
    // Paused before one of the loop's lines, which is marked as a step would be.
    EXPECT_GE(pausedMark, 0);
    EXPECT_EQ(f.Form().Editor().Bytes(), running);
    EXPECT_EQ(f.Form().Status().StateText(), "Stopped");
    EXPECT_TRUE(f.Form().Bar(TBarId::RecentBar)->isEnabled());

    f.dialogs.saveAnswers = {TSaveAnswer::Discard};
    f.Form().OpenRecent(other.string());
    EXPECT_EQ(f.Form().Editor().Bytes(), "y = 2");
    EXPECT_EQ(f.Form().Status().StateText(), "Idle");
}

// A saved script finds its files beside itself wherever the program was started; the
// program's own working directory is back after the run.
TEST(MainFormRun, ASavedScriptRunsInItsOwnFolder) {
    TRunFixture f;
    const auto folder = f.Folder() / "scripts";
    std::filesystem::create_directory(folder);
    const auto script = folder / "make.kvs";
    testing::WriteBytes(script,
                        "fcreate(\"made.txt\")\nh = fopen(\"made.txt\")\nn = fwrite(\"here\")\nfclose()");
    const std::filesystem::path before = std::filesystem::current_path();
    f.Form().OpenFile(script.string());
    f.Click("SBRun1");
    EXPECT_EQ(testing::ReadBytes(folder / "made.txt"), "here");
    EXPECT_EQ(std::filesystem::current_path(), before);
}

}  // namespace
}  // namespace korvane::workbench
