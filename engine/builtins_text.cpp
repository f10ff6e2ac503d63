// Text functions: tohex, len, asc, pos, ucase, lcase, mid, del, chr, trim, split, extract.
#include <optional>

#include "engine/builtins.h"
#include "engine/function_result.h"
#include "engine/number_text.h"
#include "engine/text_limit.h"

namespace korvane::engine {

namespace {

// Sized before it is built, so a result over the text bound fails before taking memory, and
// written straight into its quoted form, so it exists once.
TFunctionResult Tohex(TExecute& run, TArguments v, bool ok) {
    run.ClearError();
    const std::string_view text = v[0].View();
    const size_t size = text.empty() ? 0 : text.size() * 3 - 1;
    CheckTextSize(size);
    static constexpr char kDigits[] = "0123456789ABCDEF";
    std::string out;
    out.reserve(size + 2);
    out.push_back('"');
    for (unsigned char c : text) {
        if (out.size() > 1) out.push_back(' ');
        out.push_back(kDigits[c >> 4]);
        out.push_back(kDigits[c & 15]);
    }
    out.push_back('"');
    return {std::move(out), ok};
}

TFunctionResult Len(TExecute& run, TArguments v, bool ok) {
    run.ClearError();
    return WholeResult(static_cast<int64_t>(v[0].View().size()), ok);
}

TFunctionResult Asc(TExecute& run, TArguments v, bool ok) {
    run.ClearError();
    const std::string_view text = v[0].View();
    if (text.empty()) return FailedResult(run, "asc: unexpected argument.", ok);
    return WholeResult(static_cast<unsigned char>(text[0]), ok);
}

TFunctionResult Pos(TExecute& run, TArguments v, bool ok) {
    run.ClearError();
    const std::string_view part = v[0].View();
    const size_t at = part.empty() ? std::string::npos : v[1].View().find(part);
    return WholeResult(at == std::string::npos ? 0 : static_cast<int64_t>(at) + 1, ok);
}

TFunctionResult Ucase(TExecute& run, TArguments v, bool ok) {
    run.ClearError();
    return TextResult(ToUpperAscii(v[0].View()), ok);
}

TFunctionResult Lcase(TExecute& run, TArguments v, bool ok) {
    run.ClearError();
    return TextResult(ToLowerAscii(v[0].View()), ok);
}

TFunctionResult Mid(TExecute& run, TArguments v, bool ok) {
    run.ClearError();
    auto start = v[1].Int();
    auto count = v[2].Int();
    if (!start || !count) return FailedResult(run, "mid: unexpected argument.", ok);
    const int64_t from = *start < 1 ? 1 : *start;
    const std::string_view text = v[0].View();
    if (from > static_cast<int64_t>(text.size()) || *count <= 0) return TextResult("", ok);
    return TextResult(text.substr(static_cast<size_t>(from - 1), static_cast<size_t>(*count)), ok);
}

TFunctionResult Del(TExecute& run, TArguments v, bool ok) {
    run.ClearError();
    auto start = v[1].Int();
    auto count = v[2].Int();
    if (!start || !count) return FailedResult(run, "del: unexpected argument.", ok);
    std::string text(v[0].View());
    if (*start >= 1 && *start <= static_cast<int64_t>(text.size()) && *count > 0) {
        text.erase(static_cast<size_t>(*start - 1), static_cast<size_t>(*count));
    }
    return TextResult(text, ok);
}

TFunctionResult Chr(TExecute& run, TArguments v, bool ok) {
    run.ClearError();
    auto code = v[0].Int();
    if (!code) return FailedResult(run, "chr: unexpected argument.", ok);
    return TextResult(std::string(1, static_cast<char>(((*code % 256) + 256) % 256)), ok);
}

TFunctionResult TrimFunction(TExecute& run, TArguments v, bool ok) {
    run.ClearError();
    return TextResult(TrimView(v[0].View()), ok);
}

TFunctionResult Split(TExecute& run, TArguments v, bool ok) {
    run.ClearError();
    run.State().tokens.Assign(std::move(v[0].Text()), std::move(v[1].Text()));
    return WholeResult(static_cast<int64_t>(run.State().tokens.Size()), ok);
}

TFunctionResult PieceResult(std::optional<std::string_view> piece, bool ok) {
    return TextResult(piece.value_or(std::string_view()), ok);
}

// The three-argument form leaves error alone and reports nothing.
TFunctionResult ExtractFromText(TExecute&, TArguments v, bool ok) {
    auto number = v[2].Int();
    if (!number || *number < 1) return TextResult("", ok);
    return PieceResult(NthPiece(v[0].View(), v[1].View(), static_cast<size_t>(*number) - 1), ok);
}

TFunctionResult ExtractToken(TExecute& run, TArguments v, bool ok) {
    run.ClearError();
    auto number = v[0].Int();
    if (!number) return FailedResult(run, "extract: unexpected argument.", ok);
    if (*number < 1) return TextResult("", ok);
    return PieceResult(run.State().tokens.Piece(static_cast<size_t>(*number) - 1), ok);
}

}  // namespace

void BindTextFunctions(TDispatch& dispatch) {
    using F = TFunction;
    dispatch.BindValues(F::Tohex, Tohex);
    dispatch.BindValues(F::Len, Len);
    dispatch.BindValues(F::Asc, Asc);
    dispatch.BindValues(F::Pos, Pos);
    dispatch.BindValues(F::Ucase, Ucase);
    dispatch.BindValues(F::Lcase, Lcase);
    dispatch.BindValues(F::Mid, Mid);
    dispatch.BindValues(F::Del, Del);
    dispatch.BindValues(F::Chr, Chr);
    dispatch.BindValues(F::Trim, TrimFunction);
    dispatch.BindValues(F::Split, Split);
    dispatch.BindValues(F::Extract3, ExtractFromText);
    dispatch.BindValues(F::Extract1, ExtractToken);
}

}  // namespace korvane::engine
