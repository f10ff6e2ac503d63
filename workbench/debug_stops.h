#pragma once

#include <vector>

namespace korvane::workbench {

// Where a debugged run pauses: the editor's breakpoints, fixed when the run starts or when
// the user toggles one, and a one-time stop for a step or for Run to cursor. Lines count
// from 0.
class TDebugStops {
public:
    void SetBreakpoints(const std::vector<int>& lines);
    // The next statement pauses, whichever line it is on.
    void StopAtNextStatement() { m_stopAtNext = true; }
    // The first statement on `line` pauses once.
    void StopOnceAt(int line) { m_onceAt = line; }
    void ClearOneTimeStop();
    // Whether the run pauses before the statement on `line`; a one-time stop is used up.
    bool ShouldStop(int line);

private:
    std::vector<char> m_breakpoints;  // indexed by line
    bool m_stopAtNext = false;
    int m_onceAt = -1;
};

}  // namespace korvane::workbench
