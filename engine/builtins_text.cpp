// Text functions: tohex, len, asc, pos, ucase, lcase, mid, del, chr, trim, split, extract.
#include <cstdio>

#include "engine/builtins.h"
#include "engine/function_result.h"
#include "engine/number_text.h"

namespace korvane::engine {

namespace {

using TArgs = std::vector<std::string>;

// Evaluates the arguments and clears error, the common start of most rows.
bool Begin(TExecute& run, const TArgs& texts, TArgs& values) {
    const bool ok = run.EvaluateArguments(texts, values);
    run.ClearError();
    return ok;
}

TFunctionResult Tohex(TExecute& run, const TArgs& texts) {
    TArgs v;
    const bool ok = Begin(run, texts, v);
    std::string out;
    for (unsigned char c : v[0]) {
        char pair[4];
        std::snprintf(pair, sizeof pair, "%02X", c);
        if (!out.empty()) out.push_back(' ');
        out += pair;
    }
    return TextResult(out, ok);
}

TFunctionResult Len(TExecute& run, const TArgs& texts) {
    TArgs v;
    const bool ok = Begin(run, texts, v);
    return WholeResult(static_cast<int64_t>(v[0].size()), ok);
}

TFunctionResult Asc(TExecute& run, const TArgs& texts) {
    TArgs v;
    const bool ok = Begin(run, texts, v);
    if (v[0].empty()) return FailedResult(run, "asc: unexpected argument.", ok);
    return WholeResult(static_cast<unsigned char>(v[0][0]), ok);
}

TFunctionResult Pos(TExecute& run, const TArgs& texts) {
    TArgs v;
    const bool ok = Begin(run, texts, v);
    const size_t at = v[0].empty() ? std::string::npos : v[1].find(v[0]);
    return WholeResult(at == std::string::npos ? 0 : static_cast<int64_t>(at) + 1, ok);
}

TFunctionResult Ucase(TExecute& run, const TArgs& texts) {
    TArgs v;
    const bool ok = Begin(run, texts, v);
    return TextResult(ToUpperAscii(v[0]), ok);
}

TFunctionResult Lcase(TExecute& run, const TArgs& texts) {
    TArgs v;
    const bool ok = Begin(run, texts, v);
    return TextResult(ToLowerAscii(v[0]), ok);
}

TFunctionResult Mid(TExecute& run, const TArgs& texts) {
    TArgs v;
    const bool ok = Begin(run, texts, v);
    auto start = StrictInt(v[1]);
    auto count = StrictInt(v[2]);
    if (!start || !count) return FailedResult(run, "mid: unexpected argument.", ok);
    const int64_t from = *start < 1 ? 1 : *start;
    if (from > static_cast<int64_t>(v[0].size()) || *count <= 0) return TextResult("", ok);
    return TextResult(v[0].substr(static_cast<size_t>(from - 1), static_cast<size_t>(*count)), ok);
}

TFunctionResult Del(TExecute& run, const TArgs& texts) {
    TArgs v;
    const bool ok = Begin(run, texts, v);
    auto start = StrictInt(v[1]);
    auto count = StrictInt(v[2]);
    if (!start || !count) return FailedResult(run, "del: unexpected argument.", ok);
    std::string text = v[0];
    if (*start >= 1 && *start <= static_cast<int64_t>(text.size()) && *count > 0) {
        text.erase(static_cast<size_t>(*start - 1), static_cast<size_t>(*count));
    }
    return TextResult(text, ok);
}

TFunctionResult Chr(TExecute& run, const TArgs& texts) {
    TArgs v;
    const bool ok = Begin(run, texts, v);
    auto code = StrictInt(v[0]);
    if (!code) return FailedResult(run, "chr: unexpected argument.", ok);
    return TextResult(std::string(1, static_cast<char>(((*code % 256) + 256) % 256)), ok);
}

TFunctionResult TrimFunction(TExecute& run, const TArgs& texts) {
    TArgs v;
    const bool ok = Begin(run, texts, v);
    return TextResult(TrimView(v[0]), ok);
}

TFunctionResult Split(TExecute& run, const TArgs& texts) {
    TArgs v;
    const bool ok = Begin(run, texts, v);
    run.State().tokens = SplitText(v[0], v[1]);
    return TextResult(std::to_string(run.State().tokens.size()), ok);
}

TFunctionResult PieceOf(const std::vector<std::string>& pieces, int32_t number, bool ok) {
    if (number < 1 || static_cast<size_t>(number) > pieces.size()) return TextResult("", ok);
    return TextResult(pieces[static_cast<size_t>(number) - 1], ok);
}

// The three-argument form leaves error alone and reports nothing.
TFunctionResult ExtractFromText(TExecute& run, const TArgs& texts) {
    TArgs v;
    const bool ok = run.EvaluateArguments(texts, v);
    auto number = StrictInt(v[2]);
    if (!number) return TextResult("", ok);
    return PieceOf(SplitText(v[0], v[1]), *number, ok);
}

TFunctionResult ExtractToken(TExecute& run, const TArgs& texts) {
    TArgs v;
    const bool ok = Begin(run, texts, v);
    auto number = StrictInt(v[0]);
    if (!number) return FailedResult(run, "extract: unexpected argument.", ok);
    return PieceOf(run.State().tokens, *number, ok);
}

}  // namespace

std::vector<std::string> SplitText(std::string_view text, std::string_view separator) {
    std::vector<std::string> pieces;
    if (separator.empty()) {
        if (!text.empty()) pieces.emplace_back(text);
        return pieces;
    }
    for (;;) {
        const size_t at = text.find(separator);
        if (at == std::string_view::npos) break;
        pieces.emplace_back(text.substr(0, at));
        text.remove_prefix(at + separator.size());
    }
    if (!text.empty()) pieces.emplace_back(text);
    return pieces;
}

void BindTextFunctions(TDispatch& dispatch) {
    using F = TFunction;
    dispatch.Bind(F::Tohex, Tohex);
    dispatch.Bind(F::Len, Len);
    dispatch.Bind(F::Asc, Asc);
    dispatch.Bind(F::Pos, Pos);
    dispatch.Bind(F::Ucase, Ucase);
    dispatch.Bind(F::Lcase, Lcase);
    dispatch.Bind(F::Mid, Mid);
    dispatch.Bind(F::Del, Del);
    dispatch.Bind(F::Chr, Chr);
    dispatch.Bind(F::Trim, TrimFunction);
    dispatch.Bind(F::Split, Split);
    dispatch.Bind(F::Extract3, ExtractFromText);
    dispatch.Bind(F::Extract1, ExtractToken);
}

}  // namespace korvane::engine
