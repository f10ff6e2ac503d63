#include "serial/replay_device.h"

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>

#include "reader_thread.h"
#include "tests/host/temp_dir.h"

namespace korvane::serial {
namespace {

using host::testing::TTempDir;
using host::testing::WriteBytes;

class ReplayDeviceTest : public ::testing::Test {
 protected:
    void SetUp() override {
        m_notices->SetListener([this](const std::string& text) { m_notes.push_back(text); });
    }

    // A device replaying `events` (lines after the header).
    std::unique_ptr<TReplayDevice> Replay(const std::string& events,
                                          TReplayDevice::Pace pace = TReplayDevice::Pace::Fast) {
        WriteBytes(m_file, "korvane-recording 1\n" + events);
        return std::make_unique<TReplayDevice>("replay:test", m_file, pace, "com3", m_notices);
    }

    std::string Place(int event) {
        return "com3: replay of " + m_file + " at event " + std::to_string(event) + " (line " +
               std::to_string(event + 1) + "): ";
    }

    TTempDir m_dir;
    std::string m_file = m_dir.File("session.kvr");
    std::shared_ptr<TPortNotices> m_notices = std::make_shared<TPortNotices>();
    std::vector<std::string> m_notes;
};

TEST_F(ReplayDeviceTest, AnswersEachSentBlockWithWhatCameNext) {
    auto device = Replay(
        "0 received \"READY\\r\"\n"
        "0 settings 9600 8 n 1\n"
        "0 rts 1\n"
        "0.1 sent \"A?\\r\"\n"
        "0.2 received \"1\\r\"\n"
        "0.3 modem cts dsr\n"
        "0.4 sent \"B?\\r\"\n"
        "0.5 received \"2\\r\"\n"
        "0.6 pulse ring\n"
        "0.7 error frame\n");
    ASSERT_TRUE(device->Open());
    EXPECT_FALSE(device->Open());  // held already; the play goes on undisturbed
    EXPECT_EQ(device->Activity(), "replaying " + m_file + " fast");
    testing::TReaderThread reader(*device);
    ASSERT_TRUE(reader.WaitForBytes(6));
    // Opening a port purges it; what the recording says arrived must not be lost to that.
    ASSERT_TRUE(device->Purge(PurgeTarget::Both));
    ASSERT_TRUE(device->SetRts(LineLevel::On));
    ASSERT_TRUE(device->Write("A?\r"));
    ASSERT_TRUE(reader.WaitForEvent(kEventCts));
    std::uint32_t modem = 0;
    ASSERT_TRUE(device->GetModemStatus(modem));
    EXPECT_EQ(modem, kModemCts | kModemDsr);
    ASSERT_TRUE(device->Write("B"));  // a block may come in pieces
    ASSERT_TRUE(device->Write("?\r"));
    ASSERT_TRUE(reader.WaitForEvent(kEventErr));
    ASSERT_TRUE(reader.WaitForEvent(kEventRing));
    ASSERT_TRUE(reader.WaitForBytes(10));
    EXPECT_EQ(reader.Received(), "READY\r1\r2\r");
    std::uint32_t errors = 0;
    for (const TDeviceEvent& event : reader.LineEvents()) errors |= event.errors;
    EXPECT_EQ(errors, kErrorFrame);
    reader.Stop();
    device->Close();
    EXPECT_TRUE(m_notices->Mismatches().empty());
}

TEST_F(ReplayDeviceTest, ADifferentBlockStopsThePlayAndIsReported) {
    auto device = Replay(
        "0 sent \"A?\"\n"
        "0 received \"1\"\n"
        "0 sent \"SET 5\\r\"\n"
        "0 received \"OK\"\n");
    ASSERT_TRUE(device->Open());
    testing::TReaderThread reader(*device);
    ASSERT_TRUE(device->Write("A?"));
    ASSERT_TRUE(reader.WaitForBytes(1));
    EXPECT_TRUE(device->Write("SET 6\r"));  // the run goes on
    ASSERT_TRUE(reader.WaitForEvent(kEventErr));
    EXPECT_TRUE(device->Write("SET 5\r"));  // no second guess either
    reader.Stop();
    EXPECT_EQ(reader.Received(), "1");
    EXPECT_EQ(reader.LineEvents().back().errors, kErrorIo);
    device->Close();
    EXPECT_EQ(m_notices->Mismatches(),
              (std::vector<std::string>{Place(3) + "expected 53 45 54 20 35 0D, got 53 45 54 20 "
                                                   "36 0D"}));
}

TEST_F(ReplayDeviceTest, AnyAndUntilMatchVaryingBytes) {
    auto device = Replay(
        "0 sent \"TIME \" any(8) \" \" until(0D 0A) \"!\"\n"
        "0 received \"OK\"\n");
    ASSERT_TRUE(device->Open());
    testing::TReaderThread reader(*device);
    ASSERT_TRUE(device->Write("TIME 12:34:56 anything \r at all\r\n"));
    ASSERT_TRUE(device->Write("!"));
    ASSERT_TRUE(reader.WaitForBytes(2));
    EXPECT_EQ(reader.Received(), "OK");
    reader.Stop();
    device->Close();
    EXPECT_TRUE(m_notices->Mismatches().empty());
}

TEST_F(ReplayDeviceTest, SendingTooLittleOrTooMuchIsReported) {
    const std::string recording = "0 sent \"AB\"\n0 received \"x\"\n";
    struct TCase {
        std::vector<std::string> writes;
        std::string mismatch;
    };
    const TCase cases[] = {
        {{}, Place(1) + "expected 41 42, got nothing (the port was closed)"},
        {{"A"}, Place(1) + "expected 41 42, got 41, then the port was closed"},
        {{"AB", "Z"}, "com3: replay of " + m_file +
                          " after the last event (2): expected nothing more, got 5A"},
        {{"ABZ"}, "com3: replay of " + m_file +
                      " after the last event (2): expected nothing more, got 5A"},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.mismatch);
        m_notices = std::make_shared<TPortNotices>();
        auto device = Replay(recording);
        ASSERT_TRUE(device->Open());
        for (const std::string& bytes : c.writes) ASSERT_TRUE(device->Write(bytes));
        device->Close();
        EXPECT_EQ(m_notices->Mismatches(), (std::vector<std::string>{c.mismatch}));
    }
}

// Only a lower bound: an answer never comes before its recorded gap has passed.
TEST_F(ReplayDeviceTest, AnswersKeepTheirRecordedGap) {
    auto device = Replay("5 sent \"A\"\n5.3 received \"x\"\n", TReplayDevice::Pace::Recorded);
    ASSERT_TRUE(device->Open());
    EXPECT_EQ(device->Activity(), "replaying " + m_file);
    testing::TReaderThread reader(*device);
    const auto sent = std::chrono::steady_clock::now();
    ASSERT_TRUE(device->Write("A"));
    ASSERT_TRUE(reader.WaitForBytes(1));
    EXPECT_GE(std::chrono::steady_clock::now() - sent, std::chrono::milliseconds(300));
}

// Also files no recording can be: a folder, and a device that never ends (its size is
// checked as it is read).
TEST_F(ReplayDeviceTest, ABadRecordingKeepsThePortUnavailable) {
    WriteBytes(m_file, "korvane-recording 1\n0 sent \"x\n");
    const std::string large = m_dir.File("large.kvr");
    WriteBytes(large, "korvane-recording 1\n");
    std::filesystem::resize_file(large, 16 * 1024 * 1024 + 1);  // a hole: no time to write
    const std::pair<std::string, std::string> cases[] = {
        {m_file, "com3: recording " + m_file + " refused: line 2: text without its closing quote"},
        {m_dir.File("none.kvr"),
         "com3: cannot read recording " + m_dir.File("none.kvr") + ": No such file or directory"},
        {m_dir.Path().string(),
         "com3: cannot read recording " + m_dir.Path().string() + ": it is a folder"},
        {large,
         "com3: recording " + large + " is larger than 16 MiB, the most a replayed port reads"},
        {"/dev/zero",
         "com3: recording /dev/zero is larger than 16 MiB, the most a replayed port reads"},
    };
    for (const auto& [file, note] : cases) {
        m_notes.clear();
        TReplayDevice device("replay:test", file, TReplayDevice::Pace::Fast, "com3", m_notices);
        const TDeviceResult opened = device.Open();
        EXPECT_FALSE(opened);
        EXPECT_TRUE(opened.PortInUse());
        EXPECT_EQ(opened.Message(), note);
        EXPECT_EQ(m_notes, (std::vector<std::string>{note}));
        EXPECT_FALSE(device.IsOpen());
    }
}

}  // namespace
}  // namespace korvane::serial
