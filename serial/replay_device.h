#pragma once

#include <chrono>
#include <condition_variable>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "memory_device.h"
#include "port_notices.h"
#include "recording.h"

namespace korvane::serial {

// A virtual port that plays a recording back to the script. When the script sends what the
// recording says was sent, the port answers with what was received next, modem lines and
// line errors included, keeping the recorded gaps (or at once, when fast). Line settings,
// DTR and RTS are not checked. When the script sends something else, or closes the port
// before sending all it sent in the recording, the port does not guess: it stops playing,
// reports an I/O line error and leaves the difference with `notices`.
class TReplayDevice : public TMemoryDevice {
 public:
    enum class Pace { Recorded, Fast };

    // `port` names the port in messages ("com3").
    TReplayDevice(std::string claimKey, std::string file, Pace pace, std::string port,
                  std::shared_ptr<TPortNotices> notices);
    ~TReplayDevice() override;

    // An unreadable or malformed recording keeps the port closed: it is not available.
    TDeviceResult Open() override;
    void Close() override;

    TDeviceResult SetDtr(LineLevel level) override;
    TDeviceResult SetRts(LineLevel level) override;
    TDeviceResult Purge(PurgeTarget target) override;
    TDeviceResult Write(std::string_view data) override;
    std::string Activity() const override;

 private:
    using TClock = std::chrono::steady_clock;
    enum class Step { More, Done, Differs };

    void Play();
    // The helpers below expect the lock.
    // Plays the answers before the next sent block at once: the script has moved on.
    void CatchUpLocked();
    void DeliverLocked(const TRecordedEvent& event);
    Step FeedLocked(char byte);
    void PartLocked(const std::string& where, const std::string& expected, const std::string& got);
    std::string EventPlace(std::size_t index) const;

    std::string m_file;
    Pace m_pace;
    std::string m_port;
    std::shared_ptr<TPortNotices> m_notices;
    std::vector<TRecordedEvent> m_events;

    std::condition_variable m_playWake;
    std::thread m_player;
    bool m_stop = false;
    bool m_parted = false;
    std::size_t m_next = 0;  // the event being played or matched
    // How far the script got into the sent block at m_next.
    bool m_inSent = false;
    std::size_t m_piece = 0;
    std::size_t m_offset = 0;
    std::string m_tail;  // the last bytes seen, for until()
    std::string m_got;   // the block's bytes so far, for the message
    // Answers keep their recorded distance from the last sent block.
    TClock::time_point m_anchorTime;
    std::int64_t m_anchorMicros = 0;
};

}  // namespace korvane::serial
