#include "serial/tty_device.h"

#include <gtest/gtest.h>
#include <termios.h>
#include <unistd.h>

#include <filesystem>
#include <random>
#include <thread>

#include "pty_pair.h"
#include "reader_thread.h"
#include "tty_speed.h"

namespace korvane::serial {
namespace {

using testing::AllByteValues;
using testing::TPtyPair;
using testing::TReaderThread;

std::string PseudoRandomBytes(std::size_t count) {
    std::mt19937 generator(12345);
    std::string bytes(count, '\0');
    for (char& byte : bytes) {
        byte = static_cast<char>(generator() & 0xFF);
    }
    return bytes;
}

class TtyDeviceTest : public ::testing::Test {
 protected:
    void SetUp() override {
        ASSERT_TRUE(m_pty.Valid());
        const TDeviceResult opened = m_device.Open();
        ASSERT_TRUE(opened) << opened.Message();
    }

    termios SlaveTermios() const {
        termios tio{};
        EXPECT_EQ(::tcgetattr(m_pty.Slave(), &tio), 0);
        return tio;
    }

    TPtyPair m_pty;
    TTtyDevice m_device{m_pty.SlavePath()};
};

TEST_F(TtyDeviceTest, AppliesEveryFraming) {
    struct TCase {
        TLineSettings settings;
        tcflag_t flags;  // size, parity and stop-bit flags expected
    };
    const TCase cases[] = {
        {{9600, 8, Parity::None, StopBits::One}, CS8},
        {{19200, 7, Parity::Even, StopBits::One}, CS7 | PARENB},
        {{1200, 6, Parity::Odd, StopBits::Two}, CS6 | PARENB | PARODD | CSTOPB},
        {{250000, 5, Parity::Mark, StopBits::OneAndHalf}, CS5 | PARENB | PARODD | CMSPAR | CSTOPB},
        {{31250, 8, Parity::Space, StopBits::One}, CS8 | PARENB | CMSPAR},
    };
    // A pseudo-terminal always carries 8 bits without parity; the rest of the framing is kept.
    constexpr tcflag_t kForcedByPty = CSIZE | PARENB;
    constexpr tcflag_t kFraming = PARODD | CMSPAR | CSTOPB;
    for (const TCase& test : cases) {
        SCOPED_TRACE(test.settings.baudRate);
        const TDeviceResult applied = m_device.ApplySettings(test.settings);
        ASSERT_TRUE(applied) << applied.Message();
        const termios tio = SlaveTermios();
        EXPECT_EQ(tio.c_cflag & kFraming, test.flags & kFraming);
        EXPECT_EQ(tio.c_cflag & kForcedByPty, CS8);
        EXPECT_EQ(testing::ReadOutputSpeed(m_pty.Slave()), test.settings.baudRate);
        EXPECT_EQ(tio.c_lflag & (ECHO | ICANON | ISIG), 0u);
        EXPECT_EQ(tio.c_iflag & (ICRNL | IXON | INPCK), 0u);
        EXPECT_EQ(tio.c_oflag & OPOST, 0u);
        EXPECT_EQ(tio.c_cflag & CRTSCTS, 0u);
    }
}

TEST_F(TtyDeviceTest, RefusedSettingsLeaveThePreviousInForce) {
    ASSERT_TRUE(m_device.ApplySettings({57600, 7, Parity::Odd, StopBits::Two}));
    const termios before = SlaveTermios();
    struct TCase {
        TLineSettings settings;
        const char* message;
    };
    const TCase cases[] = {
        {{0, 8, Parity::None, StopBits::One}, "set line settings: baud rate 0 is not positive"},
        {{-9600, 8, Parity::None, StopBits::One},
         "set line settings: baud rate -9600 is not positive"},
        {{9600, 4, Parity::None, StopBits::One}, "set line settings: data bits 4 outside 5 to 8"},
        {{9600, 9, Parity::None, StopBits::One}, "set line settings: data bits 9 outside 5 to 8"},
        {{9600, 8, static_cast<Parity>(5), StopBits::One},
         "set line settings: unknown parity code 5"},
        {{9600, 8, Parity::None, static_cast<StopBits>(3)},
         "set line settings: unknown stop-bit code 3"},
    };
    for (const TCase& test : cases) {
        const TDeviceResult result = m_device.ApplySettings(test.settings);
        ASSERT_FALSE(result);
        EXPECT_EQ(result.Message(), test.message);
    }
    const termios after = SlaveTermios();
    EXPECT_EQ(after.c_cflag, before.c_cflag);
    EXPECT_EQ(testing::ReadOutputSpeed(m_pty.Slave()), 57600);
}

TEST_F(TtyDeviceTest, SecondOpenFailsEvenThroughAnotherPath) {
    const std::string link = ::testing::TempDir() + "tty_link_" + std::to_string(::getpid());
    std::filesystem::remove(link);
    std::filesystem::create_symlink(m_pty.SlavePath(), link);
    for (const std::string& path : {m_pty.SlavePath(), link}) {
        TTtyDevice second(path);
        const TDeviceResult result = second.Open();
        ASSERT_FALSE(result) << path;
        EXPECT_FALSE(second.IsOpen());
    }
    std::filesystem::remove(link);
}

TEST_F(TtyDeviceTest, ReopensAfterCloseWhileOthersHoldTheTty) {
    m_device.Close();
    EXPECT_FALSE(m_device.IsOpen());
    // The test still holds the slave, so exclusivity must have been handed back.
    TTtyDevice again(m_pty.SlavePath());
    const TDeviceResult reopened = again.Open();
    ASSERT_TRUE(reopened) << reopened.Message();
    TReaderThread reader(again);
    ASSERT_TRUE(m_pty.PeerWrite("after reopen"));
    ASSERT_TRUE(reader.WaitForBytes(12));
    EXPECT_EQ(reader.Received(), "after reopen");
}

TEST_F(TtyDeviceTest, CarriesEveryByteValueBothWays) {
    TReaderThread reader(m_device);
    const std::string bytes = AllByteValues();
    ASSERT_TRUE(m_device.Write(bytes));
    EXPECT_EQ(m_pty.PeerRead(bytes.size()), bytes);
    ASSERT_TRUE(m_pty.PeerWrite(bytes));
    ASSERT_TRUE(reader.WaitForBytes(bytes.size()));
    EXPECT_EQ(reader.Received(), bytes);
    EXPECT_TRUE(reader.ReadErrors().empty());
}

TEST_F(TtyDeviceTest, LargeWritesArriveWholeAndInOrder) {
    TReaderThread reader(m_device);
    const std::string bytes = PseudoRandomBytes(1 << 20);
    std::string received;
    std::thread peer([&] { received = m_pty.PeerRead(bytes.size()); });
    std::size_t offset = 0;
    for (std::size_t size = 1; offset < bytes.size(); size = size * 3 + 7) {
        const std::size_t piece = std::min(size % 200000 + 1, bytes.size() - offset);
        ASSERT_TRUE(m_device.Write(std::string_view(bytes).substr(offset, piece)));
        offset += piece;
    }
    peer.join();
    EXPECT_EQ(received.size(), bytes.size());
    EXPECT_TRUE(received == bytes);
    EXPECT_EQ(m_device.PendingOutput(), 0u);
}

TEST_F(TtyDeviceTest, WriteQueuesWhatTheDeviceCannotTakeAndPurgeDropsIt) {
    // No reader and no peer: the pty fills and the rest must wait in the queue.
    ASSERT_TRUE(m_device.Write(PseudoRandomBytes(1 << 20)));
    EXPECT_GT(m_device.PendingOutput(), 0u);
    const TDeviceResult tooMuch = m_device.Write(std::string(kMaxQueuedOutput, 'x'));
    ASSERT_FALSE(tooMuch);
    EXPECT_EQ(tooMuch.Message().rfind("write: output queue full (", 0), 0u);
    ASSERT_TRUE(m_device.Purge(PurgeTarget::Output));
    EXPECT_EQ(m_device.PendingOutput(), 0u);
}

TEST_F(TtyDeviceTest, PurgeInputDiscardsWhatCameBefore) {
    ASSERT_TRUE(m_pty.PeerWrite("stale"));
    ASSERT_TRUE(m_pty.SlaveHasInput());
    ASSERT_TRUE(m_device.Purge(PurgeTarget::Input));
    std::string read;
    ASSERT_TRUE(m_device.ReadQueued(read));
    EXPECT_EQ(read, "");
    TReaderThread reader(m_device);
    ASSERT_TRUE(m_pty.PeerWrite("fresh"));
    ASSERT_TRUE(reader.WaitForBytes(5));
    EXPECT_EQ(reader.Received(), "fresh");
}

TEST_F(TtyDeviceTest, PseudoTerminalHasNoModemLines) {
    std::uint32_t status = 0xFF;
    ASSERT_TRUE(m_device.GetModemStatus(status));
    EXPECT_EQ(status, 0u);
    const TDeviceResult dtr = m_device.SetDtr(LineLevel::On);
    ASSERT_FALSE(dtr);
    EXPECT_EQ(dtr.Message(), "set DTR: Inappropriate ioctl for device");
    EXPECT_FALSE(m_device.SetRts(LineLevel::Off));
    TReaderThread reader(m_device);
    ASSERT_TRUE(m_pty.PeerWrite("data"));
    ASSERT_TRUE(reader.WaitForBytes(4));
    EXPECT_TRUE(reader.LineEvents().empty());
}

TEST_F(TtyDeviceTest, HangUpIsReportedOnceAsIoError) {
    TReaderThread reader(m_device);
    m_pty.CloseAll();
    ASSERT_TRUE(reader.WaitForEvent(kEventErr));
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    const std::vector<TDeviceEvent> events = reader.LineEvents();
    ASSERT_EQ(events.size(), 1u);
    EXPECT_EQ(events[0].errors, kErrorIo);
    EXPECT_LE(reader.EventCount(), 2);  // at most the error and one last data event
    const TDeviceResult write = m_device.Write("x");
    ASSERT_FALSE(write);
    EXPECT_EQ(write.Message(), m_pty.SlavePath() + ": the device has failed");
}

TEST(TtyDeviceOpen, RefusesWhatIsNoSerialPort) {
    struct TCase {
        const char* path;
        const char* message;
    };
    const TCase cases[] = {
        {"/dev/null", "/dev/null: not a serial device"},
        {"/nonexistent/ttyX", "/nonexistent/ttyX: No such file or directory"},
    };
    for (const TCase& test : cases) {
        TTtyDevice device(test.path);
        const TDeviceResult result = device.Open();
        ASSERT_FALSE(result);
        EXPECT_EQ(result.Message(), test.message);
        EXPECT_FALSE(device.IsOpen());
        std::string read;
        EXPECT_EQ(device.ReadQueued(read).Message(), "the port is not open");
        EXPECT_TRUE(device.WaitEvent().closed);
    }
}

}  // namespace
}  // namespace korvane::serial
