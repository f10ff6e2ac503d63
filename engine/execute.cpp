#include "engine/execute.h"

#include <algorithm>
#include <thread>

#include "engine/condition_plan.h"
#include "engine/errors.h"
#include "engine/nesting_guard.h"
#include "engine/statement_failures.h"
#include "engine/text_limit.h"
#include "engine/text_utils.h"

namespace korvane::engine {

namespace {

// A long idle interval is slept in slices this long, events pumped between them, so Stop and
// Pause are seen within one slice.
constexpr std::chrono::milliseconds kIdleSlice(5);
// Inside one long statement events are pumped this often.
constexpr std::chrono::milliseconds kEvaluationPumpInterval(1);

}  // namespace

std::string FormatTimeOfDay(const TLocalTime& time) {
    char buffer[16];
    std::snprintf(buffer, sizeof buffer, "%02d:%02d:%02d", time.hour % 100, time.minute % 100,
                  time.second % 100);
    return buffer;
}

TExecute::TExecute(TEngineHost& host, TProgramState& state, const TDispatch& dispatch)
    : m_host(host), m_state(state), m_dispatch(dispatch), m_pumpInterval(host.PumpInterval()) {}

TExecute::~TExecute() = default;

void TExecute::RunProgram(std::vector<std::string> editorLines) {
    m_variables.Clear();
    SetVariable("error", "0");
    IndexProgram(editorLines);
    m_lines.clear();
    m_lines.shrink_to_fit();
    m_lines.reserve(editorLines.size() + 2);
    m_lines.push_back({"begin", nullptr});
    for (std::string& line : editorLines) {
        const std::string_view trimmed = TrimView(line);
        if (trimmed.size() != line.size()) line = std::string(trimmed);
        m_lines.push_back({std::move(line), nullptr});
    }
    std::vector<std::string>().swap(editorLines);
    m_lines.push_back({"end", nullptr});
    m_stopRequested = false;
    m_paused = false;
    m_cursor = 1;
    try {
        do {
            const std::string& line = m_lines[static_cast<size_t>(m_cursor)].trimmed;
            if (!line.empty()) {
                if (line == "end") return;
                ExecuteLine(line, m_cursor);
            }
            ++m_cursor;
        } while (m_cursor < static_cast<int>(m_lines.size()) && !m_stopRequested);
    } catch (const EEndOfProgram&) {
        // A block ran off the end of the program: the run simply ends.
    } catch (const EStopped&) {
        // Stop came in the middle of a statement.
    }
}

// Program index i is editor line i - 1: "begin" comes first.
void TExecute::IndexProgram(const std::vector<std::string>& editorLines) {
    m_procedureLines.clear();
    m_programHasOpenrack = false;
    for (size_t i = 0; i < editorLines.size(); ++i) {
        const std::string& line = editorLines[i];
        if (line.find("openrack") != std::string::npos) m_programHasOpenrack = true;
        if (line.size() > 10 && EqualsIgnoreCase(std::string_view(line).substr(0, 10), "procedure ")) {
            m_procedureLines.try_emplace(ToLowerAscii(std::string_view(line).substr(10)),
                                         static_cast<int>(i + 1));
        }
    }
}

int TExecute::FindProcedure(std::string_view line) const {
    if (m_procedureLines.empty()) return -1;
    auto it = m_procedureLines.find(ToLowerAscii(line));
    return it == m_procedureLines.end() ? -1 : it->second;
}

void TExecute::EndOfProgram() { throw EEndOfProgram(); }

void TExecute::PumpEventsNow(bool always) {
    if (!always && m_pumpInterval.count() > 0) {
        m_pumpCountdown = kStatementsPerClockCheck;
        const auto now = std::chrono::steady_clock::now();
        if (now - m_lastPump < m_pumpInterval) return;
        m_lastPump = now;
    }
    m_host.ProcessEvents();
}

void TExecute::ExecuteLine(const std::string& line, int& cursor) {
    TNestingGuard guard(m_depth);
    m_runningLine = cursor - 1;
    if (m_breakRequested || m_exitRequested) {
        PassOverBlock(line, cursor);
        return;
    }
    if (m_stepMode) {
        WaitForStep(line);
        if (m_stopRequested) return;
    }
    m_host.BeforeStatement(cursor - 1);
    PumpEvents(false);
    if ((m_paused || m_stopRequested) && !ReadyToRun(line, cursor)) return;
    if (m_showCurrentLine) m_host.MarkLine(cursor - 1);
    if (m_idleInterval > 0) {
        IdleSleep();
        if (!ReadyToRun(line, cursor)) return;
    }
    // A comment needs no more: its line, trimmed, starts the same way as without blanks.
    // Program lines come trimmed, so mostly the first byte decides.
    const bool untrimmed = !line.empty() && static_cast<unsigned char>(line[0]) <= ' ';
    if (StartsWith(untrimmed ? TrimView(line) : std::string_view(line), "#")) return;
    TLineCache* cache = CacheFor(line, cursor);
    const int editorLine = cursor - 1;
    if (m_failures) m_failures->Started(editorLine);
    m_evaluationProblem.clear();
    if (cache && cache->row == kRowAssignment) {
        // Most lines are assignments, once recognised.
        Assign(line, cache);
    } else if (cache) {
        Dispatch(line, cache->stripped, cursor, cache);
    } else {
        Dispatch(line, StripBlanks(line), cursor, nullptr);
    }
    // A block header's own work after its body (a loop's next test) belongs to the header.
    m_runningLine = editorLine;
}

bool TExecute::ReadyToRun(const std::string& line, int& cursor) {
    while (m_paused && !m_stopRequested) {
        m_host.IdleWait();
        PumpEvents(true);
    }
    if (!m_stopRequested) return true;
    PassOverBlock(line, cursor);
    return false;
}

void TExecute::IdleSleep() {
    using Clock = std::chrono::steady_clock;
    const Clock::time_point end = Clock::now() + std::chrono::milliseconds(m_idleInterval);
    for (Clock::time_point now = Clock::now(); now < end && !m_stopRequested; now = Clock::now()) {
        std::this_thread::sleep_for(std::min<Clock::duration>(end - now, kIdleSlice));
        PumpEvents(true);
    }
}

void TExecute::PollStopNow() {
    m_pollBudget = kPollBytesPerClockCheck;
    if (!m_stopRequested) {
        const auto now = std::chrono::steady_clock::now();
        if (now - m_lastPump < kEvaluationPumpInterval) return;
        m_lastPump = now;
        m_host.ProcessEvents();
        if (!m_stopRequested) return;
    }
    throw EStopped();
}

void TExecute::WaitingStep() {
    AfterBlocking();
    if (!m_stopRequested) m_host.ProcessEvents();
    if (m_stopRequested) throw EStopped();
}

TExecute::TLineCache* TExecute::NewCache(TProgramLine& programLine) {
    programLine.cache = std::make_unique<TLineCache>();
    programLine.cache->stripped = StripBlanks(programLine.trimmed);
    return programLine.cache.get();
}

void TExecute::WaitForStep(const std::string& line) {
    m_waitingForStep = true;
    m_host.EnterStepWait(m_variables);
    m_host.MakeRoomInLog();
    m_host.AppendLog("Next line to execute: " + line);
    PumpEvents(true);
    while (m_waitingForStep) {
        if (m_stopRequested) return;
        m_host.IdleWait();
        PumpEvents(true);
    }
}

bool TExecute::RowMatches(const TStatementRow& row, const std::string& line,
                          const std::string& stripped) const {
    switch (row.test) {
        case TLineTest::SBegins:
            return StartsWith(stripped, row.text);
        case TLineTest::LBegins:
            return StartsWith(line, row.text);
        case TLineTest::LIs:
            return line == row.text;
        case TLineTest::ProcedureCall:
            return FindProcedure(line) >= 0;
        case TLineTest::LBeginsNotStandalone:
            return StartsWith(line, row.text) && !m_host.Standalone();
        case TLineTest::LBeginsProgramHasOpenrack:
            return StartsWith(line, row.text) && m_programHasOpenrack;
    }
    return false;
}

int TExecute::MatchRow(const std::string& line, const std::string& stripped) const {
    const auto& table = StatementTable();
    for (size_t i = 0; i < table.size(); ++i) {
        if (m_dispatch.Handler(table[i].id) && RowMatches(table[i], line, stripped)) {
            return static_cast<int>(i);
        }
    }
    return kRowAssignment;
}

void TExecute::Dispatch(const std::string& line, const std::string& stripped, int& cursor,
                        TLineCache* cache) {
    int row = cache ? cache->row : kRowUnknown;
    if (row == kRowUnknown) row = MatchRow(line, stripped);
    if (cache) cache->row = row;
    if (row == kRowAssignment) {
        Assign(line, cache);
        return;
    }
    m_dispatch.Handler(StatementTable()[static_cast<size_t>(row)].id)(*this, line, cursor);
}

namespace {

std::string_view AssignedExpression(const std::string& line) {
    const size_t equals = line.find('=');
    return equals == std::string::npos ? std::string_view(line)
                                       : std::string_view(line).substr(equals + 1);
}

std::string AssignedName(const std::string& line) {
    const size_t equals = line.find('=');
    return equals == std::string::npos ? std::string() : Trim(line.substr(0, equals));
}

}  // namespace

void TExecute::Assign(const std::string& line, TLineCache* cache) {
    if (!cache) {
        AssignUncached(line);
        return;
    }
    if (!cache->assignmentReady) {
        cache->assignmentName = AssignedName(line);
        cache->assignmentExpression = StripBlanks(AssignedExpression(line));
        cache->compiled = CompiledFor(cache->assignmentExpression);
        const TCompiledExpression* compiled = cache->compiled;
        cache->arithmeticAssignment = compiled && compiled->pieces.empty() &&
                                      compiled->flat.arithmetic && !compiled->unbalanced;
        cache->assignmentReady = true;
    }
    const std::string& name = cache->assignmentName;
    const bool controls = ControlsBound();
    if (controls && WrittenToControl(line, name)) return;
    if (cache->arithmeticAssignment && !controls) {
        double value = 0;
        bool ok = true;
        if (NumberOfFlat(cache->compiled->flat, 0, value, ok)) {
            if (ok) {
                AssignNumber(name, value, cache->nameHint);
            } else {
                NoteAssignmentFailure();
            }
            return;
        }
    }
    if (cache->compiled) {
        // The value is made in a buffer kept for the purpose and copied into the variable's
        // own, so a short value costs no allocation; a long one changes hands instead.
        TFlatValue& result = m_assignedValue;
        if (!RunCompiledInto(*cache->compiled, result)) {
            NoteAssignmentFailure();
            return;
        }
        CheckTextSize(result.text.size());
        if (result.text.size() > kCopiedValueBytes) {
            SetVariableMoved(name, TValue{std::move(result.text), true, result.exact, result.number},
                             cache->nameHint);
        } else if (result.exact) {
            m_variables.SetNumber(name, std::string_view(result.text), result.number, cache->nameHint);
        } else {
            m_variables.Set(name, result.text, cache->nameHint);
        }
        return;
    }
    TValue value = Rewrite(cache->assignmentExpression);
    if (!value.ok) {
        NoteAssignmentFailure();
        return;
    }
    SetVariableMoved(name, std::move(value), cache->nameHint);
}

// A line a handler passes on its own, outside the program's lines.
void TExecute::AssignUncached(const std::string& line) {
    const std::string name = AssignedName(line);
    if (ControlsBound() && WrittenToControl(line, name)) return;
    TValue value = EvaluateExpression(AssignedExpression(line));
    if (!value.ok) {
        NoteAssignmentFailure();
        return;
    }
    SetVariableMoved(name, std::move(value.text));
}

// With a rack's controls bound, a name that is one of them takes the value instead of a
// variable.
bool TExecute::WrittenToControl(const std::string& line, const std::string& name) {
    return m_host.Binding()->Write(*this, name, AssignedExpression(line));
}

void TExecute::NoteAssignmentFailure() {
    if (m_failures) {
        m_failures->Failed(m_runningLine, m_evaluationProblem.empty()
                                              ? "expression cannot be computed"
                                              : m_evaluationProblem);
    }
}

void TExecute::AssignNumber(const std::string& name, double value, TVariableHint& hint) {
    if (IsWholeNumber(value)) {
        m_variables.SetWhole(name, value, hint);
        return;
    }
    bool exact = false;
    FormatNumberInto(value, exact, m_stepText);
    if (exact) {
        m_variables.SetNumber(name, std::string_view(m_stepText), value, hint);
    } else {
        m_variables.Set(name, m_stepText, hint);
    }
}

void TExecute::SetVariable(std::string_view name, std::string_view value) {
    CheckTextSize(value.size());
    m_variables.Set(name, value);
}

void TExecute::SetVariableMoved(std::string_view name, std::string&& value) {
    CheckTextSize(value.size());
    m_variables.SetMoved(name, std::move(value));
}

void TExecute::NoteEvaluationProblem(std::string problem) {
    // The innermost reason is the useful one; the evaluations around it only pass it on.
    if (m_failures && m_evaluationProblem.empty()) m_evaluationProblem = std::move(problem);
}

void TExecute::ClearError() {
    // Nearly every function clears it, and nearly always it is 0 already.
    const TVariableStore::TEntry* entry = ErrorEntry();
    if (entry && m_errorHint.exact &&
        (entry->textPending ? entry->number == 0 : entry->text.size() == 1 && entry->text[0] == '0')) {
        return;
    }
    m_variables.Set("error", "0", m_errorHint);
}

void TExecute::SetError(std::string_view message) {
    m_variables.Set("error", "1", m_errorHint);
    m_lastErrorText = std::string(message);
    if (m_failures) m_failures->Failed(m_runningLine, message);
}

void TExecute::LogLine(std::string_view message) {
    if (m_host.Standalone()) return;
    m_host.MakeRoomInLog();
    m_host.AppendLog(FormatTimeOfDay(m_host.Now()) + ": " + std::string(message));
}

}  // namespace korvane::engine
