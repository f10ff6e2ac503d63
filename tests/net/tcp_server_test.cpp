#include "net/tcp_server.h"

#include <gtest/gtest.h>

#include "loopback_peer.h"
#include "net/tcp_endpoints.h"

namespace korvane::net {
namespace {

using testing::PumpFor;
using testing::PumpUntil;
using testing::TLoopbackListener;
using testing::TLoopbackPeer;

struct TListeningServer {
    TTcpServer server;
    TListeningServer() {
        server.SetRunActive(true);
        EXPECT_TRUE(server.Listen(0));
    }
    TLoopbackPeer Join(size_t expectedClients) {
        TLoopbackPeer peer = TLoopbackPeer::Connect(server.Port());
        EXPECT_TRUE(PumpUntil([&] { return server.ClientCount() == expectedClients; }));
        return peer;
    }
};

TEST(TcpServer, OneClientAtATimeOthersHearBusy) {
    TListeningServer f;
    EXPECT_EQ(f.server.FirstClientAddress(), "");
    TLoopbackPeer first = f.Join(1);
    EXPECT_EQ(f.server.FirstClientAddress(), "127.0.0.1");
    ASSERT_TRUE(first.SendAll(std::string("abc\0def", 7)));
    ASSERT_TRUE(PumpUntil([&] { return f.server.Received().size() == 7; }));
    EXPECT_EQ(f.server.Received(), std::string("abc\0def", 7)) << "zero bytes are kept";

    for (int extra = 0; extra < 2; ++extra) {
        TLoopbackPeer second = TLoopbackPeer::Connect(f.server.Port());
        bool ended = false;
        EXPECT_EQ(second.Receive(100, &ended), "Busy\r\n");
        EXPECT_TRUE(ended);
        PumpFor(std::chrono::milliseconds(50));  // the refused socket's close has been seen
        EXPECT_EQ(f.server.ClientCount(), 1u);
        EXPECT_EQ(f.server.Received(), std::string("abc\0def", 7))
            << "refusing a client touched the served client's data";
    }

    EXPECT_TRUE(f.server.SendToFirstClient("still here"));
    EXPECT_EQ(first.Receive(10), "still here") << "no greeting came before it";
    ASSERT_TRUE(first.SendAll("more"));
    EXPECT_TRUE(PumpUntil([&] { return f.server.Received().size() == 11; }));
    EXPECT_EQ(f.server.Received(), std::string("abc\0defmore", 11));
}

TEST(TcpServer, DisconnectEmptiesTheBufferAndFreesTheSlot) {
    TListeningServer f;
    {
        TLoopbackPeer first = f.Join(1);
        ASSERT_TRUE(first.SendAll("gone soon"));
        ASSERT_TRUE(PumpUntil([&] { return f.server.Received() == "gone soon"; }));
    }
    EXPECT_TRUE(PumpUntil([&] { return f.server.ClientCount() == 0; }));
    EXPECT_EQ(f.server.Received(), "");
    EXPECT_FALSE(f.server.SendToFirstClient("x"));

    TLoopbackPeer next = f.Join(1);
    EXPECT_TRUE(f.server.SendToFirstClient("welcome"));
    EXPECT_EQ(next.Receive(7), "welcome") << "the next client is served, not refused";
}

TEST(TcpServer, ListenRefusals) {
    TLoopbackListener other;  // another socket already listening on its port
    TTcpServer server;
    EXPECT_FALSE(server.Listen(other.Port()));
    EXPECT_FALSE(server.Listen(-1));
    EXPECT_FALSE(server.Listen(65536));
    ASSERT_TRUE(server.Listen(0));
    EXPECT_FALSE(server.Listen(0)) << "already listening";
    server.Close();
    EXPECT_FALSE(server.Listening());
}

TEST(TcpServer, NothingIsTakenOutsideARun) {
    TListeningServer f;
    f.server.SetRunActive(false);
    TLoopbackPeer peer = f.Join(1);
    ASSERT_TRUE(peer.SendAll("early"));
    PumpFor(std::chrono::milliseconds(50));
    EXPECT_EQ(f.server.Received(), "");
    f.server.SetRunActive(true);
    EXPECT_EQ(f.server.Received(), "early");
}

TEST(TcpServer, RemoveReceivedKeepsTheRest) {
    TListeningServer f;
    TLoopbackPeer peer = f.Join(1);
    ASSERT_TRUE(peer.SendAll("hello"));
    ASSERT_TRUE(PumpUntil([&] { return f.server.Received() == "hello"; }));
    const struct {
        int64_t count;
        const char* left;
    } steps[] = {{0, "hello"}, {-3, "hello"}, {2, "llo"}, {99, ""}};
    for (const auto& step : steps) {
        f.server.RemoveReceived(step.count);
        EXPECT_EQ(f.server.Received(), step.left) << step.count;
    }
}

// End of a run: the served client, the server and the client close; the server buffer is
// emptied but the client buffer keeps what it held. The ports are free again at once.
TEST(TcpEndpoints, EndOfRunClosesEverythingAndKeepsTheClientBuffer) {
    TTcpEndpoints endpoints;
    endpoints.SetRunActive(true);
    ASSERT_TRUE(endpoints.Server().Listen(0));
    const uint16_t port = endpoints.Server().Port();
    TLoopbackPeer served = TLoopbackPeer::Connect(port);
    TLoopbackListener far;
    ASSERT_EQ(endpoints.Client().Connect("127.0.0.1", std::to_string(far.Port())),
              TTcpClient::TConnect::Started);
    TLoopbackPeer farPeer = far.Accept();
    ASSERT_TRUE(served.SendAll("to server"));
    ASSERT_TRUE(farPeer.SendAll("to client"));
    ASSERT_TRUE(PumpUntil([&] {
        return endpoints.Server().Received() == "to server" &&
               endpoints.Client().Received() == "to client";
    }));

    endpoints.CloseAll();
    endpoints.EmptyServerBuffer();
    endpoints.SetRunActive(false);
    EXPECT_FALSE(endpoints.Server().Listening());
    EXPECT_EQ(endpoints.Server().ClientCount(), 0u);
    EXPECT_FALSE(endpoints.Client().Connected());
    EXPECT_EQ(endpoints.Server().Received(), "");
    EXPECT_EQ(endpoints.Client().Received(), "to client");
    EXPECT_TRUE(served.SeesClose());
    EXPECT_TRUE(farPeer.SeesClose());
    EXPECT_TRUE(endpoints.Server().Listen(port)) << "linger 0 leaves no TIME_WAIT behind";
}

// Regression: the sockets report their disconnects while the endpoints are being destroyed,
// which reached already destroyed members (caught by the address sanitizer).
TEST(TcpEndpoints, GoingAwayWhileConnectedIsSafe) {
    TLoopbackListener far;
    TLoopbackPeer served;
    {
        TTcpEndpoints endpoints;
        endpoints.SetRunActive(true);
        ASSERT_TRUE(endpoints.Server().Listen(0));
        served = TLoopbackPeer::Connect(endpoints.Server().Port());
        ASSERT_EQ(endpoints.Client().Connect("127.0.0.1", std::to_string(far.Port())),
                  TTcpClient::TConnect::Started);
        ASSERT_TRUE(PumpUntil([&] {
            return endpoints.Server().ClientCount() == 1 && endpoints.Client().Connected();
        }));
    }
    EXPECT_TRUE(served.SeesClose());
}

}  // namespace
}  // namespace korvane::net
