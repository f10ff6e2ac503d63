#include "serial/device_factory.h"

#include <gtest/gtest.h>

#include "pty_pair.h"
#include "serial/loop_device.h"
#include "serial/pty_device.h"
#include "serial/returning_device.h"

namespace korvane::serial {
namespace {

TEST(DeviceFactory, MakesTheDeviceKindTheTargetNames) {
    testing::TPtyPair pty;
    ASSERT_TRUE(pty.Valid());
    const auto loop = MakeDevice(6, {PortKind::Loop, {}});
    const auto pseudo = MakeDevice(7, {PortKind::Pty, {}});
    const auto node = MakeDevice(5, {PortKind::Device, pty.SlavePath()});
    EXPECT_NE(dynamic_cast<TLoopDevice*>(loop.get()), nullptr);
    EXPECT_NE(dynamic_cast<TPtyDevice*>(pseudo.get()), nullptr);
    // Devices and instruments can go away and come back; virtual ports cannot.
    ASSERT_NE(dynamic_cast<TReturningDevice*>(node.get()), nullptr);
    EXPECT_NE(dynamic_cast<TReturningDevice*>(MakeDevice(8, {PortKind::Tcp, "h:1"}).get()), nullptr);
    EXPECT_NE(dynamic_cast<TReturningDevice*>(MakeDevice(9, {PortKind::Usbtmc, "/x"}).get()),
              nullptr);
    for (TSerialDevice* device : {loop.get(), pseudo.get(), node.get()}) {
        EXPECT_FALSE(device->IsOpen());
        const TDeviceResult opened = device->Open();
        EXPECT_TRUE(opened) << opened.Message();
    }
}

TEST(DeviceFactory, PortsThisProgramHoldsAreNotFree) {
    testing::TPtyPair pty;
    ASSERT_TRUE(pty.Valid());
    TPortMap map;
    ASSERT_TRUE(map.Assign(1, {PortKind::Device, pty.SlavePath()}));
    ASSERT_TRUE(map.Assign(2, {PortKind::Loop, {}}));
    ASSERT_TRUE(map.Assign(3, {PortKind::Loop, {}}));
    ASSERT_TRUE(map.Assign(4, {PortKind::Pty, {}}));
    ASSERT_TRUE(map.Assign(9, {PortKind::Device, "/nonexistent/ttyUSB9"}));
    // An instrument whose node is missing, or no plugged-in instrument matches, is not free.
    ASSERT_TRUE(map.Assign(10, {PortKind::Usbtmc, "/nonexistent/usbtmc0"}));
    ASSERT_TRUE(map.Assign(11, {PortKind::Usbtmc, "USB0::0x1::0x2::NONE-SUCH::INSTR"}));
    EXPECT_EQ(FreePorts(map), (std::vector<int>{1, 2, 3, 4}));

    const auto node = MakeDevice(1, *map.Find(1));
    const auto loop = MakeDevice(3, *map.Find(3));
    const auto pseudo = MakeDevice(4, *map.Find(4));
    ASSERT_TRUE(node->Open());
    ASSERT_TRUE(loop->Open());
    ASSERT_TRUE(pseudo->Open());
    EXPECT_EQ(FreePorts(map), (std::vector<int>{2}));
    // Two numbers mapped to loop are two separate plugs.
    EXPECT_TRUE(MakeDevice(2, *map.Find(2))->Open());

    node->Close();
    loop->Close();
    pseudo->Close();
    EXPECT_EQ(FreePorts(map), (std::vector<int>{1, 2, 3, 4}));
}

}  // namespace
}  // namespace korvane::serial
