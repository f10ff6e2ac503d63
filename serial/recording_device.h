#pragma once

#include <chrono>
#include <memory>
#include <string>

#include "port_notices.h"
#include "recording.h"
#include "recording_writer.h"
#include "serial_device.h"

namespace korvane::serial {

// A port that is used exactly like the device it wraps, while every event on it is written
// to a recording: bytes sent and received, line settings, DTR and RTS, modem-line changes
// and line errors, each with its time since Open.
class TRecordingDevice : public TSerialDevice {
 public:
    // `port` names the port in notes ("com3"); notes go to `notices`.
    TRecordingDevice(std::unique_ptr<TSerialDevice> inner, std::string file, std::string port,
                     std::shared_ptr<TPortNotices> notices);
    ~TRecordingDevice() override;

    // A recording that cannot be written keeps the port closed: it is not available.
    TDeviceResult Open() override;
    bool IsOpen() const override { return m_inner->IsOpen(); }
    void Shutdown() override { m_inner->Shutdown(); }
    void Close() override;

    TDeviceResult ApplySettings(const TLineSettings& settings) override;
    TDeviceResult SetDtr(LineLevel level) override;
    TDeviceResult SetRts(LineLevel level) override;
    TDeviceResult GetModemStatus(std::uint32_t& status) override {
        return m_inner->GetModemStatus(status);
    }
    TDeviceResult Purge(PurgeTarget target) override { return m_inner->Purge(target); }
    TDeviceResult ReadQueued(std::string& out) override;
    TDeviceResult Write(std::string_view data) override;
    std::size_t PendingOutput() const override { return m_inner->PendingOutput(); }
    TDeviceEvent WaitEvent() override;
    std::string PeerPath() const override { return m_inner->PeerPath(); }
    std::string Activity() const override { return "recording to " + m_file; }
    void SetOpenWait(std::function<bool()> keepWaiting) override {
        m_inner->SetOpenWait(std::move(keepWaiting));
    }
    bool Lost() const override { return m_inner->Lost(); }

 private:
    void Record(TRecordedEvent event);
    std::int64_t Elapsed() const;

    std::unique_ptr<TSerialDevice> m_inner;
    std::string m_file;
    std::string m_port;
    std::shared_ptr<TPortNotices> m_notices;
    TRecordingWriter m_writer;
    std::chrono::steady_clock::time_point m_opened;
};

}  // namespace korvane::serial
