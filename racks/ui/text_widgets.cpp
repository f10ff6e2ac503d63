#include "racks/ui/text_widgets.h"

#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QVBoxLayout>

#include "racks/ui/paint_kit.h"

namespace korvane::racks {

namespace {

// Fills the control with `child`, painted in the control's colours.
void Embed(QWidget* container, QWidget* child, const TRackControl& control) {
    auto* layout = new QVBoxLayout(container);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(child);
    QPalette palette = child->palette();
    const QColor base = ToQColor(control.look.colour, Qt::white);
    const QColor text = ToQColor(control.look.font.colour, Qt::black);
    palette.setColor(QPalette::Base, base);
    palette.setColor(QPalette::Window, base);
    palette.setColor(QPalette::Button, base);
    palette.setColor(QPalette::Text, text);
    palette.setColor(QPalette::WindowText, text);
    palette.setColor(QPalette::ButtonText, text);
    child->setPalette(palette);
    child->setFont(ToQFont(control.look.font));
}

// The memo shows line breaks as the desktop does; the control keeps them as CR LF.
QString MemoDisplay(const std::string& text) {
    QString shown = Latin1(text);
    shown.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    return shown;
}

std::string MemoText(const QString& shown) {
    QString text = shown;
    text.replace(QLatin1Char('\n'), QStringLiteral("\r\n"));
    return FromLatin1(text);
}

}  // namespace

TEditWidget::TEditWidget(TRackControl& control, QWidget* parent)
    : TControlWidget(control, parent), m_edit(new QLineEdit(this)) {
    Embed(this, m_edit, control);
    m_edit->setReadOnly(control.look.readOnly);
    m_edit->setText(Latin1(control.State().text));
    QObject::connect(m_edit, &QLineEdit::textEdited, this,
                     [this](const QString& text) { m_control.SetText(FromLatin1(text)); });
}

void TEditWidget::ShowState() {
    const QString text = Latin1(m_control.State().text);
    if (m_edit->text() != text) m_edit->setText(text);
    TControlWidget::ShowState();
}

TMemoWidget::TMemoWidget(TRackControl& control, QWidget* parent)
    : TControlWidget(control, parent), m_memo(new QPlainTextEdit(this)) {
    Embed(this, m_memo, control);
    m_memo->setReadOnly(control.look.readOnly);
    m_memo->setPlainText(MemoDisplay(control.State().text));
    QObject::connect(m_memo, &QPlainTextEdit::textChanged, this, [this] {
        if (!m_syncing) m_control.SetText(MemoText(m_memo->toPlainText()));
    });
}

void TMemoWidget::ShowState() {
    const QString text = MemoDisplay(m_control.State().text);
    if (m_memo->toPlainText() != text) {
        m_syncing = true;
        m_memo->setPlainText(text);
        m_syncing = false;
        m_memo->moveCursor(QTextCursor::End);
        m_memo->verticalScrollBar()->setValue(m_memo->verticalScrollBar()->maximum());
    }
    TControlWidget::ShowState();
}

TComboWidget::TComboWidget(TRackControl& control, QWidget* parent)
    : TControlWidget(control, parent), m_combo(new QComboBox(this)) {
    Embed(this, m_combo, control);
    m_combo->setEditable(!control.look.dropDownList);
    m_combo->setInsertPolicy(QComboBox::NoInsert);
    QObject::connect(m_combo, &QComboBox::activated, this, [this](int index) {
        if (!m_syncing) m_control.SelectItem(index);
    });
    QObject::connect(m_combo, &QComboBox::editTextChanged, this, [this](const QString& text) {
        if (!m_syncing) m_control.SetText(FromLatin1(text));
    });
}

void TComboWidget::ShowState() {
    const TControlState& state = m_control.State();
    m_syncing = true;
    QStringList items;
    for (const std::string& item : state.items) items << Latin1(item);
    QStringList shown;
    for (int i = 0; i < m_combo->count(); ++i) shown << m_combo->itemText(i);
    if (shown != items) {
        m_combo->clear();
        m_combo->addItems(items);
    }
    m_combo->setCurrentIndex(state.itemIndex);
    if (m_combo->isEditable()) m_combo->setEditText(Latin1(state.text));
    m_syncing = false;
    TControlWidget::ShowState();
}

}  // namespace korvane::racks
