#include "tools/bounded_file.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

namespace korvane::tools {

namespace {

constexpr int kSliceMilliseconds = 50;
constexpr std::size_t kChunkBytes = 64 * 1024;

std::string LimitText(std::size_t limit) {
    if (limit % (std::size_t{1} << 20) == 0) return std::to_string(limit >> 20) + " MiB";
    return std::to_string(limit) + " bytes";
}

class TFileDescriptor {
public:
    explicit TFileDescriptor(int fd) : m_fd(fd) {}
    ~TFileDescriptor() {
        if (m_fd >= 0) ::close(m_fd);
    }
    TFileDescriptor(const TFileDescriptor&) = delete;
    TFileDescriptor& operator=(const TFileDescriptor&) = delete;
    int Get() const { return m_fd; }

private:
    int m_fd;
};

}  // namespace

TFileText ReadBoundedFile(const std::string& path, const std::atomic<bool>& stop,
                          std::size_t limit) {
    TFileText result;
    // Non-blocking, so opening a FIFO with no writer yet does not wait.
    int opened = -1;
    do {
        opened = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    } while (opened < 0 && errno == EINTR && !stop.load());
    const TFileDescriptor fd(opened);
    if (fd.Get() < 0) {
        result.problem = std::strerror(errno);
        return result;
    }
    struct stat info {};
    if (::fstat(fd.Get(), &info) != 0) {
        result.problem = std::strerror(errno);
        return result;
    }
    if (S_ISDIR(info.st_mode)) {
        result.problem = "it is a folder";
        return result;
    }
    const std::string tooLarge = "it is larger than the limit of " + LimitText(limit);
    if (S_ISREG(info.st_mode) && static_cast<std::size_t>(info.st_size) > limit) {
        result.problem = tooLarge;
        return result;
    }
    // A regular file's size is known: read into room for all of it, not a text that doubles.
    if (S_ISREG(info.st_mode)) result.text.reserve(static_cast<std::size_t>(info.st_size));
    std::string chunk(kChunkBytes, '\0');
    while (!stop.load()) {
        pollfd wait{fd.Get(), POLLIN, 0};
        const int ready = ::poll(&wait, 1, kSliceMilliseconds);
        if (ready < 0 && errno != EINTR) {
            result.problem = std::strerror(errno);
            return result;
        }
        if (ready <= 0) continue;
        const ssize_t got = ::read(fd.Get(), chunk.data(), chunk.size());
        if (got < 0) {
            if (errno == EINTR || errno == EAGAIN) continue;
            result.problem = std::strerror(errno);
            return result;
        }
        // A FIFO opened before its writer reads as ended until a writer comes: poll then
        // reports a hang-up only once a writer has been and gone.
        if (got == 0) {
            if (S_ISFIFO(info.st_mode) && !(wait.revents & POLLHUP)) continue;
            return result;
        }
        if (result.text.size() + static_cast<std::size_t>(got) > limit) {
            result.text.clear();
            result.problem = tooLarge;
            return result;
        }
        result.text.append(chunk.data(), static_cast<std::size_t>(got));
    }
    result.text.clear();
    result.problem = "stopped while reading";
    return result;
}

std::string WriteWholeFile(const std::string& path, std::string_view bytes) {
    int error = 0;
    const auto failed = [&error] {
        if (!error) error = errno ? errno : EIO;
    };
    errno = 0;
    FILE* out = std::fopen(path.c_str(), "wb");
    if (!out) failed();
    if (out && std::fwrite(bytes.data(), 1, bytes.size(), out) != bytes.size()) failed();
    if (out && std::fflush(out) != 0) failed();
    if (out && std::fclose(out) != 0) failed();
    return error ? std::strerror(error) : std::string();
}

}  // namespace korvane::tools
