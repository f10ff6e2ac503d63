#include "serial/fake_device.h"

#include <gtest/gtest.h>

#include "reader_thread.h"

namespace korvane::serial {
namespace {

class FakeDeviceTest : public ::testing::Test {
 protected:
    void SetUp() override { ASSERT_TRUE(m_device.Open()); }

    TFakeDevice m_device;
};

TEST_F(FakeDeviceTest, ChangesBeforeTheReaderLooksArriveAsOneEvent) {
    m_device.SetModemLines(kModemCts);
    m_device.SetModemLines(kModemCts | kModemDsr);
    m_device.RaiseLineErrors(kErrorParity);
    m_device.RaiseLineErrors(kErrorFrame);
    ASSERT_TRUE(m_device.Receive("ab"));
    const TDeviceEvent event = m_device.WaitEvent();
    EXPECT_EQ(event.mask, kEventRxChar | kEventCts | kEventDsr | kEventErr);
    EXPECT_EQ(event.modemBefore, 0u);
    EXPECT_EQ(event.modemNow, kModemCts | kModemDsr);
    EXPECT_EQ(event.errors, kErrorParity | kErrorFrame);
}

TEST_F(FakeDeviceTest, LineThatTogglesBackStillReports) {
    struct TCase {
        const char* name;
        void (*act)(TFakeDevice&);
        std::uint32_t mask;
    };
    const TCase cases[] = {
        {"on and off",
         [](TFakeDevice& d) {
             d.SetModemLines(kModemRlsd);
             d.SetModemLines(0);
         },
         kEventRlsd},
        {"ring pulse", [](TFakeDevice& d) { d.PulseModemLines(kModemRing); }, kEventRing},
    };
    for (const TCase& test : cases) {
        SCOPED_TRACE(test.name);
        test.act(m_device);
        const TDeviceEvent event = m_device.WaitEvent();
        EXPECT_EQ(event.mask, test.mask);
        EXPECT_EQ(event.modemBefore, event.modemNow);
    }
}

TEST_F(FakeDeviceTest, DataIsAnnouncedOnceUntilRead) {
    testing::TReaderThread reader(m_device);
    ASSERT_TRUE(m_device.Receive("one"));
    ASSERT_TRUE(reader.WaitForBytes(3));
    ASSERT_TRUE(m_device.Receive("two"));
    ASSERT_TRUE(reader.WaitForBytes(6));
    EXPECT_EQ(reader.Received(), "onetwo");
    EXPECT_LE(reader.EventCount(), 2);
}

TEST_F(FakeDeviceTest, ScriptedFailuresHitOnlyTheirOperation) {
    m_device.SetFailure(FakeOperation::SetDtr, "set DTR: Input/output error");
    const TDeviceResult dtr = m_device.SetDtr(LineLevel::On);
    ASSERT_FALSE(dtr);
    EXPECT_EQ(dtr.Message(), "set DTR: Input/output error");
    EXPECT_EQ(m_device.Dtr(), LineLevel::Off);
    EXPECT_TRUE(m_device.SetRts(LineLevel::On));
    EXPECT_EQ(m_device.Rts(), LineLevel::On);
    m_device.SetFailure(FakeOperation::SetDtr, "");
    EXPECT_TRUE(m_device.SetDtr(LineLevel::On));
    EXPECT_EQ(m_device.Dtr(), LineLevel::On);
}

TEST_F(FakeDeviceTest, RecordsWritesAndPurges) {
    ASSERT_TRUE(m_device.Write("AT\r"));
    ASSERT_TRUE(m_device.Write(std::string(1, '\0')));
    ASSERT_TRUE(m_device.Purge(PurgeTarget::Both));
    EXPECT_EQ(m_device.Written(), std::string("AT\r\0", 4));
    EXPECT_EQ(m_device.PurgeCount(), 1);
}

}  // namespace
}  // namespace korvane::serial
