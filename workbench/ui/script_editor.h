#pragma once

#include <cstddef>
#include <initializer_list>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include <QTimer>
#include <Qsci/qsciscintilla.h>

#include "workbench/lexer_tables.h"
#include "workbench/ui/undo_budget.h"

namespace korvane::workbench {

class TScriptLexer;

// The script editor: line numbers, colouring, completion, parameter hints, an undo limit,
// clickable URLs and the current-line mark of showline. Its text is the script's bytes, one
// Latin-1 character each.
class TScriptEditor : public QsciScintilla {
    Q_OBJECT

public:
    explicit TScriptEditor(QWidget* parent = nullptr);

    std::string Bytes() const;
    // Replaces the text; the undo history starts afresh.
    void SetBytes(std::string_view bytes);
    std::vector<std::string> Lines() const;
    bool HasText() const { return length() > 0; }

    // Whether the text is exactly `bytes`, without copying it.
    bool HoldsBytes(std::string_view bytes) const;

    // Marks a line (counting from 0) as the one about to run; -1 removes the mark.
    void MarkCurrentLine(int line);
    int MarkedLine() const { return m_markedLine; }
    // Marks the line (from 0) a step waits before, apart from showline's mark; -1 removes it.
    void MarkStepLine(int line);
    int StepLine() const { return m_stepLine; }
    // Marks a line (from 0) where the run or the block check failed; -1 removes the mark.
    void MarkErrorLine(int line);
    int ErrorLine() const { return m_errorLine; }
    // Puts the caret at the start of a line (from 0) and brings it into sight.
    void GoToLine(int line);

    // Breakpoints (red dots in the marker margin) ride along with their lines as text is
    // edited. Setting one on a blank or comment line puts it on the next statement.
    void ToggleBreakpoint(int line);
    std::vector<int> Breakpoints() const;
    // Replaces the breakpoints without a BreakpointsChanged (that signal is for the user's).
    void SetBreakpoints(const std::vector<int>& lines);
    // The caret's line, moved to the next statement as a breakpoint would be; -1 when none.
    int CaretStatementLine() const;

    // Colours for a light or a dark desktop; the light look is the language's own.
    void ApplyTheme(bool dark);
    bool DarkTheme() const { return m_dark; }

    // Comments the selected lines (or the caret's line), or uncomments them when all are
    // comments; one undo step.
    void ToggleComment();
    // Recomputes the fold points of the blocks.
    void UpdateFolds();

    // Search and replace over the bytes, wrapping round the ends. Find selects the match
    // after (or before) the selection; Replace replaces the selection when it is a match and
    // moves on to the next; Replace all is one undo step and gives the number replaced.
    bool Find(const QString& text, bool forward, bool matchCase);
    bool ReplaceNext(const QString& text, const QString& replacement, bool matchCase);
    int ReplaceAll(const QString& text, const QString& replacement, bool matchCase);

    // Offers the completion list for the word before the caret.
    void ShowCompletions();
    // The parameter hint shown now, empty when none.
    std::string ActiveHint() const { return m_activeHint; }
    // The part of the hint lit for the argument being typed, if any.
    std::optional<THintSpan> HintHighlight() const { return m_hintHighlight; }

    void undo() override;
    void redo() override;

signals:
    void UrlClicked(const QString& url);
    void BreakpointsChanged();
    // A file dragged from the desktop was let go over the editor.
    void FileDropped(const std::string& path);

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    void ApplyLook();
    void EnableCodingAids();
    // After Enter: one level deeper after a block opener, a closer back to its opener's depth.
    void IndentAfterNewLine();
    int OpenerIndentation(int closerLine) const;
    void AfterEdits();
    void RemoveDefaultUndoKeys();
    void OnCharacterAdded(int character);
    void OnModified(int modificationType);
    void OnIndicatorReleased(int line, int index);
    void MarkUrls();
    std::string CaretLineToCaret() const;
    void HighlightHintArgument(const std::string& lineToCaret);
    // Sets one marker on at most one line, scrolling it into sight when it is out of view.
    void PlaceMarker(int& markedLine, int line, std::initializer_list<int> markers);
    void ScrollIntoSight(int line);
    bool SelectionMatches(const std::string& text, bool matchCase);
    int DigitWidth();
    void FitGutterToZoom();

    TScriptLexer* m_lexer;
    bool m_dark = false;
    TUndoBudget m_undo;
    QTimer m_urlTimer;
    int m_markedLine = -1;
    int m_currentLineMarker = -1;
    int m_stepLine = -1;
    int m_stepLineMarker = -1;
    int m_stepArrowMarker = -1;
    int m_errorLine = -1;
    int m_errorLineMarker = -1;
    int m_errorSymbolMarker = -1;
    // The width of a line-number digit at zoom 0, which the fixed gutter width is made for.
    int m_unzoomedDigitWidth = 0;
    std::string m_activeHint;
    // Where the arguments of the hinted call begin on the caret's line.
    std::size_t m_hintArgumentsColumn = 0;
    std::optional<THintSpan> m_hintHighlight;
};

}  // namespace korvane::workbench
