// The script editor's coding aids: breakpoints, folding, comment toggling, block indentation,
// several carets, brace matching and files dropped from the desktop.
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QMimeData>
#include <optional>

#include "workbench/script_outline.h"
#include "workbench/ui/editor_bytes.h"
#include "workbench/ui/script_editor.h"
#include "workbench/ui/user_dialogs.h"

namespace korvane::workbench {

namespace {

// Marker 12 is the breakpoint dot; the folding margin keeps Scintilla's own 25..31.
constexpr int kBreakpointMarker = 12;
constexpr int kMarkerMargin = 1;
constexpr int kFoldMargin = 2;
const QColor kBreakpointColour(220, 40, 40);

// The lines' text without their line ends.
std::vector<std::string> LinesOf(const QsciScintilla& editor, int first, int last) {
    std::vector<std::string> lines;
    for (int line = first; line <= last; ++line) {
        std::string_view text = LineBytes(editor, line);
        while (!text.empty() && (text.back() == '\n' || text.back() == '\r')) text.remove_suffix(1);
        lines.emplace_back(text);
    }
    return lines;
}

}  // namespace

void TScriptEditor::EnableCodingAids() {
    markerDefine(QsciScintilla::Circle, kBreakpointMarker);
    setMarkerBackgroundColor(kBreakpointColour, kBreakpointMarker);
    setMarkerForegroundColor(kBreakpointColour, kBreakpointMarker);
    setMarginSensitivity(0, true);
    setMarginSensitivity(kMarkerMargin, true);
    connect(this, &QsciScintilla::marginClicked, this,
            [this](int margin, int line, Qt::KeyboardModifiers) {
                if (margin != kFoldMargin) ToggleBreakpoint(line);
            });
    setFolding(QsciScintilla::BoxedTreeFoldStyle, kFoldMargin);
    setBraceMatching(QsciScintilla::SloppyBraceMatch);
    setCaretLineVisible(true);
    // Ctrl+click adds a caret, Alt+drag selects a rectangle; typing goes to every caret.
    SendScintilla(SCI_SETMULTIPLESELECTION, 1);
    SendScintilla(SCI_SETADDITIONALSELECTIONTYPING, 1);
    SendScintilla(SCI_SETMULTIPASTE, SC_MULTIPASTE_EACH);
    SendScintilla(SCI_SETRECTANGULARSELECTIONMODIFIER, SCMOD_ALT);
    setAcceptDrops(true);
}

void TScriptEditor::ToggleBreakpoint(int line) {
    if (line < 0 || line >= lines()) return;
    if (markersAtLine(line) & (1u << kBreakpointMarker)) {
        markerDelete(line, kBreakpointMarker);
    } else {
        const int statement = NextStatementLine(Lines(), line);
        if (statement < 0 || (markersAtLine(statement) & (1u << kBreakpointMarker))) return;
        markerAdd(statement, kBreakpointMarker);
    }
    emit BreakpointsChanged();
}

std::vector<int> TScriptEditor::Breakpoints() const {
    std::vector<int> found;
    const auto mask = static_cast<long>(1u << kBreakpointMarker);
    for (long line = SendScintilla(SCI_MARKERNEXT, 0L, mask); line >= 0;
         line = SendScintilla(SCI_MARKERNEXT, static_cast<unsigned long>(line + 1), mask)) {
        found.push_back(static_cast<int>(line));
    }
    return found;
}

void TScriptEditor::SetBreakpoints(const std::vector<int>& lines) {
    markerDeleteAll(kBreakpointMarker);
    for (int line : lines) {
        if (line >= 0 && line < this->lines()) markerAdd(line, kBreakpointMarker);
    }
}

int TScriptEditor::CaretStatementLine() const {
    int line = 0;
    int index = 0;
    getCursorPosition(&line, &index);
    return NextStatementLine(Lines(), line);
}

void TScriptEditor::ToggleComment() {
    if (isReadOnly()) return;
    int firstLine = 0, firstIndex = 0, lastLine = 0, lastIndex = 0;
    if (hasSelectedText()) {
        getSelection(&firstLine, &firstIndex, &lastLine, &lastIndex);
        // A selection that ends at the start of a line does not take that line in.
        if (lastIndex == 0 && lastLine > firstLine) --lastLine;
    } else {
        getCursorPosition(&firstLine, &firstIndex);
        lastLine = firstLine;
    }
    const std::vector<std::string> toggled = ToggleComments(LinesOf(*this, firstLine, lastLine));
    beginUndoAction();
    for (int line = firstLine; line <= lastLine; ++line) {
        const std::string& text = toggled[static_cast<std::size_t>(line - firstLine)];
        const long from = SendScintilla(SCI_POSITIONFROMLINE, static_cast<unsigned long>(line));
        const long to = SendScintilla(SCI_GETLINEENDPOSITION, static_cast<unsigned long>(line));
        SendScintilla(SCI_SETTARGETRANGE, static_cast<unsigned long>(from), to);
        SendScintilla(SCI_REPLACETARGET, static_cast<uintptr_t>(text.size()), text.c_str());
    }
    endUndoAction();
    const long end = SendScintilla(SCI_GETLINEENDPOSITION, static_cast<unsigned long>(lastLine));
    SendScintilla(SCI_SETSEL, SendScintilla(SCI_POSITIONFROMLINE, static_cast<unsigned long>(firstLine)),
                  end);
}

void TScriptEditor::UpdateFolds() {
    const std::vector<std::string> text = Lines();
    const std::vector<int> depths = BlockDepths(text);
    const int count = std::min(lines(), static_cast<int>(depths.size()));
    for (int line = 0; line < count; ++line) {
        const auto index = static_cast<std::size_t>(line);
        int level = SC_FOLDLEVELBASE + depths[index];
        if (index + 1 < depths.size() && depths[index + 1] > depths[index]) {
            level |= SC_FOLDLEVELHEADERFLAG;
        }
        SendScintilla(SCI_SETFOLDLEVEL, static_cast<unsigned long>(line), static_cast<long>(level));
    }
}

int TScriptEditor::OpenerIndentation(int closerLine) const {
    int depth = 1;
    for (int line = closerLine - 1; line >= 0; --line) {
        switch (IndentRoleOf(LineBytes(*this, line))) {
            case TIndentRole::Closes:
                ++depth;
                break;
            case TIndentRole::Opens:
                if (--depth == 0) return indentation(line);
                break;
            case TIndentRole::Branch:
                if (depth == 1) return indentation(line);
                break;
            case TIndentRole::None:
                break;
        }
    }
    return -1;
}

void TScriptEditor::IndentAfterNewLine() {
    int line = 0;
    int index = 0;
    getCursorPosition(&line, &index);
    if (line == 0) return;
    const int finished = line - 1;
    const TIndentRole role = IndentRoleOf(LineBytes(*this, finished));
    int base = indentation(finished);
    if (role == TIndentRole::Closes || role == TIndentRole::Branch) {
        const int opener = OpenerIndentation(finished);
        if (opener >= 0 && opener != base) {
            setIndentation(finished, opener);
            base = opener;
        }
    }
    const bool deeper = role == TIndentRole::Opens || role == TIndentRole::Branch;
    // An indentation width of 0 means "as wide as a tab".
    const int unit = indentationWidth() > 0 ? indentationWidth() : tabWidth();
    const int wanted = base + (deeper ? unit : 0);
    setIndentation(line, wanted);
    setCursorPosition(line, static_cast<int>(SendScintilla(SCI_GETLINEINDENTPOSITION,
                                                           static_cast<unsigned long>(line)) -
                                             SendScintilla(SCI_POSITIONFROMLINE,
                                                           static_cast<unsigned long>(line))));
}

namespace {

// The one local file a drag carries, if that is what it carries.
std::optional<std::string> DroppedFile(const QMimeData* data) {
    if (data == nullptr || !data->hasUrls() || data->urls().size() != 1) return std::nullopt;
    const QUrl url = data->urls().front();
    if (!url.isLocalFile()) return std::nullopt;
    return ToFileName(url.toLocalFile());
}

}  // namespace

void TScriptEditor::dragEnterEvent(QDragEnterEvent* event) {
    if (DroppedFile(event->mimeData())) {
        event->acceptProposedAction();
        return;
    }
    QsciScintilla::dragEnterEvent(event);
}

void TScriptEditor::dragMoveEvent(QDragMoveEvent* event) {
    if (DroppedFile(event->mimeData())) {
        event->acceptProposedAction();
        return;
    }
    QsciScintilla::dragMoveEvent(event);
}

void TScriptEditor::dropEvent(QDropEvent* event) {
    if (const auto path = DroppedFile(event->mimeData())) {
        event->acceptProposedAction();
        emit FileDropped(*path);
        return;
    }
    QsciScintilla::dropEvent(event);
}

}  // namespace korvane::workbench
