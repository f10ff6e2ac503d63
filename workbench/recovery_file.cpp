#include "workbench/recovery_file.h"

#include <system_error>

#include "workbench/file_io.h"

namespace korvane::workbench {

namespace {

constexpr std::size_t kMaxRecoveryBytes = std::size_t{256} << 20;
constexpr std::size_t kMaxPathBytes = 64 << 10;

std::filesystem::path RecoveryPathPath(const std::filesystem::path& settingsPath) {
    return settingsPath.parent_path() / "korvane-recovery.path";
}

}  // namespace

std::filesystem::path RecoveryTextPath(const std::filesystem::path& settingsPath) {
    return settingsPath.parent_path() / "korvane-recovery.kvs";
}

bool WriteRecovery(const std::filesystem::path& settingsPath, const TRecovery& recovery,
                   std::string& problem) {
    // The path first: a text without its path is still offered, as untitled.
    return WriteFileReplacing(RecoveryPathPath(settingsPath), recovery.scriptPath,
                              TFileMode::Regular, problem) &&
           WriteFileReplacing(RecoveryTextPath(settingsPath), recovery.text, TFileMode::Regular,
                              problem);
}

std::optional<TRecovery> ReadRecovery(const std::filesystem::path& settingsPath) {
    TReadResult text = ReadFileBounded(RecoveryTextPath(settingsPath), kMaxRecoveryBytes);
    if (text.status != TReadStatus::Ok) return std::nullopt;
    TReadResult path = ReadFileBounded(RecoveryPathPath(settingsPath), kMaxPathBytes);
    return TRecovery{std::move(text.bytes),
                     path.status == TReadStatus::Ok ? std::move(path.bytes) : std::string()};
}

void RemoveRecovery(const std::filesystem::path& settingsPath) {
    std::error_code error;
    std::filesystem::remove(RecoveryTextPath(settingsPath), error);
    std::filesystem::remove(RecoveryPathPath(settingsPath), error);
}

}  // namespace korvane::workbench
