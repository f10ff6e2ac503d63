#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "engine/wait_step.h"

namespace korvane::host {

enum class TSeekOrigin { Start, Current, End };

struct TWriteOutcome {
    size_t written = 0;
    bool complete = false;  // every byte went out
};

// The system calls behind the file commands, each retried when a signal interrupts it.
// Files are plain byte streams; names are used as given (relative to the current directory).
// Nothing here blocks for long: a pipe or device is opened without waiting for its other end,
// and reading or writing one waits in short slices with `waitStep` called between them.
bool CreateEmptyFile(const std::string& name);
// Opens an existing file for reading and writing, shared with other processes; the handle is
// always greater than 0.
std::optional<int> OpenExistingFile(const std::string& name);
bool CloseFile(int handle);
// Positions beyond the end are fine; a position before the start is refused.
bool SeekFile(int handle, int64_t offset, TSeekOrigin origin);
// Up to `count` bytes from the current position; fewer at the end of the file.
std::optional<std::string> ReadFile(int handle, size_t count,
                                    const engine::TWaitStep& waitStep = {});
TWriteOutcome WriteFile(int handle, std::string_view bytes, const engine::TWaitStep& waitStep = {});

}  // namespace korvane::host
