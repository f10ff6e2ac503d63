#pragma once

#include <QPoint>
#include <QRect>
#include <QSize>
#include <array>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "serial/port_choice.h"
#include "serial/port_map.h"
#include "serial/port_source.h"
#include "serial/terminal.h"

class QWidget;

namespace korvane::serial {

// What terminals need from the program around them.
struct TTerminalSetup {
    std::filesystem::path layoutFile;  // "terminal.res" beside the executable
    QWidget* owner = nullptr;          // the main window; null makes free windows
    // The main window's frame; terminals open at its top right corner.
    std::function<QRect()> mainFrame;
    // Where a terminal window of this outer size is shown, given the remembered place (none
    // before the first window was placed); without it the remembered place or the corner.
    std::function<QPoint(std::optional<QPoint> remembered, QSize frame)> placeShown;
};

// The program's serial ports: one slot per port number 1..256 holding the port's terminal,
// the list of ports that can be opened, the dialog's pending settings and the one place
// remembered for all terminal windows. It lives as long as the program; ports stay open
// across runs until a script closes them or the table goes.
class TPortTable {
 public:
    TPortTable(const TPortSource& source, TTerminalSetup setup);
    ~TPortTable();
    TPortTable(const TPortTable&) = delete;
    TPortTable& operator=(const TPortTable&) = delete;

    // The number after the first "com" in any letter case ("\\.\COM12" gives 12); nothing
    // when the rest is not a whole number. The number may lie outside 1..256.
    static std::optional<int> PortNumber(std::string_view name);

    // Lists the ports that can be opened now, as COM1, COM2, ...
    void EnumPorts();
    const std::vector<std::string>& AvailablePorts() const { return m_availablePorts; }
    // EnumPorts, then drops every terminal whose port turned out to be free again: it no
    // longer holds its device.
    void RefreshPorts();
    // The part of RefreshPorts that commands not reading the list need, without listing
    // every port: an open terminal holds its port, so only unopened ones can be stale.
    void DropStaleTerminals();
    // The openable ports as scripts name them: com1, com2, ...
    std::vector<std::string> OpenablePortNames() const;

    // Creates, sets up and opens the terminal of a port; pending dialog settings take the
    // place of the arguments and are used up once the terminal is set up. Never throws;
    // whether the port opened shows in Terminal().
    // `keepWaiting` is called while a slow device opens; it ends the wait by returning false.
    void OpenPort(const std::string& port, const std::string& baudRate, const std::string& dataBits,
                  const std::string& parity, const std::string& stopBits,
                  const std::function<bool()>& keepWaiting = {});
    // The terminal in a slot; null for an empty slot and for numbers outside 1..256.
    TTerminal* Terminal(int number) const;
    // Closes and destroys the terminal in a slot.
    void Discard(int number);
    void CloseAll();

    const TPortChoice& Pending() const { return m_pending; }
    void SetPending(TPortChoice pending) { m_pending = std::move(pending); }
    std::optional<QPoint> TerminalPosition() const { return m_terminalPosition; }
    void SetTerminalPosition(std::optional<QPoint> position) { m_terminalPosition = position; }
    // Where showterm puts a terminal window of this outer size.
    QPoint ShownPosition(QSize frame) const;

 private:
    void SetUpAndOpen(const std::string& port, const std::string& baudRate,
                      const std::string& dataBits, const std::string& parity,
                      const std::string& stopBits, const std::function<bool()>& keepWaiting);
    void Place(TTerminal& terminal) const;

    const TPortSource& m_source;
    TTerminalSetup m_setup;
    std::array<std::unique_ptr<TTerminal>, kLastPortNumber + 1> m_terminals;
    std::vector<std::string> m_availablePorts;
    TPortChoice m_pending;
    std::optional<QPoint> m_terminalPosition;
};

}  // namespace korvane::serial
