// Per-statement cost of the interpreter itself: a no-op host, no event pump, no log.
// Usage: engine_bench [STATEMENTS]
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "engine/builtins.h"
#include "engine/execute.h"

namespace {

class TNullHost : public korvane::engine::TEngineHost {
public:
    void ProcessEvents() override {}
    void AppendLog(std::string_view) override {}
    int LogLineCount() const override { return 0; }
    void ClearLog() override {}
    bool Standalone() const override { return false; }
    korvane::engine::TLocalTime Now() const override { return {}; }
};

double SecondsFor(const std::vector<std::string>& lines) {
    TNullHost host;
    korvane::engine::TProgramState state;
    korvane::engine::TDispatch dispatch;
    korvane::engine::BindEngine(dispatch);
    korvane::engine::TExecute run(host, state, dispatch);
    const auto start = std::chrono::steady_clock::now();
    run.RunProgram(lines);
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

}  // namespace

int main(int argc, char** argv) {
    const long count = argc > 1 ? std::atol(argv[1]) : 200000;
    const std::vector<std::string> straight(static_cast<size_t>(count), "x = x + 1");
    const double a = SecondsFor(straight);
    std::printf("straight-line  %ld statements  %.3f s  %.3f us/statement\n", count, a,
                a * 1e6 / static_cast<double>(count));
    const std::vector<std::string> loop = {"for (i, 1, " + std::to_string(count) + ", 1)",
                                           "x = x + 1", "next"};
    const double b = SecondsFor(loop);
    std::printf("for loop       %ld iterations  %.3f s  %.3f us/iteration\n", count, b,
                b * 1e6 / static_cast<double>(count));
    // Function results and a group written back into the expression each iteration.
    const std::vector<std::string> calls = {"s = \"abcdef\"", "x = 2",
                                            "for (i, 1, " + std::to_string(count) + ", 1)",
                                            "y = mid(s, 1, len(s)) & (x + 1)", "next"};
    const double c = SecondsFor(calls);
    std::printf("calls in loop  %ld iterations  %.3f s  %.3f us/iteration\n", count, c,
                c * 1e6 / static_cast<double>(count));
    return 0;
}
