#pragma once

#include <QCoreApplication>
#include <QPlainTextEdit>
#include <chrono>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "serial/fake_device.h"
#include "serial/port_map.h"
#include "serial/port_registry.h"
#include "serial/port_source.h"
#include "serial/terminal_window.h"

namespace korvane::serial::testing {

inline constexpr const char* kTerminalLayout = KORVANE_TEST_TERMINAL_LAYOUT;

// Runs the Qt event loop (where reader threads hand their events over) until `done` holds
// or a few seconds have passed; true if it held.
inline bool PumpUntil(const std::function<bool()>& done) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (!done()) {
        if (std::chrono::steady_clock::now() > deadline) return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    }
    return true;
}

// The lines a terminal's view shows, as bytes.
inline std::vector<std::string> ViewLines(const TTerminalWindow& window) {
    std::vector<std::string> lines;
    if (window.LineCount() == 0) return lines;
    for (const QString& line : window.Memo1()->toPlainText().split('\n')) {
        lines.push_back(line.toLatin1().toStdString());
    }
    return lines;
}

// Ports that are scripted fake devices, so a test can play the far end of a port opened
// through the table and see how the channel drove it.
class TFakePorts : public TPortSource {
 public:
    explicit TFakePorts(std::vector<int> numbers) : m_numbers(std::move(numbers)) {}

    std::vector<int> FreePortNumbers() const override {
        std::vector<int> free;
        for (int number : m_numbers) {
            if (!TPortRegistry::IsHeld(Key(number))) free.push_back(number);
        }
        return free;
    }
    bool IsFree(int number) const override {
        for (int free : FreePortNumbers()) {
            if (free == number) return true;
        }
        return false;
    }
    std::unique_ptr<TSerialDevice> MakeDevice(int number) const override {
        auto device = std::make_unique<TFakeDevice>(Key(number));
        if (auto failure = m_openFailures.find(number); failure != m_openFailures.end()) {
            device->SetFailure(FakeOperation::Open, failure->second);
        }
        m_made[number] = device.get();
        return device;
    }

    // The device last made for a port; valid while its terminal holds it.
    TFakeDevice& Device(int number) const { return *m_made.at(number); }
    void FailOpen(int number, std::string message) { m_openFailures[number] = std::move(message); }

 private:
    static std::string Key(int number) { return "fake:" + PortName(number); }

    std::vector<int> m_numbers;
    std::map<int, std::string> m_openFailures;
    mutable std::map<int, TFakeDevice*> m_made;
};

}  // namespace korvane::serial::testing

namespace korvane::serial::testing {

// Lends a device the test owns to a terminal, so the test can look at it after the
// terminal has closed and dropped its device.
class TBorrowedDevice : public TSerialDevice {
 public:
    explicit TBorrowedDevice(TSerialDevice& device) : m_device(device) {}

    TDeviceResult Open() override { return m_device.Open(); }
    bool IsOpen() const override { return m_device.IsOpen(); }
    void Shutdown() override { m_device.Shutdown(); }
    void Close() override { m_device.Close(); }
    TDeviceResult ApplySettings(const TLineSettings& s) override {
        return m_device.ApplySettings(s);
    }
    TDeviceResult SetDtr(LineLevel level) override { return m_device.SetDtr(level); }
    TDeviceResult SetRts(LineLevel level) override { return m_device.SetRts(level); }
    TDeviceResult GetModemStatus(std::uint32_t& s) override { return m_device.GetModemStatus(s); }
    TDeviceResult Purge(PurgeTarget target) override { return m_device.Purge(target); }
    TDeviceResult ReadQueued(std::string& out) override { return m_device.ReadQueued(out); }
    TDeviceResult Write(std::string_view data) override { return m_device.Write(data); }
    std::size_t PendingOutput() const override { return m_device.PendingOutput(); }
    TDeviceEvent WaitEvent() override { return m_device.WaitEvent(); }

 private:
    TSerialDevice& m_device;
};

}  // namespace korvane::serial::testing
