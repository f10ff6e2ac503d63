#pragma once

#include <QDialog>

class QCheckBox;
class QLabel;
class QLineEdit;

namespace korvane::workbench {

class TScriptEditor;

// Find and replace over the script editor. It stays open beside the editor; F3 and Shift+F3
// search again for its text when it is closed.
class TFindDialog : public QDialog {
    Q_OBJECT

public:
    TFindDialog(TScriptEditor& editor, QWidget* parent);

    // Shows the dialog with the selection as the text to find; `replacing` puts the focus on
    // the replacement.
    void Open(bool replacing);
    // Searches again for the last text; opens the dialog when there is none yet.
    void FindAgain(bool forward);

    QLineEdit* FindField() const { return m_find; }
    QLineEdit* ReplaceField() const { return m_replace; }
    QCheckBox* MatchCase() const { return m_matchCase; }
    // "Not found", "3 replaced" or empty.
    QString Outcome() const;

    void FindNext();
    void FindPrevious();
    void Replace();
    void ReplaceAll();

private:
    void Report(bool found);

    TScriptEditor& m_editor;
    QLineEdit* m_find;
    QLineEdit* m_replace;
    QCheckBox* m_matchCase;
    QLabel* m_outcome;
};

}  // namespace korvane::workbench
