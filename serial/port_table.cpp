#include "serial/port_table.h"

#include <exception>

#include "engine/number_text.h"
#include "engine/text_utils.h"
#include "serial/line_settings_text.h"
#include "serial/terminal_layout.h"

namespace korvane::serial {

namespace {

bool InTable(int number) { return number >= kFirstPortNumber && number <= kLastPortNumber; }

// The dialog's text when it left one, else the script's.
const std::string& Chosen(const std::string& pending, const std::string& argument) {
    return pending.empty() ? argument : pending;
}

}  // namespace

TPortTable::TPortTable(const TPortSource& source, TTerminalSetup setup)
    : m_source(source), m_setup(std::move(setup)) {}

TPortTable::~TPortTable() { CloseAll(); }

std::optional<int> TPortTable::PortNumber(std::string_view name) {
    const std::string lower = engine::ToLowerAscii(name);
    const std::size_t com = lower.find("com");
    if (com == std::string::npos) return std::nullopt;
    const std::optional<int32_t> number =
        engine::StrictInt(std::string_view(lower).substr(com + 3));
    if (!number) return std::nullopt;
    return *number;
}

void TPortTable::EnumPorts() {
    m_availablePorts.clear();
    for (int number : m_source.FreePortNumbers()) {
        m_availablePorts.push_back("COM" + std::to_string(number));
    }
}

void TPortTable::RefreshPorts() {
    EnumPorts();
    for (const std::string& name : m_availablePorts) {
        if (const std::optional<int> number = PortNumber(name)) Discard(*number);
    }
}

void TPortTable::DropStaleTerminals() {
    for (int number = kFirstPortNumber; number <= kLastPortNumber; ++number) {
        const TTerminal* terminal = Terminal(number);
        if (terminal && !terminal->Connected() && m_source.IsFree(number)) Discard(number);
    }
}

std::vector<std::string> TPortTable::OpenablePortNames() const {
    std::vector<std::string> names;
    for (int number : m_source.FreePortNumbers()) names.push_back(PortName(number));
    return names;
}

TTerminal* TPortTable::Terminal(int number) const {
    return InTable(number) ? m_terminals[static_cast<std::size_t>(number)].get() : nullptr;
}

void TPortTable::Discard(int number) {
    if (InTable(number)) m_terminals[static_cast<std::size_t>(number)].reset();
}

void TPortTable::CloseAll() {
    for (auto& terminal : m_terminals) terminal.reset();
}

void TPortTable::OpenPort(const std::string& port, const std::string& baudRate,
                          const std::string& dataBits, const std::string& parity,
                          const std::string& stopBits, const std::function<bool()>& keepWaiting) {
    try {
        SetUpAndOpen(port, baudRate, dataBits, parity, stopBits, keepWaiting);
    } catch (const std::exception&) {
        // Whatever went wrong, the port simply did not open; the caller looks at the slot.
    }
}

// Stops at the first step that fails, leaving the new terminal unopened in its slot and the
// pending settings in place.
void TPortTable::SetUpAndOpen(const std::string& port, const std::string& baudRate,
                              const std::string& dataBits, const std::string& parity,
                              const std::string& stopBits,
                              const std::function<bool()>& keepWaiting) {
    const std::string& name = Chosen(m_pending.port, port);
    const std::optional<int> number = PortNumber(name);
    // A slot that holds a terminal keeps it: replacing it would lose an open port.
    if (!number || !InTable(*number) || Terminal(*number)) return;
    const int slot = *number;
    auto& entry = m_terminals[static_cast<std::size_t>(slot)];
    entry = std::make_unique<TTerminal>([this, slot] { return m_source.MakeDevice(slot); },
                                        m_setup.owner,
                                        [this](QPoint position) { m_terminalPosition = position; });
    TTerminal& terminal = *entry;

    const auto layout = LoadTerminalLayout(m_setup.layoutFile);
    if (!layout) return;
    terminal.Window().ApplyLayout(layout.Value());
    Place(terminal);
    const std::string upperName = engine::ToUpperAscii(name);
    terminal.SetPort(upperName);

    // Numbers no line can have leave the port unopened, as numbers that do not convert do.
    const auto baud = engine::StrictInt(Chosen(m_pending.baudRate, baudRate));
    const auto byteSize = engine::StrictInt(Chosen(m_pending.dataBits, dataBits));
    if (!baud || !byteSize || !PossibleLineNumbers(*baud, *byteSize)) return;
    terminal.SetBaudRate(*baud);
    terminal.SetByteSize(static_cast<std::uint8_t>(*byteSize));
    const auto parityCode =
        m_pending.parity.empty() ? ParityFromLetter(parity) : ParityFromWord(m_pending.parity);
    if (parityCode) terminal.SetParity(*parityCode);
    if (const auto stop = StopBitsFromText(Chosen(m_pending.stopBits, stopBits))) {
        terminal.SetStopBits(*stop);
    }

    terminal.Open(keepWaiting);
    std::string title = upperName;
    for (const std::string& part : {m_source.Resource(slot), terminal.Activity()}) {
        if (!part.empty()) title += " - " + part;
    }
    terminal.SetCaption(std::move(title));
    terminal.Window().hide();
    m_pending = {};
}

QPoint TPortTable::ShownPosition(QSize frame) const {
    if (m_setup.placeShown) return m_setup.placeShown(m_terminalPosition, frame);
    return m_terminalPosition.value_or(QPoint());
}

void TPortTable::Place(TTerminal& terminal) const {
    const QRect main = m_setup.mainFrame ? m_setup.mainFrame() : QRect();
    TTerminalWindow& window = terminal.Window();
    window.move(main.left() + main.width() - window.frameGeometry().width(), main.top() + 20);
}

}  // namespace korvane::serial
