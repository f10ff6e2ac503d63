#include <QAction>
#include <QDockWidget>
#include <QPlainTextEdit>
#include <QTest>
#include <QTextBlock>
#include <gtest/gtest.h>

#include "workbench/ui/main_form.h"
#include "workbench/ui/script_editor.h"
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

struct TDebugFixture : TWorkbenchFixture {
    TDebugFixture() {
        Form().show();
        Form().activateWindow();
        // Window shortcuts reach only the active window.
        EXPECT_TRUE(QTest::qWaitForWindowActive(&Form()));
    }
    std::function<bool()> PausedAt(int line) {
        return [this, line] {
            return Form().RunPhase() == TRunPhase::Paused && Form().RunningLine() == line;
        };
    }
    QString WatchText() { return App().Watch().Memo()->toPlainText(); }
    // The Watch lines shown bold.
    QStringList BoldWatchLines() {
        QStringList bold;
        for (QTextBlock block = App().Watch().Memo()->document()->begin(); block.isValid();
             block = block.next()) {
            if (block.begin() != block.end() &&
                block.begin().fragment().charFormat().fontWeight() == QFont::Bold) {
                bold.append(block.text());
            }
        }
        return bold;
    }
    // A key pressed while the Watch window has the focus.
    void KeyInWatch(int key, Qt::KeyboardModifiers modifiers = {}) {
        App().Watch().Memo()->setFocus();
        QTest::keyClick(Form().windowHandle(), static_cast<Qt::Key>(key), modifiers);
    }
    void PutCaret(int line) { Form().Editor().setCursorPosition(line, 0); }
};

TEST(Debugger, BreakpointPausesBeforeItsStatementWithWatchDockedAndF5Continues) {
    TDebugFixture f;
    f.SetScript("a = 1\n\n# set b\nb = 2\nwritelog(b)");
    f.PutCaret(1);  // a blank line: the breakpoint goes to the next statement
    f.Action("Breakpoint1")->trigger();
    EXPECT_EQ(f.Form().Editor().Breakpoints(), (std::vector<int>{3}));
    QString watchAtStop;
    bool docked = false;
    int markedLine = -1;
    TUserActions user;
    user.Then(f.PausedAt(3), [&] {
        watchAtStop = f.WatchText();
        docked = f.Form().WatchDock().isVisible() && !f.Form().WatchDock().isFloating();
        markedLine = f.Form().Editor().StepLine();
        f.KeyInWatch(Qt::Key_F5);
    });
    f.Click("SBRun1");
    ASSERT_TRUE(user.Done());
    EXPECT_EQ(watchAtStop, "error=0\na=1");
    EXPECT_TRUE(docked);
    EXPECT_EQ(markedLine, 3);
    EXPECT_EQ(f.LogLines(),
              (QStringList{kStarted, kPaused, kResumed, "14:03:27, from line 5: 2", kFinished}));
    EXPECT_EQ(f.Form().Editor().StepLine(), -1);
}

TEST(Debugger, StepFromIdleStopsAtTheFirstStatementAndShiftF5StopsFromWatch) {
    TDebugFixture f;
    f.SetScript("a = 1\nb = 2\nwritelog(\"never\")");
    std::vector<QString> watch;
    QStringList boldAfterStep;
    TUserActions user;
    user.Then(f.PausedAt(0), [&] {
        watch.push_back(f.WatchText());
        f.KeyInWatch(Qt::Key_F10);
    });
    user.Then(f.PausedAt(1), [&] {
        watch.push_back(f.WatchText());
        boldAfterStep = f.BoldWatchLines();
        f.KeyInWatch(Qt::Key_F5, Qt::ShiftModifier);
    });
    f.Action("Step1")->trigger();
    ASSERT_TRUE(user.Done());
    EXPECT_EQ(watch, (std::vector<QString>{"error=0", "error=0\na=1"}));
    EXPECT_EQ(boldAfterStep, QStringList{"a=1"});
    EXPECT_FALSE(f.LogLines().contains("14:03:27, from line 3: never"));
    EXPECT_EQ(f.LogLines().back(), kFinished);
    EXPECT_FALSE(f.Form().Running());
}

TEST(Debugger, RunToCursorStopsOnceInsideALoopAndWatchStartsEmptyNextRun) {
    TDebugFixture f;
    f.SetScript("n = 0\nfor (i, 1, 3, 1)\nn = n + i\nnext\nwritelog(n)");
    f.PutCaret(2);
    int stops = 0;
    QString watchAtSecondStart = QStringLiteral("unset");
    TUserActions user;
    user.Then(f.PausedAt(2), [&] {
        ++stops;
        f.Action("Run1")->trigger();
    });
    f.Action("RunToCursor1")->trigger();
    ASSERT_TRUE(user.Done());
    EXPECT_EQ(stops, 1);
    EXPECT_TRUE(f.LogLines().contains("14:03:27, from line 5: 6"));
    EXPECT_FALSE(f.WatchText().isEmpty());

    f.SetScript("while (1 == 1)\nx = 1\nwend");
    TUserActions second;
    second.Then([&] { return f.Form().Running(); }, [&] {
        watchAtSecondStart = f.WatchText();
        f.Click("SBStop1");
    });
    f.Click("SBRun1");
    ASSERT_TRUE(second.Done());
    EXPECT_EQ(watchAtSecondStart, "");
}

TEST(Debugger, BreakpointsMoveWithTheTextAndAreKeptPerFileBetweenSessions) {
    TDebugFixture f;
    const std::filesystem::path script = f.Folder() / "kept.kvs";
    testing::WriteBytes(script, "a = 1\nb = 2\nc = 3\n");
    f.Form().OpenFile(script.string());
    f.Form().Editor().ToggleBreakpoint(1);
    f.Form().Editor().SendScintilla(QsciScintilla::SCI_INSERTTEXT, 0UL, "x = 0\n\n");
    EXPECT_EQ(f.Form().Editor().Breakpoints(), (std::vector<int>{3}));
    ASSERT_TRUE(f.Form().SaveScript());
    f.Form().close();

    f.Restart();
    f.Form().OpenFile(script.string());
    EXPECT_EQ(f.Form().Editor().Breakpoints(), (std::vector<int>{3}));
    f.Form().NewScript();
    EXPECT_TRUE(f.Form().Editor().Breakpoints().empty());
    // Toggling on the dot's own line takes it away, and that is kept too.
    f.Form().OpenFile(script.string());
    f.Form().Editor().ToggleBreakpoint(3);
    EXPECT_TRUE(f.Form().Editor().Breakpoints().empty());
    EXPECT_TRUE(f.App().Context().settings.breakpoints.empty());
}

TEST(Debugger, AMarginClickTogglesABreakpoint) {
    TDebugFixture f;
    f.SetScript("a = 1\nb = 2");
    TScriptEditor& editor = f.Form().Editor();
    const int y = static_cast<int>(editor.SendScintilla(QsciScintilla::SCI_POINTYFROMPOSITION, 0UL,
                                                        editor.positionFromLineIndex(1, 0)));
    const int lineHeight = static_cast<int>(editor.SendScintilla(QsciScintilla::SCI_TEXTHEIGHT, 1UL));
    const QPoint inMarkerMargin(editor.marginWidth(0) + editor.marginWidth(1) / 2, y + lineHeight / 2);
    QTest::mouseClick(editor.viewport(), Qt::LeftButton, {}, inMarkerMargin);
    EXPECT_EQ(editor.Breakpoints(), (std::vector<int>{1}));
    QTest::mouseClick(editor.viewport(), Qt::LeftButton, {}, inMarkerMargin);
    EXPECT_TRUE(editor.Breakpoints().empty());
}

}  // namespace
}  // namespace korvane::workbench
