#include "serial/terminal_window.h"

#include <gtest/gtest.h>

#include <QCloseEvent>
#include <QCoreApplication>
#include <QFontDatabase>
#include <QPlainTextEdit>

#include "channel_fixture.h"
#include "racks/form_text.h"
#include "serial/terminal_layout.h"

namespace korvane::serial {
namespace {

TEST(TerminalLayout, TheShippedFileDescribesTheWindow) {
    const racks::TResult<TTerminalLayout> layout = LoadTerminalLayout(testing::kTerminalLayout);
    ASSERT_TRUE(layout.Ok()) << layout.Error();
    const TTerminalLayout& l = layout.Value();
    EXPECT_EQ(l.left, 420);
    EXPECT_EQ(l.top, 133);
    EXPECT_EQ(l.clientWidth, 246);
    EXPECT_EQ(l.clientHeight, 124);
    EXPECT_EQ(l.caption, "Term");
    EXPECT_TRUE(l.stayOnTop);
    EXPECT_FALSE(l.sizeable);
    EXPECT_FALSE(l.formColor.has_value());
    EXPECT_TRUE(l.memoFillsClient);
    EXPECT_EQ(l.memoColor, TLayoutColor(0x000000));
    EXPECT_EQ(l.memoFontColor, TLayoutColor(0x00FF00));
    EXPECT_EQ(l.memoFontPixels, 11);
    EXPECT_TRUE(l.memoVerticalScrollBar);
}

TEST(TerminalLayout, FormsItCannotUse) {
    const struct {
        const char* text;
        const char* error;
    } cases[] = {
        {"object Term: TTerminal\nend\n", "the layout has no TMemo named Memo1"},
        {"object Term: TTerminal\n  object Memo1: TEdit\n  end\nend\n",
         "the layout has no TMemo named Memo1"},
    };
    for (const auto& c : cases) {
        const racks::TResult<racks::TFormObject> form = racks::FormFromText(c.text);
        ASSERT_TRUE(form.Ok()) << form.Error();
        const racks::TResult<TTerminalLayout> layout = TerminalLayoutFromForm(form.Value());
        ASSERT_FALSE(layout.Ok());
        EXPECT_EQ(layout.Error(), c.error);
    }
    const racks::TResult<TTerminalLayout> missing = LoadTerminalLayout("no/such/terminal.res");
    ASSERT_FALSE(missing.Ok());
    EXPECT_EQ(missing.Error(), "cannot open no/such/terminal.res: No such file or directory");
}

TEST(TerminalLayout, ColoursAndOwnRectangles) {
    const racks::TResult<racks::TFormObject> form = racks::FormFromText(
        "object T: TTerminal\n  Color = 255\n  BorderStyle = bsSizeable\n"
        "  object Memo1: TMemo\n    Left = 5\n    Top = 6\n    Width = 70\n    Height = 80\n"
        "    Color = clWindow\n    Font.Color = 65280\n    Font.Height = 14\n  end\nend\n");
    ASSERT_TRUE(form.Ok()) << form.Error();
    const racks::TResult<TTerminalLayout> layout = TerminalLayoutFromForm(form.Value());
    ASSERT_TRUE(layout.Ok()) << layout.Error();
    const TTerminalLayout& l = layout.Value();
    EXPECT_EQ(l.formColor, TLayoutColor(0xFF0000));  // stored as blue-green-red
    EXPECT_EQ(l.memoColor, std::nullopt);
    EXPECT_EQ(l.memoFontColor, TLayoutColor(0x00FF00));
    EXPECT_EQ(l.memoFontPixels, 14);
    EXPECT_TRUE(l.sizeable);
    EXPECT_FALSE(l.stayOnTop);
    EXPECT_FALSE(l.memoFillsClient);
    EXPECT_EQ((std::array{l.memoLeft, l.memoTop, l.memoWidth, l.memoHeight}),
              (std::array{5, 6, 70, 80}));
}

struct TWindowFixture {
    QPoint remembered{-1, -1};
    TTerminalWindow window{nullptr, [this](QPoint position) { remembered = position; }};
};

TEST(TerminalWindow, TakesItsLookFromTheLayout) {
    TWindowFixture f;
    f.window.ApplyLayout(LoadTerminalLayout(testing::kTerminalLayout).Value());
    f.window.PrepareForPort();
    EXPECT_EQ(f.window.windowTitle(), "Term");
    EXPECT_EQ(f.window.size(), QSize(246, 124));
    EXPECT_EQ(f.window.pos(), QPoint(420, 133));
    EXPECT_TRUE(f.window.windowFlags() & Qt::WindowStaysOnTopHint);
    EXPECT_EQ(f.window.Memo1()->objectName(), "Memo1");
    EXPECT_EQ(f.window.Memo1()->geometry(), QRect(0, 0, 246, 124));
    EXPECT_TRUE(f.window.Memo1()->isReadOnly());
    // What the window asks for; the face fontconfig resolves differs between machines.
    const QFont requested = f.window.Memo1()->font();
    EXPECT_EQ(requested.pixelSize(), 11);
    EXPECT_EQ(requested.family(), QFontDatabase::systemFont(QFontDatabase::FixedFont).family());
    EXPECT_TRUE(requested.fixedPitch());
    EXPECT_EQ(requested.styleHint(), QFont::TypeWriter);
    EXPECT_EQ(f.window.Memo1()->palette().color(QPalette::Base), QColor(0, 0, 0));
    EXPECT_EQ(f.window.Memo1()->palette().color(QPalette::Text), QColor(0, 255, 0));
    // A single border: the user cannot resize it until showterm makes it sizeable.
    EXPECT_EQ(f.window.minimumSize(), f.window.maximumSize());
    f.window.MakeSizeable();
    f.window.show();
    f.window.resize(400, 300);
    EXPECT_EQ(f.window.size(), QSize(400, 300));
    EXPECT_TRUE(testing::PumpUntil([&] { return f.window.Memo1()->size() == QSize(400, 300); }));
}

TEST(TerminalWindow, TheLineAfterThreeHundredAndOneEmptiesTheView) {
    TWindowFixture f;
    for (int i = 1; i <= 301; ++i) f.window.AddLine("line " + std::to_string(i));
    EXPECT_EQ(f.window.LineCount(), 301);
    EXPECT_EQ(f.window.Memo1()->document()->blockCount(), 301);
    f.window.AddLine("line 302");
    EXPECT_EQ(testing::ViewLines(f.window), std::vector<std::string>{"line 302"});
}

TEST(TerminalWindow, ShowsBytesAsLatin1) {
    TWindowFixture f;
    f.window.AddLine("caf\xE9");
    EXPECT_EQ(f.window.Memo1()->toPlainText(), QString::fromUtf8("caf\u00e9"));
}

TEST(TerminalWindow, ClosingOnlyHidesAndRemembersThePlace) {
    TWindowFixture f;
    f.window.show();
    f.window.move(300, 200);
    ASSERT_TRUE(testing::PumpUntil([&] { return f.window.pos() == QPoint(300, 200); }));
    EXPECT_FALSE(f.window.close());
    EXPECT_FALSE(f.window.isVisible());
    EXPECT_EQ(f.remembered, QPoint(300, 200));
}

}  // namespace
}  // namespace korvane::serial
