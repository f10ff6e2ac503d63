#include "serial/pty_device.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include "reader_thread.h"
#include "serial/tty_device.h"

namespace korvane::serial {
namespace {

using testing::AllByteValues;
using testing::TReaderThread;

TEST(PtyDevice, AnotherProgramPlaysTheDeviceOnTheSlave) {
    TPtyDevice device("pty:test");
    ASSERT_TRUE(device.Open());
    ASSERT_FALSE(device.PeerPath().empty());
    // The far end opens the slave the way a serial program would.
    TTtyDevice peer(device.PeerPath());
    const TDeviceResult peerOpened = peer.Open();
    ASSERT_TRUE(peerOpened) << peerOpened.Message();

    TReaderThread deviceReader(device);
    TReaderThread peerReader(peer);
    const std::string bytes = AllByteValues();
    ASSERT_TRUE(device.Write(bytes));
    ASSERT_TRUE(peerReader.WaitForBytes(bytes.size()));
    EXPECT_EQ(peerReader.Received(), bytes);
    ASSERT_TRUE(peer.Write(bytes));
    ASSERT_TRUE(deviceReader.WaitForBytes(bytes.size()));
    EXPECT_EQ(deviceReader.Received(), bytes);
}

TEST(PtyDevice, NoPeerYetMeansNoHangUp) {
    TPtyDevice device("pty:test");
    ASSERT_TRUE(device.Open());
    TReaderThread reader(device);
    ASSERT_TRUE(device.Write("nobody listens"));
    // A peer that comes later still gets the data, and its going away is no hang-up.
    {
        TTtyDevice peer(device.PeerPath());
        ASSERT_TRUE(peer.Open());
        std::string read;
        for (int tries = 0; tries < 500 && read.size() < 14; ++tries) {
            ASSERT_TRUE(peer.ReadQueued(read));
            ::usleep(2000);
        }
        EXPECT_EQ(read, "nobody listens");
    }
    ASSERT_TRUE(device.Write("x"));
    EXPECT_TRUE(reader.LineEvents().empty());
}

TEST(PtyDevice, ClaimKeyIsExclusiveAndCloseForgetsTheSlave) {
    TPtyDevice first("pty:test");
    TPtyDevice second("pty:test");
    ASSERT_TRUE(first.Open());
    const std::string slave = first.PeerPath();
    const TDeviceResult busy = second.Open();
    ASSERT_FALSE(busy);
    EXPECT_EQ(busy.Message(), "pty:test: the port is in use");
    first.Close();
    EXPECT_EQ(first.PeerPath(), "");
    EXPECT_FALSE(first.IsOpen());
    ASSERT_TRUE(second.Open());
    EXPECT_FALSE(second.PeerPath().empty());
}

}  // namespace
}  // namespace korvane::serial
