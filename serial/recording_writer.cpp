#include "recording_writer.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "system_call.h"

namespace korvane::serial {

namespace {

constexpr std::size_t kWriteOutSize = 64 * 1024;
constexpr auto kFlushInterval = std::chrono::seconds(1);

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
    const int fd = RetryOnEintr([&] {
        return ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_NONBLOCK | O_CLOEXEC, 0666);
    });
    struct stat info {};
    if (fd < 0) {
        const int error = errno;
        if (::stat(path.c_str(), &info) == 0 && !S_ISREG(info.st_mode) && !S_ISDIR(info.st_mode)) {
            return NotRegularFile(path, info);
        }
        return SystemMessage("cannot write recording " + path, error);
    }
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        ::close(fd);
        return NotRegularFile(path, info);
    }
    std::lock_guard lock(m_mutex);
    m_file.Reset(fd);
    m_path = path;
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
    m_file.Reset();
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
    while (!rest.empty() && m_file.Valid()) {
        const ssize_t written =
            RetryOnEintr([&] { return ::write(m_file.Get(), rest.data(), rest.size()); });
        if (written <= 0) {
            if (m_failure.empty()) {
                m_failure = SystemMessage("cannot write recording " + m_path, errno);
                if (m_onFailure) m_onFailure(m_failure);
            }
            break;
        }
        rest.remove_prefix(static_cast<std::size_t>(written));
    }
    m_buffer.clear();
}

}  // namespace korvane::serial
