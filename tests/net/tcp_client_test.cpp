#include "net/tcp_client.h"

#include <gtest/gtest.h>

#include <atomic>
#include <future>
#include <memory>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <sys/socket.h>
#include <unistd.h>

#include "loopback_peer.h"
#include "net/socket_options.h"
#include "net/socket_queue.h"

namespace korvane::net {
namespace {

using testing::PumpFor;
using testing::PumpUntil;
using testing::TLoopbackListener;
using testing::TLoopbackPeer;

// A client connected to a loopback listener, with the far end at hand.
struct TConnectedClient {
    TLoopbackListener listener;
    TTcpClient client;
    TLoopbackPeer peer;

    explicit TConnectedClient(bool runActive = true) {
        client.SetRunActive(runActive);
        EXPECT_EQ(client.Connect("127.0.0.1", std::to_string(listener.Port())),
                  TTcpClient::TConnect::Started);
        peer = listener.Accept();
        EXPECT_TRUE(PumpUntil([&] { return client.Connected(); }));
    }
};

std::string Pattern(size_t size) {
    std::string bytes;
    for (size_t i = 0; i < size; ++i) bytes.push_back(static_cast<char>('A' + i % 26));
    return bytes;
}

TEST(TcpClient, EveryByteArrivesZeroBytesIncluded) {
    std::string withZeros = Pattern(300);
    for (size_t at : {100u, 127u, 128u, 200u, 290u}) withZeros[at] = '\0';
    std::string allValues;
    for (int i = 0; i < 512; ++i) allValues.push_back(static_cast<char>(i % 256));
    for (const std::string& sent : {std::string("ab\0cd", 5), Pattern(300), withZeros, allValues}) {
        // The bytes arrive while no run is in progress, so they wait in the socket and are then
        // taken in one go, in several chunks.
        TConnectedClient f(false);
        ASSERT_TRUE(f.peer.SendAll(sent));
        PumpFor(std::chrono::milliseconds(50));
        EXPECT_EQ(f.client.Received(), "") << "nothing is taken outside a run";
        f.client.SetRunActive(true);
        EXPECT_EQ(f.client.Received(), sent);
    }
}

TEST(TcpClient, DataSentJustBeforeThePeerClosesStillArrives) {
    for (bool reset : {false, true}) {
        TConnectedClient f;
        ASSERT_TRUE(f.peer.SendAll("last words"));
        reset ? f.peer.Reset() : f.peer.Close();
        EXPECT_TRUE(PumpUntil([&] { return !f.client.Connected(); })) << "reset " << reset;
        PumpFor(std::chrono::milliseconds(20));
        EXPECT_EQ(f.client.Received(), "last words") << "reset " << reset;
    }
}

TEST(TcpClient, SendsBytesAsTheyAreAndClosesAtOnce) {
    TConnectedClient f;
    const std::string bytes("one\0two\r\n", 9);
    EXPECT_TRUE(f.client.Send(bytes));
    EXPECT_TRUE(f.client.Send(""));
    EXPECT_EQ(f.peer.Receive(bytes.size()), bytes);

    EXPECT_TRUE(f.client.Send("tail"));
    f.client.Close();
    EXPECT_FALSE(f.client.Connected());
    EXPECT_EQ(f.peer.Receive(4), "tail") << "queued bytes go out before the close";
    EXPECT_TRUE(f.peer.SeesClose());
}

// Writing to a peer that does not read fails once the queue is full, instead of growing it;
// when the peer catches up, writing works again.
TEST(TcpClient, AWriteBeyondTheSendQueueFails) {
    TConnectedClient f;
    const std::string block(1024 * 1024, 'x');
    size_t accepted = 0;
    while (accepted < 64 && f.client.Send(block)) ++accepted;
    // The system's own buffers take a few blocks beyond the queue.
    const size_t queueBlocks = static_cast<size_t>(kSendQueueLimit) / block.size();
    EXPECT_GE(accepted, queueBlocks);
    EXPECT_LT(accepted, queueBlocks + 16);
    EXPECT_EQ(f.peer.Receive(accepted * block.size()).size(), accepted * block.size());
    EXPECT_TRUE(f.client.Send(block));
}

TEST(TcpClient, ConnectAgainKeepsTheConnectionAndRefusesOtherTargets) {
    using TConnect = TTcpClient::TConnect;
    TConnectedClient f;
    ASSERT_TRUE(f.peer.SendAll("kept"));
    ASSERT_TRUE(PumpUntil([&] { return f.client.Received() == "kept"; }));
    EXPECT_EQ(f.client.Connect("127.0.0.2", "9"), TConnect::Busy);
    EXPECT_EQ(f.client.Received(), "kept") << "a different target leaves the buffer alone";
    EXPECT_EQ(f.client.Connect("127.0.0.1", std::to_string(f.listener.Port())),
              TConnect::AlreadyOpen);
    EXPECT_EQ(f.client.Received(), "kept") << "the same target keeps connection and data";
    EXPECT_TRUE(f.client.Connected());
    ASSERT_TRUE(f.peer.SendAll(" more"));
    EXPECT_TRUE(PumpUntil([&] { return f.client.Received() == "kept more"; }));

    TTcpClient idle;
    EXPECT_EQ(idle.Connect("", "80"), TConnect::Unresolved);
    EXPECT_EQ(idle.Connect("127.0.0.1", "no-such-service"), TConnect::Unresolved);
    EXPECT_EQ(idle.Connect("127.0.0.1", "70000"), TConnect::Unresolved);
}

// The lookup runs on a thread of its own: the caller's step runs meanwhile, and throwing from
// it gives up at once while the lookup, when it answers at last, touches nothing.
TEST(TcpClient, AnUnansweredNameLookupCanBeGivenUp) {
    struct TGate {
        std::promise<void> open;
        std::shared_future<void> opened = open.get_future().share();
        std::atomic<bool> asked{false};
    };
    auto gate = std::make_shared<TGate>();
    TTcpClient client;
    client.SetHostLookup([gate](const std::string& name) -> std::optional<std::string> {
        gate->asked = true;
        gate->opened.wait();
        return name == "late.example" ? std::optional<std::string>("127.0.0.1") : std::nullopt;
    });
    struct TGiveUp {};
    int steps = 0;
    const auto started = std::chrono::steady_clock::now();
    EXPECT_THROW(client.Connect("late.example", "80",
                                [&] {
                                    ++steps;
                                    if (gate->asked && steps >= 3) throw TGiveUp();
                                }),
                 TGiveUp);
    const auto waited = std::chrono::steady_clock::now() - started;
    EXPECT_LT(waited, std::chrono::seconds(2));
    EXPECT_FALSE(client.Connected());
    gate->open.set_value();
    EXPECT_EQ(client.Connect("127.0.0.1", "1"), TTcpClient::TConnect::Started)
        << "the socket stayed closed and usable";
}

TEST(TcpClient, AConnectNobodyAnswersEndsClosedWithoutComplaint) {
    uint16_t unusedPort = 0;
    {
        TLoopbackListener probe;  // a port that was free a moment ago
        unusedPort = probe.Port();
    }
    TTcpClient client;
    EXPECT_EQ(client.Connect("localhost", std::to_string(unusedPort)),
              TTcpClient::TConnect::Started);
    EXPECT_FALSE(client.Connected()) << "a connect in progress is not connected";
    PumpFor(std::chrono::milliseconds(100));
    EXPECT_FALSE(client.Connected());
    EXPECT_EQ(client.Connect("127.0.0.1", std::to_string(unusedPort)),
              TTcpClient::TConnect::Started)
        << "closed again";
}

TEST(TcpClient, PortAndAddressTexts) {
    const struct {
        const char* text;
        std::optional<uint16_t> port;
    } ports[] = {
        {"5000", 5000},
        {"1", 1},
        {"65535", 65535},
        {"0", std::nullopt},
        {"65536", std::nullopt},
        {"-1", std::nullopt},
        {"", std::nullopt},
        {"http", 80},
        {"echo", 7},
        {"no-such-service", std::nullopt},
        {"000080", 80},
        {"99999999999", std::nullopt},
    };
    for (const auto& p : ports) EXPECT_EQ(ResolvePort(p.text), p.port) << p.text;

    EXPECT_EQ(ResolveAddress("10.0.0.5")->toString(), "10.0.0.5");
    EXPECT_EQ(ResolveAddress("::1")->toString(), "::1");
    EXPECT_EQ(ResolveAddress("localhost")->toString(), "127.0.0.1");
    EXPECT_FALSE(ResolveAddress(""));
    EXPECT_FALSE(ResolveAddress(std::string("127.0.0.1\0x", 11)));
}

// A peer that keeps sending while the script never flushes is held back by TCP flow control:
// the buffer stops at its limit and nothing is lost once the script flushes again.
TEST(TcpClient, AFloodingPeerIsHeldBackWithoutLosingData) {
    TConnectedClient f;
    const std::string block =
        Pattern(10007);  // an odd size, so reads do not line up with the limit
    const size_t total = TReceiveBuffer::kLimit + 2 * 1024 * 1024;
    size_t sent = 0;
    size_t taken = 0;
    size_t largest = 0;
    const bool done = PumpUntil(
        [&] {
            if (sent < total)
                sent += f.peer.SendSome(std::string_view(block).substr(0, total - sent));
            largest = std::max(largest, f.client.Received().size());
            if (f.client.Received().size() + TTcpClient::kChunkSize > TReceiveBuffer::kLimit) {
                taken += f.client.Received().size();
                f.client.EmptyBuffer();
            }
            return sent == total && taken + f.client.Received().size() == total;
        },
        std::chrono::seconds(20));
    EXPECT_TRUE(done) << "sent " << sent << " taken " << taken;
    EXPECT_LE(largest, TReceiveBuffer::kLimit);
    EXPECT_GT(taken, 0u) << "the buffer reached its limit at least once";
}

TEST(SocketOptions, ConnectedSocketsSendSmallWritesAtOnceAndCloseWithAReset) {
    const int fd = socket(AF_INET, SOCK_STREAM, 0);
    ASSERT_GE(fd, 0);
    EXPECT_TRUE(PrepareConnectedSocket(fd));
    int noDelay = 0;
    socklen_t size = sizeof noDelay;
    ASSERT_EQ(getsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &noDelay, &size), 0);
    EXPECT_NE(noDelay, 0);
    linger option{};
    size = sizeof option;
    ASSERT_EQ(getsockopt(fd, SOL_SOCKET, SO_LINGER, &option, &size), 0);
    EXPECT_EQ(option.l_onoff, 1);
    EXPECT_EQ(option.l_linger, 0);
    close(fd);
    EXPECT_FALSE(PrepareConnectedSocket(-1));
}

}  // namespace
}  // namespace korvane::net
