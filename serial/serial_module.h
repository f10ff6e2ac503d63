#pragma once

#include <QPoint>
#include <QRect>
#include <QSize>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

#include "engine/dispatch.h"
#include "serial/port_map.h"
#include "serial/port_source.h"
#include "serial/port_table.h"

class QWidget;

namespace korvane::serial {

class TFrmSet;

struct TSerialOptions {
    TPortEntries portEntries;          // the [ports] section of korvane.ini
    std::filesystem::path layoutFile;  // "terminal.res" beside the executable
    QWidget* owner = nullptr;          // the main window, when there is one
    std::function<QRect()> mainFrame;  // where the main window is; terminals open beside it
    // Where shown terminal windows go (TTerminalSetup::placeShown).
    std::function<QPoint(std::optional<QPoint> remembered, QSize frame)> placeShown;
    bool portDialog = true;            // false where no dialog can be shown: setport then
                                       // changes nothing, as if the dialog was closed
};

// The serial subsystem as a program wires it: the port map (settings, KORVANE_PORTS and
// the devices found at start), the port table with its terminals, and the port-settings
// dialog. The program binds its rows, keeps the terminal position in its settings and
// calls CloseAll before its windows go.
class TSerialModule {
 public:
    explicit TSerialModule(TSerialOptions options);
    ~TSerialModule();
    TSerialModule(const TSerialModule&) = delete;
    TSerialModule& operator=(const TSerialModule&) = delete;

    void Bind(engine::TDispatch& dispatch);
    // Entries of the port map that were left out, with the reason, for the program to show.
    const std::vector<TPortMapIssue>& PortMapIssues() const { return m_issues; }
    // Why recorded and replayed ports would not open, and where replays parted from scripts.
    TPortNotices& PortNotices() { return m_ports.Notices(); }

    std::optional<QPoint> TerminalPosition() const { return m_table.TerminalPosition(); }
    void SetTerminalPosition(std::optional<QPoint> position) {
        m_table.SetTerminalPosition(position);
    }
    // Closes every port and destroys its terminal window.
    void CloseAll() { m_table.CloseAll(); }

    TPortTable& Table() { return m_table; }

 private:
    std::vector<TPortMapIssue> m_issues;
    TMappedPorts m_ports;
    TPortTable m_table;
    std::unique_ptr<TFrmSet> m_dialog;
};

}  // namespace korvane::serial
