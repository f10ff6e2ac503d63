#pragma once

namespace korvane::tools {

// Keeps Qt's own notes off standard error, where a headless run's user expects only the
// runner's messages. Warnings at start-up (such as XDG_RUNTIME_DIR not being set when run as
// root or from cron) are held back and shown only when start-up then fails with a fatal
// message, so the reason for the failure is not lost; once started, Qt's debug, info and
// warning messages are dropped. Critical and fatal messages are always shown.
void HoldToolkitStartupNotes();

// Start-up went well: the notes held so far are dropped.
void ToolkitStarted();

}  // namespace korvane::tools
