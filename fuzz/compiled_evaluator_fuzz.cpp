// Random programs run twice, once with each text compiled once and once with the rewriting
// evaluator. Both runs must end with the same variables in the same order, the same log lines,
// the same last error text, the same fatal error and the same answers taken from the input
// dialog; any difference aborts.
//
// The bytes pick the program's lines from a small grammar of assignments, log lines, if and
// for blocks and raw token soup, so odd shapes (unbalanced parentheses, quotes inside
// operands, unknown calls, exponents) come up as often as tidy ones.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "engine/errors.h"
#include "engine/statement_failures.h"
#include "recording_host.h"

namespace {

using namespace korvane::engine;

class TBytes {
public:
    TBytes(const uint8_t* data, size_t size) : m_data(data), m_size(size) {}
    uint8_t Next() { return m_at < m_size ? m_data[m_at++] : 0; }
    size_t Pick(size_t count) { return Next() % count; }
    bool Done() const { return m_at >= m_size; }

private:
    const uint8_t* m_data;
    size_t m_size;
    size_t m_at = 0;
};

constexpr const char* kNumbers[] = {"0", "1", "007", "3", "1e3", "1E-7", "2.5e+2", "1.50",
                                    ".5", "1e", "1.", "255", "1E20", "0.1", "99999999999999999",
                                    "999999999999999", "1E15", "0.5", "4.25", "2147483647"};
constexpr const char* kLiteralBits[] = {"a", "B", " ", "(", ")", ",", "+", "-", "&", "*",
                                        "==", "<<", "||", "1", "e-3", "x(", "%", "\t", "v1"};
constexpr const char* kVariables[] = {"v0", "v1", "V2", "v3", "error", "s", "x(1", "v2", "ERROR"};
constexpr const char* kOperators[] = {"&", "+", "-", "*", "/", "%", "\\", "^"};
constexpr const char* kComparisons[] = {"==", ">>", "<<", ">=", "<=", "<>"};

struct TCallShape {
    const char* name;
    int arguments;
};
// Engine functions whose results depend only on the script, plus names and counts no row
// takes. Nothing that multiplies a text's size: in a loop it only makes the run slow.
constexpr TCallShape kCalls[] = {
    {"len", 1},   {"mid", 3},     {"pos", 2},    {"ucase", 1}, {"lcase", 1},  {"chr", 1},
    {"asc", 1},   {"trim", 1},    {"del", 3},   {"extract", 3}, {"split", 2},
    {"pow", 2},   {"random", 1},  {"geterror", 0}, {"get_bit", 2}, {"time", 0}, {"date", 0},
    {"inputbox", 3}, {"nosuch", 1}, {"len", 2},  {"extract", 1},
};
constexpr const char* kSoup[] = {"(", ")", "\"", ",", "+", "-", "*", "/", "&", "%", "==",
                                 ">>", "&&", "||", " ", "e", "E", ".", "1", "0", "v1", "v2",
                                 "len(", "mid(", "pos(", "ucase(", "chr(", "q(", "1e-", "2E+",
                                 "\"a(b\"", "\"()\"", "(\"v1\")", "="};

template <typename T, size_t N>
const T& PickFrom(TBytes& in, const T (&items)[N]) {
    return items[in.Pick(N)];
}

class TProgram {
public:
    explicit TProgram(TBytes& in) : m_in(in) {}

    std::string Blank() { return m_in.Pick(4) == 0 ? " " : ""; }

    std::string Expression(int depth) {
        switch (m_in.Pick(depth >= 3 ? 3 : 7)) {
            case 0: return PickFrom(m_in, kNumbers);
            case 1: {
                std::string text = "\"";
                for (size_t n = m_in.Pick(5); n > 0; --n) text += PickFrom(m_in, kLiteralBits);
                return text + "\"";
            }
            case 2: return PickFrom(m_in, kVariables);
            case 3: case 4: {
                const TCallShape& call = PickFrom(m_in, kCalls);
                std::string text = std::string(call.name) + Blank() + "(";
                for (int i = 0; i < call.arguments; ++i) {
                    if (i > 0) text += "," + Blank();
                    text += Expression(depth + 1);
                }
                return text + ")";
            }
            case 5: return "(" + Expression(depth + 1) + ")";
            default:
                return Expression(depth + 1) + Blank() + PickFrom(m_in, kOperators) + Blank() +
                       Expression(depth + 1);
        }
    }

    std::string Condition() {
        std::string text;
        for (size_t n = 1 + m_in.Pick(3); n > 0; --n) {
            if (!text.empty()) text += m_in.Pick(2) ? "&&" : "||";
            // Now and then a group that compares nothing.
            std::string comparison =
                m_in.Pick(6) == 0
                    ? "(" + Expression(1) + ")"
                    : "(" + Expression(1) + Blank() + PickFrom(m_in, kComparisons) + Blank() +
                          Expression(1) + ")";
            text += m_in.Pick(4) == 0 ? "(" + comparison + ")" : comparison;
        }
        return text;
    }

    std::string Soup() {
        std::string text;
        for (size_t n = 1 + m_in.Pick(12); n > 0; --n) text += PickFrom(m_in, kSoup);
        return text;
    }

    std::string Assignment() {
        return std::string(PickFrom(m_in, kVariables)) + Blank() + "=" + Blank() + Expression(0);
    }

    void Line(std::string& script) {
        switch (m_in.Pick(8)) {
            case 0: script += "writelog(" + Expression(0) + ")\n"; break;
            case 1:
                script += "if " + Condition() + "\n" + Assignment() + "\nelse\n" + Assignment() +
                          "\nendif\n";
                break;
            case 2:
                script += "for (v3, 1, " + std::to_string(1 + m_in.Pick(3)) + ", 1)\n" +
                          Assignment() + "\n" + Assignment() + "\nnext\n";
                break;
            case 3: script += Soup() + "\n"; break;
            case 4: script += std::string(PickFrom(m_in, kVariables)) + " = " + Soup() + "\n"; break;
            case 5: script += Expression(0) + "\n"; break;
            default: script += Assignment() + "\n";
        }
    }

private:
    TBytes& m_in;
};

struct TTrace {
    std::vector<std::string> variables;
    std::vector<std::string> log;
    std::string lastError;
    std::string fatal;
    std::string failures;
    size_t answersLeft = 0;
};

TTrace RunWith(TEvaluator evaluator, const std::string& script) {
    testing::TEngineFixture fixture;
    fixture.dispatch.Bind(TStatement::Writelog, [](TExecute& run, const std::string& line, int&) {
        std::string name;
        std::vector<std::string> arguments;
        SplitCall(line, name, arguments);
        if (name != "writelog" || arguments.size() != 1) return;
        const TValue value = run.EvaluateExpression(arguments[0]);
        run.ClearError();
        run.LogLine(value.ok ? value.text : "failed: " + value.text);
    });
    fixture.host.inputs = {"(", "a\"b", "1e-3", "x)(y"};
    TTrace trace;
    TExecute run(fixture.host, fixture.state, fixture.dispatch);
    run.UseEvaluator(evaluator);
    TStatementFailures failures;
    run.RecordFailures(&failures);
    try {
        run.RunProgram(SplitLines(script));
    } catch (const EFatalError& error) {
        trace.fatal = error.what();
    }
    trace.variables = run.Variables().Lines();
    trace.log = fixture.host.log;
    trace.lastError = run.LastErrorText();
    trace.answersLeft = fixture.host.inputs.size();
    trace.failures = FailureReport(failures, "script");
    return trace;
}

[[noreturn]] void Differ(const std::string& script, const std::string& what,
                         const std::string& compiled, const std::string& rewritten) {
    std::fprintf(stderr, "evaluators differ in %s\ncompiled:  %s\nrewriting: %s\nscript:\n%s\n",
                 what.c_str(), compiled.c_str(), rewritten.c_str(), script.c_str());
    std::abort();
}

std::string Joined(const std::vector<std::string>& lines) {
    std::string text;
    for (const std::string& line : lines) text += line + " | ";
    return text;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    TBytes in(data, size);
    TProgram program(in);
    std::string script;
    for (size_t lines = 1 + in.Pick(8); lines > 0 && !in.Done(); --lines) program.Line(script);

    const TTrace compiled = RunWith(TEvaluator::Compiled, script);
    const TTrace rewritten = RunWith(TEvaluator::Rewriting, script);
    if (compiled.variables != rewritten.variables) {
        Differ(script, "variables", Joined(compiled.variables), Joined(rewritten.variables));
    }
    if (compiled.log != rewritten.log) Differ(script, "log", Joined(compiled.log), Joined(rewritten.log));
    if (compiled.lastError != rewritten.lastError) {
        Differ(script, "last error", compiled.lastError, rewritten.lastError);
    }
    if (compiled.failures != rewritten.failures) {
        Differ(script, "failed lines", compiled.failures, rewritten.failures);
    }
    if (compiled.fatal != rewritten.fatal) Differ(script, "fatal error", compiled.fatal, rewritten.fatal);
    if (compiled.answersLeft != rewritten.answersLeft) {
        Differ(script, "answers taken", std::to_string(compiled.answersLeft),
               std::to_string(rewritten.answersLeft));
    }
    return 0;
}
