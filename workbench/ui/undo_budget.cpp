#include "workbench/ui/undo_budget.h"

namespace korvane::workbench {

void TUndoBudget::Edited() {
    if (m_undo < m_limit) ++m_undo;
    m_redo = 0;
}

bool TUndoBudget::TakeUndo() {
    if (m_undo == 0) return false;
    --m_undo;
    ++m_redo;
    return true;
}

bool TUndoBudget::TakeRedo() {
    if (m_redo == 0) return false;
    --m_redo;
    ++m_undo;
    return true;
}

void TUndoBudget::Reset() { m_undo = m_redo = 0; }

}  // namespace korvane::workbench
