#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

#include "workbench/file_io.h"

namespace korvane::workbench {

// The payload area is a block linked into every program that uses this library (see
// payload_area.cpp). These functions find it in executable bytes; Build patches it in a copy,
// start-up reads it from the program's own file. Linking any of them keeps the block in the
// program.

inline constexpr std::size_t kMaxExecutableSize = std::size_t{1} << 30;

// Offset of the payload space (right after the first start marker), if the bytes hold one.
std::optional<std::size_t> FindPayloadSpace(std::string_view executable);

// The running program's executable file, whole.
TReadResult ReadOwnExecutable();

// The payload space of the running program's executable file: up to kPayloadSpaceSize bytes
// after the start marker. Empty when the file cannot be read or holds no marker.
std::string ReadOwnPayloadSpace();

}  // namespace korvane::workbench
