#pragma once

namespace korvane::tools {

// Every program calls this first: a write to a pipe or socket whose reader has gone then
// fails with EPIPE, an error the caller reports, instead of ending the program (and with it
// a run, a recording or the workbench's unsaved edits).
void IgnoreBrokenPipes();

}  // namespace korvane::tools
