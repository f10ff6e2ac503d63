#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "engine/compiled_expression.h"
#include "engine/dispatch.h"
#include "engine/engine_host.h"
#include "engine/flat_expression.h"
#include "engine/program_state.h"
#include "engine/text_limit.h"
#include "engine/value_slots.h"
#include "engine/variable_store.h"
#include "engine/wait_step.h"

namespace korvane::engine {

class TStatementFailures;
struct TConditionPlan;

// A value and whether the evaluation that gave it succeeded; when `exact`, also the number its
// text reads as.
struct TValue {
    std::string text;
    bool ok = true;
    bool exact = false;
    double number = 0;
};



// Which evaluator runs expressions: each text compiled once (the normal case) or rewritten
// afresh each time (the reference the compiled form is held equal to).
enum class TEvaluator { Compiled, Rewriting };

// The interpreter of one run: it works on the script's text line by line, recognising each
// statement afresh, and evaluates expressions by rewriting their text. Commands of the other
// subsystems reach it through the dispatch tables; the window around it through the host.
class TExecute {
public:
    TExecute(TEngineHost& host, TProgramState& state, const TDispatch& dispatch);
    ~TExecute();

    // Runs the editor's lines framed by "begin" and "end"; returns when the run ends.
    // EFatalError escapes to the caller; running off the end of the program does not. The
    // lines are taken over, so a large script is not held twice.
    void RunProgram(std::vector<std::string> editorLines);
    // Executes one trimmed line (a block statement runs its whole block, moving the cursor).
    void ExecuteLine(const std::string& line, int& cursor);

    // Block statements; each moves the caller's cursor to the block's closing line.
    void RunFor(const std::string& line, int& cursor);
    void RunIf(std::string_view conditionText, int& cursor);
    void RunWhile(std::string_view conditionText, int& cursor);
    void RunRepeat(int& cursor);
    void CallProcedure(int definitionIndex);

    // Expressions and conditions.
    void UseEvaluator(TEvaluator evaluator) { m_evaluator = evaluator; }
    TValue EvaluateExpression(std::string_view text);
    TValue EvaluateFlat(std::string_view text);
    std::string ResolveOperand(std::string_view text);
    // ResolveOperand that also tells when `number` is exactly what the value's text reads as.
    // A value the evaluator wrote back is read as its slot says, never from its bytes.
    void ResolveInto(std::string_view text, std::string& value, bool& exact, double& number);
    bool EvaluateCondition(std::string_view text, bool& truth);
    // Gives the call's result; `recognised` is false when no row has its name and count.
    TFunctionResult EvaluateFunction(std::string_view callText, bool& recognised);
    // Evaluates argument texts left to right, stopping at the first that fails; the values of
    // arguments not reached are empty.
    bool EvaluateArguments(const std::vector<std::string>& texts, std::vector<std::string>& values);

    // The variable store and the error convention.
    void SetVariable(std::string_view name, std::string_view value);
    void SetVariableMoved(std::string_view name, std::string&& value);
    // The same for a caller that stores under one name again and again (see TVariableStore),
    // with a value that carries the number its text reads as.
    void SetVariableMoved(std::string_view name, TValue&& value, TVariableHint& hint) {
        CheckTextSize(value.text.size());
        if (value.exact) {
            m_variables.SetNumber(name, std::move(value.text), value.number, hint);
        } else {
            m_variables.SetMoved(name, std::move(value.text), hint);
        }
    }
    std::string GetVariable(std::string_view name) const { return m_variables.Get(name); }
    const TVariableStore& Variables() const { return m_variables; }
    void ClearError();
    void SetError(std::string_view message);
    const std::string& LastErrorText() const { return m_lastErrorText; }
    void LogLine(std::string_view message);

    // Run control.
    void Pause() { m_paused = true; }
    void Resume() { m_paused = false; }
    void Stop() { m_stopRequested = true; }
    std::string GetState() const { return m_paused ? "Paused" : "Running"; }
    bool StopRequested() const { return m_stopRequested; }
    bool WaitingForStep() const { return m_waitingForStep; }
    void ReleaseStep() { m_waitingForStep = false; }
    void SetStepMode(bool on) { m_stepMode = on; }
    bool StepMode() const { return m_stepMode; }
    void SetShowCurrentLine() { m_showCurrentLine = true; }
    // Editor line (from 0) of the statement entered last; -1 before the first.
    int RunningLine() const { return m_runningLine; }
    // Where failed statements are noted during the run; none by default.
    void RecordFailures(TStatementFailures* failures) { m_failures = failures; }
    void NoteEvaluationProblem(std::string problem);
    void SetIdleInterval(int milliseconds) { m_idleInterval = milliseconds; }
    int IdleInterval() const { return m_idleInterval; }
    void RecordTicks(int64_t ticks) { m_lastTickCount = ticks; }
    // Anything that blocked or waited (a dialog, a sleep) calls this: events are pumped before
    // the next statement, so a Stop, Pause or signal given meanwhile acts before it runs.
    void AfterBlocking() {
        m_pumpCountdown = 0;
        m_lastPump = {};
    }
    // Long evaluations call this at each step with the size of the text they work on. About
    // every millisecond it pumps events; once Stop is requested it throws EStopped, which
    // ends the run with the statement unfinished.
    void PollStop(size_t work) {
        m_pollBudget -= static_cast<std::ptrdiff_t>(work) + kPollStepCost;
        if (m_pollBudget <= 0 || m_stopRequested) PollStopNow();
    }

    // The step a command hands to a call that waits outside the run (see TWaitStep).
    TWaitStep WaitStep() {
        return [this] { WaitingStep(); };
    }

    TEngineHost& Host() { return m_host; }
    TProgramState& State() { return m_state; }
    // Program line at `index`, trimmed; past the last line the run ends silently.
    const std::string& ProgramLine(int index) const;
    // Program index of the definition a procedure-call line names, or -1.
    int FindProcedure(std::string_view line) const;
    void RequestBreak() { m_breakRequested = true; }
    void RequestExit() { m_exitRequested = true; }
    int& NestingDepth() { return m_depth; }

private:
    // What the run learns once about a program line: statement recognition depends only on
    // the line's text and on facts fixed for the run, so it is worked out once per line, and
    // only for lines that run.
    struct TLineCache {
        std::string stripped;
        int row = kRowUnknown;
        bool assignmentReady = false;
        std::string assignmentName;
        std::string assignmentExpression;  // without blanks
        const TCompiledExpression* compiled = nullptr;
        // The compiled value is arithmetic on plain operands only.
        bool arithmeticAssignment = false;
        TVariableHint nameHint;
        // The plan of the condition the line holds, once looked up; where it stands in the line.
        bool conditionReady = false;
        const TConditionPlan* conditionPlan = nullptr;
        size_t conditionStart = 0;
        size_t conditionSize = 0;
    };
    struct TProgramLine {
        std::string trimmed;
        std::unique_ptr<TLineCache> cache;
    };
    static constexpr int kRowUnknown = -2;
    static constexpr int kRowAssignment = -1;

    // Every statement asks both of these: inline, with the rare work out of line.
    TLineCache* CacheFor(const std::string& line, int cursor);
    static TLineCache* NewCache(TProgramLine& programLine);
    [[noreturn]] static void EndOfProgram();
    int MatchRow(const std::string& line, const std::string& stripped) const;
    void Dispatch(const std::string& line, const std::string& stripped, int& cursor,
                  TLineCache* cache);
    void Assign(const std::string& line, TLineCache* cache);
    void AssignUncached(const std::string& line);
    // Whether a rack control took the assignment instead of a variable.
    bool WrittenToControl(const std::string& line, const std::string& name);
    // Whether a rack with controls is loaded, shown or not.
    bool ControlsBound() {
        TControlBinding* binding = m_host.Binding();
        return binding && binding->HasControls();
    }
    void NoteAssignmentFailure();
    TValue EvaluateStripped(std::string_view text);
    TValue Rewrite(std::string text);
    // The compiled form of a blank-stripped text, made on first use; null when the text is
    // left to the rewriting.
    const TCompiledExpression* CompiledFor(std::string_view stripped);
    TValue RunCompiled(const TCompiledExpression& compiled);
    bool RunCompiledInto(const TCompiledExpression& compiled, TFlatValue& result);
    const TCompiledExpression* PreparedArgument(std::string_view text) const;
    bool RunCompiledFlat(const TCompiledFlat& flat, size_t base, TFlatValue& result);
    bool JoinPlain(const TCompiledOperand& operand, TFlatValue& result);
    std::string Unrecognised(const TCompiledPiece& call, size_t base);
    void KeepPiece(size_t index, TSlotKind kind, std::string& text, size_t from, size_t size,
                   bool exact, double number);
    // A piece that calls a row: the row's handler or its function on values.
    TFunctionResult Call(const TCompiledPiece& piece, size_t base);
    TFunctionResult CallWithValues(const TCompiledPiece& call, TValueFunction function,
                                   size_t base);
    // `controls`: whether operands may name controls of a rack on screen.
    void ResolveCompiled(const TCompiledOperand& operand, size_t base, TFlatValue& target,
                         bool controls);
    bool ResolveNumber(const TCompiledOperand& operand, size_t base, TFlatValue& target,
                       bool controls);
    // The text of a number, literal or variable operand as it stands in the script's text;
    // null for operands that hold pieces.
    const std::string* PlainText(const TCompiledOperand& operand) {
        using TKind = TCompiledOperand::TKind;
        switch (operand.kind) {
            case TKind::Number:
            case TKind::Literal:
                return &operand.value;
            case TKind::Variable: {
                const TVariableStore::TEntry* entry =
                    m_variables.FindEntry(operand.value, operand.variableHint);
                return entry ? &entry->Text() : &kNoText;
            }
            default:
                return nullptr;
        }
    }
    bool OperandNumber(const TCompiledOperand& operand, size_t base, double& number);
    bool NumberOfFlat(const TCompiledFlat& flat, size_t base, double& value, bool& ok);
    bool EvaluateArgument(const TCompiledFlat& flat, size_t base, bool controls,
                          TArgument& argument);
    bool PlainArgument(const TCompiledOperand& operand, TArgument& argument);
    // The only variable a function stores is error. While error is stored, that writes over
    // its text in place and no other entry moves.
    bool StaysPutDuringCalls(const std::string& variableText) {
        const TVariableStore::TEntry* error = ErrorEntry();
        return error && &variableText != &error->text;
    }
    // The whole number a number literal or a variable holds without its text written yet.
    std::optional<double> WholeOf(const TCompiledOperand& operand) {
        using TKind = TCompiledOperand::TKind;
        if (operand.kind == TKind::Number) {
            if (operand.exact && IsWholeNumber(operand.number)) return operand.number;
        } else if (operand.kind == TKind::Variable) {
            const TVariableStore::TEntry* entry =
                m_variables.FindEntry(operand.value, operand.variableHint);
            if (entry && entry->textPending) return entry->number;
        }
        return std::nullopt;
    }
    // The entry of error, null while the script has removed it.
    const TVariableStore::TEntry* ErrorEntry() {
        return m_variables.FindEntry("error", m_errorHint);
    }
    // Stores a number as an assignment does: whole ones as numbers, others as their text.
    void AssignNumber(const std::string& name, double value, TVariableHint& hint);
    // A compiled text with the pieces it names turned into this evaluation's placeholders.
    std::string WithPieceValues(std::string_view text, size_t base);
    // Whether operands may name controls of a rack on screen.
    bool ControlsVisible() {
        TControlBinding* binding = m_host.Binding();
        return binding && binding->HasControls() && binding->WindowVisible();
    }
    // An operand of the script's own text, with no written-back value in it.
    void ResolvePlain(std::string_view text, std::string& value, bool& exact, double& number);
    // An operand that holds a placeholder.
    void ResolveWrittenBack(std::string_view text, std::string& value, bool& exact,
                            double& number);
    // The placeholder that stands for a function's result in the expression's text.
    std::string WriteBackResult(std::string result);
    bool RowMatches(const TStatementRow& row, const std::string& line,
                    const std::string& stripped) const;
    void WaitForStep(const std::string& line);
    // Reading the clock costs as much as a short statement: between statements it is looked
    // at every few only.
    void PumpEvents(bool always) {
        if (!always && m_pumpInterval.count() > 0 && --m_pumpCountdown > 0) return;
        PumpEventsNow(always);
    }
    void PumpEventsNow(bool always);
    // Holds the run while paused; false, with the line's block passed over, once Stop is
    // requested.
    bool ReadyToRun(const std::string& line, int& cursor);
    // The idle interval, slept in short slices with events pumped between them.
    void IdleSleep();
    void PollStopNow();
    void WaitingStep();
    void IndexProgram(const std::vector<std::string>& editorLines);
    // While break or exit is pending, a block statement still passes over its whole block.
    void PassOverBlock(const std::string& line, int& cursor);
    struct TBlockKind;
    // Moves `cursor` from a block's opening line to its matching closing line.
    void SkipToClosing(const TBlockKind& kind, int& cursor) const;
    // Runs lines from `cursor` until one that ends an if branch; `cursor` stops on it.
    void RunBranch(int& cursor);
    // Evaluates a for header's bounds; false when the loop cannot run.
    struct TForRange;
    bool EvaluateForRange(const std::vector<std::string>& arguments, TForRange& range);
    TValue EvaluateComparison(std::string_view text, bool& isComparison, bool& result);
    // Conditions worked out once from their text where their shape allows (see
    // TConditionPlan); null where the rewriting takes them.
    std::unique_ptr<TConditionPlan> PlanCondition(std::string_view source);
    const TConditionPlan* ConditionPlanFor(std::string_view source);
    // EvaluateCondition for a condition that stands in program line `index`: its plan is kept
    // with the line.
    bool EvaluateLineCondition(int index, std::string_view source, bool& truth);
    bool RunConditionPlan(const TConditionPlan& plan, bool& truth);

    TEngineHost& m_host;
    TProgramState& m_state;
    const TDispatch& m_dispatch;

    // The run's state, in the order the interpreter's design lists it.
    bool m_stopRequested = false;
    bool m_paused = false;
    TVariableStore m_variables;
    std::vector<TProgramLine> m_lines;  // "begin", the editor's lines, "end"; trimmed
    int m_cursor = 0;
    bool m_stepMode = false;
    bool m_breakRequested = false;
    bool m_exitRequested = false;
    bool m_waitingForStep = false;
    int m_idleInterval = 0;
    int64_t m_tickFrequency = 1000;
    int64_t m_lastTickCount = 0;
    std::string m_lastErrorText;
    TVariableHint m_errorHint;
    bool m_showCurrentLine = false;
    int m_runningLine = -1;
    TStatementFailures* m_failures = nullptr;
    // Why the last expression could not be computed, for the failure record only.
    std::string m_evaluationProblem;

    // Built once per run so statement recognition never scans the whole program.
    std::unordered_map<std::string, int> m_procedureLines;  // lower-case name -> definition
    bool m_programHasOpenrack = false;
    int m_depth = 0;
    TValueSlots m_slots;
    int m_evaluationDepth = 0;
    TEvaluator m_evaluator = TEvaluator::Compiled;
    struct TTransparentHash {
        using is_transparent = void;
        size_t operator()(std::string_view text) const { return std::hash<std::string_view>{}(text); }
    };
    std::unordered_map<std::string, std::unique_ptr<TCompiledExpression>, TTransparentHash,
                       std::equal_to<>>
        m_compiled;
    std::unordered_map<std::string, std::unique_ptr<TConditionPlan>, TTransparentHash,
                       std::equal_to<>>
        m_conditionPlans;
    // The values of the pieces of the compiled evaluations in progress, innermost last.
    struct TPieceValue {
        TSlotKind kind = TSlotKind::Operand;
        std::string text;
        bool exact = false;  // text is a number text that reads as `number`
        double number = 0;
        std::string placeholder;  // made only when a text has to name the value
    };
    std::vector<TPieceValue> m_pieceValues;
    size_t m_pieceTop = 0;  // the values above this belong to no evaluation in progress
    // The call whose handler runs now with the compiled piece's own argument texts: when the
    // handler evaluates one of those very strings, its compiled form is at hand.
    const TCompiledPiece* m_preparedCall = nullptr;
    // Argument values of the calls in progress, one list per depth (each list stays where it
    // is while deeper ones are added).
    std::vector<std::unique_ptr<std::vector<TArgument>>> m_argumentLists;
    size_t m_argumentDepth = 0;
    // Where an argument is evaluated before it goes into its list; nested calls finish with
    // it before the argument that contains them is taken.
    TFlatValue m_argumentValue;
    // Where a compiled assignment's value is made before it is copied into the variable.
    TFlatValue m_assignedValue;
    // The text of an arithmetic step that has to be read back, kept for its buffer.
    std::string m_stepText;
    static constexpr size_t kCopiedValueBytes = 256;
    // What a variable not stored reads as.
    static inline const std::string kNoText;
    std::chrono::steady_clock::time_point m_lastPump{};
    std::chrono::microseconds m_pumpInterval{};
    static constexpr int kStatementsPerClockCheck = 32;
    int m_pumpCountdown = 0;
    // PollStop reads the clock once this many bytes of evaluation work have gone by; a step
    // counts as its text plus a fixed cost.
    static constexpr std::ptrdiff_t kPollBytesPerClockCheck = std::ptrdiff_t{1} << 18;
    static constexpr std::ptrdiff_t kPollStepCost = 64;
    std::ptrdiff_t m_pollBudget = 0;
};

inline const std::string& TExecute::ProgramLine(int index) const {
    if (index < 0 || index >= static_cast<int>(m_lines.size())) [[unlikely]] EndOfProgram();
    return m_lines[static_cast<size_t>(index)].trimmed;
}

// Only a line handed over straight from the program has a cache entry; handlers may pass
// lines of their own.
inline TExecute::TLineCache* TExecute::CacheFor(const std::string& line, int cursor) {
    if (cursor < 0 || cursor >= static_cast<int>(m_lines.size())) return nullptr;
    TProgramLine& programLine = m_lines[static_cast<size_t>(cursor)];
    if (&programLine.trimmed != &line) return nullptr;
    return programLine.cache ? programLine.cache.get() : NewCache(programLine);
}

}  // namespace korvane::engine
