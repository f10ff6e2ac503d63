#pragma once

#include "workbench/editor_look.h"

namespace korvane::workbench {

// Counts the undo steps the editor may still take back. The editing widget keeps its whole
// history; the editor asks this before passing an undo or redo on, so only the latest
// `limit` steps can be undone.
class TUndoBudget {
public:
    explicit TUndoBudget(int limit = kUndoLimit) : m_limit(limit) {}

    // A new undo step began: it can be undone, and nothing can be redone any more.
    void Edited();
    // True when an undo (or redo) is allowed; the step is then counted.
    bool TakeUndo();
    bool TakeRedo();
    void Reset();
    int UndoSteps() const { return m_undo; }
    int RedoSteps() const { return m_redo; }

private:
    int m_limit;
    int m_undo = 0;
    int m_redo = 0;
};

}  // namespace korvane::workbench
