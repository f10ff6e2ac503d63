// A replayed port against a pseudo-terminal with an echoing peer, measured the same way in
// one run: the reaction time of one answer (one byte out, until its answer is read) and the
// time to play 1 MB of answers at full speed (1 KB blocks sent, each answered by 1 KB).
// Usage: replay_bench [ROUNDS]
#include <fcntl.h>
#include <poll.h>
#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "serial/pty_device.h"
#include "serial/recording.h"
#include "serial/replay_device.h"

namespace {

using namespace korvane::serial;
using TClock = std::chrono::steady_clock;

constexpr std::size_t kBlock = 1024;
constexpr std::size_t kTotal = 1 << 20;

// The channel's reader: counts the bytes received so the measuring thread can wait on them.
class TReader {
 public:
    explicit TReader(TSerialDevice& device) : m_device(device), m_thread([this] { Run(); }) {}
    ~TReader() {
        m_device.Shutdown();
        m_thread.join();
    }
    bool WaitFor(std::size_t count) {
        std::unique_lock lock(m_mutex);
        return m_changed.wait_for(lock, std::chrono::seconds(10), [&] { return m_count >= count; });
    }

 private:
    void Run() {
        for (;;) {
            const TDeviceEvent event = m_device.WaitEvent();
            if (event.closed) return;
            std::string chunk;
            if (event.mask & kEventRxChar) (void)m_device.ReadQueued(chunk);
            std::lock_guard lock(m_mutex);
            m_count += chunk.size();
            m_changed.notify_all();
        }
    }

    TSerialDevice& m_device;
    std::mutex m_mutex;
    std::condition_variable m_changed;
    std::size_t m_count = 0;
    std::thread m_thread;
};

// The far end of a pty port: sends back whatever arrives.
class TEchoPeer {
 public:
    explicit TEchoPeer(const std::string& path) : m_fd(::open(path.c_str(), O_RDWR | O_NOCTTY)) {
        termios raw{};
        ::tcgetattr(m_fd, &raw);
        ::cfmakeraw(&raw);
        ::tcsetattr(m_fd, TCSANOW, &raw);
        m_thread = std::thread([this] { Run(); });
    }
    ~TEchoPeer() {
        m_stop = true;
        m_thread.join();
        ::close(m_fd);
    }

 private:
    void Run() {
        char buffer[4096];
        while (!m_stop) {
            pollfd poll{m_fd, POLLIN, 0};
            if (::poll(&poll, 1, 50) <= 0) continue;
            const ssize_t n = ::read(m_fd, buffer, sizeof buffer);
            for (ssize_t done = 0; n > 0 && done < n;) {
                const ssize_t w = ::write(m_fd, buffer + done, static_cast<std::size_t>(n - done));
                if (w <= 0) break;
                done += w;
            }
        }
    }

    int m_fd;
    std::atomic<bool> m_stop{false};
    std::thread m_thread;
};

struct TFigures {
    double median;
    double p99;
    double seconds;  // for the 1 MB
};

TFigures Measure(TSerialDevice& device, int rounds) {
    TReader reader(device);
    std::vector<double> times;
    std::size_t received = 0;
    for (int i = 0; i < rounds + 50; ++i) {  // the first 50 warm up
        const auto start = TClock::now();
        (void)device.Write(std::string(1, static_cast<char>('A' + i % 26)));
        if (!reader.WaitFor(++received)) std::exit(1);
        if (i >= 50) times.push_back(std::chrono::duration<double, std::micro>(TClock::now() - start).count());
    }
    std::sort(times.begin(), times.end());
    const auto start = TClock::now();
    const std::string block(kBlock, 'x');
    for (std::size_t sent = 0; sent < kTotal; sent += kBlock) {
        (void)device.Write(block);
        received += kBlock;
        if (!reader.WaitFor(received)) std::exit(1);
    }
    const double seconds = std::chrono::duration<double>(TClock::now() - start).count();
    return {times[times.size() / 2], times[times.size() * 99 / 100 - 1], seconds};
}

// The recording of exactly what Measure does against an echo.
std::string EchoRecording(int rounds) {
    std::vector<TRecordedEvent> events;
    for (int i = 0; i < rounds + 50; ++i) {
        const std::string byte(1, static_cast<char>('A' + i % 26));
        events.push_back(BytesEvent(i, RecordedKind::Sent, byte));
        events.push_back(BytesEvent(i, RecordedKind::Received, byte));
    }
    const std::string block(kBlock, 'x');
    for (std::size_t sent = 0; sent < kTotal; sent += kBlock) {
        events.push_back(BytesEvent(rounds, RecordedKind::Sent, block));
        events.push_back(BytesEvent(rounds, RecordedKind::Received, block));
    }
    return FormatRecording(events);
}

void Print(const char* name, const TFigures& f) {
    std::printf("%-22s median %6.1f us  p99 %7.1f us   1 MB answered in %6.3f s (%5.2f MB/s)\n",
                name, f.median, f.p99, f.seconds, kTotal / f.seconds / 1e6);
}

}  // namespace

int main(int argc, char** argv) {
    const int rounds = argc > 1 ? std::atoi(argv[1]) : 5000;
    const std::string file =
        (std::filesystem::temp_directory_path() / "korvane-replay-bench.kvr").string();
    const std::string text = EchoRecording(rounds);
    std::ofstream(file, std::ios::binary) << text;

    const auto readStart = TClock::now();
    const TRecording read = ReadRecording(text);
    const double readSeconds = std::chrono::duration<double>(TClock::now() - readStart).count();
    if (!read.Ok()) return 1;
    std::printf("reading the %.2f MB recording: %.3f s\n", text.size() / 1e6, readSeconds);

    TReplayDevice replay("replay:bench", file, TReplayDevice::Pace::Fast, "com1", nullptr);
    if (!replay.Open()) return 1;
    Print("replay-fast", Measure(replay, rounds));
    replay.Close();

    TPtyDevice pty("pty:bench");
    if (!pty.Open()) return 1;
    {
        TEchoPeer peer(pty.PeerPath());
        Print("pty with an echo peer", Measure(pty, rounds));
    }
    pty.Close();
    std::filesystem::remove(file);
    return 0;
}
