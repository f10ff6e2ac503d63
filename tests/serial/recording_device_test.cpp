#include "serial/recording_device.h"

#include <fcntl.h>
#include <sys/resource.h>

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <csignal>
#include <filesystem>
#include <thread>

#include "reader_thread.h"
#include "serial/fake_device.h"
#include "tests/host/temp_dir.h"

namespace korvane::serial {
namespace {

using host::testing::ReadBytes;
using host::testing::TTempDir;
using host::testing::WriteBytes;

class RecordingDeviceTest : public ::testing::Test {
 protected:
    void SetUp() override {
        auto fake = std::make_unique<TFakeDevice>();
        m_fake = fake.get();
        m_notices->SetListener([this](const std::string& text) { m_notes.push_back(text); });
        m_device = std::make_unique<TRecordingDevice>(std::move(fake), m_file, "com3", m_notices);
    }

    std::vector<RecordedKind> Kinds(const TRecording& recording) {
        std::vector<RecordedKind> kinds;
        for (const TRecordedEvent& event : recording.events) kinds.push_back(event.kind);
        return kinds;
    }

    TTempDir m_dir;
    std::string m_file = m_dir.File("session.kvr");
    std::shared_ptr<TPortNotices> m_notices = std::make_shared<TPortNotices>();
    std::vector<std::string> m_notes;
    TFakeDevice* m_fake = nullptr;
    std::unique_ptr<TRecordingDevice> m_device;
};

TEST_F(RecordingDeviceTest, WritesEveryEventInOrderAndPassesEverythingThrough) {
    ASSERT_TRUE(m_device->Open());
    EXPECT_EQ(m_device->Activity(), "recording to " + m_file);
    {
        testing::TReaderThread reader(*m_device);
        ASSERT_TRUE(m_device->ApplySettings({19200, 7, Parity::Even, StopBits::Two}));
        ASSERT_TRUE(m_device->SetDtr(LineLevel::On));
        ASSERT_TRUE(m_device->SetRts(LineLevel::Off));
        ASSERT_TRUE(m_device->Write("*IDN?\r"));
        EXPECT_EQ(m_fake->Written(), "*IDN?\r");
        ASSERT_TRUE(m_fake->Receive(std::string("SIM\0\r", 5)));
        ASSERT_TRUE(reader.WaitForBytes(5));
        m_fake->SetModemLines(kModemCts | kModemDsr);
        ASSERT_TRUE(reader.WaitForEvent(kEventCts));
        m_fake->PulseModemLines(kModemRing);
        ASSERT_TRUE(reader.WaitForEvent(kEventRing));
        m_fake->RaiseLineErrors(kErrorFrame);
        ASSERT_TRUE(reader.WaitForEvent(kEventErr));
        EXPECT_EQ(reader.Received(), std::string("SIM\0\r", 5));
    }
    m_device->Close();
    EXPECT_FALSE(m_fake->IsOpen());

    const TRecording recording = ReadRecording(ReadBytes(m_file));
    ASSERT_TRUE(recording.Ok()) << recording.error;
    EXPECT_EQ(Kinds(recording),
              (std::vector<RecordedKind>{RecordedKind::Settings, RecordedKind::Dtr,
                                         RecordedKind::Rts, RecordedKind::Sent,
                                         RecordedKind::Received, RecordedKind::Modem,
                                         RecordedKind::Pulse, RecordedKind::Error}));
    const auto& events = recording.events;
    EXPECT_EQ(events[0].settings, (TLineSettings{19200, 7, Parity::Even, StopBits::Two}));
    EXPECT_EQ(events[1].value, 1u);
    EXPECT_EQ(events[2].value, 0u);
    EXPECT_EQ(events[3].data[0].bytes, "*IDN?\r");
    EXPECT_EQ(events[4].data[0].bytes, std::string("SIM\0\r", 5));
    EXPECT_EQ(events[5].value, kModemCts | kModemDsr);
    EXPECT_EQ(events[6].value, kModemRing);
    EXPECT_EQ(events[7].value, kErrorFrame);
    for (std::size_t i = 1; i < events.size(); ++i) {
        EXPECT_GE(events[i].micros, events[i - 1].micros);
    }
    EXPECT_TRUE(m_notes.empty());
}

TEST_F(RecordingDeviceTest, RefusedCallsAreNotRecorded) {
    ASSERT_TRUE(m_device->Open());
    m_fake->SetFailure(FakeOperation::Write, "write: broken");
    m_fake->SetFailure(FakeOperation::SetDtr, "dtr: broken");
    EXPECT_FALSE(m_device->Write("lost"));
    EXPECT_FALSE(m_device->SetDtr(LineLevel::On));
    m_device->Close();
    const TRecording recording = ReadRecording(ReadBytes(m_file));
    ASSERT_TRUE(recording.Ok()) << recording.error;
    EXPECT_TRUE(recording.events.empty());
}

// A FIFO or a device as the recording is refused at once, whether or not something reads it:
// the open must not wait for a reader, nor a port stall on one that stops reading.
TEST_F(RecordingDeviceTest, AnUnwritableRecordingMakesThePortUnavailable) {
    const std::string fifo = m_dir.File("fifo.kvr");
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    const struct {
        std::string file;
        bool fifoReader;
        std::string reason;  // the message starts with this
    } cases[] = {
        {m_dir.File("missing/session.kvr"), false, ""},
        {fifo, false, "it is a FIFO, not a regular file"},
        {fifo, true, "it is a FIFO, not a regular file"},
        {"/dev/null", false, "it is a character device, not a regular file"},
    };
    for (const auto& c : cases) {
        m_notes.clear();
        const int reader =
            c.fifoReader ? ::open(fifo.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC) : -1;
        m_device = std::make_unique<TRecordingDevice>(std::make_unique<TFakeDevice>(), c.file,
                                                      "com3", m_notices);
        const TDeviceResult opened = m_device->Open();
        if (reader >= 0) ::close(reader);
        EXPECT_FALSE(opened) << c.file;
        EXPECT_TRUE(opened.PortInUse());
        const std::string reason = "com3: cannot write recording " + c.file + ": " + c.reason;
        EXPECT_EQ(opened.Message().substr(0, reason.size()), reason);
        ASSERT_EQ(m_notes.size(), 1u);
        EXPECT_EQ(m_notes[0], opened.Message());
        EXPECT_FALSE(m_device->IsOpen());
    }
}

// A port that does not open leaves the recording of an earlier session alone.
TEST_F(RecordingDeviceTest, ADeviceThatFailsToOpenKeepsTheOldRecording) {
    WriteBytes(m_file, "korvane-recording 1\n0 sent 41\n");
    m_fake->SetFailure(FakeOperation::Open, "no such device");
    EXPECT_FALSE(m_device->Open());
    EXPECT_EQ(ReadBytes(m_file), "korvane-recording 1\n0 sent 41\n");
}

std::vector<std::string> FolderNames(const std::filesystem::path& folder) {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder)) {
        names.push_back(entry.path().filename().string());
    }
    std::sort(names.begin(), names.end());
    return names;
}

// The recording takes the target's name only at close: until then the file of that name
// stays as it was, a link of that name is replaced rather than written through, and no
// other file is left in the folder.
TEST_F(RecordingDeviceTest, TheRecordingTakesTheTargetsPlaceAtClose) {
    WriteBytes(m_dir.File("important.txt"), "keep me\n");
    std::filesystem::create_symlink("important.txt", m_file);
    ASSERT_TRUE(m_device->Open());
    ASSERT_TRUE(m_device->Write("ping"));
    EXPECT_TRUE(std::filesystem::is_symlink(m_file));
    m_device->Close();
    EXPECT_EQ(ReadBytes(m_dir.File("important.txt")), "keep me\n");
    EXPECT_FALSE(std::filesystem::is_symlink(m_file));
    EXPECT_NE(ReadBytes(m_file).find("sent \"ping\""), std::string::npos);
    EXPECT_EQ(FolderNames(m_dir.Path()),
              (std::vector<std::string>{"important.txt", "session.kvr"}));
}

// Files stop growing at a small size, as on a full disk: the old recording stays, and the
// failure is kept for the program's exit code.
TEST_F(RecordingDeviceTest, AWriteThatFailsKeepsTheOldRecordingAndIsKept) {
    struct TSmallFiles {
        rlimit saved{};
        void (*handler)(int) = nullptr;
        TSmallFiles() {
            getrlimit(RLIMIT_FSIZE, &saved);
            handler = std::signal(SIGXFSZ, SIG_IGN);
            const rlimit small{4096, saved.rlim_max};
            setrlimit(RLIMIT_FSIZE, &small);
        }
        ~TSmallFiles() {
            setrlimit(RLIMIT_FSIZE, &saved);
            std::signal(SIGXFSZ, handler);
        }
    };
    WriteBytes(m_file, "korvane-recording 1\n0 sent 41\n");
    {
        TSmallFiles limit;
        ASSERT_TRUE(m_device->Open());
        ASSERT_TRUE(m_device->Write(std::string(100000, 'x')));
        m_device->Close();
    }
    EXPECT_EQ(ReadBytes(m_file), "korvane-recording 1\n0 sent 41\n");
    const std::string failure = "com3: cannot write recording " + m_file + ": File too large";
    EXPECT_EQ(m_notices->RecordingFailures(), (std::vector<std::string>{failure}));
    EXPECT_EQ(m_notes, (std::vector<std::string>{failure}));
    EXPECT_EQ(FolderNames(m_dir.Path()), (std::vector<std::string>{"session.kvr"}));
}

}  // namespace
}  // namespace korvane::serial
