#include "serial/terminal.h"

#include <fcntl.h>
#include <gtest/gtest.h>

#include <atomic>
#include <optional>
#include <thread>

#include "channel_fixture.h"
#include "pty_pair.h"
#include "reader_thread.h"
#include "serial/tty_device.h"

namespace korvane::serial {
namespace {

using testing::PumpUntil;
using testing::TPtyPair;

// A terminal over a fake device the test keeps a pointer to.
struct TFakeTerminal {
    TFakeDevice* device = nullptr;
    QPoint remembered{-1, -1};
    TTerminal terminal{[this] {
                           auto made = std::make_unique<TFakeDevice>();
                           device = made.get();
                           return made;
                       },
                       nullptr, [this](QPoint position) { remembered = position; }};

    TFakeTerminal() {
        terminal.SetPort("COM1");
        terminal.Open();
    }
    std::vector<std::string> Lines() { return testing::ViewLines(terminal.Window()); }
};

TEST(Terminal, OpensWithBothLinesDroppedAndTheQueuesPurged) {
    TFakeTerminal f;
    ASSERT_TRUE(f.terminal.Connected());
    EXPECT_EQ(f.device->Dtr(), LineLevel::Off);
    EXPECT_EQ(f.device->Rts(), LineLevel::Off);
    EXPECT_EQ(f.device->PurgeCount(), 1);
    EXPECT_EQ(f.device->Settings(), (TLineSettings{9600, 8, Parity::None, StopBits::One}));
    EXPECT_TRUE(f.terminal.OpenFailure().empty());

    ASSERT_TRUE(f.terminal.SetDTR(true));
    ASSERT_TRUE(f.terminal.SetRTS(true));
    EXPECT_EQ(f.device->Dtr(), LineLevel::On);
    EXPECT_EQ(f.device->Rts(), LineLevel::On);
    f.device->SetFailure(FakeOperation::SetRts, "refused");
    EXPECT_FALSE(f.terminal.SetRTS(false));
}

TEST(Terminal, ClosingDropsTheLinesAndReleasesThePort) {
    TFakeDevice device;
    TTerminal terminal([&] { return std::make_unique<testing::TBorrowedDevice>(device); }, nullptr,
                       {});
    terminal.Open();
    ASSERT_TRUE(terminal.SetDTR(true));
    ASSERT_TRUE(terminal.SetRTS(true));
    ASSERT_TRUE(device.Receive("left over"));
    terminal.ClosePort();
    EXPECT_FALSE(terminal.Connected());
    EXPECT_FALSE(device.IsOpen());
    EXPECT_EQ(device.Dtr(), LineLevel::Off);
    EXPECT_EQ(device.Rts(), LineLevel::Off);
    EXPECT_EQ(device.PurgeCount(), 2);
    EXPECT_FALSE(terminal.SetDTR(true));
    EXPECT_FALSE(terminal.SetRTS(true));
    // Closing twice is harmless, and the released port opens again at once.
    terminal.ClosePort();
    terminal.Open();
    EXPECT_TRUE(terminal.Connected());
}

TEST(Terminal, RefusedSettingsLeaveTheOpeningOnesInForce) {
    TFakeDevice* device = nullptr;
    TTerminal terminal(
        [&device] {
            auto made = std::make_unique<TFakeDevice>();
            device = made.get();
            return made;
        },
        nullptr, {});
    terminal.SetPort("COM4");
    terminal.SetBaudRate(19200);
    terminal.SetByteSize(9);  // no device takes nine data bits
    terminal.Open();
    ASSERT_TRUE(terminal.Connected());
    EXPECT_EQ(device->Settings(), (TLineSettings{9600, 8, Parity::Even, StopBits::One}));
}

TEST(Terminal, AFailedOpenIsCaughtAndExplained) {
    TTerminal terminal(
        [] {
            auto made = std::make_unique<TFakeDevice>();
            made->SetFailure(FakeOperation::Open, "/dev/ttyUSB0: the port is in use");
            return made;
        },
        nullptr, {});
    terminal.SetPort("COM7");
    terminal.Window().show();
    terminal.Open();
    EXPECT_FALSE(terminal.Connected());
    EXPECT_FALSE(terminal.Window().isVisible());
    EXPECT_EQ(terminal.OpenFailure(),
              "TTerminal : cannot open COM7\r/dev/ttyUSB0: the port is in use");
    EXPECT_TRUE(terminal.Send("x"));
    EXPECT_FALSE(terminal.SetDTR(true));
}

TEST(Terminal, LineStatesFollowTheChangesSinceOpening) {
    TFakeTerminal f;
    EXPECT_EQ(f.terminal.CtsState(), 0);
    const struct {
        std::uint32_t lines;
        int cts, dsr, rlsd;
    } steps[] = {
        {kModemCts, 1, 0, 0},
        {kModemCts | kModemDsr | kModemRlsd, 1, 1, 1},
        {kModemDsr | kModemRlsd, 0, 1, 1},
        {0, 0, 0, 0},
    };
    for (const auto& step : steps) {
        f.device->SetModemLines(step.lines);
        ASSERT_TRUE(PumpUntil([&] {
            return f.terminal.CtsState() == step.cts && f.terminal.DsrState() == step.dsr &&
                   f.terminal.RlsdState() == step.rlsd;
        })) << step.lines;
    }
    // A ring pulse that came and went before the reader looked reads as having come on.
    f.device->PulseModemLines(kModemRing);
    ASSERT_TRUE(PumpUntil([&] { return f.terminal.RingState() == 1; }));
    EXPECT_EQ(f.terminal.CtsState(), 0);
}

// Changes quicker than the reader fold into one event whose levels before and after agree;
// the state still ends at the line's level. The line error behind each pulse marks when
// the reader has handed it over.
TEST(Terminal, LineStatesEndWhereQuickChangesSettled) {
    TFakeTerminal f;
    const struct {
        std::uint32_t level;
        int cts;
    } steps[] = {{0, 0}, {kModemCts, 1}};
    for (const auto& step : steps) {
        f.device->SetModemLines(step.level);
        f.device->PulseModemLines(kModemCts);
        f.device->RaiseLineErrors(kErrorBreak);
        const int before = f.terminal.Window().LineCount();
        ASSERT_TRUE(PumpUntil([&] { return f.terminal.Window().LineCount() > before; }));
        EXPECT_EQ(f.terminal.CtsState(), step.cts) << step.level;
    }
}

TEST(Terminal, LineErrorsShowInTheViewEvenWhileHidden) {
    TFakeTerminal f;
    ASSERT_FALSE(f.terminal.Window().isVisible());
    const std::uint32_t errors[] = {kErrorParity, kErrorParity | kErrorFrame, kErrorIo};
    for (std::uint32_t error : errors) {
        const int before = f.terminal.Window().LineCount();
        f.device->RaiseLineErrors(error);
        ASSERT_TRUE(PumpUntil([&] { return f.terminal.Window().LineCount() == before + 1; }));
    }
    EXPECT_EQ(f.Lines(), (std::vector<std::string>{"PORT ERROR :Parity error",
                                                   "PORT ERROR :", "PORT ERROR :I/O Error"}));
}

TEST(Terminal, ReceiveBufferTrimsItsFrontOnceOverTheLimit) {
    TFakeTerminal f;
    // The last chunk comes in reads far larger than the limit, as from a pseudo-terminal: it
    // is taken in slices, so the buffer keeps its length as for small reads.
    const struct {
        std::size_t chunk;
        std::size_t length;
        std::uint64_t dropped;
    } steps[] = {{8000, 8000, 0},
                 {500, 8500, 0},
                 {100, 8500, 100},
                 {3000, 8500, 3100},
                 {100000, 8500, 103100}};
    std::string sent;
    char next = 'a';
    for (const auto& step : steps) {
        const std::string chunk(step.chunk, next++);
        sent += chunk;
        ASSERT_TRUE(f.device->Receive(chunk));
        ASSERT_TRUE(PumpUntil([&] {
            return f.terminal.RxBuffer().size() == step.length &&
                   f.terminal.RxBuffer().back() == chunk.back() &&
                   f.terminal.DroppedBytes() == step.dropped;
        })) << step.chunk;
        EXPECT_EQ(f.terminal.RxBuffer(), sent.substr(sent.size() - step.length));
    }
    EXPECT_EQ(f.terminal.Window().windowTitle(), "COM1 - 103,100 received bytes dropped");
    EXPECT_EQ(f.terminal.TakeUnreportedDrops(), 103100u);
    EXPECT_EQ(f.terminal.TakeUnreportedDrops(), 0u);
}

TEST(Terminal, DeleteFromBuffer) {
    const struct {
        int count;
        std::string left;
    } cases[] = {{3, "DE"}, {0, "ABCDE"}, {-2, "ABCDE"}, {5, ""}, {99, ""}};
    for (const auto& c : cases) {
        TFakeTerminal f;
        ASSERT_TRUE(f.device->Receive("ABCDE"));
        ASSERT_TRUE(PumpUntil([&] { return f.terminal.RxBuffer() == "ABCDE"; }));
        f.terminal.DeleteFromBuffer(c.count);
        EXPECT_EQ(f.terminal.RxBuffer(), c.left) << c.count;
    }
}

TEST(Terminal, TrafficIsDrawnOnlyWhileTheWindowIsShown) {
    TFakeTerminal f;
    ASSERT_TRUE(f.terminal.Send("hidden"));
    ASSERT_TRUE(f.device->Receive("quiet"));
    ASSERT_TRUE(PumpUntil([&] { return f.terminal.RxBuffer() == "quiet"; }));
    EXPECT_EQ(f.terminal.Window().LineCount(), 0);

    f.terminal.Window().show();
    ASSERT_TRUE(f.terminal.Send("Hello, world"));
    ASSERT_TRUE(f.device->Receive("AB\r\n"));
    ASSERT_TRUE(PumpUntil([&] { return f.terminal.RxBuffer() == "quietAB\r\n"; }));
    EXPECT_EQ(f.Lines(), (std::vector<std::string>{
                             "(S)  48 65 6C 6C 6F 2C 20 77 : Hello, w",
                             "(S)  6F 72 6C 64             : orld    ",
                             "(R)  41 42 0D 0A             : AB..    ",
                         }));
    EXPECT_EQ(f.device->Written(), "hiddenHello, world");
}

TEST(Terminal, AFailingWriteIsReported) {
    TFakeTerminal f;
    f.device->SetFailure(FakeOperation::Write, "write: output queue full");
    EXPECT_FALSE(f.terminal.Send("x"));
}

TEST(Terminal, DestroyingRemembersTheWindowPlace) {
    std::optional<QPoint> remembered;
    const auto openAndDestroy = [&remembered](bool shown) {
        TTerminal terminal([] { return std::make_unique<TFakeDevice>(); }, nullptr,
                           [&](QPoint position) { remembered = position; });
        terminal.Open();
        if (shown) terminal.Window().show();
        terminal.Window().move(77, 66);
    };
    // Only a window that was on the screen has a place of its own.
    openAndDestroy(false);
    EXPECT_EQ(remembered, std::nullopt);
    openAndDestroy(true);
    EXPECT_EQ(remembered, QPoint(77, 66));
}

// Real pseudo-terminals: the test plays the far end on the master of its own pair.
struct TPtyTerminal {
    TPtyPair pair;
    TTerminal terminal{
        [this] { return std::make_unique<TTtyDevice>(pair.SlavePath()); }, nullptr, {}};
    TPtyTerminal() {
        terminal.SetPort("COM2");
        terminal.SetBaudRate(115200);
    }
};

TEST(TerminalPty, EveryByteValueBothWays) {
    TPtyTerminal f;
    ASSERT_TRUE(f.pair.Valid());
    f.terminal.Open();
    ASSERT_TRUE(f.terminal.Connected()) << f.terminal.OpenFailure();
    std::string all;
    for (int round = 0; round < 4; ++round) {
        for (int value = 0; value < 256; ++value) all.push_back(static_cast<char>(value));
    }
    ASSERT_TRUE(f.terminal.Send(all));
    EXPECT_EQ(f.pair.PeerRead(all.size()), all);
    ASSERT_TRUE(f.pair.PeerWrite(all));
    ASSERT_TRUE(PumpUntil([&] { return f.terminal.RxBuffer().size() >= all.size(); }));
    EXPECT_EQ(f.terminal.RxBuffer(), all);
}

TEST(TerminalPty, OpenIsExclusiveAndAClosedPortReopensAtOnce) {
    TPtyTerminal f;
    f.terminal.Open();
    ASSERT_TRUE(f.terminal.Connected()) << f.terminal.OpenFailure();
    TTerminal second([&] { return std::make_unique<TTtyDevice>(f.pair.SlavePath()); }, nullptr, {});
    second.SetPort("COM3");
    second.Open();
    EXPECT_FALSE(second.Connected());
    EXPECT_EQ(second.OpenFailure(),
              "TTerminal : cannot open COM3\r" + f.pair.SlavePath() + ": the port is in use");

    for (int round = 0; round < 3; ++round) {
        f.terminal.ClosePort();
        ASSERT_FALSE(f.terminal.Connected());
        f.terminal.Open();
        ASSERT_TRUE(f.terminal.Connected()) << round << f.terminal.OpenFailure();
        const std::string word = "round" + std::to_string(round);
        ASSERT_TRUE(f.pair.PeerWrite(word));
        ASSERT_TRUE(
            PumpUntil([&] { return f.terminal.RxBuffer().find(word) != std::string::npos; }));
    }
}

TEST(TerminalPty, ClosingWhileDataPoursInLeavesNothingBehind) {
    TPtyPair pair;
    ASSERT_TRUE(pair.Valid());
    ASSERT_EQ(::fcntl(pair.Master(), F_SETFL, O_NONBLOCK), 0);
    std::atomic<bool> pouring{true};
    std::thread peer([&] {
        const std::string block(512, 'x');
        while (pouring) {
            if (::write(pair.Master(), block.data(), block.size()) < 0) ::usleep(100);
        }
    });
    for (int round = 0; round < 20; ++round) {
        auto terminal = std::make_unique<TTerminal>(
            [&] { return std::make_unique<TTtyDevice>(pair.SlavePath()); }, nullptr,
            std::function<void(QPoint)>{});
        terminal->Open();
        ASSERT_TRUE(terminal->Connected()) << terminal->OpenFailure();
        // Let some hand-overs start, then close while the reader may be mid-hand-over.
        QCoreApplication::processEvents();
        std::this_thread::sleep_for(std::chrono::milliseconds(round % 3));
        terminal.reset();
        QCoreApplication::processEvents();
    }
    pouring = false;
    peer.join();
}

}  // namespace
}  // namespace korvane::serial
