#include "replay_device.h"

#include <fcntl.h>
#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <utility>

#include "system_call.h"
#include "unique_fd.h"

namespace korvane::serial {

namespace {

// Parsed events take several times the text's size, and the whole recording is read while
// the script waits in openport: this keeps both within reason.
constexpr std::size_t kMaxRecordingSize = 16 * 1024 * 1024;
constexpr std::string_view kMaxRecordingSizeText = "16 MiB";
constexpr std::size_t kReadSlice = 64 * 1024;
constexpr std::size_t kShownBytes = 64;
constexpr std::size_t kShownText = 200;

// The bytes of a recording file, or why there are none. The size is checked as the bytes
// come, since devices and pipes report none beforehand.
bool ReadFile(const std::string& path, std::string& text, std::string& problem) {
    const std::string what = "cannot read recording " + path;
    TUniqueFd fd(RetryOnEintr(
        [&] { return ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY); }));
    struct stat info {};
    if (!fd.Valid() || ::fstat(fd.Get(), &info) != 0) {
        problem = SystemMessage(what, errno);
        return false;
    }
    if (S_ISDIR(info.st_mode)) {
        problem = what + ": it is a folder";
        return false;
    }
    const std::string tooLarge = "recording " + path + " is larger than " +
                                 std::string(kMaxRecordingSizeText) +
                                 ", the most a replayed port reads";
    if (S_ISREG(info.st_mode)) {
        if (static_cast<std::uintmax_t>(info.st_size) > kMaxRecordingSize) {
            problem = tooLarge;
            return false;
        }
        text.reserve(static_cast<std::size_t>(info.st_size));
    }
    while (true) {
        const std::size_t before = text.size();
        text.resize(before + kReadSlice);
        const ssize_t got =
            RetryOnEintr([&] { return ::read(fd.Get(), text.data() + before, kReadSlice); });
        text.resize(before + static_cast<std::size_t>(std::max<ssize_t>(got, 0)));
        // A device or pipe with nothing more to give now has given its recording.
        if (got == 0 || (got < 0 && errno == EAGAIN)) return true;
        if (got < 0) {
            problem = SystemMessage(what, errno);
            return false;
        }
        if (text.size() > kMaxRecordingSize) {
            problem = tooLarge;
            return false;
        }
    }
}

bool IsAnswer(RecordedKind kind) {
    return kind == RecordedKind::Received || kind == RecordedKind::Modem ||
           kind == RecordedKind::Pulse || kind == RecordedKind::Error;
}

std::uint32_t PulseEvents(std::uint32_t lines) {
    std::uint32_t events = 0;
    if (lines & kModemCts) events |= kEventCts;
    if (lines & kModemDsr) events |= kEventDsr;
    if (lines & kModemRlsd) events |= kEventRlsd;
    if (lines & kModemRing) events |= kEventRing;
    return events;
}

std::string Shortened(std::string text) {
    if (text.size() > kShownText) text = text.substr(0, kShownText) + " ...";
    return text;
}

std::string ShownBytes(std::string_view bytes) {
    if (bytes.empty()) return "nothing";
    if (bytes.size() <= kShownBytes) return HexBytes(bytes);
    return HexBytes(bytes.substr(0, kShownBytes)) + " ...";
}

}  // namespace

TReplayDevice::TReplayDevice(std::string claimKey, std::string file, Pace pace, std::string port,
                             std::shared_ptr<TPortNotices> notices)
    : TMemoryDevice(std::move(claimKey)),
      m_file(std::move(file)),
      m_pace(pace),
      m_port(std::move(port)),
      m_notices(std::move(notices)) {}

TReplayDevice::~TReplayDevice() { Close(); }

TDeviceResult TReplayDevice::Open() {
    if (m_player.joinable()) return TMemoryDevice::Open();  // says that it is open already
    std::string text;
    std::string problem;
    TRecording recording;
    if (ReadFile(m_file, text, problem)) {
        recording = ReadRecording(text);
        if (!recording.Ok()) problem = "recording " + m_file + " refused: " + recording.error;
    }
    if (!problem.empty()) {
        if (m_notices) m_notices->Note(m_port + ": " + problem);
        return TDeviceResult::Unavailable(m_port + ": " + problem);
    }
    TDeviceResult opened = TMemoryDevice::Open();
    if (!opened) return opened;
    auto lock = Lock();
    m_events = std::move(recording.events);
    m_stop = m_parted = m_inSent = false;
    m_next = 0;
    m_anchorTime = TClock::now();
    m_anchorMicros = 0;
    m_player = std::thread([this] { Play(); });
    return opened;
}

void TReplayDevice::Close() {
    {
        auto lock = Lock();
        m_stop = true;
    }
    m_playWake.notify_all();
    if (m_player.joinable()) {
        m_player.join();
        auto lock = Lock();
        if (!m_parted) CatchUpLocked();
        // A script that stops sending early has changed as much as one that sends otherwise.
        if (!m_parted && m_next < m_events.size()) {
            const std::string got = m_inSent ? ShownBytes(m_got) + ", then the port was closed"
                                             : "nothing (the port was closed)";
            PartLocked(EventPlace(m_next), Shortened(DescribePieces(m_events[m_next].data)), got);
        }
    }
    TMemoryDevice::Close();
}

TDeviceResult TReplayDevice::SetDtr(LineLevel) {
    auto lock = Lock();
    return OpenLocked() ? TDeviceResult::Ok() : MemoryNotOpen();
}

TDeviceResult TReplayDevice::SetRts(LineLevel) {
    auto lock = Lock();
    return OpenLocked() ? TDeviceResult::Ok() : MemoryNotOpen();
}

// Opening and closing a port purge it; the recording holds only what the script read after
// that, so nothing played may be dropped.
TDeviceResult TReplayDevice::Purge(PurgeTarget) {
    auto lock = Lock();
    return OpenLocked() ? TDeviceResult::Ok() : MemoryNotOpen();
}

TDeviceResult TReplayDevice::Write(std::string_view data) {
    auto lock = Lock();
    if (!OpenLocked()) return MemoryNotOpen();
    for (std::size_t i = 0; i < data.size() && !m_parted; ++i) {
        if (!m_inSent) {
            CatchUpLocked();
            if (m_next == m_events.size()) {
                PartLocked(m_events.empty() ? "in an empty recording"
                                            : "after the last event (" +
                                                  std::to_string(m_events.size()) + ")",
                           "nothing more", ShownBytes(data.substr(i)));
                break;
            }
            m_inSent = true;
            m_piece = m_offset = 0;
            m_tail.clear();
            m_got.clear();
        }
        switch (FeedLocked(data[i])) {
            case Step::More: break;
            case Step::Differs:
                PartLocked(EventPlace(m_next), Shortened(DescribePieces(m_events[m_next].data)),
                           ShownBytes(m_got + std::string(data.substr(i, kShownBytes))));
                break;
            case Step::Done:
                m_anchorTime = TClock::now();
                m_anchorMicros = m_events[m_next].micros;
                m_inSent = false;
                ++m_next;
                break;
        }
    }
    m_playWake.notify_all();
    return TDeviceResult::Ok();
}

std::string TReplayDevice::Activity() const {
    return "replaying " + m_file + (m_pace == Pace::Fast ? " fast" : "");
}

void TReplayDevice::Play() {
    auto lock = Lock();
    while (!m_stop) {
        if (m_parted || m_next >= m_events.size() || m_events[m_next].kind == RecordedKind::Sent) {
            m_playWake.wait(lock);
            continue;
        }
        const TRecordedEvent& event = m_events[m_next];
        if (IsAnswer(event.kind) && m_pace == Pace::Recorded) {
            const auto due = m_anchorTime + std::chrono::microseconds(std::max<std::int64_t>(
                                                0, event.micros - m_anchorMicros));
            if (TClock::now() < due) {
                const std::size_t at = m_next;
                m_playWake.wait_until(lock, due, [&] { return m_stop || m_next != at; });
                continue;
            }
        }
        DeliverLocked(event);
        ++m_next;
    }
}

void TReplayDevice::CatchUpLocked() {
    while (m_next < m_events.size() && m_events[m_next].kind != RecordedKind::Sent) {
        DeliverLocked(m_events[m_next++]);
    }
}

void TReplayDevice::DeliverLocked(const TRecordedEvent& event) {
    switch (event.kind) {
        case RecordedKind::Received:
            for (const TDataPiece& piece : event.data) {
                if (!ReceiveLocked(piece.bytes)) RaiseErrorsLocked(kErrorRxOver);
            }
            break;
        case RecordedKind::Modem: SetModemLocked(event.value); break;
        case RecordedKind::Pulse: SetModemLocked(ModemLocked(), PulseEvents(event.value)); break;
        case RecordedKind::Error: RaiseErrorsLocked(event.value); break;
        default: break;  // what the script did itself is not played
    }
}

TReplayDevice::Step TReplayDevice::FeedLocked(char byte) {
    const std::vector<TDataPiece>& pieces = m_events[m_next].data;
    const TDataPiece& piece = pieces[m_piece];
    bool finished = false;
    switch (piece.kind) {
        case TDataPiece::Kind::Bytes:
            if (piece.bytes[m_offset] != byte) return Step::Differs;
            finished = ++m_offset == piece.bytes.size();
            break;
        case TDataPiece::Kind::Any: finished = ++m_offset == piece.count; break;
        case TDataPiece::Kind::Until:
            m_tail += byte;
            if (m_tail.size() > piece.bytes.size()) m_tail.erase(0, 1);
            finished = m_tail == piece.bytes;
            break;
    }
    if (m_got.size() < kShownBytes + 1) m_got += byte;
    if (!finished) return Step::More;
    ++m_piece;
    m_offset = 0;
    m_tail.clear();
    return m_piece == pieces.size() ? Step::Done : Step::More;
}

void TReplayDevice::PartLocked(const std::string& where, const std::string& expected,
                               const std::string& got) {
    m_parted = true;
    RaiseErrorsLocked(kErrorIo);
    if (m_notices) {
        m_notices->AddMismatch(m_port + ": replay of " + m_file + " " + where + ": expected " +
                               expected + ", got " + got);
    }
}

std::string TReplayDevice::EventPlace(std::size_t index) const {
    return "at event " + std::to_string(index + 1) + " (line " +
           std::to_string(m_events[index].line) + ")";
}

}  // namespace korvane::serial
