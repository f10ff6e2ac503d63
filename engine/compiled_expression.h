#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "engine/dispatch.h"
#include "engine/variable_store.h"

namespace korvane::engine {

// One operand of a flat text, read once from the script. Numbers and literals are resolved
// here; `text` keeps the operand as written for the rare case a rack control may answer to it.
struct TCompiledOperand {
    enum class TKind {
        Number,    // value, exact and number hold its normalised reading
        Literal,   // value holds the text between the quotes
        Variable,  // value holds the name
        Piece,     // exactly the value of an earlier piece
        Mixed,     // script text around pieces: resolved from its text at run time
    };
    TKind kind = TKind::Variable;
    std::string text;
    std::string value;
    bool exact = false;
    double number = 0;
    size_t piece = 0;
    mutable TVariableHint variableHint;  // where the variable was found last
    bool numeric = false;  // only its number is ever read: an arithmetic operator takes it
    double lenient = 0;    // that number, for numbers and literals
};

struct TCompiledFlat {
    std::vector<TCompiledOperand> operands;
    std::string operators;  // operators[i] stands between operands[i] and operands[i + 1]
    // Every operator is + - * or /: the value is a number worked out from the operands' numbers.
    bool arithmetic = false;
};

struct TCompiledExpression;

// A parenthesised piece in the order the rewriting evaluator meets it: a group or a call.
// Texts that name earlier pieces hold placeholders numbered by piece.
struct TCompiledPiece {
    bool call = false;
    TCompiledFlat group;
    std::string name;                    // the call's name as it stands in the text
    std::optional<TFunction> function;   // the row the call reaches; none when no row takes it
    std::vector<std::string> arguments;  // as the row's handler receives them
    bool argumentsNamePieces = false;
    // What each argument text compiles to when the handler evaluates it (null: rewritten).
    std::vector<std::unique_ptr<TCompiledExpression>> argumentForms;
    // The arguments as flat texts whose pieces are this expression's, for rows that take
    // evaluated values.
    std::vector<TCompiledFlat> argumentFlats;
    std::string textBefore;  // the whole text as it stands when the call is reached
};

// An expression compiled once from its blank-stripped text: every piece the rewriting would
// evaluate, then the flat text left at the end. Evaluation follows the same steps on values
// instead of text, so what the script sees is the same.
struct TCompiledExpression {
    std::vector<TCompiledPiece> pieces;
    TCompiledFlat flat;
    bool unbalanced = false;  // a ")" without "(": the flat value is delivered as a failure
    size_t textSize = 0;
    // The value is just the result of the last call, as in "x = f(y)".
    bool valueIsLastCall = false;
};

// Null for texts the compiled form leaves to the rewriting evaluator: ones holding the
// placeholder marker byte and ones too long to be worth it.
std::unique_ptr<TCompiledExpression> CompileExpression(std::string_view stripped,
                                                       const TDispatch& dispatch);

}  // namespace korvane::engine
