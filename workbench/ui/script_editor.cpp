#include "workbench/ui/script_editor.h"

#include <algorithm>

#include <QKeyEvent>
#include <Qsci/qscicommand.h>
#include <Qsci/qscicommandset.h>

#include "engine/text_utils.h"
#include "workbench/editor_look.h"
#include "workbench/lexer_tables.h"
#include "workbench/script_outline.h"
#include "workbench/ui/editor_bytes.h"
#include "workbench/ui/editor_fonts.h"
#include "workbench/ui/editor_words.h"
#include "workbench/ui/script_lexer.h"

namespace korvane::workbench {

namespace {

constexpr int kEdgeColumn = 80;
constexpr int kUrlTextIndicator = 8;
constexpr int kUrlLineIndicator = 9;
constexpr int kUrlRescanDelayMs = 150;
constexpr std::size_t kCompletionAfterCharacters = 3;
constexpr int kMarkerMarginPixels = 14;
constexpr int kCompletionRows = 12;

QColor ToQColor(TRgb rgb) { return QColor(rgb.red, rgb.green, rgb.blue); }

bool IsWordByte(int c) {
    return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '_';
}

}  // namespace

TScriptEditor::TScriptEditor(QWidget* parent)
    : QsciScintilla(parent), m_lexer(new TScriptLexer(this)) {
    setUtf8(false);
    setLexer(m_lexer);
    ApplyLook();
    EnableCodingAids();
    RemoveDefaultUndoKeys();
    m_urlTimer.setSingleShot(true);
    m_urlTimer.setInterval(kUrlRescanDelayMs);
    connect(&m_urlTimer, &QTimer::timeout, this, &TScriptEditor::AfterEdits);
    connect(this, &QsciScintillaBase::SCN_CHARADDED, this, &TScriptEditor::OnCharacterAdded);
    connect(this, &QsciScintillaBase::SCN_MODIFIED, this,
            [this](int, int type, const char*, int, int, int, int, int, int, int) {
                OnModified(type);
            });
    connect(this, &QsciScintilla::indicatorReleased, this,
            [this](int line, int index, Qt::KeyboardModifiers) { OnIndicatorReleased(line, index); });
    connect(this, &QsciScintillaBase::SCN_ZOOM, this, &TScriptEditor::FitGutterToZoom);
}

int TScriptEditor::DigitWidth() {
    const auto style = static_cast<unsigned long>(STYLE_LINENUMBER);
    return static_cast<int>(SendScintilla(SCI_TEXTWIDTH, style, "9"));
}

void TScriptEditor::FitGutterToZoom() {
    // The line numbers grow with the zoom; the gutter grows with them so none is cut off.
    const int digit = DigitWidth();
    if (m_unzoomedDigitWidth <= 0 || digit <= 0) return;
    setMarginWidth(0, kLineNumberGutterPixels * digit / m_unzoomedDigitWidth);
}

void TScriptEditor::ApplyLook() {
    const QFont font = ScriptFont(kEditorFontPixels);
    setFont(font);
    setMarginsFont(font);
    setMarginType(0, QsciScintilla::NumberMargin);
    setMarginLineNumbers(0, true);
    setMarginWidth(0, kLineNumberGutterPixels);
    m_unzoomedDigitWidth = DigitWidth();
    // The marker margin: the step arrow and the error dot.
    setMarginWidth(1, kMarkerMarginPixels);
    setTabWidth(kTabSize);
    setAutoIndent(kAutoIndent);
    setIndentationGuides(true);
    setEdgeMode(QsciScintilla::EdgeLine);
    setEdgeColumn(kEdgeColumn);
    setAutoCompletionSource(QsciScintilla::AcsNone);
    setCallTipsStyle(QsciScintilla::CallTipsNone);
    setFrameShape(QFrame::NoFrame);
    // The horizontal scroll bar follows the longest line instead of a fixed 2000 pixels.
    SendScintilla(SCI_SETSCROLLWIDTH, 1);
    SendScintilla(SCI_SETSCROLLWIDTHTRACKING, 1);
    SendScintilla(SCI_AUTOCSETORDER, static_cast<unsigned long>(SC_ORDER_PRESORTED));
    m_currentLineMarker = markerDefine(QsciScintilla::Background);
    m_stepLineMarker = markerDefine(QsciScintilla::Background);
    m_stepArrowMarker = markerDefine(QsciScintilla::RightArrow);
    m_errorLineMarker = markerDefine(QsciScintilla::Background);
    m_errorSymbolMarker = markerDefine(QsciScintilla::Circle);
    SendScintilla(SCI_AUTOCSETMAXHEIGHT, kCompletionRows);
    indicatorDefine(QsciScintilla::TextColorIndicator, kUrlTextIndicator);
    indicatorDefine(QsciScintilla::PlainIndicator, kUrlLineIndicator);
    ApplyTheme(false);
}

void TScriptEditor::ApplyTheme(bool dark) {
    m_dark = dark;
    const TEditorFrameLook& look = dark ? kDarkFrame : kLightFrame;
    m_lexer->setDefaultPaper(ToQColor(look.paper));
    m_lexer->setDefaultColor(ToQColor(look.text));
    for (int style = 0; style < kStyleCount; ++style) {
        const TStyleLook text = ThemedStyleLook(static_cast<TStyle>(style), dark);
        m_lexer->setColor(ToQColor(text.foreground), style);
        m_lexer->setPaper(ToQColor(text.background.value_or(look.paper)), style);
    }
    SendScintilla(SCI_STYLESETBACK, STYLE_DEFAULT, ToQColor(look.paper));
    setMarginsBackgroundColor(ToQColor(look.gutter));
    setMarginsForegroundColor(ToQColor(look.gutterText));
    setFoldMarginColors(ToQColor(look.gutter), ToQColor(look.gutter));
    setCaretLineBackgroundColor(ToQColor(look.caretLine));
    setCaretForegroundColor(ToQColor(look.caret));
    setIndentationGuidesForegroundColor(ToQColor(look.blockLines));
    setIndentationGuidesBackgroundColor(ToQColor(look.paper));
    setSelectionForegroundColor(ToQColor(look.selectionForeground));
    setSelectionBackgroundColor(ToQColor(look.selectionBackground));
    setEdgeColor(ToQColor(look.rightMargin));
    setMatchedBraceForegroundColor(ToQColor(look.braceMatch));
    setMatchedBraceBackgroundColor(ToQColor(look.caretLine));
    setMarkerBackgroundColor(ToQColor(look.currentLine), m_currentLineMarker);
    setMarkerBackgroundColor(ToQColor(look.stepLine), m_stepLineMarker);
    setMarkerBackgroundColor(ToQColor(look.stepArrow), m_stepArrowMarker);
    setMarkerForegroundColor(ToQColor(look.stepArrow), m_stepArrowMarker);
    setMarkerBackgroundColor(ToQColor(look.errorLine), m_errorLineMarker);
    setMarkerBackgroundColor(ToQColor(look.errorSymbol), m_errorSymbolMarker);
    setMarkerForegroundColor(ToQColor(look.errorSymbol), m_errorSymbolMarker);
    setIndicatorForegroundColor(ToQColor(look.url), kUrlTextIndicator);
    setIndicatorForegroundColor(ToQColor(look.url), kUrlLineIndicator);
}

// Undo and redo go through undo() and redo() so the undo limit applies to the keys too.
void TScriptEditor::RemoveDefaultUndoKeys() {
    for (QsciCommand::Command command : {QsciCommand::Undo, QsciCommand::Redo}) {
        if (QsciCommand* bound = standardCommands()->find(command)) {
            bound->setKey(0);
            bound->setAlternateKey(0);
        }
    }
}

std::string TScriptEditor::Bytes() const { return DocumentBytes(*this); }

void TScriptEditor::SetBytes(std::string_view bytes) {
    const bool readOnly = isReadOnly();
    setReadOnly(false);
    SetDocumentBytes(*this, bytes);
    SendScintilla(SCI_EMPTYUNDOBUFFER);
    setReadOnly(readOnly);
    m_undo.Reset();
    MarkErrorLine(-1);
    SetBreakpoints({});
    setCursorPosition(0, 0);
    AfterEdits();
}

void TScriptEditor::AfterEdits() {
    MarkUrls();
    UpdateFolds();
}

std::vector<std::string> TScriptEditor::Lines() const { return engine::SplitLines(Bytes()); }

bool TScriptEditor::HoldsBytes(std::string_view bytes) const {
    const long length = SendScintilla(SCI_GETLENGTH);
    if (static_cast<std::size_t>(length) != bytes.size()) return false;
    if (length == 0) return true;
    const long pointer = SendScintilla(SCI_GETRANGEPOINTER, 0UL, length);
    return pointer != 0 &&
           std::string_view(reinterpret_cast<const char*>(pointer), bytes.size()) == bytes;
}

void TScriptEditor::MarkCurrentLine(int line) {
    PlaceMarker(m_markedLine, line, {m_currentLineMarker});
}

void TScriptEditor::MarkStepLine(int line) {
    PlaceMarker(m_stepLine, line, {m_stepLineMarker, m_stepArrowMarker});
}

void TScriptEditor::MarkErrorLine(int line) {
    PlaceMarker(m_errorLine, line, {m_errorLineMarker, m_errorSymbolMarker});
}

void TScriptEditor::PlaceMarker(int& markedLine, int line, std::initializer_list<int> markers) {
    if (line == markedLine) return;
    for (int marker : markers) markerDeleteAll(marker);
    markedLine = line < 0 || line >= lines() ? -1 : line;
    if (markedLine < 0) return;
    for (int marker : markers) markerAdd(markedLine, marker);
    ScrollIntoSight(markedLine);
}

// Scrolls only when the line is out of sight, so the view does not creep while stepping.
void TScriptEditor::ScrollIntoSight(int line) {
    const long first = SendScintilla(SCI_GETFIRSTVISIBLELINE);
    const long shown = SendScintilla(SCI_LINESONSCREEN);
    const long visible = SendScintilla(SCI_VISIBLEFROMDOCLINE, static_cast<unsigned long>(line));
    if (visible < first || visible >= first + shown) {
        SendScintilla(SCI_SETFIRSTVISIBLELINE, static_cast<unsigned long>(std::max(0L, visible - shown / 2)));
    }
}

void TScriptEditor::GoToLine(int line) {
    line = std::clamp(line, 0, std::max(0, lines() - 1));
    setCursorPosition(line, 0);
    ScrollIntoSight(line);
    setFocus();
}

void TScriptEditor::undo() {
    if (m_undo.TakeUndo()) QsciScintilla::undo();
}

void TScriptEditor::redo() {
    if (m_undo.TakeRedo()) QsciScintilla::redo();
}

void TScriptEditor::keyPressEvent(QKeyEvent* event) {
    const bool control = event->modifiers() & Qt::ControlModifier;
    if (event->matches(QKeySequence::Undo)) {
        undo();
    } else if (event->matches(QKeySequence::Redo) || (control && event->key() == Qt::Key_Y)) {
        redo();
    } else if (control && event->key() == Qt::Key_Space) {
        ShowCompletions();
    } else {
        QsciScintilla::keyPressEvent(event);
        return;
    }
    event->accept();
}

std::string TScriptEditor::CaretLineToCaret() const {
    int line = 0;
    int index = 0;
    getCursorPosition(&line, &index);
    const std::string_view text = LineBytes(*this, line);
    return std::string(text.substr(0, static_cast<std::size_t>(index)));
}

void TScriptEditor::HighlightHintArgument(const std::string& lineToCaret) {
    const std::string_view typed =
        m_hintArgumentsColumn <= lineToCaret.size()
            ? std::string_view(lineToCaret).substr(m_hintArgumentsColumn)
            : std::string_view();
    m_hintHighlight = HintParameterSpan(m_activeHint, TypedArgumentIndex(typed));
    const THintSpan span = m_hintHighlight.value_or(THintSpan{});
    SendScintilla(SCI_CALLTIPSETHLT, static_cast<uintptr_t>(span.begin),
                  static_cast<long>(span.end));
}

void TScriptEditor::ShowCompletions() {
    if (isReadOnly()) return;
    const std::string before = CaretLineToCaret();
    const std::string_view prefix = WordEndingAt(before, before.size());
    std::string list;
    for (const std::string& word : CompletionCandidates(prefix, ScriptNames(Bytes()))) {
        if (!list.empty()) list += ' ';
        list += word;
    }
    // Nothing left to offer, or only the word already typed: the list goes.
    if (list.empty() || list == prefix) {
        SendScintilla(SCI_AUTOCCANCEL);
        return;
    }
    SendScintilla(SCI_AUTOCSHOW, static_cast<uintptr_t>(prefix.size()), list.c_str());
}

void TScriptEditor::OnCharacterAdded(int character) {
    if (character == '\n' || character == '\r') {
        IndentAfterNewLine();
        return;
    }
    if (character == ')') {
        SendScintilla(SCI_CALLTIPCANCEL);
        m_activeHint.clear();
        m_hintHighlight.reset();
        return;
    }
    const std::string before = CaretLineToCaret();
    if (character == '(') {
        const auto hint = FindParameterHint(WordBeforeParenthesis(before, before.size() - 1));
        if (!hint) return;
        m_activeHint = std::string(*hint);
        m_hintArgumentsColumn = before.size();
        SendScintilla(SCI_CALLTIPSHOW, static_cast<uintptr_t>(SendScintilla(SCI_GETCURRENTPOS)),
                      m_activeHint.c_str());
        HighlightHintArgument(before);
        return;
    }
    if (character == ',' && !m_activeHint.empty()) HighlightHintArgument(before);
    // An open list narrows with every letter typed.
    if (IsWordByte(character) &&
        (SendScintilla(SCI_AUTOCACTIVE) ||
         WordEndingAt(before, before.size()).size() == kCompletionAfterCharacters)) {
        ShowCompletions();
    }
}

void TScriptEditor::OnModified(int modificationType) {
    if (!(modificationType & (SC_MOD_INSERTTEXT | SC_MOD_DELETETEXT))) return;
    if ((modificationType & SC_PERFORMED_USER) && (modificationType & SC_STARTACTION)) {
        m_undo.Edited();
    }
    m_urlTimer.start();
}

void TScriptEditor::MarkUrls() {
    m_urlTimer.stop();
    const long length = SendScintilla(SCI_GETLENGTH);
    const std::vector<TUrlSpan> urls = FindUrls(Bytes());
    for (int indicator : {kUrlTextIndicator, kUrlLineIndicator}) {
        SendScintilla(SCI_SETINDICATORCURRENT, indicator);
        SendScintilla(SCI_INDICATORCLEARRANGE, 0UL, length);
        for (const TUrlSpan& span : urls) {
            SendScintilla(SCI_INDICATORFILLRANGE, static_cast<unsigned long>(span.begin),
                          static_cast<long>(span.end - span.begin));
        }
    }
}

void TScriptEditor::OnIndicatorReleased(int line, int index) {
    const long position = positionFromLineIndex(line, index);
    if (!SendScintilla(SCI_INDICATORVALUEAT, kUrlLineIndicator, position)) return;
    const long begin = SendScintilla(SCI_INDICATORSTART, kUrlLineIndicator, position);
    const long end = SendScintilla(SCI_INDICATOREND, kUrlLineIndicator, position);
    const std::string bytes = Bytes();
    if (begin < 0 || end <= begin || static_cast<std::size_t>(end) > bytes.size()) return;
    const std::string url = UrlToOpen(std::string_view(bytes).substr(
        static_cast<std::size_t>(begin), static_cast<std::size_t>(end - begin)));
    emit UrlClicked(QString::fromLatin1(url.data(), static_cast<qsizetype>(url.size())));
}

}  // namespace korvane::workbench
