#pragma once

#include <Qsci/qscilexercustom.h>

namespace korvane::workbench {

// Colours script text in the editor: the classes come from the workbench's classifier, this
// class only hands them to the editing widget line by line. The state a line ends in (inside
// a block comment or not) is kept as the line's state so restyling can start at any line.
class TScriptLexer : public QsciLexerCustom {
    Q_OBJECT

public:
    explicit TScriptLexer(QObject* parent = nullptr);

    const char* language() const override;
    QString description(int style) const override;
    QColor defaultColor(int style) const override;
    QColor defaultPaper(int style) const override;
    QFont defaultFont(int style) const override;
    void styleText(int start, int end) override;
};

}  // namespace korvane::workbench
