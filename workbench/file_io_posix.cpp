#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <cstring>
#include <utility>

#include "workbench/file_io.h"

namespace korvane::workbench {

namespace {

std::string SystemError(std::string_view what, const std::filesystem::path& path) {
    std::string text(what);
    text += ' ';
    text += path.string();
    text += ": ";
    text += std::strerror(errno);
    return text;
}

// Closes the descriptor when the scope ends unless it was released.
class TFdGuard {
 public:
    explicit TFdGuard(int fd) : m_fd(fd) {}
    TFdGuard(const TFdGuard&) = delete;
    TFdGuard& operator=(const TFdGuard&) = delete;
    ~TFdGuard() {
        if (m_fd >= 0) ::close(m_fd);
    }
    int Get() const { return m_fd; }
    int Release() { return std::exchange(m_fd, -1); }

 private:
    int m_fd;
};

int OpenRetrying(const char* path, int flags, mode_t mode = 0) {
    int fd;
    do {
        fd = ::open(path, flags | O_CLOEXEC, mode);
    } while (fd < 0 && errno == EINTR);
    return fd;
}

bool WriteAll(int fd, std::string_view bytes) {
    while (!bytes.empty()) {
        const ssize_t written = ::write(fd, bytes.data(), bytes.size());
        if (written < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        bytes.remove_prefix(static_cast<std::size_t>(written));
    }
    return true;
}

bool CloseChecked(int fd) {
    // After EINTR the descriptor is gone on Linux; retrying could close someone else's.
    return ::close(fd) == 0 || errno == EINTR;
}

}  // namespace

TReadResult ReadFileBounded(const std::filesystem::path& path, std::size_t maxBytes) {
    TReadResult result;
    // Opened without blocking, so a FIFO or a device under the name cannot hold the caller;
    // only a regular file is read.
    TFdGuard fd(OpenRetrying(path.c_str(), O_RDONLY | O_NONBLOCK));
    if (fd.Get() < 0) {
        result.problem = SystemError("cannot open", path);
        return result;
    }
    struct stat info;
    if (::fstat(fd.Get(), &info) != 0) {
        result.problem = SystemError("cannot inspect", path);
        return result;
    }
    if (!S_ISREG(info.st_mode)) {
        result.problem = "not a regular file: " + path.string();
        return result;
    }
    if (static_cast<std::uintmax_t>(info.st_size) > maxBytes) {
        result.status = TReadStatus::TooLarge;
        result.problem = "file too large: " + path.string();
        return result;
    }
    char chunk[65536];
    for (;;) {
        const ssize_t got = ::read(fd.Get(), chunk, sizeof chunk);
        if (got < 0) {
            if (errno == EINTR) continue;
            result.problem = SystemError("cannot read", path);
            result.bytes.clear();
            return result;
        }
        if (got == 0) break;
        if (result.bytes.size() + static_cast<std::size_t>(got) > maxBytes) {
            result.status = TReadStatus::TooLarge;
            result.problem = "file too large: " + path.string();
            result.bytes.clear();
            return result;
        }
        result.bytes.append(chunk, static_cast<std::size_t>(got));
    }
    result.status = TReadStatus::Ok;
    return result;
}

bool WriteFileReplacing(const std::filesystem::path& path, std::string_view bytes, TFileMode mode,
                        std::string& problem) {
    std::string tempName = path.string() + ".partXXXXXX";
    TFdGuard fd(::mkostemp(tempName.data(), O_CLOEXEC));
    if (fd.Get() < 0) {
        problem = SystemError("cannot create", tempName);
        return false;
    }
    const mode_t bits = mode == TFileMode::Executable ? 0755 : 0644;
    // Synced before the rename, so a crash leaves the old file or the new one, never a hole.
    bool ok = ::fchmod(fd.Get(), bits) == 0 && WriteAll(fd.Get(), bytes) && ::fsync(fd.Get()) == 0;
    if (!ok) problem = SystemError("cannot write", tempName);
    if (!CloseChecked(fd.Release()) && ok) {
        problem = SystemError("cannot close", tempName);
        ok = false;
    }
    if (ok && ::rename(tempName.c_str(), path.c_str()) != 0) {
        problem = SystemError("cannot replace", path);
        ok = false;
    }
    if (!ok) ::unlink(tempName.c_str());
    return ok;
}

bool IsRegularFile(const std::filesystem::path& path) {
    struct stat info;
    return ::stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode);
}

bool IsWritableFolder(const std::filesystem::path& folder) {
    struct stat info;
    return ::stat(folder.c_str(), &info) == 0 && S_ISDIR(info.st_mode) &&
           ::access(folder.c_str(), W_OK | X_OK) == 0;
}

bool IsWritableOrAbsent(const std::filesystem::path& file) {
    if (::access(file.c_str(), F_OK) != 0) return errno == ENOENT;
    return ::access(file.c_str(), W_OK) == 0;
}

std::optional<std::filesystem::path> OwnExecutablePath() {
    std::string buffer(4096, '\0');
    const ssize_t length = ::readlink("/proc/self/exe", buffer.data(), buffer.size());
    if (length <= 0 || static_cast<std::size_t>(length) >= buffer.size()) return std::nullopt;
    buffer.resize(static_cast<std::size_t>(length));
    return std::filesystem::path(buffer);
}

}  // namespace korvane::workbench
