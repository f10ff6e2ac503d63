#pragma once

#include <filesystem>
#include <functional>
#include <string>

#include "engine/dispatch.h"
#include "engine/engine_host.h"
#include "engine/program_state.h"
#include "workbench/settings.h"

namespace korvane::workbench {

class TUserDialogs;

// What the program's subsystems offer the run control and the main window. Each is empty
// when the subsystem is not part of the program.
struct TModuleHooks {
    // The TCP server's client, the server and the client connection close.
    std::function<void()> closeConnections;
    std::function<void()> emptyServerBuffer;
    // A run begins (true) or has ended (false).
    std::function<void(bool)> runActive;
    // Whether the rack window is shown now.
    std::function<bool()> rackVisible;
    // Brings the rack window back after Escape hid it.
    std::function<void()> showRack;
    // At exit: the modules put the window positions they keep into the settings.
    std::function<void(TSettings&)> storeSettings;
    // Build's check of a rack: loads it into the rack window, then hides the window.
    std::function<bool(const std::string& path)> validateRack;
    engine::TControlBinding* binding = nullptr;
};

// The program-wide state the workbench window works with, owned by the application object
// for the whole life of the program.
struct TWorkbenchContext {
    engine::TProgramState programState;
    engine::TDispatch dispatch;
    // The settings as read at start-up; the remembered window positions live on here and
    // are written back at exit.
    TSettings settings;
    std::filesystem::path settingsPath;
    std::filesystem::path executableFolder;
    // The running program's file, which Build copies.
    std::filesystem::path executablePath;
    bool standalone = false;
    // Where a standalone program unpacked its racks (terminal.res among them).
    std::filesystem::path packagedRackFolder;
    bool rackOpen = false;
    TUserDialogs* dialogs = nullptr;
    // The clock of log lines; the local time when empty.
    std::function<engine::TLocalTime()> clock;
    TModuleHooks modules;
};

}  // namespace korvane::workbench
