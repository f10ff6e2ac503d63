#pragma once

#include <chrono>
#include <functional>
#include <new>
#include <string>
#include <vector>

#include "engine/builtins.h"
#include "engine/engine_host.h"
#include "engine/execute.h"
#include "engine/program_state.h"
#include "engine/run_control.h"
#include "engine/text_utils.h"
#include "engine/variable_store.h"

namespace korvane::engine::testing {

// A host that records the log, answers with a fixed clock and lets a test inject events
// between statements.
class TRecordingHost : public TEngineHost, public TRunHost {
public:
    std::vector<std::string> log;
    std::function<void()> onEvents;
    std::function<void()> onInput;  // called while inputbox waits for its answer
    std::vector<std::string> inputs;  // answers for inputbox, in order
    std::vector<std::string> watchSnapshots;
    std::vector<int> markedLines;
    std::vector<TCheckRecord> checks;
    std::vector<std::string> finalVariables;  // the store as the run ended (run control only)
    std::chrono::microseconds pumpInterval{};
    std::vector<TRunButtons> buttons;
    bool standalone = false;
    bool logFull = false;  // appending throws, as when memory runs out
    bool watchVisible = false;
    int pumps = 0;
    TLocalTime now{2026, 12, 8, 14, 3, 27};

    void ProcessEvents() override {
        ++pumps;
        if (onEvents) onEvents();
    }
    void AppendLog(std::string_view line) override {
        if (logFull) throw std::bad_alloc();
        log.emplace_back(line);
    }
    int LogLineCount() const override { return static_cast<int>(log.size()); }
    void ClearLog() override { log.clear(); }
    bool Standalone() const override { return standalone; }
    TLocalTime Now() const override { return now; }
    void EnterStepWait(const TVariableStore& variables) override {
        std::string snapshot;
        for (const auto& line : variables.Lines()) snapshot += line + "\n";
        watchSnapshots.push_back(snapshot);
    }
    void ShowWatch(bool visible) override { watchVisible = visible; }
    void MarkLine(int line) override { markedLines.push_back(line); }
    std::chrono::microseconds PumpInterval() const override { return pumpInterval; }
    std::string InputBox(std::string_view, std::string_view, std::string_view preset) override {
        if (onInput) onInput();
        if (inputs.empty()) return std::string(preset);
        std::string answer = inputs.front();
        inputs.erase(inputs.begin());
        return answer;
    }
    void SetButtons(TRunButtons state) override { buttons.push_back(state); }
    void RunEnding(const TExecute& run) override { finalVariables = run.Variables().Lines(); }
    void RecordCheck(const TCheckRecord& check) override { checks.push_back(check); }
};

// One engine with the engine's own rows bound, for running small scripts in tests.
struct TEngineFixture {
    TRecordingHost host;
    TProgramState state;
    TDispatch dispatch;

    TEngineFixture() { BindEngine(dispatch); }

    // Runs the script and returns the interpreter so the test can look at its variables.
    std::unique_ptr<TExecute> Run(std::string_view script) {
        auto run = std::make_unique<TExecute>(host, state, dispatch);
        run->RunProgram(SplitLines(script));
        return run;
    }
};

}  // namespace korvane::engine::testing
