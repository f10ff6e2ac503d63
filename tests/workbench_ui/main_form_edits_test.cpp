#include <algorithm>
#include <random>

#include <QAction>
#include <QApplication>
#include <QTimer>
#include <QCheckBox>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QTest>
#include <QTextBlock>
#include <QToolBar>
#include <gtest/gtest.h>

#include "workbench/ui/find_dialog.h"
#include "workbench/ui/log_pane.h"
#include "workbench/ui/theme.h"
#include "workbench/ui/main_form.h"
#include "workbench/ui/script_editor.h"
#include "workbench/ui/status_line.h"
#include "workbench_fixture.h"

namespace korvane::workbench {
namespace {

using testing::ReadBytes;
using testing::TWorkbenchFixture;
using testing::WriteBytes;

struct TEditsFixture : TWorkbenchFixture {
    using TWorkbenchFixture::TWorkbenchFixture;
    // A script on disk, opened as the current file.
    std::string Opened(const std::string& name, std::string_view text) {
        const auto path = Folder() / name;
        WriteBytes(path, text);
        EXPECT_TRUE(Form().LoadFile(path.string()));
        return path.string();
    }
    // Types at the end of the text, the way a user's edit arrives.
    void Type(const char* text) {
        Form().Editor().SendScintilla(QsciScintilla::SCI_DOCUMENTEND);
        QTest::keyClicks(&Form().Editor(), QString::fromLatin1(text));
    }
    void Recent(int index) {
        Form().Bar(TBarId::RecentBar)->actions().at(index)->trigger();
    }
};

// New, a recent entry and closing all ask before edits are lost; each answer does what it
// says, and a cancelled or failed save cancels the action.
TEST(MainFormEdits, ActionsThatReplaceTheTextAskToSaveEdits) {
    struct TCase {
        const char* what;
        std::function<void(TEditsFixture&)> act;
        // After the action went ahead: the text and whether the window is closed.
        std::string textAfter;
        bool closes;
    };
    const std::vector<TCase> cases = {
        {"New", [](TEditsFixture& f) { f.Click("SBNew1"); }, "", false},
        {"New menu item", [](TEditsFixture& f) { f.Action("New1")->trigger(); }, "", false},
        {"recent entry", [](TEditsFixture& f) { f.Recent(0); }, "other\n", false},
        {"close", [](TEditsFixture& f) { f.Form().close(); }, "x = 1\nedit", true},
    };
    for (const TCase& c : cases) {
        for (TSaveAnswer answer : {TSaveAnswer::Save, TSaveAnswer::Discard, TSaveAnswer::Cancel}) {
            SCOPED_TRACE(std::string(c.what) + " answered " + std::to_string(static_cast<int>(answer)));
            TEditsFixture f;
            const std::string other = (f.Folder() / "other.kvs").string();
            WriteBytes(other, "other\n");
            f.Form().OpenFile(other);  // into the empty editor: no question
            const std::string path = f.Opened("a.kvs", "x = 1\n");
            f.Type("edit");
            ASSERT_TRUE(f.Form().Modified());
            ASSERT_EQ(f.Form().RecentFiles(), std::vector<std::string>{other});
            f.dialogs.saveAnswers = {answer};
            c.act(f);
            EXPECT_EQ(f.dialogs.questions, QStringList{"Save changes to a.kvs?"});
            const bool wentAhead = answer != TSaveAnswer::Cancel;
            EXPECT_EQ(ReadBytes(path), answer == TSaveAnswer::Save ? "x = 1\nedit" : "x = 1\n");
            EXPECT_EQ(f.Form().Editor().Bytes(), wentAhead ? c.textAfter : "x = 1\nedit");
            EXPECT_EQ(f.Form().Closed(), wentAhead && c.closes);
        }
    }
}

TEST(MainFormEdits, UnchangedTextIsReplacedWithoutAQuestion) {
    TEditsFixture f;
    f.Opened("a.kvs", "x = 1\n");
    f.Type("2");
    QTest::keyClick(&f.Form().Editor(), Qt::Key_Backspace);  // back to the file's text
    EXPECT_FALSE(f.Form().Modified());
    f.Click("SBNew1");
    f.Form().close();
    EXPECT_TRUE(f.dialogs.questions.isEmpty());
    EXPECT_TRUE(f.Form().Closed());
}

TEST(MainFormEdits, SavingAnUntitledScriptGoesThroughSaveAs) {
    TEditsFixture f;
    f.Type("y = 2");
    const auto target = f.Folder() / "named.kvs";
    // Save as cancelled: New does not go ahead.
    f.dialogs.saveAnswers = {TSaveAnswer::Save, TSaveAnswer::Save};
    f.Click("SBNew1");
    EXPECT_EQ(f.dialogs.questions, QStringList{"Save changes to untitled.kvs?"});
    EXPECT_EQ(f.Form().Editor().Bytes(), "y = 2");
    // Save as into a folder that does not exist fails: New does not go ahead either.
    f.dialogs.files = {(f.Folder() / "none" / "x.kvs").string()};
    f.Click("SBNew1");
    EXPECT_EQ(f.dialogs.messages, QStringList{"Error saving file"});
    EXPECT_EQ(f.Form().Editor().Bytes(), "y = 2");
    f.dialogs.saveAnswers = {TSaveAnswer::Save};
    f.dialogs.files = {target.string()};
    f.Click("SBNew1");
    EXPECT_EQ(ReadBytes(target), "y = 2");
    EXPECT_EQ(f.Form().Editor().Bytes(), "");
    EXPECT_EQ(f.Form().windowTitle(), "Korvane - untitled.kvs");
}

// Open asks what New asks, after the file is chosen: Cancel keeps the edits, Discard opens.
TEST(MainFormEdits, OpenAsksToSaveEditsLikeNew) {
    TEditsFixture f;
    f.Type("typed");
    const auto other = f.Folder() / "b.kvs";
    WriteBytes(other, "b");
    f.dialogs.files = {other.string(), other.string()};
    f.dialogs.saveAnswers = {TSaveAnswer::Cancel, TSaveAnswer::Discard};
    f.Click("SBOpen1");
    EXPECT_EQ(f.dialogs.questions, QStringList{"Save changes to untitled.kvs?"});
    EXPECT_EQ(f.Form().Editor().Bytes(), "typed");
    f.Action("Open1")->trigger();
    EXPECT_EQ(f.Form().Editor().Bytes(), "b");
    EXPECT_EQ(f.dialogs.questions.size(), 2);
}

TEST(MainFormEdits, StandaloneAsksNothing) {
    TEditsFixture f(true);
    f.Form().Editor().SetBytes("x = 1");
    f.Type("changed");
    f.Form().close();
    EXPECT_TRUE(f.dialogs.questions.isEmpty());
    EXPECT_TRUE(f.Form().Closed());
}

// The caption carries "*" while the text differs from the file; Save as still offers the
// bare name, and saving takes the marker away.
TEST(MainFormEdits, ModifiedMarkerInTheCaption) {
    TEditsFixture f;
    EXPECT_EQ(f.Form().windowTitle(), "Korvane - untitled.kvs");
    const std::string path = f.Opened("m.kvs", "a\n");
    EXPECT_EQ(f.Form().windowTitle(), "Korvane - m.kvs");
    f.Type("b");
    EXPECT_EQ(f.Form().windowTitle(), "Korvane - m.kvs*");
    f.dialogs.files = {(f.Folder() / "n.kvs").string()};
    f.Click("SBSaveas1");
    EXPECT_EQ(f.dialogs.saveSuggestions, std::vector<std::string>{"m.kvs"});
    EXPECT_EQ(f.Form().windowTitle(), "Korvane - n.kvs");
    f.Type("c");
    EXPECT_EQ(f.Form().windowTitle(), "Korvane - n.kvs*");
    f.Click("SBSave1");
    EXPECT_EQ(f.Form().windowTitle(), "Korvane - n.kvs");
    EXPECT_EQ(ReadBytes(f.Folder() / "n.kvs"), "a\nbc");
    EXPECT_EQ(ReadBytes(path), "a\n");
    EXPECT_EQ(f.Form().Status().PathText(), QString::fromStdString((f.Folder() / "n.kvs").string()));
}

TEST(MainFormEdits, FindReplaceAndGoToLine) {
    TEditsFixture f;
    f.Form().show();
    f.Form().Editor().SetBytes("alpha\nBeta beta\nalpha beta\n");
    TScriptEditor& editor = f.Form().Editor();
    TFindDialog& find = f.Form().FindDialog();
    editor.setSelection(0, 0, 0, 5);
    f.Action("Find1")->trigger();
    EXPECT_EQ(find.FindField()->text(), "alpha");  // taken from the selection
    find.FindNext();
    EXPECT_EQ(editor.selectedText(), "alpha");
    int line = 0, column = 0;
    editor.getCursorPosition(&line, &column);
    EXPECT_EQ(line, 2);
    find.FindNext();  // wraps round to the first
    editor.getCursorPosition(&line, &column);
    EXPECT_EQ(line, 0);
    find.FindPrevious();  // and back round the start
    editor.getCursorPosition(&line, &column);
    EXPECT_EQ(line, 2);

    find.FindField()->setText("beta");
    find.MatchCase()->setChecked(true);
    editor.setCursorPosition(0, 0);
    f.Action("FindNext1")->trigger();  // F3 with the dialog's text
    EXPECT_EQ(editor.SendScintilla(QsciScintilla::SCI_GETSELECTIONSTART), 11);
    find.ReplaceField()->setText("gamma");
    find.Replace();  // replaces the match and moves to the next
    EXPECT_EQ(editor.Bytes(), "alpha\nBeta gamma\nalpha beta\n");
    EXPECT_EQ(editor.selectedText(), "beta");
    find.MatchCase()->setChecked(false);
    find.ReplaceAll();
    EXPECT_EQ(editor.Bytes(), "alpha\ngamma gamma\nalpha gamma\n");
    EXPECT_EQ(find.Outcome(), "2 replaced");
    editor.undo();  // one step undoes the whole replace-all
    EXPECT_EQ(editor.Bytes(), "alpha\nBeta gamma\nalpha beta\n");
    find.FindField()->setText("delta");
    find.FindNext();
    EXPECT_EQ(find.Outcome(), "Not found");

    f.dialogs.lineNumbers = {3};
    f.Action("GoToLine1")->trigger();
    editor.getCursorPosition(&line, &column);
    EXPECT_EQ(line, 2);
    EXPECT_EQ(column, 0);
    QCoreApplication::processEvents();
    EXPECT_EQ(f.Form().Status().CaretText(), "Ln 3, Col 1");
}

TEST(MainFormEdits, LogDoubleClickGoesToTheLineItNames) {
    TEditsFixture f;
    f.Form().show();
    std::string script;
    for (int i = 1; i <= 60; ++i) script += "x = " + std::to_string(i) + "\n";
    f.Form().Editor().SetBytes(script);
    TLogPane& log = f.Form().Log();
    log.AppendItem("14:03:27: Script started");
    log.AppendItem("14:03:27, from line 42: a value");
    log.AppendItem("Error: unexpected next on line 7");
    log.Flush();
    int line = 0, column = 0;
    const auto doubleClickLine = [&](int shown) {
        const QRect at = log.cursorRect(QTextCursor(log.document()->findBlockByNumber(shown)));
        QTest::mouseDClick(log.viewport(), Qt::LeftButton, {}, at.center());
        f.Form().Editor().getCursorPosition(&line, &column);
    };
    doubleClickLine(1);
    EXPECT_EQ(line, 41);
    const long first = f.Form().Editor().SendScintilla(QsciScintilla::SCI_GETFIRSTVISIBLELINE);
    EXPECT_LE(first, 41);
    EXPECT_GT(first + f.Form().Editor().SendScintilla(QsciScintilla::SCI_LINESONSCREEN), 41);
    doubleClickLine(2);
    EXPECT_EQ(line, 6);
    doubleClickLine(0);  // names no line: the caret stays
    EXPECT_EQ(line, 6);
}

TEST(MainFormEdits, ErrorLinesOfTheLogAreRedAndPassedChecksGreen) {
    TEditsFixture f;
    TLogPane& log = f.Form().Log();
    log.AppendItem("14:03:27: Script started");
    log.AppendItem("14:03:27 Fatal error: Division by zero");
    log.AppendItem("\r\nError: unterminated block (for)");
    log.AppendItem("14:03:27, from line 2: Error: only text");
    log.AppendItem("14:03:27: check vdd: 3.6 V in [3.13, 3.47]: FAIL");
    log.AppendItem("14:03:27: check vdd: 3.3 V in [3.13, 3.47]: pass");
    log.AppendItem("14:03:27, from line 4: check x: FAIL");
    log.AppendItem("14:03:27: check " + std::string(80, 'n') + ": 1 in [2, 3]: FAIL");
    EXPECT_EQ(log.Lines(), (QStringList{"14:03:27: Script started",
                                        "14:03:27 Fatal error: Division by zero", "",
                                        "Error: unterminated block (for)",
                                        "14:03:27, from line 2: Error: only text",
                                        "14:03:27: check vdd: 3.6 V in [3.13, 3.47]: FAIL",
                                        "14:03:27: check vdd: 3.3 V in [3.13, 3.47]: pass",
                                        "14:03:27, from line 4: check x: FAIL",
                                        "14:03:27: check " + QString(80, 'n') + ": 1 in [2, 3]: FAIL"}));
    const std::vector<bool> red = {false, true, false, true, false, true, false, false, true};
    const std::vector<bool> green = {false, false, false, false, false, false, true, false, false};
    for (int i = 0; i < 9; ++i) {
        EXPECT_EQ(log.LineShownAsError(i), red[i]) << i;
        EXPECT_EQ(log.LineShownAsPass(i), green[i]) << i;
    }
    // A clean run after an error: its lines take no colour from the lines before.
    log.ClearItems();
    log.AppendItem("14:03:27: Script started");
    log.AppendItem("14:03:27: Script finished");
    EXPECT_FALSE(log.LineShownAsError(0));
    EXPECT_FALSE(log.LineShownAsError(1));
}

// Error lines and plain lines stay readable on a light and on a dark palette: each is far
// enough from the background.
TEST(MainFormEdits, LogColoursReadOnLightAndDarkPalettes) {
    QPalette dark;
    dark.setColor(QPalette::Base, QColor(36, 36, 36));
    dark.setColor(QPalette::Text, QColor(238, 238, 236));
    QPalette light;
    light.setColor(QPalette::Base, Qt::white);
    light.setColor(QPalette::Text, Qt::black);
    for (const QPalette& palette : {light, dark}) {
        TLogPane log;
        log.setPalette(palette);
        log.AppendItem("14:03:27 Fatal error: Division by zero");
        log.AppendItem("14:03:27: Script finished");
        log.Flush();
        const QTextBlock error = log.document()->firstBlock();
        ASSERT_FALSE(error.layout()->formats().isEmpty());
        const QColor errorColour = error.layout()->formats().first().format.foreground().color();
        const QColor base = log.palette().color(QPalette::Base);
        EXPECT_GE(ContrastRatio(errorColour, base), 4.5) << base.name().toStdString();
        EXPECT_GE(ContrastRatio(log.palette().color(QPalette::Text), base), 4.5);
        EXPECT_TRUE(log.document()->lastBlock().layout()->formats().isEmpty());
    }
}

// The pane against its store: whatever the order of appends, trims and batches, the screen
// shows the store's lines (long ones shortened), and Save as writes them whole.
TEST(MainFormEdits, LogPaneShowsWhatItsStoreHolds) {
    std::mt19937 random(20);
    for (int round = 0; round < 40; ++round) {
        TLogPane log(nullptr, {static_cast<std::size_t>(3 + random() % 12), 4000});
        const int appends = static_cast<int>(random() % 60);
        for (int i = 0; i < appends; ++i) {
            std::string item = "line " + std::to_string(i);
            if (random() % 9 == 0) item = std::string(kShownLineLimit + random() % 900, 'w');
            if (random() % 7 == 0) item += "\r\nsecond of " + std::to_string(i);
            log.AppendItem(item);
            if (random() % 5 == 0) log.Flush();
        }
        QStringList expected;
        const TLogStore& store = log.Store();
        for (std::size_t i = 0; i < store.LineCount(); ++i) {
            expected << QString::fromLatin1(ShownLine(store.Line(i)).c_str());
        }
        ASSERT_EQ(log.Lines(), expected) << "round " << round;
        EXPECT_EQ(log.TextBytes(), store.Bytes());
        if (store.Removed() > 0) {
            EXPECT_EQ(expected.first().toStdString(), RemovalNote(store.Removed()));
        }
    }
}

TEST(MainFormEdits, LogContextMenuClearsAndSaves) {
    TEditsFixture f;
    TLogPane& log = f.Form().Log();
    log.AppendItem("14:03:27: Script started");
    log.AppendItem("caf\xe9");
    std::unique_ptr<QMenu> menu(log.ContextMenu({0, 0}));
    const auto item = [&](const char* name) { return menu->findChild<QAction*>(name); };
    ASSERT_NE(item("LogSaveAs"), nullptr);
    const auto target = f.Folder() / "log.txt";
    f.dialogs.files = {target.string()};
    item("LogSaveAs")->trigger();
    EXPECT_EQ(ReadBytes(target), "14:03:27: Script started\ncaf\xe9\n");
    item("LogClear")->trigger();
    EXPECT_TRUE(log.Lines().isEmpty());
    EXPECT_EQ(log.ItemCount(), 0);
    menu.reset(log.ContextMenu({0, 0}));
    EXPECT_FALSE(item("LogClear")->isEnabled());
    EXPECT_FALSE(item("LogSaveAs")->isEnabled());
}

// inputbox waits in a modal dialog; under a stay-on-top rack or terminal window it could
// not be reached.
TEST(MainFormEdits, InputBoxStaysAboveStayOnTopWindows) {
    TQtUserDialogs dialogs;
    bool onTop = false;
    QTimer::singleShot(0, [&] {
        QWidget* modal = QApplication::activeModalWidget();
        ASSERT_NE(modal, nullptr);
        onTop = modal->windowFlags() & Qt::WindowStaysOnTopHint;
        modal->close();
    });
    EXPECT_EQ(dialogs.InputBox(nullptr, "Caption", "Prompt", "preset"), "preset");
    EXPECT_TRUE(onTop);
}

TEST(MainFormEdits, FailedDesktopOpenerIsReported) {
    TEditsFixture f;
    f.dialogs.openerWorks = false;
    f.Form().Editor().SetBytes("see http://example.com/x here");
    emit f.Form().Editor().UrlClicked("http://example.com/x");
    EXPECT_EQ(f.dialogs.messages, QStringList{"Cannot open http://example.com/x"});
}

}  // namespace
}  // namespace korvane::workbench
