#include <QApplication>
#include <QDockWidget>
#include <QScreen>
#include <QTest>
#include <QSplitter>
#include <QToolBar>
#include <gtest/gtest.h>

#include "workbench/editor_look.h"
#include "workbench/settings.h"
#include "workbench/lexer_classifier.h"
#include "workbench/ui/log_pane.h"
#include "workbench/ui/script_editor.h"
#include "workbench/ui/theme.h"
#include "racks/ui/frm_rack.h"
#include "workbench/ui/main_form.h"
#include "workbench/ui/rack_owner.h"
#include "workbench/ui/watch_window.h"
#include "workbench/ui/workbench_app.h"
#include "workbench/ui/workbench_context.h"
#include "workbench_fixture.h"

namespace korvane::workbench {
namespace {

using testing::ReadBytes;
using testing::TWorkbenchFixture;
using testing::WriteBytes;

// A settings file that changes every value from its default.
const char* const kFullSettings =
    "[main]\nx=30\ny=40\nwidth=700\nheight=500\nlog_height=120\n"
    "[debug]\nx=300\ny=200\n[rack]\nx=11\ny=12\n[terminal]\nx=13\ny=14\n"
    "[recent]\nMRU1=/s/one.kvs\nMRU2=\nMRU3=/s/three.kvs\n"
    "[menu bar]\nstyle=docked\nrow=1\npos=0\n"
    "[toolbar]\nstyle=docked\nrow=0\npos=0\n"
    "[recent bar]\nstyle=docked\nrow=0\npos=200\n"
    "[ports]\ncom3=/dev/ttyUSB0\n";

struct TSettingsFixture : TWorkbenchFixture {
    void StartWith(const char* ini) {
        WriteBytes(SettingsPath(), ini);
        Restart();
        Form().show();
    }
    TSettings Written() { return ParseSettings(ReadBytes(SettingsPath())); }
    int BarTop(TBarId bar) { return Form().Bar(bar)->pos().y(); }
};

TEST(MainFormSettings, DefaultsWithoutASettingsFile) {
    TSettingsFixture f;
    f.Form().show();
    EXPECT_EQ(f.Form().size(), QSize(544, 374));
    EXPECT_EQ(f.Form().windowTitle(), "Korvane - untitled.kvs");
    EXPECT_EQ(f.Form().Log().height(), 160);
    EXPECT_EQ(f.Form().findChild<QSplitter*>()->handleWidth(), 2);
    EXPECT_LT(f.BarTop(TBarId::MenuBar), f.BarTop(TBarId::ButtonBar));
    EXPECT_EQ(f.BarTop(TBarId::ButtonBar), f.BarTop(TBarId::RecentBar));
    EXPECT_EQ(f.App().Watch().sizeHint(), QSize(212, 348));
    EXPECT_EQ(f.Form().WatchDock().windowTitle(), "Watch");
    EXPECT_FALSE(f.Form().WatchDock().isVisible());
    EXPECT_FALSE(f.Form().WatchDock().isFloating());
}

TEST(MainFormSettings, EverySettingIsAppliedAndWrittenBackAtClose) {
    TSettingsFixture f;
    f.StartWith(kFullSettings);
    EXPECT_EQ(f.Form().size(), QSize(700, 500));
    EXPECT_EQ(f.Form().pos(), QPoint(30, 40));
    EXPECT_EQ(f.Form().Log().height(), 120);
    EXPECT_EQ(f.Form().RecentFiles(), (std::vector<std::string>{"/s/one.kvs", "/s/three.kvs"}));
    EXPECT_EQ(f.BarTop(TBarId::ButtonBar), f.BarTop(TBarId::RecentBar));
    EXPECT_LT(f.BarTop(TBarId::ButtonBar), f.BarTop(TBarId::MenuBar));
    // A Watch window the user made float opens where it was left.
    f.Form().WatchDock().setFloating(true);
    f.Form().ShowWatch(true);
    EXPECT_EQ(f.Form().WatchDock().pos(), QPoint(300, 200));
    f.Form().close();

    const TSettings written = f.Written();
    EXPECT_EQ(written.mainPosition, (TPosition{30, 40}));
    EXPECT_EQ(written.mainWidth, 700);
    EXPECT_EQ(written.mainHeight, 500);
    EXPECT_EQ(written.logHeight, 120);
    EXPECT_EQ(written.debugPosition, (TPosition{300, 200}));
    EXPECT_EQ(written.rackPosition, (TPosition{11, 12}));
    EXPECT_EQ(written.terminalPosition, (TPosition{13, 14}));
    EXPECT_EQ(written.recentFiles, (std::vector<std::string>{"/s/one.kvs", "/s/three.kvs"}));
    EXPECT_EQ(written.menuBar.row, 1);
    EXPECT_EQ(written.toolbar.row, 0);
    EXPECT_EQ(written.recentBar.row, 0);
    EXPECT_GT(written.recentBar.pos, written.toolbar.pos);
    EXPECT_EQ(written.ports, (std::vector<std::pair<std::string, std::string>>{{"com3", "/dev/ttyUSB0"}}));
    EXPECT_EQ(ReadBytes(f.SettingsPath()).find("MRU3"), std::string::npos);

    f.Restart();  // the written file gives the same window again
    f.Form().show();
    EXPECT_EQ(f.Form().size(), QSize(700, 500));
    EXPECT_EQ(f.Form().Log().height(), 120);
    EXPECT_LT(f.BarTop(TBarId::ButtonBar), f.BarTop(TBarId::MenuBar));
}

TEST(MainFormSettings, AValueThatIsNoNumberEndsTheReading) {
    TSettingsFixture f;
    f.StartWith(
        "[main]\nx=30\ny=40\nwidth=abc\nheight=500\nlog_height=100\n[debug]\nx=5\ny=6\n"
        "[recent]\nMRU1=/s/one.kvs\n[toolbar]\nstyle=floating\n");
    EXPECT_EQ(f.Form().pos(), QPoint(30, 40));
    EXPECT_EQ(f.Form().size(), QSize(544, 374));
    EXPECT_EQ(f.Form().Log().height(), 160);
    EXPECT_EQ(f.App().Context().settings.debugPosition, TPosition{});
    EXPECT_TRUE(f.Form().RecentFiles().empty());
    EXPECT_FALSE(f.Form().Bar(TBarId::ButtonBar)->isFloating());
}

TEST(MainFormSettings, AFloatingBarStartsFloatingAgain) {
    TSettingsFixture f;
    f.StartWith("[toolbar]\nstyle=floating\nx=900\ny=700\n");
    QToolBar* bar = f.Form().Bar(TBarId::ButtonBar);
    EXPECT_TRUE(bar->isFloating());
    EXPECT_TRUE(bar->isVisible());
    EXPECT_FALSE(f.Form().Bar(TBarId::MenuBar)->isFloating());
    // Docked bars close up: the recent bar now sits in the row below the menu bar alone.
    EXPECT_LT(f.BarTop(TBarId::MenuBar), f.BarTop(TBarId::RecentBar));
    bar->move(123, 234);
    f.Form().close();
    const TSettings written = f.Written();
    EXPECT_EQ(written.toolbar.style, TBarStyle::Floating);
    EXPECT_EQ(written.menuBar.style, TBarStyle::Docked);
    // The floating place is written for reference (and never read back).
    const std::string text = ReadBytes(f.SettingsPath());
    const std::size_t section = text.find("[toolbar]");
    ASSERT_NE(section, std::string::npos);
    const std::string toolbar = text.substr(section, text.find('[', section + 1) - section);
    EXPECT_NE(toolbar.find("x=123"), std::string::npos) << toolbar;
    EXPECT_NE(toolbar.find("y=234"), std::string::npos) << toolbar;

    f.Restart();
    f.Form().show();
    EXPECT_TRUE(f.Form().Bar(TBarId::ButtonBar)->isFloating());
    EXPECT_NE(f.Form().Bar(TBarId::ButtonBar)->pos(), QPoint(123, 234));
}

TEST(MainFormSettings, ClosingTheWatchWindowRemembersWhereItWas) {
    TSettingsFixture f;
    f.Form().show();
    QDockWidget& watch = f.Form().WatchDock();
    watch.setFloating(true);
    watch.show();
    watch.move(250, 150);
    watch.close();
    EXPECT_EQ(f.App().Context().settings.debugPosition, (TPosition{250, 150}));
}

// Terminal and rack windows open beside the main window the first time, come back where the
// user left them, and a place that is off the screen now is pulled back onto it.
TEST(MainFormSettings, HelperWindowsOpenBesideTheMainWindowAndStayOnScreen) {
    TSettingsFixture f;
    std::filesystem::copy_file(KORVANE_TERMINAL_LAYOUT, f.Folder() / "terminal.res");
    f.StartWith("[main]\nx=0\ny=0\nwidth=300\nheight=250\n[ports]\ncom9=loop\n");
    const std::string openRack = "openrack(\"" KORVANE_PANEL_RACK "\")";
    f.SetScript("openport(\"com9\", 9600, 8, \"n\", 1)\nshowterm(\"com9\", 200, 100, 8)\n" +
                openRack);
    f.Form().RunScript();
    QWidget& rack = f.App().Rack().Window();
    QWidget* terminal = nullptr;
    for (QWidget* window : QApplication::topLevelWidgets()) {
        if (window->windowTitle().startsWith("COM9")) terminal = window;
    }
    ASSERT_NE(terminal, nullptr);
    ASSERT_TRUE(terminal->isVisible());
    ASSERT_TRUE(rack.isVisible());
    const QRect main = f.Form().frameGeometry();
    EXPECT_FALSE(terminal->frameGeometry().intersects(main)) << terminal->x();
    EXPECT_FALSE(rack.frameGeometry().intersects(main)) << rack.x();

    // Moved by the user and closed: the next rack opens there.
    rack.move(150, 120);
    ASSERT_TRUE(QTest::qWaitFor([&] { return rack.pos() == QPoint(150, 120); }));
    rack.close();
    f.SetScript(openRack);
    f.Form().RunScript();
    EXPECT_EQ(rack.pos(), QPoint(150, 120));

    // Remembered on a screen that is gone.
    rack.hide();
    f.App().Context().settings.rackPosition = TPosition{5000, -900};
    f.Form().RunScript();
    const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
    EXPECT_TRUE(screen.contains(rack.frameGeometry())) << rack.x() << "," << rack.y();
}

// Every text colour of both editor looks on every background it can sit on: the paper (or
// its style's own), the caret line and the line marks; and the frame's own texts.
TEST(MainFormSettings, EditorLooksKeepEveryTextReadable) {
    const auto colour = [](TRgb rgb) { return QColor(rgb.red, rgb.green, rgb.blue); };
    for (const bool dark : {false, true}) {
        const TEditorFrameLook& look = dark ? kDarkFrame : kLightFrame;
        std::vector<TRgb> inks = {look.text, look.url, look.braceMatch};
        for (int style = 0; style < kStyleCount; ++style) {
            const TStyleLook text = ThemedStyleLook(static_cast<TStyle>(style), dark);
            inks.push_back(text.foreground);
            EXPECT_GT(ContrastRatio(colour(text.foreground),
                                    colour(text.background.value_or(look.paper))),
                      4.5)
                << dark << " style " << style;
        }
        for (const TRgb ink : inks) {
            for (const TRgb ground :
                 {look.paper, look.caretLine, look.currentLine, look.stepLine, look.errorLine}) {
                EXPECT_GT(ContrastRatio(colour(ink), colour(ground)), 4.5)
                    << dark << ' ' << int(ink.red) << ',' << int(ink.green) << ',' << int(ink.blue)
                    << " on " << int(ground.red) << ',' << int(ground.green) << ','
                    << int(ground.blue);
            }
        }
        EXPECT_GT(ContrastRatio(colour(look.gutterText), colour(look.gutter)), 4.5) << dark;
        EXPECT_GT(ContrastRatio(colour(look.selectionForeground),
                                colour(look.selectionBackground)),
                  4.5)
            << dark;
    }
}

TEST(MainFormSettings, ThemesKeepTextReadableAndAreRemembered) {
    TSettingsFixture f;
    f.Form().show();
    const auto fromBgr = [](long bgr) {
        return QColor(static_cast<int>(bgr & 0xff), static_cast<int>((bgr >> 8) & 0xff),
                      static_cast<int>((bgr >> 16) & 0xff));
    };
    TScriptEditor& editor = f.Form().Editor();
    const auto editorColour = [&](int message, int style) {
        return fromBgr(editor.SendScintilla(static_cast<unsigned int>(message),
                                            static_cast<unsigned long>(style)));
    };
    const auto checkReadable = [&](const char* theme) {
        for (int style = 0; style < kStyleCount; ++style) {
            const QColor text = editorColour(QsciScintilla::SCI_STYLEGETFORE, style);
            const QColor paper = editorColour(QsciScintilla::SCI_STYLEGETBACK, style);
            EXPECT_GT(ContrastRatio(text, paper), 4.5) << theme << " style " << style;
        }
        const int lineNumbers = QsciScintilla::STYLE_LINENUMBER;
        EXPECT_GT(ContrastRatio(editorColour(QsciScintilla::SCI_STYLEGETFORE, lineNumbers),
                                editorColour(QsciScintilla::SCI_STYLEGETBACK, lineNumbers)),
                  4.5)
            << theme << " line numbers";
        for (QWidget* widget : std::initializer_list<QWidget*>{
                 &f.Form().Log(), f.App().Watch().Memo(), f.Form().Bar(TBarId::MenuBar),
                 f.Form().Bar(TBarId::ButtonBar), f.Form().Bar(TBarId::RecentBar)}) {
            const QPalette palette = widget->palette();
            EXPECT_GT(ContrastRatio(palette.color(QPalette::Text), palette.color(QPalette::Base)), 4.5)
                << theme << ' ' << widget->objectName().toStdString();
            EXPECT_GT(ContrastRatio(palette.color(QPalette::WindowText),
                                    palette.color(QPalette::Window)),
                      4.5)
                << theme << ' ' << widget->objectName().toStdString();
            EXPECT_EQ(PaletteIsDark(palette), std::string_view(theme) == "dark")
                << theme << ' ' << widget->objectName().toStdString();
        }
    };
    f.Action("ThemeDark1")->trigger();
    EXPECT_TRUE(editor.DarkTheme());
    EXPECT_TRUE(PaletteIsDark(f.App().Watch().Memo()->palette()));
    checkReadable("dark");
    f.Action("ThemeLight1")->trigger();
    EXPECT_FALSE(editor.DarkTheme());
    checkReadable("light");
    EXPECT_EQ(editorColour(QsciScintilla::SCI_STYLEGETFORE, static_cast<int>(TStyle::Keyword)),
              QColor(0, 128, 0));

    f.Action("ThemeDark1")->trigger();
    f.Form().close();
    EXPECT_EQ(f.Written().theme, "dark");
    f.Restart();
    EXPECT_TRUE(f.Action("ThemeDark1")->isChecked());
    EXPECT_TRUE(f.Form().Editor().DarkTheme());
    f.Action("ThemeSystem1")->trigger();  // the rest of the suite sees the desktop's palette
    EXPECT_FALSE(f.Form().Editor().DarkTheme());
}

TEST(MainFormSettings, SettingsMovedToTheUserFolderStartFromTheFileBesideTheProgram) {
    testing::TTempFolder folder;
    testing::TFakeDialogs dialogs;
    const auto beside = folder / "korvane.ini";
    const auto own = folder / "config" / "korvane" / "korvane.ini";
    WriteBytes(beside, "[main]\nwidth=600\n");
    {
        TWorkbenchOptions options;
        options.settingsPath = own;
        options.fallbackSettingsPath = beside;
        options.executableFolder = folder.Path();
        options.dialogs = &dialogs;
        TWorkbenchApp app(std::move(options));
        EXPECT_EQ(app.MainForm().width(), 600);
        app.MainForm().resize(640, 400);
        app.MainForm().close();
    }
    EXPECT_EQ(ParseSettings(ReadBytes(own)).mainWidth, 640);
    EXPECT_EQ(ReadBytes(beside), "[main]\nwidth=600\n");
}

TEST(MainFormSettings, StandaloneModeWritesNoSettings) {
    TWorkbenchFixture f(/*standalone=*/true);
    f.Form().show();
    f.Form().close();
    EXPECT_FALSE(std::filesystem::exists(f.SettingsPath()));
}

}  // namespace
}  // namespace korvane::workbench
