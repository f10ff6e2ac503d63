#pragma once

#include "engine/errors.h"

namespace korvane::engine {

// Bounds the engine's own recursion (nested blocks, procedure calls, condition groups) well
// inside the GUI thread's stack, so runaway recursion ends the run instead of the process.
class TNestingGuard {
public:
    static constexpr int kMaxNesting = 2000;

    explicit TNestingGuard(int& depth) : m_depth(depth) {
        if (++m_depth > kMaxNesting) {
            --m_depth;
            throw EFatalError("Stack overflow");
        }
    }
    ~TNestingGuard() { --m_depth; }
    TNestingGuard(const TNestingGuard&) = delete;
    TNestingGuard& operator=(const TNestingGuard&) = delete;

private:
    int& m_depth;
};

}  // namespace korvane::engine
