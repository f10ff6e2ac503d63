#include "workbench/ui/script_editor.h"

#include <QTest>
#include <gtest/gtest.h>

#include "workbench/lexer_classifier.h"

namespace korvane::workbench {
namespace {

struct TEditorFixture {
    TScriptEditor editor;
    TEditorFixture() {
        editor.resize(500, 300);
        editor.show();
    }
    // The class the editor gave each byte of the text.
    std::string StylesOf(std::string_view text) {
        editor.SetBytes(text);
        editor.SendScintilla(QsciScintilla::SCI_COLOURISE, 0UL, -1L);
        std::string styles;
        for (std::size_t i = 0; i < text.size(); ++i) {
            const long style = editor.SendScintilla(QsciScintilla::SCI_GETSTYLEAT, i);
            styles.push_back(static_cast<char>('0' + style));
        }
        return styles;
    }
};

// Style digits: 0 default, 1 keyword, 2 string, 3 symbol, 4 line comment, 5 block comment,
// 6 number.
TEST(ScriptEditor, ColoursEachLexicalClass) {
    struct TCase {
        const char* text;
        const char* styles;
    };
    const TCase cases[] = {
        {"for (i", "111030"},
        {"x = 0x1F", "00306666"},
        {"x = 1F", "003000"},
        {"# if while", "4444444444"},
        {"s = \"next\"", "0030222222"},
        {"{ if\nwend } y", "5555555555500"},
        {"a # b\nif", "00444011"},
        {"n=12.5", "036666"},
    };
    TEditorFixture f;
    for (const TCase& c : cases) EXPECT_EQ(f.StylesOf(c.text), c.styles) << c.text;
}

TEST(ScriptEditor, BlockCommentOpenedLaterRestylesTheLinesBelow) {
    TEditorFixture f;
    f.StylesOf("x = 1\nfor\nnext");
    f.editor.SendScintilla(QsciScintilla::SCI_INSERTTEXT, 0UL, "{");
    f.editor.SendScintilla(QsciScintilla::SCI_COLOURISE, 0UL, -1L);
    const long last = f.editor.SendScintilla(QsciScintilla::SCI_GETLENGTH) - 1;
    EXPECT_EQ(f.editor.SendScintilla(QsciScintilla::SCI_GETSTYLEAT, static_cast<unsigned long>(last)),
              static_cast<long>(TStyle::BlockComment));
}

TEST(ScriptEditor, ParameterHintOpensAfterAKnownWordAndClosesAtTheParenthesis) {
    TEditorFixture f;
    f.editor.setFocus();
    QTest::keyClicks(&f.editor, "x = mid(");
    EXPECT_EQ(f.editor.ActiveHint(), "mid(string,start,characters number)");
    EXPECT_TRUE(f.editor.SendScintilla(QsciScintilla::SCI_CALLTIPACTIVE));
    // The hint's one parameter (written with ",") is lit until the first "," is typed.
    EXPECT_EQ(f.editor.HintHighlight(), (THintSpan{4, 34}));
    QTest::keyClicks(&f.editor, "s,");
    EXPECT_EQ(f.editor.HintHighlight(), std::nullopt);
    QTest::keyClicks(&f.editor, "1,2)");
    EXPECT_EQ(f.editor.ActiveHint(), "");
    EXPECT_FALSE(f.editor.SendScintilla(QsciScintilla::SCI_CALLTIPACTIVE));
    QTest::keyClick(&f.editor, Qt::Key_Return);
    QTest::keyClicks(&f.editor, "openport (");
    EXPECT_EQ(f.editor.ActiveHint(), "openport (serial port,baudrate,databits,parity,stopbits)");
    QTest::keyClicks(&f.editor, ")");
    QTest::keyClick(&f.editor, Qt::Key_Return);
    QTest::keyClicks(&f.editor, "y = nosuch(");
    EXPECT_EQ(f.editor.ActiveHint(), "");
}

TEST(ScriptEditor, CompletionListOpensAfterThreeLetters) {
    TEditorFixture f;
    f.editor.setFocus();
    QTest::keyClicks(&f.editor, "wr");
    EXPECT_FALSE(f.editor.SendScintilla(QsciScintilla::SCI_AUTOCACTIVE));
    QTest::keyClicks(&f.editor, "i");
    ASSERT_TRUE(f.editor.SendScintilla(QsciScintilla::SCI_AUTOCACTIVE));
    QTest::keyClick(&f.editor, Qt::Key_Return);
    EXPECT_EQ(f.editor.Bytes(), "writelog");
    // The list is alphabetical: its first entry for "tcp" is tcp_close.
    QTest::keyClick(&f.editor, Qt::Key_Return);
    QTest::keyClicks(&f.editor, "tcp");
    ASSERT_TRUE(f.editor.SendScintilla(QsciScintilla::SCI_AUTOCACTIVE));
    QTest::keyClick(&f.editor, Qt::Key_Return);
    EXPECT_EQ(f.editor.Bytes(), "writelog\ntcp_close");
}

TEST(ScriptEditor, CompletionOffersTheScriptsOwnNamesAndNarrowsAsYouType) {
    TEditorFixture f;
    f.editor.SetBytes("counter = 1\nprocedure report_all\nprocend\n");
    f.editor.setCursorPosition(3, 0);
    f.editor.setFocus();
    QTest::keyClicks(&f.editor, "rep");
    ASSERT_TRUE(f.editor.SendScintilla(QsciScintilla::SCI_AUTOCACTIVE));
    // "repeat" comes first; one more letter leaves only the procedure.
    QTest::keyClicks(&f.editor, "o");
    ASSERT_TRUE(f.editor.SendScintilla(QsciScintilla::SCI_AUTOCACTIVE));
    QTest::keyClick(&f.editor, Qt::Key_Return);
    QTest::keyClick(&f.editor, Qt::Key_Return);
    QTest::keyClicks(&f.editor, "cou");
    ASSERT_TRUE(f.editor.SendScintilla(QsciScintilla::SCI_AUTOCACTIVE));
    QTest::keyClick(&f.editor, Qt::Key_Return);
    EXPECT_EQ(f.editor.Lines()[3], "report_all");
    EXPECT_EQ(f.editor.Lines()[4], "counter");
}

TEST(ScriptEditor, BlockOpenersIndentAndClosersReturnToTheirOpener) {
    TEditorFixture f;
    f.editor.setFocus();
    for (const char* line : {"if (a == 1)", "for (i, 1, 2, 1)", "x = i", "next", "else", "y = 2",
                             "endif", "z = 3"}) {
        QTest::keyClicks(&f.editor, line);
        QTest::keyClick(&f.editor, Qt::Key_Escape);  // a completion list may be open
        QTest::keyClick(&f.editor, Qt::Key_Return);
    }
    const int unit = f.editor.tabWidth();
    std::vector<int> indents;
    for (int line = 0; line < 8; ++line) indents.push_back(f.editor.indentation(line) / unit);
    EXPECT_EQ(indents, (std::vector<int>{0, 1, 2, 1, 0, 1, 0, 0}));
}

TEST(ScriptEditor, CommentToggleIsOneUndoStepOverTheSelectedLines) {
    TEditorFixture f;
    f.editor.SetBytes("a = 1\n  b = 2\nc = 3");
    f.editor.setSelection(0, 2, 2, 0);  // ends at the start of line 3: that line stays out
    f.editor.ToggleComment();
    EXPECT_EQ(f.editor.Bytes(), "# a = 1\n  # b = 2\nc = 3");
    f.editor.ToggleComment();
    EXPECT_EQ(f.editor.Bytes(), "a = 1\n  b = 2\nc = 3");
    f.editor.undo();
    EXPECT_EQ(f.editor.Bytes(), "# a = 1\n  # b = 2\nc = 3");
    f.editor.setCursorPosition(2, 1);
    f.editor.ToggleComment();
    EXPECT_EQ(f.editor.Lines()[2], "# c = 3");
}

TEST(ScriptEditor, BlocksFold) {
    TEditorFixture f;
    f.editor.SetBytes("while (1)\nfor (i, 1, 2, 1)\nx\nnext\nwend\ny");
    const auto level = [&f](unsigned long line) {
        return f.editor.SendScintilla(QsciScintilla::SCI_GETFOLDLEVEL, line);
    };
    EXPECT_TRUE(level(0) & QsciScintilla::SC_FOLDLEVELHEADERFLAG);
    EXPECT_TRUE(level(1) & QsciScintilla::SC_FOLDLEVELHEADERFLAG);
    EXPECT_FALSE(level(2) & QsciScintilla::SC_FOLDLEVELHEADERFLAG);
    f.editor.foldLine(0);
    EXPECT_FALSE(f.editor.SendScintilla(QsciScintilla::SCI_GETLINEVISIBLE, 3UL));
    EXPECT_TRUE(f.editor.SendScintilla(QsciScintilla::SCI_GETLINEVISIBLE, 5UL));
}

TEST(ScriptEditor, UndoReachesBackOneHundredSteps) {
    TEditorFixture f;
    // Inserting at the start each time keeps the widget from merging the steps.
    for (int i = 0; i < 120; ++i) f.editor.SendScintilla(QsciScintilla::SCI_INSERTTEXT, 0UL, "a");
    for (int i = 0; i < 130; ++i) f.editor.undo();
    EXPECT_EQ(f.editor.Bytes(), std::string(20, 'a'));
    f.editor.redo();
    EXPECT_EQ(f.editor.Bytes(), std::string(21, 'a'));
    QTest::keyClick(&f.editor, Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(f.editor.Bytes(), std::string(20, 'a'));
    QTest::keyClick(&f.editor, Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(f.editor.Bytes(), std::string(20, 'a'));
}

TEST(ScriptEditor, NewTextStartsAFreshUndoHistory) {
    TEditorFixture f;
    f.editor.SendScintilla(QsciScintilla::SCI_APPENDTEXT, 3UL, "abc");
    f.editor.SetBytes("loaded");
    f.editor.undo();
    EXPECT_EQ(f.editor.Bytes(), "loaded");
}

TEST(ScriptEditor, EditorLinesAreTheRunsProgramLines) {
    TEditorFixture f;
    f.editor.SetBytes("a = 1\r\nb = 2\rc = 3\n\nd\xff");
    EXPECT_EQ(f.editor.Lines(), (std::vector<std::string>{"a = 1", "b = 2", "c = 3", "", "d\xff"}));
}

TEST(ScriptEditor, GutterGrowsWithTheZoomAndComesBack) {
    TEditorFixture f;
    const int unzoomed = f.editor.marginWidth(0);
    f.editor.zoomIn(6);
    EXPECT_GT(f.editor.marginWidth(0), unzoomed);
    f.editor.zoomTo(0);
    EXPECT_EQ(f.editor.marginWidth(0), unzoomed);
    f.editor.zoomOut(3);
    EXPECT_LT(f.editor.marginWidth(0), unzoomed);
}

TEST(ScriptEditor, CurrentLineMarkFollowsAndClears) {
    TEditorFixture f;
    f.editor.SetBytes("a\nb\nc");
    f.editor.MarkCurrentLine(1);
    EXPECT_EQ(f.editor.markersAtLine(1) != 0, true);
    f.editor.MarkCurrentLine(2);
    EXPECT_EQ(f.editor.markersAtLine(1), 0u);
    EXPECT_NE(f.editor.markersAtLine(2), 0u);
    f.editor.MarkCurrentLine(-1);
    EXPECT_EQ(f.editor.markersAtLine(2), 0u);
    EXPECT_EQ(f.editor.MarkedLine(), -1);
    f.editor.MarkCurrentLine(7);  // past the end: nothing to mark
    EXPECT_EQ(f.editor.MarkedLine(), -1);
}

TEST(ScriptEditor, MarkingScrollsOnlyWhenTheLineIsOutOfSight) {
    TEditorFixture f;
    std::string text;
    for (int i = 0; i < 200; ++i) text += "line\n";
    f.editor.SetBytes(text);
    f.editor.MarkCurrentLine(3);
    EXPECT_EQ(f.editor.firstVisibleLine(), 0);
    f.editor.MarkCurrentLine(150);
    const int first = f.editor.firstVisibleLine();
    EXPECT_LE(first, 150);
    EXPECT_GT(first + f.editor.SendScintilla(QsciScintilla::SCI_LINESONSCREEN), 150);
    f.editor.MarkCurrentLine(151);
    EXPECT_EQ(f.editor.firstVisibleLine(), first);
}

}  // namespace
}  // namespace korvane::workbench
