// Random bytes arrive as inputbox answers inside random expression shapes: nested text
// functions, concatenation, numbers taken from the data, stored values passed on again, and
// comparisons of stored values in conditions. A plain model computes what every variable must
// hold and which functions run; any difference aborts. Whatever the answers hold, they never
// run, never split and never get lost.
//
// Input: two bytes give the length of the shape part; the shape part picks statements and
// shapes; the rest is the answers' bytes, handed out in the order the calls happen.
#include <array>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <string>
#include <vector>

#include "engine/errors.h"
#include "recording_host.h"

namespace {

using namespace korvane::engine;

constexpr int kMaxDepth = 3;
constexpr int kMaxStatements = 6;
constexpr size_t kVariableCount = 4;

class TInput {
public:
    TInput(const uint8_t* data, size_t size) {
        size_t shapeSize = 0;
        if (size >= 2) {
            shapeSize = (data[0] | (size_t{data[1]} << 8)) % (size - 1);
            data += 2;
            size -= 2;
        }
        m_shape.assign(data, data + shapeSize);
        m_answers.assign(reinterpret_cast<const char*>(data) + shapeSize, size - shapeSize);
    }

    // The next shape byte; 0 once they run out, which always picks the simplest shape.
    uint8_t Byte() { return m_at < m_shape.size() ? m_shape[m_at++] : 0; }
    bool Bit() {
        if (m_bitsLeft == 0) {
            m_bits = Byte();
            m_bitsLeft = 8;
        }
        --m_bitsLeft;
        return (m_bits >> m_bitsLeft) & 1;
    }
    // The next answer: a shape byte gives its length, 255 meaning all the bytes left.
    std::string Answer() {
        const size_t wanted = Byte();
        const size_t left = m_answers.size() - m_answerAt;
        const size_t take = wanted == 255 || wanted > left ? left : wanted;
        std::string answer = m_answers.substr(m_answerAt, take);
        m_answerAt += take;
        return answer;
    }

private:
    std::vector<uint8_t> m_shape;
    std::string m_answers;
    size_t m_at = 0;
    size_t m_answerAt = 0;
    uint8_t m_bits = 0;
    int m_bitsLeft = 0;
};

// What the script must do: variable values ("" = not stored), calls per function, answers.
struct TModel {
    std::map<std::string, std::string> variables = {{"error", "0"}};
    std::array<int, static_cast<size_t>(TFunction::Count)> calls{};
    std::vector<std::string> answers;

    std::string Get(const std::string& name) const {
        auto it = variables.find(name);
        return it == variables.end() ? std::string() : it->second;
    }
    void Set(const std::string& name, const std::string& value) {
        if (value.empty()) {
            variables.erase(name);
        } else {
            variables[name] = value;
        }
    }
    // A function ran: error as it leaves it.
    void Called(TFunction f, bool failed = false) {
        ++calls[static_cast<size_t>(f)];
        variables["error"] = failed ? "1" : "0";
    }
};

struct TText {
    std::string script;
    std::string value;
};

struct TNumber {
    std::string script;
    int64_t value = 0;
    bool sum = false;  // a chain of "+": needs parentheses inside another flat expression
};

// Script literals: no quote, parenthesis or comparison/connective character, but the marker
// byte and other high bytes that script text may hold.
constexpr char kLiteralBytes[] = "abcXYZ0189 .,:;_-+*/!?#'\x7F\x80\x81\xFF";

class TGenerator {
public:
    TGenerator(TInput& input, TModel& model) : m_in(input), m_model(model) {}

    std::string Blank() { return m_in.Bit() ? " " : ""; }

    std::string Literal() {
        std::string text;
        for (int n = m_in.Byte() % 6; n > 0; --n) {
            text.push_back(kLiteralBytes[m_in.Byte() % (sizeof kLiteralBytes - 1)]);
        }
        return text;
    }

    std::string VariableName() { return "v" + std::to_string(m_in.Byte() % kVariableCount); }

    TText Text(int depth) {
        const int shapes = depth >= kMaxDepth ? 3 : 12;
        switch (m_in.Byte() % shapes) {
            case 0: {
                std::string answer = m_in.Answer();
                m_model.answers.push_back(answer);
                m_model.Called(TFunction::Inputbox);
                return {"inputbox(" + Blank() + "\"t\"," + Blank() + "\"p\"," + Blank() + "\"\")",
                        answer};
            }
            case 1: {
                std::string name = VariableName();
                return {name, m_model.Get(name)};
            }
            case 2: {
                std::string literal = Literal();
                return {"\"" + literal + "\"", literal};
            }
            case 3: {
                TText left = Text(depth + 1);
                TText right = Text(depth + 1);
                return {left.script + Blank() + "&" + Blank() + right.script,
                        left.value + right.value};
            }
            case 4: return Mid(depth);
            case 5: return Del(depth);
            case 6: {
                TText inner = Text(depth + 1);
                m_model.Called(TFunction::Trim);
                return {"trim(" + inner.script + ")", std::string(TrimView(inner.value))};
            }
            case 7: {
                const bool upper = m_in.Bit();
                TText inner = Text(depth + 1);
                m_model.Called(upper ? TFunction::Ucase : TFunction::Lcase);
                return {(upper ? "ucase(" : "lcase(") + inner.script + Blank() + ")",
                        upper ? ToUpperAscii(inner.value) : ToLowerAscii(inner.value)};
            }
            case 8: {
                TText inner = Text(depth + 1);
                m_model.Called(TFunction::Tohex);
                std::string hex;
                for (unsigned char c : inner.value) {
                    char pair[4];
                    std::snprintf(pair, sizeof pair, "%02X", c);
                    if (!hex.empty()) hex.push_back(' ');
                    hex += pair;
                }
                return {"tohex(" + inner.script + ")", hex};
            }
            case 9: return Extract(depth);
            case 10: {
                TText inner = Text(depth + 1);
                const bool empty = inner.value.empty();
                m_model.Called(TFunction::Asc, empty);
                m_model.Called(TFunction::Chr, empty);
                return {"chr(" + Blank() + "asc(" + inner.script + "))", inner.value.substr(0, 1)};
            }
            default: {
                TNumber number = Number(depth + 1);
                const std::string operand = number.sum ? "(" + number.script + ")" : number.script;
                return {"\"\"" + Blank() + "&" + Blank() + operand, std::to_string(number.value)};
            }
        }
    }

    TNumber Number(int depth) {
        const int shapes = depth >= kMaxDepth ? 1 : 4;
        switch (m_in.Byte() % shapes) {
            case 0: {
                const int value = m_in.Byte();
                return {std::to_string(value), value};
            }
            case 1: {
                TText inner = Text(depth + 1);
                m_model.Called(TFunction::Len);
                return {"len(" + Blank() + inner.script + ")",
                        static_cast<int64_t>(inner.value.size())};
            }
            case 2: {
                TText needle = Text(depth + 1);
                TText haystack = Text(depth + 1);
                m_model.Called(TFunction::Pos);
                const size_t at =
                    needle.value.empty() ? std::string::npos : haystack.value.find(needle.value);
                return {"pos(" + needle.script + "," + Blank() + haystack.script + ")",
                        at == std::string::npos ? 0 : static_cast<int64_t>(at) + 1};
            }
            default: {
                TNumber left = Number(depth + 1);
                TNumber right = Number(depth + 1);
                return {left.script + Blank() + "+" + Blank() + right.script,
                        left.value + right.value, true};
            }
        }
    }

    // "if (...)" with one to three comparisons of stored values and literals, all joined by
    // the same connective; sets t to yes or no.
    std::vector<std::string> Condition() {
        const bool useAnd = m_in.Bit();
        const int count = 1 + m_in.Byte() % 3;
        std::string condition;
        bool truth = false;
        for (int i = 0; i < count; ++i) {
            TText left = Operand();
            TText right = Operand();
            const bool equal = m_in.Bit();
            const bool result = (left.value == right.value) == equal;
            if (i > 0) condition += useAnd ? "&&" : "||";
            condition += "(" + Blank() + left.script + Blank() + (equal ? "==" : "<>") + Blank() +
                         right.script + Blank() + ")";
            truth = i == 0 ? result : (useAnd ? truth && result : truth || result);
        }
        m_model.Set("t", truth ? "yes" : "no");
        return {"if " + condition, "t = \"yes\"", "else", "t = \"no\"", "endif"};
    }

private:
    TText Operand() {
        if (m_in.Bit()) {
            std::string name = VariableName();
            return {name, m_model.Get(name)};
        }
        std::string literal = Literal();
        return {"\"" + literal + "\"", literal};
    }

    TText Mid(int depth) {
        TText inner = Text(depth + 1);
        TNumber start = Number(depth + 1);
        TNumber count = Number(depth + 1);
        m_model.Called(TFunction::Mid);
        const int64_t from = start.value < 1 ? 1 : start.value;
        std::string value;
        if (from <= static_cast<int64_t>(inner.value.size()) && count.value > 0) {
            value = inner.value.substr(static_cast<size_t>(from - 1),
                                       static_cast<size_t>(count.value));
        }
        return {"mid(" + inner.script + "," + Blank() + start.script + "," + Blank() +
                    count.script + ")",
                value};
    }

    TText Del(int depth) {
        TText inner = Text(depth + 1);
        TNumber start = Number(depth + 1);
        TNumber count = Number(depth + 1);
        m_model.Called(TFunction::Del);
        std::string value = inner.value;
        if (start.value >= 1 && start.value <= static_cast<int64_t>(value.size()) &&
            count.value > 0) {
            value.erase(static_cast<size_t>(start.value - 1), static_cast<size_t>(count.value));
        }
        return {"del(" + inner.script + "," + start.script + "," + count.script + ")", value};
    }

    // The three-argument extract leaves error as it was.
    TText Extract(int depth) {
        TText inner = Text(depth + 1);
        const std::string separator = Literal();
        TNumber number = Number(depth + 1);
        ++m_model.calls[static_cast<size_t>(TFunction::Extract3)];
        std::vector<std::string> pieces;
        std::string rest = inner.value;
        if (!separator.empty()) {
            for (size_t at; (at = rest.find(separator)) != std::string::npos;) {
                pieces.push_back(rest.substr(0, at));
                rest.erase(0, at + separator.size());
            }
        }
        if (!rest.empty()) pieces.push_back(rest);
        std::string value;
        if (number.value >= 1 && static_cast<size_t>(number.value) <= pieces.size()) {
            value = pieces[static_cast<size_t>(number.value) - 1];
        }
        return {"extract(" + inner.script + ",\"" + separator + "\"," + number.script + ")",
                value};
    }

    TInput& m_in;
    TModel& m_model;
};

[[noreturn]] void Violation(const std::string& script, const std::string& what) {
    std::fprintf(stderr, "written-back value violation: %s\nscript:\n", what.c_str());
    for (unsigned char c : script) {
        if (c == '\n' || (c >= 32 && c < 127)) {
            std::fputc(c, stderr);
        } else {
            std::fprintf(stderr, "\\x%02X", c);
        }
    }
    std::fputc('\n', stderr);
    std::abort();
}

std::string Escaped(const std::string& text) {
    std::string out;
    for (unsigned char c : text) {
        char code[8];
        std::snprintf(code, sizeof code, c >= 32 && c < 127 ? "%c" : "\\x%02X", c);
        out += code;
    }
    return out;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    TInput input(data, size);
    TModel model;
    TGenerator generate(input, model);
    std::string script;
    const int statements = 1 + input.Byte() % kMaxStatements;
    for (int i = 0; i < statements; ++i) {
        if (input.Byte() % 4 == 3) {
            for (const std::string& line : generate.Condition()) script += line + "\n";
            continue;
        }
        const std::string name = generate.VariableName();
        std::string expression;
        std::string value;
        if (input.Bit()) {
            TNumber number = generate.Number(0);
            expression = number.script;
            value = std::to_string(number.value);
        } else {
            TText text = generate.Text(0);
            expression = text.script;
            value = text.value;
        }
        script += name + " =" + generate.Blank() + expression + "\n";
        model.Set(name, value);
    }

    testing::TEngineFixture fixture;
    std::array<int, static_cast<size_t>(TFunction::Count)> calls{};
    for (const TFunctionRow& row : FunctionTable()) {
        TFunctionHandler handler = fixture.dispatch.Handler(row.id);
        const size_t index = static_cast<size_t>(row.id);
        if (!handler) {
            fixture.dispatch.Bind(row.id, [&script, row](TExecute&, const std::vector<std::string>&)
                                              -> TFunctionResult {
                Violation(script, "unexpected call of " + std::string(row.name));
            });
            continue;
        }
        fixture.dispatch.Bind(row.id, [&calls, index, handler](TExecute& run,
                                                               const std::vector<std::string>& a) {
            ++calls[index];
            return handler(run, a);
        });
    }
    for (const TStatementRow& row : StatementTable()) {
        if (fixture.dispatch.Handler(row.id)) continue;
        fixture.dispatch.Bind(row.id, [&script, row](TExecute&, const std::string&, int&) {
            Violation(script, "unexpected statement " + std::string(row.text));
        });
    }
    fixture.host.inputs = model.answers;
    const uint32_t seed = fixture.state.randomSeed;

    auto run = fixture.Run(script);

    for (const auto& [name, expected] : model.variables) {
        const std::string* stored = run->Variables().Find(name);
        if (!stored || *stored != expected) {
            Violation(script, name + " holds \"" + Escaped(stored ? *stored : "<none>") +
                                  "\", expected \"" + Escaped(expected) + "\"");
        }
    }
    if (run->Variables().Size() != model.variables.size()) {
        Violation(script, "variables stored: " + std::to_string(run->Variables().Size()) +
                              ", expected " + std::to_string(model.variables.size()));
    }
    for (const TFunctionRow& row : FunctionTable()) {
        const size_t index = static_cast<size_t>(row.id);
        if (calls[index] != model.calls[index]) {
            Violation(script, std::string(row.name) + " ran " + std::to_string(calls[index]) +
                                  " times, expected " + std::to_string(model.calls[index]));
        }
    }
    if (!fixture.host.inputs.empty()) Violation(script, "answers left over");
    if (!fixture.host.log.empty()) Violation(script, "the log changed");
    if (fixture.state.randomSeed != seed || fixture.state.tokens.Size() != 0) {
        Violation(script, "program state changed");
    }
    return 0;
}
