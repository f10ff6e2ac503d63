#include "workbench/ui/find_dialog.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "workbench/ui/script_editor.h"

namespace korvane::workbench {

namespace {

QPushButton* AddButton(QDialogButtonBox* box, const QString& text, const char* name) {
    QPushButton* button = box->addButton(text, QDialogButtonBox::ActionRole);
    button->setObjectName(QString::fromLatin1(name));
    button->setAutoDefault(false);
    return button;
}

}  // namespace

TFindDialog::TFindDialog(TScriptEditor& editor, QWidget* parent)
    : QDialog(parent),
      m_editor(editor),
      m_find(new QLineEdit(this)),
      m_replace(new QLineEdit(this)),
      m_matchCase(new QCheckBox(QStringLiteral("Match case"), this)),
      m_outcome(new QLabel(this)) {
    setObjectName(QStringLiteral("FindDialog"));
    setWindowTitle(QStringLiteral("Find and replace"));
    m_find->setObjectName(QStringLiteral("FindText"));
    m_replace->setObjectName(QStringLiteral("ReplaceText"));
    auto* fields = new QFormLayout;
    fields->addRow(QStringLiteral("Find:"), m_find);
    fields->addRow(QStringLiteral("Replace with:"), m_replace);
    fields->addRow(QString(), m_matchCase);
    auto* buttons = new QDialogButtonBox(this);
    QPushButton* next = AddButton(buttons, QStringLiteral("Find next"), "FindNextButton");
    next->setDefault(true);
    connect(next, &QPushButton::clicked, this, &TFindDialog::FindNext);
    connect(AddButton(buttons, QStringLiteral("Find previous"), "FindPreviousButton"),
            &QPushButton::clicked, this, &TFindDialog::FindPrevious);
    connect(AddButton(buttons, QStringLiteral("Replace"), "ReplaceButton"), &QPushButton::clicked,
            this, &TFindDialog::Replace);
    connect(AddButton(buttons, QStringLiteral("Replace all"), "ReplaceAllButton"),
            &QPushButton::clicked, this, &TFindDialog::ReplaceAll);
    connect(buttons->addButton(QDialogButtonBox::Close), &QPushButton::clicked, this,
            &QDialog::close);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(fields);
    layout->addWidget(m_outcome);
    layout->addWidget(buttons);
}

void TFindDialog::Open(bool replacing) {
    if (m_editor.hasSelectedText() && !m_editor.selectedText().contains(QLatin1Char('\n'))) {
        m_find->setText(m_editor.selectedText());
    }
    m_outcome->clear();
    show();
    raise();
    activateWindow();
    QLineEdit* field = replacing && !m_find->text().isEmpty() ? m_replace : m_find;
    field->setFocus();
    field->selectAll();
}

void TFindDialog::FindAgain(bool forward) {
    if (m_find->text().isEmpty()) {
        Open(false);
        return;
    }
    Report(m_editor.Find(m_find->text(), forward, m_matchCase->isChecked()));
}

QString TFindDialog::Outcome() const { return m_outcome->text(); }

void TFindDialog::FindNext() { FindAgain(true); }

void TFindDialog::FindPrevious() { FindAgain(false); }

void TFindDialog::Replace() {
    Report(m_editor.ReplaceNext(m_find->text(), m_replace->text(), m_matchCase->isChecked()));
}

void TFindDialog::ReplaceAll() {
    const int count = m_editor.ReplaceAll(m_find->text(), m_replace->text(), m_matchCase->isChecked());
    m_outcome->setText(QStringLiteral("%1 replaced").arg(count));
}

void TFindDialog::Report(bool found) {
    m_outcome->setText(found ? QString() : QStringLiteral("Not found"));
}

}  // namespace korvane::workbench
