#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>

#include "host/file_io.h"

namespace korvane::host {

namespace {

constexpr size_t kReadPiece = 64 * 1024;
constexpr int kWaitSliceMs = 10;

template <typename TCall>
auto RetryOnInterrupt(TCall&& call) {
    for (;;) {
        const auto result = call();
        if (result >= 0 || errno != EINTR) return result;
    }
}

bool UsableName(const std::string& name) {
    return !name.empty() && name.find('\0') == std::string::npos;
}

// A pipe or device with nothing to give (or no room to take) right now: wait one slice for
// it, then let the caller's step look for Stop.
void WaitUntilReady(int handle, short events, const engine::TWaitStep& waitStep) {
    pollfd entry{handle, events, 0};
    ::poll(&entry, 1, kWaitSliceMs);
    if (waitStep) waitStep();
}

bool WouldBlock() { return errno == EAGAIN || errno == EWOULDBLOCK; }

}  // namespace

bool CreateEmptyFile(const std::string& name) {
    if (!UsableName(name)) return false;
    const int fd = RetryOnInterrupt([&] {
        return ::open(name.c_str(), O_RDWR | O_CREAT | O_TRUNC | O_NONBLOCK | O_CLOEXEC, 0666);
    });
    if (fd < 0) return false;
    ::close(fd);
    return true;
}

std::optional<int> OpenExistingFile(const std::string& name) {
    if (!UsableName(name)) return std::nullopt;
    int fd =
        RetryOnInterrupt([&] { return ::open(name.c_str(), O_RDWR | O_NONBLOCK | O_CLOEXEC); });
    if (fd == 0) {
        // Descriptor 0 would read as "no file open": move the file to a higher one.
        const int moved = ::fcntl(fd, F_DUPFD_CLOEXEC, 1);
        ::close(fd);
        fd = moved;
    }
    if (fd < 0) return std::nullopt;
    return fd;
}

bool CloseFile(int handle) {
    // Not retried: after EINTR the descriptor is already gone on Linux.
    return ::close(handle) == 0;
}

bool SeekFile(int handle, int64_t offset, TSeekOrigin origin) {
    const int whence = origin == TSeekOrigin::Start     ? SEEK_SET
                       : origin == TSeekOrigin::Current ? SEEK_CUR
                                                        : SEEK_END;
    return ::lseek(handle, static_cast<off_t>(offset), whence) >= 0;
}

std::optional<std::string> ReadFile(int handle, size_t count, const engine::TWaitStep& waitStep) {
    // Read piece by piece, so memory follows what the file holds, not what was asked for.
    std::string data;
    while (data.size() < count) {
        const size_t piece = std::min(kReadPiece, count - data.size());
        const size_t before = data.size();
        data.resize(before + piece);
        const ssize_t got = RetryOnInterrupt([&] { return ::read(handle, &data[before], piece); });
        data.resize(before + static_cast<size_t>(std::max<ssize_t>(got, 0)));
        if (got < 0 && WouldBlock()) {
            WaitUntilReady(handle, POLLIN, waitStep);
            continue;
        }
        if (got < 0) return std::nullopt;
        if (got == 0) break;
    }
    return data;
}

TWriteOutcome WriteFile(int handle, std::string_view bytes, const engine::TWaitStep& waitStep) {
    TWriteOutcome outcome;
    while (outcome.written < bytes.size()) {
        const ssize_t put = RetryOnInterrupt([&] {
            return ::write(handle, bytes.data() + outcome.written, bytes.size() - outcome.written);
        });
        if (put < 0 && WouldBlock()) {
            WaitUntilReady(handle, POLLOUT, waitStep);
            continue;
        }
        if (put <= 0) return outcome;
        outcome.written += static_cast<size_t>(put);
    }
    outcome.complete = true;
    return outcome;
}

}  // namespace korvane::host
