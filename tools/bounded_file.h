#pragma once

#include <atomic>
#include <cstddef>
#include <string>
#include <string_view>

namespace korvane::tools {

// The largest script the runner reads; anything bigger is refused with a message naming it.
inline constexpr std::size_t kScriptLimitBytes = std::size_t{64} << 20;

struct TFileText {
    std::string text;
    std::string problem;  // empty when the file was read whole
};

// Reads a file without ever waiting forever: a folder is refused, a regular file over the
// limit is refused before reading, and a FIFO or device is read in short slices until its end,
// the limit, or `stop` turning true.
TFileText ReadBoundedFile(const std::string& path, const std::atomic<bool>& stop,
                          std::size_t limit = kScriptLimitBytes);

// Writes `bytes` as the whole file; what went wrong (a full disk included, which shows only
// when the file is flushed and closed), or nothing.
std::string WriteWholeFile(const std::string& path, std::string_view bytes);

}  // namespace korvane::tools
