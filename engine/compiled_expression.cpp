#include "engine/compiled_expression.h"

#include "engine/flat_expression.h"
#include "engine/number_text.h"
#include "engine/text_utils.h"
#include "engine/value_slots.h"

namespace korvane::engine {

namespace {

// Longer lines are rare; the rewriting evaluator takes them, and no compiled form keeps a
// copy of a long text per call.
constexpr size_t kMaxCompiledText = 4096;
constexpr size_t kMaxPieces = 256;

bool HoldsMarker(std::string_view text) {
    return text.find(TValueSlots::kMarker) != std::string_view::npos;
}

TCompiledOperand CompileOperand(std::string_view text) {
    TCompiledOperand operand;
    operand.text = std::string(text);
    if (HoldsMarker(text)) {
        const size_t index = TValueSlots::IndexAt(text, 0);
        if (text.size() == TValueSlots::kPlaceholderSize && index != std::string_view::npos) {
            operand.kind = TCompiledOperand::TKind::Piece;
            operand.piece = index;
        } else {
            operand.kind = TCompiledOperand::TKind::Mixed;
        }
    } else if (auto number = ParseNumber(text)) {
        operand.kind = TCompiledOperand::TKind::Number;
        TFlatValue value;
        value.SetNumber(*number);
        operand.value = std::move(value.text);
        operand.exact = value.exact;
        operand.number = *number;
    } else if (!text.empty() && text.front() == '"' && text.back() == '"') {
        operand.kind = TCompiledOperand::TKind::Literal;
        if (text.size() >= 2) operand.value = std::string(text.substr(1, text.size() - 2));
    } else {
        operand.kind = TCompiledOperand::TKind::Variable;
        operand.value = std::string(text);
    }
    return operand;
}

bool IsArithmetic(char op) { return op == '+' || op == '-' || op == '*' || op == '/'; }

TCompiledFlat CompileFlat(std::string_view text) {
    TCompiledFlat flat;
    ForEachOperand(text, [&](std::string_view operand, char op) {
        if (op != 0) flat.operators.push_back(op);
        flat.operands.push_back(CompileOperand(operand));
    });
    flat.arithmetic = !flat.operators.empty() &&
                      flat.operators.find_first_not_of("+-*/") == std::string::npos;
    // An operand an arithmetic operator takes is only ever read as a number.
    for (size_t i = 0; i < flat.operands.size(); ++i) {
        const char op = i == 0 ? (flat.operators.empty() ? 0 : flat.operators[0]) : flat.operators[i - 1];
        TCompiledOperand& operand = flat.operands[i];
        operand.numeric = IsArithmetic(op);
        if (operand.kind == TCompiledOperand::TKind::Number ||
            operand.kind == TCompiledOperand::TKind::Literal) {
            operand.lenient = operand.exact ? operand.number : LenientNumber(operand.value);
        }
    }
    return flat;
}

// The first row with the call's name and argument count that is bound takes the call.
std::optional<TFunction> RowFor(const TDispatch& dispatch, const std::string& name, size_t count) {
    for (const TFunctionRow& row : FunctionTable()) {
        if (row.name == name && row.argumentCount == count && dispatch.Handler(row.id)) {
            return row.id;
        }
    }
    return std::nullopt;
}

}  // namespace

std::unique_ptr<TCompiledExpression> CompileExpression(std::string_view stripped,
                                                       const TDispatch& dispatch) {
    if (stripped.size() > kMaxCompiledText || HoldsMarker(stripped)) return nullptr;
    auto compiled = std::make_unique<TCompiledExpression>();
    compiled->textSize = stripped.size();
    std::string text(stripped);
    for (;;) {
        const auto [open, close] = FindInnermostParentheses(text);
        if (close == std::string::npos || open == std::string::npos) {
            compiled->unbalanced = close != std::string::npos;
            compiled->flat = CompileFlat(text);
            const auto& operands = compiled->flat.operands;
            compiled->valueIsLastCall =
                !compiled->unbalanced && operands.size() == 1 &&
                operands[0].kind == TCompiledOperand::TKind::Piece && !compiled->pieces.empty() &&
                operands[0].piece == compiled->pieces.size() - 1 && compiled->pieces.back().call;
            return compiled;
        }
        if (compiled->pieces.size() >= kMaxPieces) return nullptr;
        TCompiledPiece piece;
        size_t pieceStart = open;
        if (open > 0 && !IsGroupingCharacter(text[open - 1])) {
            pieceStart = CallNameStart(text, open);
            piece.call = true;
            piece.textBefore = text;
            piece.name = text.substr(pieceStart, open - pieceStart);
            std::string name;
            SplitCall(std::string_view(text).substr(pieceStart, close - pieceStart + 1), name,
                      piece.arguments);
            piece.function = RowFor(dispatch, name, piece.arguments.size());
            if (piece.function && dispatch.ValueFunction(*piece.function)) {
                for (const std::string& argument : piece.arguments) {
                    piece.argumentFlats.push_back(CompileFlat(StripBlanks(argument)));
                }
            }
            for (const std::string& argument : piece.arguments) {
                if (HoldsMarker(argument)) piece.argumentsNamePieces = true;
            }
            if (piece.function && !piece.argumentsNamePieces) {
                for (const std::string& argument : piece.arguments) {
                    piece.argumentForms.push_back(CompileExpression(StripBlanks(argument), dispatch));
                }
            }
        } else {
            piece.group = CompileFlat(std::string_view(text).substr(open + 1, close - open - 1));
        }
        text.replace(pieceStart, close - pieceStart + 1,
                     TValueSlots::PlaceholderFor(compiled->pieces.size()));
        compiled->pieces.push_back(std::move(piece));
    }
}

}  // namespace korvane::engine
