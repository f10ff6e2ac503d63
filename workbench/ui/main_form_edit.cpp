// The main window's Edit menu and the keyboard shortcuts of its actions.
#include <QAction>
#include <QMenu>
#include <QToolButton>
#include <QToolTip>

#include "workbench/ui/find_dialog.h"
#include "workbench/ui/main_form.h"
#include "workbench/ui/script_editor.h"

namespace korvane::workbench {

void TMainForm::BuildEditMenu() {
    m_editMenu = new QMenu(QStringLiteral("Edit"), this);
    m_editMenu->setObjectName(QStringLiteral("Edit1"));
    const auto add = [this](const char* name, const QString& text, QKeySequence key,
                            auto slot, bool editing) {
        QAction* action = MakeAction(name, text);
        action->setShortcut(key);
        connect(action, &QAction::triggered, this, slot);
        m_editMenu->addAction(action);
        if (editing) m_editingItems.push_back(action);
        return action;
    };
    TScriptEditor* editor = m_editor;
    add("Undo1", QStringLiteral("Undo"), QKeySequence::Undo, [editor] { editor->undo(); }, true);
    QAction* redo = add("Redo1", QStringLiteral("Redo"), QKeySequence(Qt::CTRL | Qt::Key_Y),
                        [editor] { editor->redo(); }, true);
    redo->setShortcuts({QKeySequence(Qt::CTRL | Qt::Key_Y), QKeySequence::Redo});
    m_editMenu->addSeparator();
    add("Cut1", QStringLiteral("Cut"), QKeySequence::Cut, [editor] { editor->cut(); }, true);
    add("Copy1", QStringLiteral("Copy"), QKeySequence::Copy, [editor] { editor->copy(); }, false);
    add("Paste1", QStringLiteral("Paste"), QKeySequence::Paste, [editor] { editor->paste(); }, true);
    add("SelectAll1", QStringLiteral("Select all"), QKeySequence::SelectAll,
        [editor] { editor->selectAll(); }, false);
    m_editMenu->addSeparator();
    add("Find1", QStringLiteral("Find..."), QKeySequence(Qt::CTRL | Qt::Key_F),
        [this] { m_find->Open(false); }, false);
    add("FindNext1", QStringLiteral("Find next"), QKeySequence(Qt::Key_F3),
        [this] { m_find->FindAgain(true); }, false);
    add("FindPrevious1", QStringLiteral("Find previous"), QKeySequence(Qt::SHIFT | Qt::Key_F3),
        [this] { m_find->FindAgain(false); }, false);
    add("Replace1", QStringLiteral("Replace..."), QKeySequence(Qt::CTRL | Qt::Key_H),
        [this] { m_find->Open(true); }, true);
    add("GoToLine1", QStringLiteral("Go to line..."), QKeySequence(Qt::CTRL | Qt::Key_G),
        [this] { GoToLine(); }, false);
    m_editMenu->addSeparator();
    QAction* zoomIn = add("ZoomIn1", QStringLiteral("Zoom in"), QKeySequence::ZoomIn,
                          [editor] { editor->zoomIn(); }, false);
    zoomIn->setShortcuts({QKeySequence(Qt::CTRL | Qt::Key_Plus), QKeySequence(Qt::CTRL | Qt::Key_Equal)});
    add("ZoomOut1", QStringLiteral("Zoom out"), QKeySequence(Qt::CTRL | Qt::Key_Minus),
        [editor] { editor->zoomOut(); }, false);
    add("ZoomReset1", QStringLiteral("Reset zoom"), QKeySequence(Qt::CTRL | Qt::Key_0),
        [editor] { editor->zoomTo(0); }, false);
}

// The first key of each list is the one menus show; the later ones are kept for hands used to
// them.
void TMainForm::AddShortcuts() {
    m_open1->setShortcut(QKeySequence::Open);
    m_new1->setShortcut(QKeySequence::New);
    m_save1->setShortcut(QKeySequence::Save);
    m_saveAs1->setShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_S));
    m_quit1->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Q));
    m_run1->setShortcut(QKeySequence(Qt::Key_F5));
    // Stop's keys sit on the button's action: the Stop menu item is disabled while paused, and
    // a paused run must still stop from the keyboard.
    m_sbStop->setShortcuts({QKeySequence(Qt::SHIFT | Qt::Key_F5), QKeySequence(Qt::CTRL | Qt::Key_F2)});
    m_pause1->setShortcut(QKeySequence(Qt::Key_F6));
    m_step1->setShortcut(QKeySequence(Qt::Key_F10));
    m_help1->setShortcut(QKeySequence(Qt::Key_F1));
    m_about1->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_F1));
    // The buttons show the keys of their menu items in their tips.
    const std::pair<QAction*, QAction*> pairs[] = {{m_sbOpen, m_open1}, {m_sbNew, m_new1},
                                                   {m_sbSave, m_save1}, {m_sbSaveAs, m_saveAs1},
                                                   {m_sbRun, m_run1},   {m_sbStop, m_sbStop},
                                                   {m_sbPause, m_pause1}};
    for (const auto& [button, item] : pairs) {
        button->setProperty("shortcutText", item->shortcut().toString(QKeySequence::NativeText));
    }
}

// The hint stays the button's own text; the key is added only where the tip is drawn.
void TMainForm::ShowShortcutTip(QWidget* button) {
    auto* tool = qobject_cast<QToolButton*>(button);
    QAction* action = tool ? tool->defaultAction() : nullptr;
    if (action == nullptr || action->toolTip().isEmpty()) {
        QToolTip::hideText();
        return;
    }
    QString tip = action->toolTip();
    const QString key = action->property("shortcutText").toString();
    if (!key.isEmpty()) tip += QStringLiteral(" (") + key + QLatin1Char(')');
    QToolTip::showText(QCursor::pos(), tip, button);
}

}  // namespace korvane::workbench
