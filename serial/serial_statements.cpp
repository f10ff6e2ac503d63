// The serial statements. Each one splits its own line, does nothing at all unless the name
// and the argument count are its own, clears error, refreshes the port table and then acts,
// turning any failure into its own message.
#include <QGuiApplication>
#include <QScreen>
#include <algorithm>
#include <exception>
#include <stdexcept>
#include <string>
#include <vector>

#include "engine/execute.h"
#include "engine/number_text.h"
#include "engine/text_utils.h"
#include "serial/line_settings_text.h"
#include "serial/port_table.h"
#include "serial/serial_commands.h"

namespace korvane::serial {

namespace {

using engine::TExecute;
using engine::TStatement;
using TArgs = std::vector<std::string>;

// Beyond this a dump line would be mostly padding, and its size would follow the script.
constexpr int kMaxCharsPerLine = 1024;

// Splits and checks the line, evaluates the arguments and clears error; false when the line
// is not this command's (it is then left alone).
bool Accept(TExecute& run, const std::string& line, std::string_view name, std::size_t count,
            TArgs& values) {
    std::string called;
    TArgs texts;
    engine::SplitCall(line, called, texts);
    if (called != name || texts.size() != count) return false;
    run.EvaluateArguments(texts, values);
    run.ClearError();
    return true;
}

// The terminal a lenient port name leads to; null for an empty slot. Throws for a name
// without a number, as every command reports that as its own failure.
TTerminal* LenientTerminal(const TPortTable& table, const std::string& port) {
    const std::optional<int> number = TPortTable::PortNumber(port);
    if (!number) throw std::invalid_argument("no port number in " + port);
    return table.Terminal(*number);
}

int32_t WholeNumber(const std::string& text) {
    const std::optional<int32_t> value = engine::StrictInt(text);
    if (!value) throw std::invalid_argument("not a whole number: " + text);
    return *value;
}

bool ArgumentsValid(const TArgs& v) {
    const auto baud = engine::StrictInt(v[1]);
    const auto dataBits = engine::StrictInt(v[2]);
    return baud && dataBits && PossibleLineNumbers(*baud, *dataBits) && ParityFromLetter(v[3]) &&
           StopBitsFromText(v[4]);
}

// Enumeration lists ports without opening them (opening raises DTR and resets many boards),
// so a port another program holds is found only when it is opened.
void ReportNotAvailable(TExecute& run, const std::string& port) {
    run.LogLine("Port already open or not available: " + port);
    run.SetError("openport: port already open or not available.");
}

void ReportOpened(TExecute& run, const TPortTable& table, const std::string& port) {
    const std::optional<int> number = TPortTable::PortNumber(port);
    TTerminal* terminal = number ? table.Terminal(*number) : nullptr;
    if (terminal && terminal->OpenFoundPortInUse()) {
        ReportNotAvailable(run, port);
        return;
    }
    if (!terminal || !terminal->Connected()) {
        run.LogLine("Cannot open port: " + port);
        if (terminal && !terminal->OpenAdvice().empty()) run.LogLine(terminal->OpenAdvice());
        run.SetError("openport: cannot open port.");
        return;
    }
    run.LogLine("Port opened: " + port);
    // A pseudo-terminal port is played by another program, which has to know where it is.
    if (const std::string peer = terminal->PeerPath(); !peer.empty()) {
        run.LogLine("Pseudo-terminal of " + port + ": " + peer);
    }
}

void Openport(TExecute& run, const std::string& line, TPortTable& table) {
    TArgs v;
    if (!Accept(run, line, "openport", 5, v)) return;
    table.RefreshPorts();
    const std::string& port = v[0];
    const auto& available = table.AvailablePorts();
    if (std::none_of(available.begin(), available.end(), [&](const std::string& name) {
            return engine::EqualsIgnoreCase(name, port);
        })) {
        ReportNotAvailable(run, port);
        return;
    }
    if (!ArgumentsValid(v)) {
        run.LogLine("Cannot open port: " + port);
        run.SetError("openport: unexpected argument.");
        return;
    }
    // A network instrument may take seconds to answer; the run stays stoppable meanwhile.
    table.OpenPort(v[0], v[1], v[2], v[3], v[4], [&run] {
        run.Host().ProcessEvents();
        return !run.StopRequested();
    });
    run.AfterBlocking();
    ReportOpened(run, table, port);
}

void Closeport(TExecute& run, const std::string& line, TPortTable& table) {
    TArgs v;
    if (!Accept(run, line, "closeport", 1, v)) return;
    table.DropStaleTerminals();
    try {
        if (TTerminal* terminal = LenientTerminal(table, v[0])) {
            const int number = *TPortTable::PortNumber(v[0]);
            ReportDroppedBytes(run, number, *terminal);
            table.Discard(number);
            run.LogLine("Port closed: " + v[0]);
        } else {
            run.LogLine("Port is not open: " + v[0]);
        }
    } catch (const std::exception&) {
        run.SetError("closeport: error closing port.");
    }
}

struct TLineCommand {
    std::string_view name;
    bool dtr;  // else RTS
    bool on;
    std::string_view logged;
    std::string_view error;
};

void LineCommand(TExecute& run, const std::string& line, TPortTable& table,
                 const TLineCommand& command) {
    TArgs v;
    if (!Accept(run, line, command.name, 1, v)) return;
    table.DropStaleTerminals();
    try {
        TTerminal* terminal = LenientTerminal(table, v[0]);
        if (!terminal) return;
        const bool done = command.dtr ? terminal->SetDTR(command.on) : terminal->SetRTS(command.on);
        if (done) run.LogLine(std::string(command.logged) + v[0]);
    } catch (const std::exception&) {
        run.SetError(command.error);
    }
}

void Flush(TExecute& run, const std::string& line, TPortTable& table) {
    std::string called;
    TArgs texts;
    engine::SplitCall(line, called, texts);
    if (called != "flush" || (texts.size() != 1 && texts.size() != 2)) return;
    TArgs v;
    run.EvaluateArguments(texts, v);
    run.ClearError();
    table.DropStaleTerminals();
    try {
        const std::optional<int> number = StrictPortNumber(v[0]);
        if (!number) throw std::invalid_argument("not a port: " + v[0]);
        TTerminal* terminal = table.Terminal(*number);
        if (!terminal) {
            run.SetError("flush: Serial port not open.");
            return;
        }
        ReportDroppedBytes(run, *number, *terminal);
        if (v.size() == 1) {
            terminal->ClearBuffer();
        } else {
            terminal->DeleteFromBuffer(WholeNumber(v[1]));
        }
    } catch (const std::exception&) {
        run.SetError("flush: Serial port not valid.");
    }
}

void Send(TExecute& run, const std::string& line, TPortTable& table) {
    TArgs v;
    if (!Accept(run, line, "send", 2, v)) return;
    if (v[1].empty()) return;
    table.DropStaleTerminals();
    try {
        const std::optional<int> number = StrictPortNumber(v[0]);
        if (!number) throw std::invalid_argument("not a port: " + v[0]);
        TTerminal* terminal = table.Terminal(*number);
        if (!terminal) {
            run.SetError("send: Serial port not open.");
        } else if (!terminal->Send(v[1])) {
            run.SetError(terminal->Lost() ? LostMessage(*number) : "send: error writing to port.");
        }
    } catch (const std::exception&) {
        run.SetError("send: Serial port not valid.");
    }
}

// Window sizes stay within the screen, so a script cannot ask for a gigantic window.
int ScreenBound(int extent, bool horizontal) {
    const QScreen* screen = QGuiApplication::primaryScreen();
    const QSize room = screen ? screen->availableVirtualSize() : QSize(4096, 4096);
    return std::clamp(extent, 0, horizontal ? room.width() : room.height());
}

// The steps in their order: whatever comes before a failing conversion stays done.
void ShowTerminal(TTerminal& terminal, const TPortTable& table, const TArgs& v) {
    TTerminalWindow& window = terminal.Window();
    if (window.isVisible()) return;
    window.MakeSizeable();
    window.resize(ScreenBound(WholeNumber(v[1]), true), window.height());
    window.resize(window.width(), ScreenBound(WholeNumber(v[2]), false));
    const int charsPerLine = WholeNumber(v[3]);
    if (charsPerLine < 1 || charsPerLine > kMaxCharsPerLine) {
        throw std::out_of_range("characters per line " + v[3]);
    }
    terminal.SetCharsPerLine(charsPerLine);
    // Too narrow a width would hide the end of every dump line behind the scroll bar.
    const int dumpWidth = ScreenBound(window.DumpWidth(charsPerLine), true);
    if (window.width() < dumpWidth) window.resize(dumpWidth, window.height());
    window.move(table.ShownPosition(window.frameGeometry().size()));
    window.show();
}

void Showterm(TExecute& run, const std::string& line, TPortTable& table) {
    TArgs v;
    if (!Accept(run, line, "showterm", 4, v)) return;
    table.DropStaleTerminals();
    try {
        TTerminal* terminal = LenientTerminal(table, v[0]);
        if (!terminal) {
            run.SetError("showterm: Serial port not open.");
            return;
        }
        ShowTerminal(*terminal, table, v);
    } catch (const std::exception&) {
        run.SetError("showterm: error opening terminal window.");
    }
}

void Hideterm(TExecute& run, const std::string& line, TPortTable& table) {
    TArgs v;
    if (!Accept(run, line, "hideterm", 1, v)) return;
    table.DropStaleTerminals();
    try {
        if (TTerminal* terminal = LenientTerminal(table, v[0])) {
            terminal->Window().Dismiss();
        } else {
            run.SetError("hideterm: serial port not open.");
        }
    } catch (const std::exception&) {
        run.SetError("hideterm: error hiding terminal window.");
    }
}

// Whatever follows the word, the dialog is shown; error and the log are left alone.
void Setport(TExecute& run, TPortTable& table, const TAskPortSettings& ask) {
    if (!ask) return;
    std::optional<TPortChoice> choice = ask(table.OpenablePortNames());
    run.AfterBlocking();
    if (!choice) return;
    run.SetVariable("myport", choice->port);
    table.SetPending(std::move(*choice));
}

}  // namespace

void BindSerialStatements(engine::TDispatch& dispatch, TPortTable& table, TAskPortSettings ask) {
    dispatch.Bind(TStatement::Openport, Openport, table);
    dispatch.Bind(TStatement::Closeport, Closeport, table);
    dispatch.Bind(TStatement::Flush, Flush, table);
    dispatch.Bind(TStatement::Send, Send, table);
    dispatch.Bind(TStatement::Showterm, Showterm, table);
    dispatch.Bind(TStatement::Hideterm, Hideterm, table);

    static constexpr TLineCommand kLineCommands[] = {
        {"setrts", false, true, "Tried to set RTS for ", "setrts: error setting line."},
        {"clearrts", false, false, "Tried to clear RTS for ", "clearrts: error clearing line."},
        {"setdtr", true, true, "Tried to set DTR for ", "setdtr: error setting line."},
        {"cleardtr", true, false, "Tried to clear DTR for ", "cleardtr: error clearing line."},
    };
    const TStatement rows[] = {TStatement::Setrts, TStatement::Clearrts, TStatement::Setdtr,
                               TStatement::Cleardtr};
    for (std::size_t i = 0; i < std::size(rows); ++i) {
        const TLineCommand& command = kLineCommands[i];
        dispatch.Bind(rows[i], [&table, &command](TExecute& run, const std::string& line, int&) {
            LineCommand(run, line, table, command);
        });
    }
    dispatch.Bind(TStatement::Setport,
                  [&table, ask = std::move(ask)](TExecute& run, const std::string&, int&) {
                      Setport(run, table, ask);
                  });
}

}  // namespace korvane::serial
