#include "serial/loop_device.h"

#include <gtest/gtest.h>

#include "reader_thread.h"

namespace korvane::serial {
namespace {

using testing::AllByteValues;
using testing::TReaderThread;

class LoopDeviceTest : public ::testing::Test {
 protected:
    void SetUp() override { ASSERT_TRUE(m_device.Open()); }

    TLoopDevice m_device{"loop:test"};
};

TEST_F(LoopDeviceTest, EchoesEveryByteInOrder) {
    TReaderThread reader(m_device);
    const std::string bytes = AllByteValues() + AllByteValues();
    ASSERT_TRUE(m_device.Write(bytes.substr(0, 100)));
    ASSERT_TRUE(m_device.Write(bytes.substr(100)));
    ASSERT_TRUE(reader.WaitForBytes(bytes.size()));
    EXPECT_EQ(reader.Received(), bytes);
    EXPECT_EQ(m_device.PendingOutput(), 0u);
}

TEST_F(LoopDeviceTest, ControlLinesDriveTheWiredInputs) {
    struct TStep {
        const char* name;
        TDeviceResult (TLoopDevice::*set)(LineLevel);
        LineLevel level;
        std::uint32_t events;
        std::uint32_t modemAfter;
    };
    const TStep steps[] = {
        {"RTS on", &TLoopDevice::SetRts, LineLevel::On, kEventCts, kModemCts},
        {"DTR on", &TLoopDevice::SetDtr, LineLevel::On, kEventDsr | kEventRlsd,
         kModemCts | kModemDsr | kModemRlsd},
        {"RTS off", &TLoopDevice::SetRts, LineLevel::Off, kEventCts, kModemDsr | kModemRlsd},
        {"DTR off", &TLoopDevice::SetDtr, LineLevel::Off, kEventDsr | kEventRlsd, 0},
    };
    std::uint32_t before = 0;
    for (const TStep& step : steps) {
        SCOPED_TRACE(step.name);
        ASSERT_TRUE((m_device.*step.set)(step.level));
        const TDeviceEvent event = m_device.WaitEvent();
        EXPECT_EQ(event.mask, step.events);
        EXPECT_EQ(event.modemBefore, before);
        EXPECT_EQ(event.modemNow, step.modemAfter);
        std::uint32_t status = 0xFFFF;
        ASSERT_TRUE(m_device.GetModemStatus(status));
        EXPECT_EQ(status, step.modemAfter);
        before = step.modemAfter;
    }
}

TEST_F(LoopDeviceTest, RepeatingALevelRaisesNoEvent) {
    TReaderThread reader(m_device);
    ASSERT_TRUE(m_device.SetRts(LineLevel::On));
    ASSERT_TRUE(reader.WaitForEvent(kEventCts));
    ASSERT_TRUE(m_device.SetRts(LineLevel::On));
    ASSERT_TRUE(m_device.Write("x"));
    ASSERT_TRUE(reader.WaitForBytes(1));
    EXPECT_EQ(reader.LineEvents().size(), 1u);
}

TEST_F(LoopDeviceTest, LineEventsReachAWaitingReader) {
    TReaderThread reader(m_device);
    ASSERT_TRUE(m_device.SetDtr(LineLevel::On));
    ASSERT_TRUE(reader.WaitForEvent(kEventDsr));
    const std::vector<TDeviceEvent> events = reader.LineEvents();
    ASSERT_EQ(events.size(), 1u);
    EXPECT_EQ(events[0].mask, kEventDsr | kEventRlsd);
    EXPECT_EQ(events[0].modemNow, kModemDsr | kModemRlsd);
}

TEST_F(LoopDeviceTest, PurgeDropsLoopedBytesNotYetRead) {
    ASSERT_TRUE(m_device.Write("stale"));
    ASSERT_TRUE(m_device.Purge(PurgeTarget::Both));
    ASSERT_TRUE(m_device.Write("new"));
    std::string read;
    ASSERT_TRUE(m_device.ReadQueued(read));
    EXPECT_EQ(read, "new");
}

TEST_F(LoopDeviceTest, SettingsAreCheckedAndKept) {
    const TLineSettings good{250000, 5, Parity::Mark, StopBits::OneAndHalf};
    ASSERT_TRUE(m_device.ApplySettings(good));
    const TDeviceResult bad = m_device.ApplySettings({9600, 9, Parity::None, StopBits::One});
    ASSERT_FALSE(bad);
    EXPECT_EQ(bad.Message(), "set line settings: data bits 9 outside 5 to 8");
    EXPECT_EQ(m_device.Settings(), good);
}

TEST_F(LoopDeviceTest, ClaimKeyMakesTheOpenExclusiveUntilClosed) {
    TLoopDevice second("loop:test");
    const TDeviceResult busy = second.Open();
    ASSERT_FALSE(busy);
    EXPECT_EQ(busy.Message(), "loop:test: the port is in use");
    m_device.Close();
    EXPECT_TRUE(second.Open());
    EXPECT_FALSE(m_device.IsOpen());
}

TEST_F(LoopDeviceTest, ClosedDeviceRefusesWork) {
    m_device.Close();
    std::string read;
    EXPECT_FALSE(m_device.Write("x"));
    EXPECT_FALSE(m_device.SetRts(LineLevel::On));
    EXPECT_FALSE(m_device.ReadQueued(read));
    EXPECT_TRUE(m_device.WaitEvent().closed);
}

TEST_F(LoopDeviceTest, ReopenStartsWithLinesOffAndNothingQueued) {
    ASSERT_TRUE(m_device.SetDtr(LineLevel::On));
    ASSERT_TRUE(m_device.Write("left over"));
    m_device.Close();
    ASSERT_TRUE(m_device.Open());
    std::uint32_t status = 0xFF;
    ASSERT_TRUE(m_device.GetModemStatus(status));
    EXPECT_EQ(status, 0u);
    std::string read;
    ASSERT_TRUE(m_device.ReadQueued(read));
    EXPECT_EQ(read, "");
}

}  // namespace
}  // namespace korvane::serial
