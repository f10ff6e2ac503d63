#pragma once

#include <chrono>
#include <string>
#include <string_view>

namespace korvane::engine {

class TExecute;
class TVariableStore;

// One `check` of a measurement against its limits, as the script's reports show it. The texts
// are the evaluated arguments; an empty limit is no limit on that side.
struct TCheckRecord {
    std::string name;
    std::string value;
    std::string low;
    std::string high;
    std::string unit;
    bool passed = false;
    int line = 0;  // editor line, from 1
};

struct TLocalTime {
    int year = 0;
    int month = 0;
    int day = 0;
    int hour = 0;
    int minute = 0;
    int second = 0;
};

// The rack controls as the engine sees them: assignment and operand lookup try a control of
// that name first. Implemented by the racks subsystem.
class TControlBinding {
public:
    virtual ~TControlBinding() = default;
    virtual bool HasControls() const = 0;
    virtual bool WindowVisible() const = 0;
    // Writes the value of `expression` to a writable control called `name`; false when there
    // is no such control (the assignment then goes to a variable).
    virtual bool Write(TExecute& run, std::string_view name, std::string_view expression) = 0;
    // Reads a readable control called `name`; false when there is none.
    virtual bool Read(TExecute& run, std::string_view name, std::string& value) = 0;
};

// What a running script needs from its surroundings: the event loop, the log pane, the clock,
// the debugging windows and the input dialog. The workbench, the headless runner and the
// tests each provide one.
class TEngineHost {
public:
    virtual ~TEngineHost() = default;
    virtual void ProcessEvents() = 0;
    virtual void AppendLog(std::string_view line) = 0;
    virtual int LogLineCount() const = 0;
    virtual void ClearLog() = 0;
    virtual bool Standalone() const = 0;
    virtual TLocalTime Now() const = 0;
    // Called before every log line. By default a pane of more than 500 lines is cleared; a
    // host whose pane keeps every line and bounds itself by memory leaves it alone.
    virtual void MakeRoomInLog() {
        if (LogLineCount() > kClearedLogLines) ClearLog();
    }
    static constexpr int kClearedLogLines = 500;

    // Between statements the engine pumps events at most this often (always in step mode and
    // while paused); zero pumps before every statement.
    virtual std::chrono::microseconds PumpInterval() const { return {}; }
    // Called while paused or waiting for a step, between pumps, so a busy wait does not spin.
    virtual void IdleWait() {}

    // Step mode: before each statement the Watch window shows the store and Run steps.
    virtual void EnterStepWait(const TVariableStore& /*variables*/) {}
    virtual void ShowWatch(bool /*visible*/) {}
    // Marks an editor line (counting from 0) as the current one.
    virtual void MarkLine(int /*line*/) {}
    // Before each statement, with its editor line (from 0): a debugger pauses the run here at
    // a breakpoint (through the run control), and the engine then waits as for Pause.
    virtual void BeforeStatement(int /*line*/) {}

    // Modal input dialog; gives the preset text when the user cancels.
    virtual std::string InputBox(std::string_view /*caption*/, std::string_view /*prompt*/,
                                 std::string_view preset) {
        return std::string(preset);
    }

    virtual TControlBinding* Binding() { return nullptr; }

    // Each check as it is made, after its log line.
    virtual void RecordCheck(const TCheckRecord& /*check*/) {}
};

// "14:03:27": the log's and time()'s time of day.
std::string FormatTimeOfDay(const TLocalTime& time);

}  // namespace korvane::engine
