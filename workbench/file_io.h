#pragma once

#include <cstddef>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace korvane::workbench {

// Whole-file reads with a size cap and whole-file writes that replace the target in one step,
// so a failed write never leaves a half-written file behind. Every system call is checked and
// retried on EINTR; failures come back as a message, never as an exception.

enum class TReadStatus { Ok, Failed, TooLarge };

struct TReadResult {
    TReadStatus status = TReadStatus::Failed;
    std::string bytes;
    std::string problem;  // set unless status is Ok
};

TReadResult ReadFileBounded(const std::filesystem::path& path, std::size_t maxBytes);

enum class TFileMode { Regular, Executable };  // 0644 and 0755

// Writes to a temporary file beside the target, then renames it over the target. The mode is
// set explicitly, whatever the umask or an earlier file had.
bool WriteFileReplacing(const std::filesystem::path& path, std::string_view bytes, TFileMode mode,
                        std::string& problem);

bool IsRegularFile(const std::filesystem::path& path);

// True when a file can be created in the folder (it exists, is writable and searchable).
bool IsWritableFolder(const std::filesystem::path& folder);

// True when the file either does not exist yet or can be written.
bool IsWritableOrAbsent(const std::filesystem::path& file);

std::optional<std::filesystem::path> OwnExecutablePath();

}  // namespace korvane::workbench
