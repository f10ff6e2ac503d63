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

// Makes room for the piece values of one evaluation and drops them however it ends.
template <typename TPiece>
class TPieceFrame {
public:
    TPieceFrame(std::vector<TPiece>& values, size_t count) : m_values(values), m_base(values.size()) {
        values.resize(m_base + count);
    }
    ~TPieceFrame() { m_values.resize(m_base); }
    TPieceFrame(const TPieceFrame&) = delete;
    TPieceFrame& operator=(const TPieceFrame&) = delete;
    size_t Base() const { return m_base; }

private:
    std::vector<TPiece>& m_values;
    size_t m_base;
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
    std::string noText;
    TEvaluationScope scope(m_slots, m_evaluationDepth, noText);
    TPieceFrame frame(m_pieceValues, compiled.pieces.size());
    const size_t base = frame.Base();
    for (size_t k = 0; k < compiled.pieces.size(); ++k) {
        PollStop(compiled.textSize);
        const TCompiledPiece& piece = compiled.pieces[k];
        std::string value;
        TSlotKind kind = TSlotKind::Operand;
        if (!piece.call) {
            TValue inner = RunCompiledFlat(piece.group, base);
            if (!inner.ok) return inner;
            value = std::move(inner.text);
        } else {
            if (!piece.function) return Unrecognised(piece, base);
            const TFunctionHandler& handler = m_dispatch.Handler(*piece.function);
            TFunctionResult call;
            if (piece.argumentsNamePieces) {
                std::vector<std::string> arguments;
                arguments.reserve(piece.arguments.size());
                for (const std::string& text : piece.arguments) {
                    arguments.push_back(WithPieceValues(text, base));
                }
                call = handler(*this, arguments);
            } else {
                const TCompiledPiece* outer = m_preparedCall;
                m_preparedCall = &piece;
                call = handler(*this, piece.arguments);
                m_preparedCall = outer;
            }
            if (!call.recognised) return Unrecognised(piece, base);
            if (!call.ok) return {std::move(call.value), false};
            value = std::move(call.value);
            // Functions hand back texts in double quotes and numbers bare.
            if (value.size() >= 2 && value.front() == '"' && value.back() == '"') {
                kind = TSlotKind::Literal;
                value.pop_back();
                value.erase(0, 1);
            }
        }
        CheckTextSize(value.size());
        TPieceValue& slot = m_pieceValues[base + k];
        slot.kind = kind;
        slot.text = std::move(value);
    }
    TValue result = RunCompiledFlat(compiled.flat, base);
    if (compiled.unbalanced) result.ok = false;
    return result;
}

// A call no row takes: the text as it stands is read flat and the evaluation fails.
TValue TExecute::Unrecognised(const TCompiledPiece& call, size_t base) {
    // A name holding values shows them as text, never as placeholders.
    NoteEvaluationProblem("no function " + m_slots.Expand(WithPieceValues(call.name, base)) +
                          " with these arguments");
    return {EvaluateFlat(WithPieceValues(call.textBefore, base)).text, false};
}

TValue TExecute::RunCompiledFlat(const TCompiledFlat& flat, size_t base) {
    TFlatValue result;
    TFlatValue operand;
    bool ok = true;
    ResolveCompiled(flat.operands[0], base, result);
    for (size_t i = 1; i < flat.operands.size(); ++i) {
        ResolveCompiled(flat.operands[i], base, operand);
        if (!ApplyOperator(result, operand, flat.operators[i - 1], i == 1)) ok = false;
    }
    if (!ok) NoteEvaluationProblem("cannot compute: division by zero or overflow");
    return {ok ? std::move(result.text) : std::string(), ok};
}

void TExecute::ResolveCompiled(const TCompiledOperand& operand, size_t base, TFlatValue& target) {
    using TKind = TCompiledOperand::TKind;
    target.whole = false;
    switch (operand.kind) {
        case TKind::Piece: {
            const TPieceValue& piece = m_pieceValues[base + operand.piece];
            if (piece.kind == TSlotKind::Literal) {
                target.text = piece.text;
            } else {
                ResolvePlain(piece.text, target.text, target.whole, target.number);
            }
            return;
        }
        case TKind::Mixed:
            ResolveInto(WithPieceValues(operand.text, base), target.text, target.whole,
                        target.number);
            return;
        default:
            break;
    }
    if (TControlBinding* binding = m_host.Binding();
        binding && binding->WindowVisible() && binding->HasControls()) {
        ResolvePlain(operand.text, target.text, target.whole, target.number);
        return;
    }
    switch (operand.kind) {
        case TKind::Number:
            target.text = operand.value;
            target.whole = operand.whole;
            target.number = operand.number;
            return;
        case TKind::Literal:
            target.text = operand.value;
            return;
        default: {
            const std::string* stored = m_variables.Find(operand.value, operand.variableHint);
            target.text.assign(stored ? std::string_view(*stored) : std::string_view());
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
