// The block statements: for, if, while, repeat and procedures. Each runs its block's lines
// itself on a cursor of its own, so nested blocks are consumed by the nested call and a scan
// only ever sees the closing lines of its own level.
#include <cstdlib>

#include "engine/errors.h"
#include "engine/execute.h"
#include "engine/number_text.h"
#include "engine/text_utils.h"

namespace korvane::engine {

struct TExecute::TBlockKind {
    std::string_view opener;
    bool openerIsPrefix;
    std::string_view closer;
    bool closerIsPrefix;
};

struct TExecute::TForRange {
    int64_t start = 0;
    int64_t step = 0;
    int64_t count = 0;  // the body runs count + 1 times
    bool constant = false;  // every bound is plain digits: the range never changes
};

namespace {

bool LineMatches(const std::string& line, std::string_view text, bool isPrefix) {
    return isPrefix ? StartsWith(line, text) : line == text;
}

bool EndsIfBranch(const std::string& line) {
    return line == "else" || line == "endif" || StartsWith(line, "elseif (");
}

int64_t WholeBound(const std::string& text) {
    // A bound that evaluates to something other than a whole number is a fatal error, the
    // same as the platform's strict text-to-integer conversion failing.
    if (auto value = StrictInt(text)) return *value;
    throw EFatalError("'" + text + "' is not a valid integer value");
}

}  // namespace

void TExecute::SkipToClosing(const TBlockKind& kind, int& cursor) const {
    int depth = 0;
    for (int c = cursor + 1;; ++c) {
        const std::string& line = ProgramLine(c);
        if (LineMatches(line, kind.closer, kind.closerIsPrefix)) {
            if (depth == 0) {
                cursor = c;
                return;
            }
            --depth;
        } else if (LineMatches(line, kind.opener, kind.openerIsPrefix)) {
            ++depth;
        }
    }
}

void TExecute::PassOverBlock(const std::string& line, int& cursor) {
    static const TBlockKind kinds[] = {
        {"for (", true, "next", false},
        {"if (", true, "endif", false},
        {"while (", true, "wend", false},
        {"repeat", false, "until (", true},
    };
    for (const TBlockKind& kind : kinds) {
        if (LineMatches(line, kind.opener, kind.openerIsPrefix)) {
            SkipToClosing(kind, cursor);
            return;
        }
    }
}

bool TExecute::EvaluateForRange(const std::vector<std::string>& arguments, TForRange& range) {
    int64_t bounds[3];
    range.constant = true;
    for (size_t i = 0; i < 3; ++i) {
        // Unsigned digits evaluate to themselves; skip the evaluation for them. A sign is an
        // operator on the empty-name variable, so signed bounds are evaluated.
        const std::string& bound = arguments[i + 1];
        const bool unsignedDigits = !bound.empty() && bound[0] >= '0' && bound[0] <= '9';
        if (auto literal = unsignedDigits ? StrictInt(bound) : std::nullopt) {
            bounds[i] = *literal;
            continue;
        }
        // The header was stripped of blanks before it was split.
        range.constant = false;
        TValue value = EvaluateStripped(bound);
        if (!value.ok) return false;
        bounds[i] = WholeBound(value.text);
    }
    const int64_t start = bounds[0], end = bounds[1], step = bounds[2];
    if (step == 0) throw EFatalError("Division by zero");
    range.start = start;
    range.step = step;
    range.count = std::llabs(end - start) / std::llabs(step);
    return (start <= end && step > 0) || (end <= start && step < 0);
}

// A header that cannot be used (wrong shape, a bound that fails to evaluate, a step pointing
// away from the end) leaves the caller's cursor alone, so the block's lines then run once as
// ordinary lines; this keeps scripts written for the original behaviour working.
void TExecute::RunFor(const std::string& line, int& cursor) {
    std::string name;
    std::vector<std::string> arguments;
    SplitCall(StripBlanks(line), name, arguments);
    if (name != "for" || arguments.size() != 4) return;
    const std::string& variable = arguments[0];
    int nextLine = -1;
    TVariableHint variableHint;
    TForRange range;
    for (int64_t k = 1;; ++k) {
        if (!range.constant && !EvaluateForRange(arguments, range)) {
            if (nextLine >= 0) cursor = nextLine;
            return;
        }
        const int64_t number = range.start + (k - 1) * range.step;
        // Set again before every line of the body; mostly it still holds the value.
        auto setVariable = [&] {
            const TVariableStore::TEntry* entry = m_variables.FindEntry(variable, variableHint);
            if (entry && variableHint.exact && entry->IsWhole(static_cast<double>(number))) {
                return;
            }
            // Bounds are 32-bit, so every value the loop takes is a whole number of few digits.
            m_variables.SetWhole(variable, static_cast<double>(number), variableHint);
        };
        int c = cursor + 1;
        for (;;) {
            const std::string& body = ProgramLine(c);
            if (body.size() == 4 && std::string_view(body) == "next") break;
            setVariable();
            ExecuteLine(body, c);
            ++c;
        }
        nextLine = c;
        if (k > range.count || m_breakRequested || m_exitRequested || m_stopRequested) {
            m_breakRequested = false;
            cursor = nextLine;
            return;
        }
    }
}

void TExecute::RunBranch(int& cursor) {
    for (;; ++cursor) {
        const std::string& line = ProgramLine(cursor);
        if (EndsIfBranch(line)) return;
        ExecuteLine(line, cursor);
    }
}

void TExecute::RunIf(std::string_view conditionText, int& cursor) {
    static const TBlockKind kIf = {"if (", true, "endif", false};
    bool truth = false;
    if (!EvaluateLineCondition(cursor, conditionText, truth)) return;
    int c = cursor + 1;
    while (!truth) {
        // Look for this level's next branch without executing anything.
        int depth = 0;
        const std::string* branch = nullptr;
        for (;; ++c) {
            const std::string& line = ProgramLine(c);
            branch = &line;
            if (StartsWith(line, "if (")) {
                ++depth;
            } else if (line == "endif") {
                if (depth == 0) {
                    cursor = c;
                    return;
                }
                --depth;
            } else if (depth == 0 && (line == "else" || StartsWith(line, "elseif ("))) {
                break;
            }
        }
        ++c;
        if (*branch == "else") {
            truth = true;
        } else if (!EvaluateLineCondition(c - 1, std::string_view(*branch).substr(7), truth)) {
            truth = false;  // an elseif whose condition fails counts as false
        }
    }
    RunBranch(c);
    if (ProgramLine(c) != "endif") SkipToClosing(kIf, c);
    cursor = c;
}

void TExecute::RunWhile(std::string_view conditionText, int& cursor) {
    bool truth = false;
    if (!EvaluateLineCondition(cursor, conditionText, truth)) return;
    if (!truth) {
        SkipToClosing({"while (", true, "wend", false}, cursor);
        m_breakRequested = false;
        return;
    }
    int c = cursor + 1;
    for (;;) {
        c = cursor + 1;
        for (;;) {
            const std::string& line = ProgramLine(c);
            if (std::string_view(line) == "wend") break;
            ExecuteLine(line, c);
            ++c;
        }
        if (m_breakRequested || m_exitRequested || m_stopRequested) break;
        truth = false;
        if (!EvaluateLineCondition(cursor, conditionText, truth) || !truth) break;
    }
    cursor = c;
    m_breakRequested = false;
}

void TExecute::RunRepeat(int& cursor) {
    for (;;) {
        int c = cursor + 1;
        for (;;) {
            const std::string& line = ProgramLine(c);
            if (StartsWith(line, "until (")) break;
            ExecuteLine(line, c);
            ++c;
        }
        const std::string& line = ProgramLine(c);
        bool truth = false;
        // A condition that fails to evaluate keeps the loop going, as if it were false.
        const bool ok = EvaluateLineCondition(c, std::string_view(line).substr(6), truth);
        if ((ok && truth) || m_breakRequested || m_exitRequested || m_stopRequested) {
            cursor = c;
            m_breakRequested = false;
            return;
        }
    }
}

void TExecute::CallProcedure(int definitionIndex) {
    for (int c = definitionIndex + 1; !m_stopRequested; ++c) {
        const std::string& line = ProgramLine(c);
        if (line.empty()) continue;
        if (line == "procend" || m_exitRequested) {
            m_exitRequested = false;
            return;
        }
        ExecuteLine(line, c);
    }
}

}  // namespace korvane::engine
