#include "workbench/ui/script_lexer.h"

#include <string_view>
#include <vector>

#include <Qsci/qsciscintilla.h>

#include "workbench/editor_look.h"
#include "workbench/lexer_classifier.h"
#include "workbench/ui/editor_bytes.h"
#include "workbench/ui/editor_fonts.h"

namespace korvane::workbench {

namespace {

QColor ToQColor(TRgb rgb) { return QColor(rgb.red, rgb.green, rgb.blue); }

TStyle StyleOf(int style) {
    return style >= 0 && style < kStyleCount ? static_cast<TStyle>(style) : TStyle::Default;
}

}  // namespace

TScriptLexer::TScriptLexer(QObject* parent) : QsciLexerCustom(parent) {}

const char* TScriptLexer::language() const { return "Korvane script"; }

QString TScriptLexer::description(int style) const {
    switch (StyleOf(style)) {
        case TStyle::Default:
            return style == 0 ? QStringLiteral("Default") : QString();
        case TStyle::Keyword:
            return QStringLiteral("Keyword");
        case TStyle::String:
            return QStringLiteral("String");
        case TStyle::Symbol:
            return QStringLiteral("Symbol");
        case TStyle::LineComment:
            return QStringLiteral("Line comment");
        case TStyle::BlockComment:
            return QStringLiteral("Block comment");
        case TStyle::Number:
            return QStringLiteral("Number");
    }
    return QString();
}

QColor TScriptLexer::defaultColor(int style) const {
    return ToQColor(StyleLook(StyleOf(style)).foreground);
}

QColor TScriptLexer::defaultPaper(int style) const {
    return ToQColor(StyleLook(StyleOf(style)).background.value_or(kWhite));
}

QFont TScriptLexer::defaultFont(int style) const {
    const TStyleLook look = StyleLook(StyleOf(style));
    QFont font = ScriptFont(look.fontPixels);
    font.setItalic(look.italic);
    font.setBold(look.bold);
    return font;
}

void TScriptLexer::styleText(int start, int end) {
    QsciScintilla* sci = editor();
    if (sci == nullptr || end <= start) return;
    int line = static_cast<int>(sci->SendScintilla(QsciScintilla::SCI_LINEFROMPOSITION, start));
    const int lastLine =
        static_cast<int>(sci->SendScintilla(QsciScintilla::SCI_LINEFROMPOSITION, end - 1));
    auto state = TLexState::Normal;
    if (line > 0) {
        state = static_cast<TLexState>(
            sci->SendScintilla(QsciScintilla::SCI_GETLINESTATE, line - 1) & 1);
    }
    std::vector<TStyle> styles;
    for (; line <= lastLine; ++line) {
        const long from = sci->SendScintilla(QsciScintilla::SCI_POSITIONFROMLINE, line);
        const std::string_view text = LineBytes(*sci, line);
        styles.assign(text.size(), TStyle::Default);
        state = ClassifyText(text, state, styles);
        sci->SendScintilla(QsciScintilla::SCI_SETLINESTATE, line, static_cast<long>(state));
        startStyling(static_cast<int>(from));
        std::size_t run = 0;
        for (std::size_t i = 1; i <= styles.size(); ++i) {
            if (i == styles.size() || styles[i] != styles[run]) {
                setStyling(static_cast<int>(i - run), static_cast<int>(styles[run]));
                run = i;
            }
        }
    }
}

}  // namespace korvane::workbench
