#include "recording_writer.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>

#include "system_call.h"

namespace korvane::serial {

namespace {

constexpr std::size_t kWriteOutSize = 64 * 1024;
constexpr auto kFlushInterval = std::chrono::seconds(1);
constexpr int kTempNameAttempts = 100;

// A name in the target's folder that nobody uses for a moment; `attempt` makes it differ.
std::string TempName(const std::string& name, int attempt) {
    return "." + name + "." + std::to_string(::getpid()) + "." + std::to_string(attempt) + ".tmp";
}

// Tries fresh temporary names until `make` stops answering EEXIST; -1 when it fails.
template <typename TMake>
int WithFreshName(const std::string& name, std::string& chosen, TMake make) {
    for (int attempt = 0; attempt < kTempNameAttempts; ++attempt) {
        chosen = TempName(name, attempt);
        const int result = RetryOnEintr([&] { return make(chosen.c_str()); });
        if (result >= 0 || errno != EEXIST) return result;
    }
    errno = EEXIST;
    return -1;
}

// An unnamed file can be given a name later only through its /proc entry.
bool UnnamedFilesCanBeNamed() { return ::access("/proc/self/fd", X_OK) == 0; }

// A pipe or device as the recording would stall the port on a reader that stops reading and
// never hold a file to replay: only a regular file (or a new one) is taken. The open itself
// never waits for a pipe's other end either (a FIFO nobody reads fails it with ENXIO).
std::string NotRegularFile(const std::string& path, const struct stat& info) {
    const char* kind = S_ISFIFO(info.st_mode)   ? "it is a FIFO, "
                       : S_ISCHR(info.st_mode)  ? "it is a character device, "
                       : S_ISBLK(info.st_mode)  ? "it is a block device, "
                       : S_ISSOCK(info.st_mode) ? "it is a socket, "
                                                : "";
    return "cannot write recording " + path + ": " + kind + "not a regular file";
}

}  // namespace

TRecordingWriter::~TRecordingWriter() { (void)Close(); }

std::string TRecordingWriter::Open(const std::string& path, TFailureHandler onFailure) {
    (void)Close();
    const std::string what = "cannot write recording " + path;
    const std::filesystem::path target(path);
    const std::string name = target.filename().string();
    if (name.empty() || name == "." || name == "..") return what + ": not a file name";
    const std::string folder = target.has_parent_path() ? target.parent_path().string() : ".";
    TUniqueFd folderFd(
        RetryOnEintr([&] { return ::open(folder.c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC); }));
    if (!folderFd.Valid()) return SystemMessage(what, errno);
    struct stat existing {};
    if (::fstatat(folderFd.Get(), name.c_str(), &existing, AT_SYMLINK_NOFOLLOW) == 0) {
        if (S_ISDIR(existing.st_mode)) return what + ": it is a folder";
        if (!S_ISREG(existing.st_mode) && !S_ISLNK(existing.st_mode)) {
            return NotRegularFile(path, existing);
        }
    }
    std::string namedTemp;
    int fd = -1;
    if (UnnamedFilesCanBeNamed()) {
        fd = RetryOnEintr(
            [&] { return ::openat(folderFd.Get(), ".", O_TMPFILE | O_WRONLY | O_CLOEXEC, 0666); });
    }
    if (fd < 0) {
        // A file system without unnamed files: a hidden name beside the target instead.
        fd = WithFreshName(name, namedTemp, [&](const char* temp) {
            return ::openat(folderFd.Get(), temp, O_CREAT | O_EXCL | O_WRONLY | O_CLOEXEC, 0666);
        });
        if (fd < 0) return SystemMessage(what, errno);
    }
    std::lock_guard lock(m_mutex);
    m_folder = std::move(folderFd);
    m_file.Reset(fd);
    m_path = path;
    m_name = name;
    m_namedTemp = std::move(namedTemp);
    m_buffer.clear();
    m_failure.clear();
    m_onFailure = std::move(onFailure);
    m_stop = false;
    m_flusher = std::thread([this] { FlushLoop(); });
    return {};
}

bool TRecordingWriter::IsOpen() const {
    std::lock_guard lock(m_mutex);
    return m_file.Valid();
}

void TRecordingWriter::Append(std::string_view line) {
    std::lock_guard lock(m_mutex);
    if (!m_file.Valid()) return;
    m_buffer += line;
    if (m_buffer.size() >= kWriteOutSize) WriteOutLocked();
}

std::string TRecordingWriter::Close() {
    {
        std::lock_guard lock(m_mutex);
        m_stop = true;
    }
    m_wake.notify_all();
    if (m_flusher.joinable()) m_flusher.join();
    std::lock_guard lock(m_mutex);
    if (!m_file.Valid()) return {};
    WriteOutLocked();
    if (m_failure.empty()) PublishLocked();
    if (!m_namedTemp.empty()) (void)::unlinkat(m_folder.Get(), m_namedTemp.c_str(), 0);
    m_file.Reset();
    m_folder.Reset();
    return m_failure;
}

void TRecordingWriter::FlushLoop() {
    std::unique_lock lock(m_mutex);
    while (!m_stop) {
        m_wake.wait_for(lock, kFlushInterval, [this] { return m_stop; });
        WriteOutLocked();
    }
}

void TRecordingWriter::WriteOutLocked() {
    std::string_view rest = m_buffer;
    // After a failure nothing more is written: the recording is lost either way.
    while (!rest.empty() && m_file.Valid() && m_failure.empty()) {
        const ssize_t written =
            RetryOnEintr([&] { return ::write(m_file.Get(), rest.data(), rest.size()); });
        if (written <= 0) {
            FailLocked("cannot write recording " + m_path, written == 0 ? ENOSPC : errno);
            break;
        }
        rest.remove_prefix(static_cast<std::size_t>(written));
    }
    m_buffer.clear();
}

void TRecordingWriter::FailLocked(const std::string& what, int error) {
    if (!m_failure.empty()) return;
    m_failure = SystemMessage(what, error);
    if (m_onFailure) m_onFailure(m_failure);
}

void TRecordingWriter::PublishLocked() {
    const std::string what = "cannot write recording " + m_path;
    if (RetryOnEintr([&] { return ::fdatasync(m_file.Get()); }) != 0) {
        FailLocked(what, errno);
        return;
    }
    // rename() replaces a link itself, never the file it leads to.
    std::string named = m_namedTemp;
    if (named.empty()) {
        const std::string self = "/proc/self/fd/" + std::to_string(m_file.Get());
        if (WithFreshName(m_name, named, [&](const char* temp) {
                return ::linkat(AT_FDCWD, self.c_str(), m_folder.Get(), temp, AT_SYMLINK_FOLLOW);
            }) != 0) {
            FailLocked(what, errno);
            return;
        }
    }
    if (::renameat(m_folder.Get(), named.c_str(), m_folder.Get(), m_name.c_str()) != 0) {
        FailLocked(what, errno);
        (void)::unlinkat(m_folder.Get(), named.c_str(), 0);
        return;
    }
    m_namedTemp.clear();
}

}  // namespace korvane::serial
