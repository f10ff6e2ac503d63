// Running compiled expressions: the same steps as the rewriting evaluator, on values. A piece's
// value is kept beside the others; it becomes a placeholder in a text only when a handler or a
// rare operand has to be given text.
#include "engine/compiled_expression.h"
#include "engine/execute.h"
#include "engine/flat_expression.h"
#include "engine/text_limit.h"

namespace korvane::engine {

namespace {

// Compiled forms are kept for the run; past this many distinct texts new ones are rewritten.
constexpr size_t kMaxCompiledTexts = 8192;
constexpr size_t kCopiedArgumentBytes = 256;

// Makes room for the piece values of one evaluation on top of `top` and gives it back however
// it ends. The values stay in the list for the next evaluation, so their buffers are reused;
// large ones are let go at once.
template <typename TPiece>
class TPieceFrame {
public:
    TPieceFrame(std::vector<TPiece>& values, size_t& top, size_t count)
        : m_values(values), m_top(top), m_base(top) {
        top += count;
        if (values.size() < top) values.resize(top);
        for (size_t i = m_base; i < top; ++i) values[i].placeholder.clear();
    }
    ~TPieceFrame() {
        for (size_t i = m_base; i < m_top; ++i) {
            if (m_values[i].text.capacity() > kKeptPieceBytes) std::string().swap(m_values[i].text);
        }
        m_top = m_base;
    }
    TPieceFrame(const TPieceFrame&) = delete;
    TPieceFrame& operator=(const TPieceFrame&) = delete;
    size_t Base() const { return m_base; }

private:
    static constexpr size_t kKeptPieceBytes = 4096;
    std::vector<TPiece>& m_values;
    size_t& m_top;
    size_t m_base;
};

class TDepthStep {
public:
    explicit TDepthStep(size_t& depth) : m_depth(depth) { ++m_depth; }
    ~TDepthStep() { --m_depth; }
    TDepthStep(const TDepthStep&) = delete;
    TDepthStep& operator=(const TDepthStep&) = delete;

private:
    size_t& m_depth;
};

}  // namespace

const TCompiledExpression* TExecute::PreparedArgument(std::string_view text) const {
    if (!m_preparedCall) return nullptr;
    const TCompiledPiece& call = *m_preparedCall;
    for (size_t i = 0; i < call.argumentForms.size(); ++i) {
        if (text.data() == call.arguments[i].data() && text.size() == call.arguments[i].size()) {
            return call.argumentForms[i].get();
        }
    }
    return nullptr;
}

const TCompiledExpression* TExecute::CompiledFor(std::string_view stripped) {
    if (m_evaluator != TEvaluator::Compiled) return nullptr;
    auto it = m_compiled.find(stripped);
    if (it != m_compiled.end()) return it->second.get();
    if (m_compiled.size() >= kMaxCompiledTexts) return nullptr;
    auto compiled = CompileExpression(stripped, m_dispatch);
    const TCompiledExpression* result = compiled.get();
    m_compiled.emplace(std::string(stripped), std::move(compiled));
    return result;
}

TValue TExecute::RunCompiled(const TCompiledExpression& compiled) {
    TFlatValue result;
    const bool ok = RunCompiledInto(compiled, result);
    if (ok && !result.exact && result.variable) {
        // A variable's text read as a number once is not read again.
        if (const auto number = TVariableStore::StrictNumberOf(*result.variable)) {
            return {std::move(result.text), true, true, *number};
        }
    }
    return {std::move(result.text), ok, ok && result.exact, result.number};
}

// On failure `result` holds the text the rewriting evaluator would give with it.
bool TExecute::RunCompiledInto(const TCompiledExpression& compiled, TFlatValue& result) {
    if (compiled.pieces.empty()) return RunCompiledFlat(compiled.flat, 0, result) && !compiled.unbalanced;
    std::string noText;
    TEvaluationScope scope(m_slots, m_evaluationDepth, noText);
    TPieceFrame frame(m_pieceValues, m_pieceTop, compiled.pieces.size());
    const size_t base = frame.Base();
    auto fail = [&result](std::string text) {
        result.text = std::move(text);
        result.exact = false;
        result.variable = nullptr;
        return false;
    };
    for (size_t k = 0; k < compiled.pieces.size(); ++k) {
        PollStop(compiled.textSize);
        const TCompiledPiece& piece = compiled.pieces[k];
        if (!piece.call) {
            if (!RunCompiledFlat(piece.group, base, result)) return false;
            KeepPiece(base + k, TSlotKind::Operand, result.text, 0, result.text.size(), result.exact,
                      result.number);
            continue;
        }
        if (!piece.function) return fail(Unrecognised(piece, base));
        TFunctionResult call = Call(piece, base);
        if (!call.recognised) return fail(Unrecognised(piece, base));
        if (!call.ok) return fail(std::move(call.value));
        if (k + 1 == compiled.pieces.size() && compiled.valueIsLastCall &&
            (call.literal || (call.exact && !ControlsVisible()))) {
            // The call's result is the value: it goes there directly instead of through its
            // piece, as reading the piece back would give the same. Short ones are copied, so
            // the buffer kept for the value stays.
            CheckTextSize(call.value.size());
            if (call.value.size() > kCopiedArgumentBytes) {
                result.text.swap(call.value);
            } else {
                result.text.assign(call.value);
            }
            result.exact = call.exact && !call.literal;
            result.number = call.number;
            result.variable = nullptr;
            return true;
        }
        // Functions hand back texts in double quotes and numbers bare.
        const std::string& value = call.value;
        if (call.literal) {
            KeepPiece(base + k, TSlotKind::Literal, call.value, 0, value.size(), false, 0);
        } else if (value.size() >= 2 && value.front() == '"' && value.back() == '"') {
            KeepPiece(base + k, TSlotKind::Literal, call.value, 1, value.size() - 2, false, 0);
        } else {
            KeepPiece(base + k, TSlotKind::Operand, call.value, 0, value.size(), call.exact,
                      call.number);
        }
    }
    return RunCompiledFlat(compiled.flat, base, result) && !compiled.unbalanced;
}

// The call's result, made where it is returned: a short text moved is copied again.
TFunctionResult TExecute::Call(const TCompiledPiece& piece, size_t base) {
    if (const TValueFunction function = m_dispatch.ValueFunction(*piece.function)) {
        return CallWithValues(piece, function, base);
    }
    if (piece.argumentsNamePieces) {
        std::vector<std::string> arguments;
        arguments.reserve(piece.arguments.size());
        for (const std::string& text : piece.arguments) {
            arguments.push_back(WithPieceValues(text, base));
        }
        return m_dispatch.Handler(*piece.function)(*this, arguments);
    }
    const TCompiledPiece* outer = m_preparedCall;
    m_preparedCall = &piece;
    TFunctionResult result = m_dispatch.Handler(*piece.function)(*this, piece.arguments);
    m_preparedCall = outer;
    return result;
}

// A piece's value is the `size` bytes of `text` from `from`: short ones are copied into the
// piece's own buffer, long ones change hands.
void TExecute::KeepPiece(size_t index, TSlotKind kind, std::string& text, size_t from, size_t size,
                         bool exact, double number) {
    CheckTextSize(size);
    TPieceValue& slot = m_pieceValues[index];
    slot.kind = kind;
    if (size > kCopiedArgumentBytes) {
        text.resize(from + size);
        text.erase(0, from);
        slot.text = std::move(text);
    } else {
        slot.text.assign(text, from, size);
    }
    slot.exact = exact;
    slot.number = number;
}

// The arguments are evaluated as EvaluateArguments would, into a list kept for the next call
// at the same depth, so a call costs no allocation once the run is warm. An argument is a
// flat text by the time its call is reached: earlier pieces stand in it as placeholders.
TFunctionResult TExecute::CallWithValues(const TCompiledPiece& call, TValueFunction function,
                                         size_t base) {
    if (m_argumentLists.size() <= m_argumentDepth) {
        m_argumentLists.push_back(std::make_unique<std::vector<TArgument>>());
    }
    std::vector<TArgument>& list = *m_argumentLists[m_argumentDepth];
    TDepthStep depth(m_argumentDepth);
    const size_t count = call.argumentFlats.size();
    // The list only grows, so the buffers of a longer call before stay for the next one.
    if (list.size() < count) list.resize(count);
    const TArguments values(list.data(), count);
    // Arguments hold no calls: nothing between them changes whether controls are in sight.
    const bool controls = ControlsVisible();
    bool ok = true;
    size_t i = 0;
    for (; i < count && ok; ++i) {
        const TCompiledFlat& flat = call.argumentFlats[i];
        // Most arguments are one plain operand, taken without the general evaluation.
        if (!controls && flat.operands.size() == 1 && PlainArgument(flat.operands[0], values[i])) {
            continue;
        }
        ok = EvaluateArgument(flat, base, controls, values[i]);
    }
    for (; i < count; ++i) values[i].TextBuffer().clear();
    TFunctionResult result = function(*this, values, ok);
    for (TArgument& argument : values) argument.ReleaseOver(kCopiedArgumentBytes);
    return result;
}

// An argument that is not one plain operand. The value of an earlier piece is copied and
// arithmetic is worked out on numbers, whole results handed over as numbers; the rest goes
// through the flat evaluation.
bool TExecute::EvaluateArgument(const TCompiledFlat& flat, size_t base, bool controls,
                                TArgument& argument) {
    if (!controls && flat.operands.size() == 1) {
        const TCompiledOperand& operand = flat.operands[0];
        if (operand.kind == TCompiledOperand::TKind::Piece) {
            const TPieceValue& piece = m_pieceValues[base + operand.piece];
            if (piece.kind == TSlotKind::Literal || piece.exact) {
                argument.TextBuffer().assign(piece.text);
                return true;
            }
        }
    } else if (!controls && flat.arithmetic) {
        double number = 0;
        bool ok = true;
        if (NumberOfFlat(flat, base, number, ok)) {
            if (!ok) {
                argument.TextBuffer().clear();
                return false;
            }
            if (IsWholeNumber(number)) {
                argument.SetWhole(number);
            } else {
                bool exact = false;
                FormatNumberInto(number, exact, argument.TextBuffer());
            }
            return true;
        }
    }
    TFlatValue& evaluated = m_argumentValue;
    const bool ok = RunCompiledFlat(flat, base, evaluated);
    // Short values are copied into the list's own buffers; long ones change hands.
    std::string& value = argument.TextBuffer();
    if (evaluated.text.size() > kCopiedArgumentBytes) {
        value = std::move(evaluated.text);
    } else {
        value.assign(evaluated.text);
    }
    return ok;
}

// A number, literal or variable operand, handed over without a copy where it can be: whole
// numbers as numbers, texts where they stand. A variable's text is copied where the call
// could change or move it.
bool TExecute::PlainArgument(const TCompiledOperand& operand, TArgument& argument) {
    if (const std::optional<double> whole = WholeOf(operand)) {
        argument.SetWhole(*whole);
        return true;
    }
    const std::string* text = PlainText(operand);
    if (!text) return false;
    if (operand.kind == TCompiledOperand::TKind::Variable && !StaysPutDuringCalls(*text)) {
        argument.TextBuffer().assign(*text);
    } else {
        argument.SetView(*text);
    }
    return true;
}

// A call no row takes: the text as it stands is read flat and the evaluation fails with that.
std::string TExecute::Unrecognised(const TCompiledPiece& call, size_t base) {
    // A name holding values shows them as text, never as placeholders.
    NoteEvaluationProblem("no function " + m_slots.Expand(WithPieceValues(call.name, base)) +
                          " with these arguments");
    return EvaluateFlat(WithPieceValues(call.textBefore, base)).text;
}

bool TExecute::RunCompiledFlat(const TCompiledFlat& flat, size_t base, TFlatValue& result) {
    // Resolving operands runs no command, so whether controls are in sight holds for the text.
    const bool controls = ControlsVisible();
    auto resolve = [&](const TCompiledOperand& operand, TFlatValue& target) {
        if (!operand.numeric || !ResolveNumber(operand, base, target, controls)) {
            ResolveCompiled(operand, base, target, controls);
        }
    };
    resolve(flat.operands[0], result);
    if (flat.operands.size() == 1) return true;
    TFlatValue operand;
    bool ok = true;
    for (size_t i = 1; i < flat.operands.size(); ++i) {
        if (flat.operators[i - 1] == '&' && !controls && JoinPlain(flat.operands[i], result)) {
            continue;
        }
        resolve(flat.operands[i], operand);
        if (!ApplyOperator(result, operand, flat.operators[i - 1], i == 1)) ok = false;
    }
    if (ok) return true;
    NoteEvaluationProblem("cannot compute: division by zero or overflow");
    result.text.clear();
    result.exact = false;
    result.variable = nullptr;
    return false;
}

// Joins a number, literal or variable operand on where it stands, not copied out first. A
// whole number joins on as its digits, and a variable holding one stays unwritten.
bool TExecute::JoinPlain(const TCompiledOperand& operand, TFlatValue& result) {
    if (const std::optional<double> whole = WholeOf(operand)) {
        CheckTextSize(result.text.size() + WholeTextSize(*whole));
        AppendWhole(*whole, result.text);
    } else if (const std::string* text = PlainText(operand)) {
        CheckTextSize(result.text.size() + text->size());
        result.text += *text;
    } else {
        return false;
    }
    result.exact = false;
    result.variable = nullptr;
    return true;
}

// The number an arithmetic flat text gives, without making the texts of its operands or of
// the steps between; `ok` is false for an arithmetic error. False where an operand has to be
// read from its text: the general path then takes the whole text. Controls must be out of
// sight, as an operand could name one.
bool TExecute::NumberOfFlat(const TCompiledFlat& flat, size_t base, double& value, bool& ok) {
    double result = 0;
    if (!OperandNumber(flat.operands[0], base, result)) return false;
    ok = true;
    for (size_t i = 1; i < flat.operands.size(); ++i) {
        double right = 0;
        if (!OperandNumber(flat.operands[i], base, right)) return false;
        double step = 0;
        // A failed step leaves the result as it was; the text as a whole fails at the end.
        if (!ArithmeticStep(result, right, flat.operators[i - 1], step)) {
            ok = false;
            continue;
        }
        // The next step reads the result from its text, so a number the text cannot hold
        // exactly goes on as the text reads.
        result = step;
        if (i + 1 < flat.operands.size() && !IsWholeNumber(step)) {
            bool exact = false;
            FormatNumberInto(step, exact, m_stepText);
            if (!exact) result = LenientNumber(m_stepText);
        }
    }
    if (!ok) NoteEvaluationProblem("cannot compute: division by zero or overflow");
    value = result;
    return true;
}

// The number an arithmetic operator reads from an operand; false where it has to be read
// from the operand's text.
bool TExecute::OperandNumber(const TCompiledOperand& operand, size_t base, double& number) {
    using TKind = TCompiledOperand::TKind;
    switch (operand.kind) {
        case TKind::Number:
        case TKind::Literal:
            number = operand.lenient;
            return true;
        case TKind::Variable: {
            const TVariableStore::TEntry* entry =
                m_variables.FindEntry(operand.value, operand.variableHint);
            number = entry ? TVariableStore::NumberOf(*entry) : 0;
            return true;
        }
        case TKind::Piece: {
            const TPieceValue& piece = m_pieceValues[base + operand.piece];
            if (piece.kind == TSlotKind::Literal) {
                number = LenientNumber(piece.text);
                return true;
            }
            number = piece.number;
            return piece.exact;
        }
        default:
            return false;
    }
}

// Only the number of an operand an arithmetic operator takes: what ResolveCompiled and the
// operator's reading would give, without making its text. False where that takes the text.
bool TExecute::ResolveNumber(const TCompiledOperand& operand, size_t base, TFlatValue& target,
                             bool controls) {
    double number = 0;
    if (!OperandNumber(operand, base, number)) return false;
    if (controls) return false;
    target.text.clear();
    target.exact = true;
    target.number = number;
    target.variable = nullptr;
    return true;
}

void TExecute::ResolveCompiled(const TCompiledOperand& operand, size_t base, TFlatValue& target,
                               bool controls) {
    using TKind = TCompiledOperand::TKind;
    target.exact = false;
    target.variable = nullptr;
    switch (operand.kind) {
        case TKind::Piece: {
            const TPieceValue& piece = m_pieceValues[base + operand.piece];
            if (piece.kind == TSlotKind::Literal) {
                target.text = piece.text;
            } else if (piece.exact && !controls) {
                // A number text reads as itself: the same as reading it plain, without the parse.
                target.text = piece.text;
                target.exact = true;
                target.number = piece.number;
            } else {
                ResolvePlain(piece.text, target.text, target.exact, target.number);
            }
            return;
        }
        case TKind::Mixed:
            ResolveInto(WithPieceValues(operand.text, base), target.text, target.exact,
                        target.number);
            return;
        default:
            break;
    }
    if (controls) {
        ResolvePlain(operand.text, target.text, target.exact, target.number);
        return;
    }
    switch (operand.kind) {
        case TKind::Number:
            target.text = operand.value;
            target.exact = operand.exact;
            target.number = operand.number;
            return;
        case TKind::Literal:
            target.text = operand.value;
            return;
        default: {
            const TVariableStore::TEntry* entry =
                m_variables.FindEntry(operand.value, operand.variableHint);
            if (!entry) {
                target.text.clear();
                return;
            }
            target.text.assign(entry->Text());
            target.variable = entry;
        }
    }
}

std::string TExecute::WithPieceValues(std::string_view text, size_t base) {
    std::string out;
    out.reserve(text.size());
    for (size_t i = 0; i < text.size();) {
        const size_t index = TValueSlots::IndexAt(text, i);
        if (index == std::string_view::npos) {
            out.push_back(text[i++]);
            continue;
        }
        TPieceValue& piece = m_pieceValues[base + index];
        if (piece.placeholder.empty()) piece.placeholder = m_slots.Add(piece.kind, piece.text);
        out += piece.placeholder;
        i += TValueSlots::kPlaceholderSize;
    }
    return out;
}

}  // namespace korvane::engine
