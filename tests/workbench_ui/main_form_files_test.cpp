#include <QCoreApplication>
#include <QDropEvent>
#include <QMimeData>
#include <QTextBlock>
#include <QTextBrowser>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextFrame>
#include <QTextTable>
#include <sys/stat.h>

#include <csignal>

#include <QAction>
#include <QTest>
#include <QToolBar>
#include <gtest/gtest.h>

#include "workbench/ui/about_window.h"
#include "workbench/ui/help_window.h"
#include "workbench/ui/main_form.h"
#include "workbench/ui/signal_watch.h"
#include "workbench/ui/theme.h"
#include "workbench/ui/script_editor.h"
#include "workbench_fixture.h"

namespace korvane::workbench {
namespace {

using testing::ReadBytes;
using testing::TWorkbenchFixture;
using testing::WriteBytes;

struct TFilesFixture : TWorkbenchFixture {
    std::string MakeScript(const std::string& name, std::string_view text) {
        const auto path = Folder() / name;
        WriteBytes(path, text);
        return path.string();
    }
    QStringList RecentBarTexts() {
        QStringList texts;
        for (QAction* action : Form().Bar(TBarId::RecentBar)->actions()) texts.append(action->text());
        return texts;
    }
};

// Unmodified text is replaced without a question, whatever it holds.
TEST(MainFormFiles, OpenOverUnchangedTextAsksNothing) {
    TFilesFixture f;
    const std::string a = f.MakeScript("a.kvs", "x = 1\n");
    const std::string b = f.MakeScript("b.kvs", "y = 2\n");
    f.dialogs.files = {a, b};
    f.Action("Open1")->trigger();
    f.Click("SBOpen1");
    EXPECT_TRUE(f.dialogs.questions.isEmpty());
    EXPECT_EQ(f.Form().Editor().Bytes(), "y = 2\n");
    EXPECT_EQ(f.Form().windowTitle(), "Korvane - b.kvs");
    EXPECT_EQ(f.Form().CurrentFile(), b);
    EXPECT_EQ(f.Form().RecentFiles(), (std::vector<std::string>{b, a}));
}

// The file dialogs start beside the current script, else in the folder last used, else at
// home; never in the program's folder.
TEST(MainFormFiles, DialogsStartBesideTheScriptElseTheLastFolderElseHome) {
    TFilesFixture f;
    const auto sub = f.Folder() / "sub";
    std::filesystem::create_directory(sub);
    const std::string script = (sub / "s.kvs").string();
    WriteBytes(script, "x = 1");
    f.Click("SBOpen1");  // cancelled
    f.dialogs.files = {script};
    f.Click("SBOpen1");
    f.Click("SBSaveas1");  // cancelled
    f.Form().NewScript();
    f.Click("SBSaveas1");
    const std::filesystem::path home = std::getenv("HOME");
    EXPECT_EQ(f.dialogs.startFolders, (std::vector<std::filesystem::path>{home, home, sub, sub}));
}

TEST(MainFormFiles, OpeningIntoAnEmptyEditorAsksNothing) {
    TFilesFixture f;
    f.dialogs.files = {f.MakeScript("b.kvs", "y = 2")};
    f.Click("SBOpen1");
    EXPECT_TRUE(f.dialogs.questions.isEmpty());
    EXPECT_EQ(f.Form().Editor().Bytes(), "y = 2");
}

TEST(MainFormFiles, LoadFailureKeepsTheEditorAndNamesThePath) {
    TFilesFixture f;
    f.SetScript("kept");
    const std::string missing = (f.Folder() / "missing.kvs").string();
    f.dialogs.files = {missing};
    f.dialogs.answers = {true};
    f.Click("SBOpen1");
    EXPECT_EQ(f.dialogs.messages, (QStringList{"Error loading file " + QString::fromStdString(missing)}));
    EXPECT_EQ(f.Form().Editor().Bytes(), "kept");
    EXPECT_EQ(f.Form().windowTitle(), "Korvane - untitled.kvs*");
}

TEST(MainFormFiles, EveryByteValueOpensAndSavesUnchanged) {
    TFilesFixture f;
    std::string bytes;
    for (int i = 0; i < 256; ++i) bytes.push_back(static_cast<char>(i));
    bytes += "\r\nsecond line\rthird\n";
    const std::string path = f.MakeScript("bytes.kvs", bytes);
    f.Form().OpenFile(path);
    EXPECT_EQ(f.Form().Editor().Bytes(), bytes);
    f.Click("SBSave1");
    EXPECT_EQ(ReadBytes(path), bytes);
    EXPECT_TRUE(f.dialogs.messages.isEmpty());
    f.SetScript("caf\xe9 \xff");
    EXPECT_EQ(f.Form().Editor().text(), QString::fromLatin1("caf\xe9 \xff"));  // one byte, one character
}

TEST(MainFormFiles, SaveAsAddsTheExtensionOnlyToNamesWithoutAnyDot) {
    TFilesFixture f;
    std::filesystem::create_directory(f.Folder() / "my.scripts");
    const std::string plain = (f.Folder() / "plain").string();
    const std::string dotted = (f.Folder() / "my.scripts" / "plain").string();
    f.SetScript("z = 3");
    f.dialogs.files = {plain, dotted};
    f.Click("SBSaveas1");
    EXPECT_EQ(f.dialogs.saveSuggestions.back(), "untitled.kvs");
    EXPECT_EQ(ReadBytes(plain + ".kvs"), "z = 3");
    EXPECT_EQ(f.Form().windowTitle(), "Korvane - plain.kvs");
    f.Click("SBSaveas1");
    EXPECT_EQ(f.dialogs.saveSuggestions.back(), "plain.kvs");
    EXPECT_EQ(ReadBytes(dotted), "z = 3");
    EXPECT_EQ(f.Form().CurrentFile(), dotted);
    EXPECT_EQ(f.Form().RecentFiles(), (std::vector<std::string>{dotted, plain + ".kvs"}));
}

TEST(MainFormFiles, RecentListKeepsFiveNewestFirstWithoutDuplicates) {
    TFilesFixture f;
    f.SetScript("w");
    std::vector<std::string> paths;
    for (int i = 1; i <= 6; ++i) paths.push_back((f.Folder() / ("s" + std::to_string(i) + ".kvs")).string());
    for (const std::string& path : paths) f.dialogs.files.push_back(path);
    f.dialogs.files.push_back(paths[5]);  // the same file again
    for (int i = 0; i < 7; ++i) f.Form().SaveScriptAs();
    EXPECT_EQ(f.Form().RecentFiles(),
              (std::vector<std::string>{paths[5], paths[4], paths[3], paths[2], paths[1]}));
    QTest::qWait(0);  // let the replaced entries go
    EXPECT_EQ(f.RecentBarTexts(),
              (QStringList{"s6.kvs", "s5.kvs", "s4.kvs", "s3.kvs", "s2.kvs"}));
}

TEST(MainFormFiles, RecentEntryLoadsWithoutAQuestion) {
    TFilesFixture f;
    const std::string first = f.MakeScript("first.kvs", "one");
    const std::string second = f.MakeScript("second.kvs", "two");
    f.Form().OpenFile(first);
    f.dialogs.answers = {true};
    f.Form().OpenFile(second);
    f.dialogs.questions.clear();
    f.Form().Bar(TBarId::RecentBar)->actions().at(1)->trigger();
    EXPECT_TRUE(f.dialogs.questions.isEmpty());
    EXPECT_EQ(f.Form().Editor().Bytes(), "one");
    EXPECT_EQ(f.Form().windowTitle(), "Korvane - first.kvs");
    EXPECT_EQ(f.Form().RecentFiles(), (std::vector<std::string>{second, first}));
}

TEST(MainFormFiles, SaveWritesTheCurrentFileOrReportsFailure) {
    TFilesFixture f;
    f.SetScript("q = 1");
    const std::string blocked = (f.Folder() / "no-such-folder" / "x.kvs").string();
    f.dialogs.files = {blocked};
    f.Click("SBSave1");  // no current file: Save as
    EXPECT_EQ(f.dialogs.saveSuggestions.size(), 1u);
    EXPECT_EQ(f.dialogs.messages, (QStringList{"Error saving file"}));
    EXPECT_TRUE(f.Form().CurrentFile().empty());

    const std::string path = f.MakeScript("cur.kvs", "old");
    f.dialogs.answers = {true};
    f.Form().OpenFile(path);
    f.Form().Editor().SetBytes("new");
    f.Action("Save1")->trigger();
    EXPECT_EQ(ReadBytes(path), "new");
    std::filesystem::remove(path);
    std::filesystem::create_directory(path);  // a folder in its place cannot be written over
    f.Action("Save1")->trigger();
    EXPECT_EQ(f.dialogs.messages, (QStringList{"Error saving file", "Error saving file"}));
}

TEST(MainFormFiles, SavingThroughALinkWritesTheLinkedFile) {
    TFilesFixture f;
    const std::string target = f.MakeScript("target.kvs", "old");
    const auto link = f.Folder() / "link.kvs";
    std::filesystem::create_symlink(target, link);
    f.Form().OpenFile(link.string());
    f.Form().Editor().SetBytes("through the link");
    f.Click("SBSave1");
    EXPECT_TRUE(std::filesystem::is_symlink(link));
    EXPECT_EQ(ReadBytes(target), "through the link");
}

TEST(MainFormFiles, NewClearsWithoutAQuestion) {
    TFilesFixture f;
    f.Form().OpenFile(f.MakeScript("c.kvs", "text"));
    f.Click("SBNew1");
    EXPECT_TRUE(f.dialogs.questions.isEmpty());
    EXPECT_FALSE(f.Form().Editor().HasText());
    EXPECT_EQ(f.Form().windowTitle(), "Korvane - untitled.kvs");
    EXPECT_TRUE(f.Form().CurrentFile().empty());
}

TEST(MainFormFiles, HelpShowsThePageBesideTheExecutableInItsOwnWindow) {
    TFilesFixture f;
    f.Action("Help1")->trigger();
    EXPECT_EQ(f.dialogs.messages,
              QStringList{"Cannot open the help page " +
                          QString::fromStdString((f.Folder() / "Help/html/index.html").string())});
    std::filesystem::create_directories(f.Folder() / "Help" / "html");
    WriteBytes(f.Folder() / "Help" / "html" / "index.html",
               "<html><body><a href=\"two.html\">next</a> alpha beta alpha</body></html>");
    WriteBytes(f.Folder() / "Help" / "html" / "two.html", "<html><body>second page</body></html>");
    f.Action("Help1")->trigger();
    TFrmHelp* help = f.Form().HelpWindow();
    ASSERT_NE(help, nullptr);
    EXPECT_TRUE(help->isVisible());
    EXPECT_TRUE(f.dialogs.opened.empty());
    EXPECT_TRUE(help->Browser().toPlainText().contains("alpha beta"));
    // Search wraps round to the first match and says when there is none.
    EXPECT_TRUE(help->FindInPage("alpha"));
    const int first = help->Browser().textCursor().selectionStart();
    EXPECT_TRUE(help->FindInPage("alpha"));
    EXPECT_GT(help->Browser().textCursor().selectionStart(), first);
    EXPECT_TRUE(help->FindInPage("alpha"));
    EXPECT_EQ(help->Browser().textCursor().selectionStart(), first);
    EXPECT_FALSE(help->FindInPage("gamma"));
    // Links, back and forward.
    help->Browser().setSource(QUrl::fromLocalFile(
        QString::fromStdString((f.Folder() / "Help/html/two.html").string())));
    EXPECT_TRUE(help->Browser().toPlainText().contains("second page"));
    help->findChild<QAction*>("HelpBack")->trigger();
    EXPECT_TRUE(help->Browser().toPlainText().contains("alpha beta"));
    help->findChild<QAction*>("HelpForward")->trigger();
    EXPECT_TRUE(help->Browser().toPlainText().contains("second page"));
    help->findChild<QAction*>("HelpOpenInBrowser")->trigger();
    ASSERT_EQ(f.dialogs.opened.size(), 1u);
    EXPECT_EQ(f.dialogs.opened[0].fileName(), "two.html");
}

// Every piece of text of the shipped help page against what it is drawn on (its own
// background, its block's, its table cell's or the page's), in the light and the dark theme.
TEST(MainFormFiles, TheHelpPageReadsInBothThemes) {
    TFilesFixture f;
    std::filesystem::create_directories(f.Folder() / "Help" / "html");
    std::filesystem::copy_file(
        std::filesystem::path(KORVANE_EXAMPLES).parent_path() / "workbench/ui/help/index.html",
        f.Folder() / "Help" / "html" / "index.html");
    for (const char* theme : {"ThemeLight1", "ThemeDark1", "ThemeLight1"}) {
        f.Action(theme)->trigger();
        f.Action("Help1")->trigger();
        QTextBrowser& browser = f.Form().HelpWindow()->Browser();
        const QTextDocument& page = *browser.document();
        const QColor paper = page.rootFrame()->frameFormat().background().style() == Qt::NoBrush
                                 ? browser.palette().color(QPalette::Base)
                                 : page.rootFrame()->frameFormat().background().color();
        EXPECT_EQ(paper.lightness() < 128, std::string_view(theme) == "ThemeDark1") << theme;
        int pieces = 0;
        for (QTextBlock block = page.begin(); block.isValid(); block = block.next()) {
            QColor ground = paper;
            if (const QTextTableCell cell = QTextCursor(block).currentTable()
                                                ? QTextCursor(block).currentTable()->cellAt(
                                                      block.position())
                                                : QTextTableCell();
                cell.isValid() && cell.format().background().style() != Qt::NoBrush) {
                ground = cell.format().background().color();
            }
            if (block.blockFormat().background().style() != Qt::NoBrush) {
                ground = block.blockFormat().background().color();
            }
            for (auto piece = block.begin(); !piece.atEnd(); ++piece) {
                const QTextCharFormat format = piece.fragment().charFormat();
                if (piece.fragment().text().trimmed().isEmpty()) continue;
                const QColor ink = format.foreground().style() == Qt::NoBrush
                                       ? browser.palette().color(QPalette::Text)
                                       : format.foreground().color();
                const QColor behind = format.background().style() == Qt::NoBrush
                                          ? ground
                                          : format.background().color();
                ++pieces;
                EXPECT_GT(ContrastRatio(ink, behind), 4.5)
                    << theme << ": " << piece.fragment().text().left(40).toStdString() << ' '
                    << ink.name().toStdString() << " on " << behind.name().toStdString();
            }
        }
        EXPECT_GT(pieces, 500) << theme;
    }
}

TEST(MainFormFiles, AboutIsShownModallyOffsetFromTheWindowWithVersionsAndSettings) {
    TFilesFixture f;
    f.Form().move(200, 100);
    f.Action("About1")->trigger();
    ASSERT_EQ(f.dialogs.modal, &f.App().About());
    EXPECT_EQ(f.dialogs.modalAt, f.Form().pos() + QPoint(125, 125));
    const QString details = f.App().About().Details();
    for (const QString& part : {QStringLiteral("Version 2.0"), QStringLiteral("Qt ") + qVersion(),
                                QStringLiteral("QScintilla 2."),
                                QString::fromStdString(f.SettingsPath().string())}) {
        EXPECT_TRUE(details.contains(part)) << part.toStdString();
    }
}

TEST(MainFormFiles, AFileDroppedOnTheEditorOpensLikeOpenAndTextDropsStayText) {
    TFilesFixture f;
    f.Form().show();
    const std::string path = f.MakeScript("dropped.kvs", "x = 1");
    const auto drop = [&f](QMimeData& data) {
        QWidget* target = f.Form().Editor().viewport();
        QDragEnterEvent enter(QPoint(10, 10), Qt::CopyAction, &data, Qt::LeftButton, {});
        QCoreApplication::sendEvent(target, &enter);
        QDropEvent event(QPointF(10, 10), Qt::CopyAction, &data, Qt::LeftButton, {});
        QCoreApplication::sendEvent(target, &event);
        return event.isAccepted();
    };
    f.SetScript("old");
    QMimeData file;
    file.setUrls({QUrl::fromLocalFile(QString::fromStdString(path))});
    f.dialogs.saveAnswers.push_back(TSaveAnswer::Cancel);  // Open's save question keeps the text
    EXPECT_TRUE(drop(file));
    EXPECT_EQ(f.Form().Editor().Bytes(), "old");
    f.dialogs.saveAnswers.push_back(TSaveAnswer::Discard);
    drop(file);
    EXPECT_EQ(f.Form().Editor().Bytes(), "x = 1");
    EXPECT_EQ(f.Form().CurrentFile(), path);
    // Two files at once, or a web address, are no file to open.
    QMimeData two;
    two.setUrls({QUrl::fromLocalFile("/a.kvs"), QUrl::fromLocalFile("/b.kvs")});
    drop(two);
    QMimeData web;
    web.setUrls({QUrl("https://example.org/x.kvs")});
    drop(web);
    EXPECT_EQ(f.Form().CurrentFile(), path);
    EXPECT_EQ(f.Form().Editor().Bytes(), "x = 1");
}

TEST(MainFormFiles, ClickedUrlGoesToTheDesktopOpener) {
    TFilesFixture f;
    f.Form().show();
    f.SetScript("# docs at https://example.org/help here");
    TScriptEditor& editor = f.Form().Editor();
    const long position = 15;
    const int x = static_cast<int>(editor.SendScintilla(QsciScintilla::SCI_POINTXFROMPOSITION, 0UL, position));
    const int y = static_cast<int>(editor.SendScintilla(QsciScintilla::SCI_POINTYFROMPOSITION, 0UL, position));
    const int lineHeight = static_cast<int>(editor.SendScintilla(QsciScintilla::SCI_TEXTHEIGHT, 0UL));
    QTest::mouseClick(editor.viewport(), Qt::LeftButton, {}, QPoint(x + 2, y + lineHeight / 2));
    ASSERT_EQ(f.dialogs.opened.size(), 1u);
    EXPECT_EQ(f.dialogs.opened[0], QUrl("https://example.org/help"));
}

// A signal closes the window without a question, keeps the unsaved text beside the settings
// and writes the settings; the next start offers the text once, still unsaved.
TEST(MainFormFiles, ASignalKeepsUnsavedTextForTheNextStart) {
    TFilesFixture f;
    const std::string path = f.MakeScript("kept.kvs", "x = 1\n");
    f.Form().OpenFile(path);
    f.Form().Editor().SetBytes("x = 2\n");
    std::filesystem::remove(f.SettingsPath());
    TSignalWatch watch;
    ASSERT_TRUE(watch.Installed());
    QObject::connect(&watch, &TSignalWatch::Caught, &f.Form(), [&f] { f.Form().CloseForSignal(); });
    ASSERT_EQ(::raise(SIGHUP), 0);
    QTest::qWait(50);
    EXPECT_TRUE(f.Form().Closed());
    EXPECT_TRUE(f.dialogs.questions.isEmpty());
    EXPECT_TRUE(std::filesystem::exists(f.SettingsPath()));

    f.Restart();
    f.dialogs.answers = {true};
    f.Form().OfferRecovery();
    ASSERT_EQ(f.dialogs.questions.size(), 1);
    EXPECT_EQ(f.dialogs.questions[0],
              "Unsaved changes to kept.kvs were kept when Korvane was ended. Open them?");
    EXPECT_EQ(f.Form().Editor().Bytes(), "x = 2\n");
    EXPECT_EQ(f.Form().CurrentFile(), path);
    EXPECT_TRUE(f.Form().Modified());
    EXPECT_EQ(ReadBytes(path), "x = 1\n");
    f.Form().OfferRecovery();  // offered once only
    EXPECT_EQ(f.dialogs.questions.size(), 1);

    // Unmodified text leaves nothing to offer.
    f.Form().SaveScript();
    f.Form().CloseForSignal();
    f.Restart();
    f.Form().OfferRecovery();
    EXPECT_EQ(f.dialogs.questions.size(), 1);
}

}  // namespace
}  // namespace korvane::workbench
