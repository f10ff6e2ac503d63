#include "net/tcp_commands.h"

#include <gtest/gtest.h>

#include <atomic>
#include <future>
#include <memory>

#include "loopback_peer.h"
#include "net/tcp_endpoints.h"
#include "tests/engine/recording_host.h"

namespace korvane::net {
namespace {

using engine::testing::TEngineFixture;
using testing::TLoopbackListener;
using testing::TLoopbackPeer;

// The engine with the TCP rows bound to real endpoints; every pump runs the Qt event loop and
// then whatever the test's far end wants to do.
struct TTcpScript {
    TEngineFixture engine;
    TTcpEndpoints endpoints;
    std::function<void()> peerStep;

    TTcpScript() {
        endpoints.Bind(engine.dispatch);
        endpoints.SetRunActive(true);
        engine.host.onEvents = [this] {
            QCoreApplication::processEvents();
            if (peerStep) peerStep();
        };
    }
    std::unique_ptr<engine::TExecute> Run(const std::string& script) {
        engine.host.log.clear();
        return engine.Run(script);
    }
};

std::vector<std::string> Timed(std::initializer_list<const char*> messages) {
    std::vector<std::string> lines;
    for (const char* message : messages) lines.push_back(std::string("14:03:27: ") + message);
    return lines;
}

TEST(TcpCommands, MessagesWithoutAPeer) {
    const struct {
        const char* script;
        std::vector<std::string> log;
        const char* error;
        const char* lastError;
    } cases[] = {
        {"tcp_write(\"x\")", Timed({"Write error, not connected."}), "1",
         "tcp_write: error writing to socket client."},
        {"tcp_srv_write(\"x\")", Timed({"Write error,server socket."}), "1",
         "tcp_srv_write: error writing to server socket."},
        {"a = \"xyz\"\ntcp_flush(a)", Timed({"Socket client buffer not flushed"}), "1",
         "tcp_flush: error flushing socket client buffer."},
        {"tcp_srv_flush(\"1.5\")", Timed({"Socket buffer not flushed"}), "1",
         "tcp_srv_flush: error flushing socket buffer."},
        {"tcp_srv_open(\"abc\")", Timed({"Socket server not started"}), "1",
         "tcp_srv_open: error starting socket server."},
        {"tcp_srv_open(0)", Timed({"Socket server not started"}), "1",
         "tcp_srv_open: error starting socket server."},
        {"tcp_open(\"\", 80)", Timed({"Error connecting to :80"}), "1",
         "tcp_open: error opening the socket."},
        {"tcp_open(\"127.0.0.1\", \"no-such-service\")",
         Timed({"Error connecting to 127.0.0.1:no-such-service"}), "1",
         "tcp_open: error opening the socket."},
        {"tcp_flush()\ntcp_flush(3)\ntcp_srv_flush()\ntcp_srv_flush(-1)\ntcp_close()\n"
         "tcp_srv_close()",
         Timed({"Socket client buffer flushed", "Socket client buffer flushed",
                "Socket server buffer flushed", "Socket server buffer flushed",
                "Socket client closed", "Socket server stoped"}),
         "0", ""},
        // Another number of arguments: no action, no log, error untouched.
        {"error = 7\ntcp_open(1)\ntcp_close(1)\ntcp_write()\ntcp_flush(1, 2)\ntcp_srv_open()\n"
         "tcp_srv_close(1)\ntcp_srv_write(1, 2)\ntcp_srv_flush(1, 2)\ntcp _open(\"\", 1)",
         {},
         "7",
         ""},
    };
    for (const auto& c : cases) {
        TTcpScript f;
        auto run = f.Run(c.script);
        EXPECT_EQ(f.engine.host.log, c.log) << c.script;
        EXPECT_EQ(run->GetVariable("error"), c.error) << c.script;
        EXPECT_EQ(run->LastErrorText(), c.lastError) << c.script;
    }
}

TEST(TcpCommands, FunctionsGiveTextsAndRefuseArguments) {
    TTcpScript f;
    auto run = f.Run(
        "c = tcp_isconnected()\nh = \"x\" & tcp_srv_hasclient() & \"x\"\n"
        "r = \"x\" & tcp_read() & tcp_srv_read() & \"x\"\n"
        "k1 = \"keep\"\nk1 = tcp_read(1)\nk2 = \"keep\"\nk2 = tcp_isconnected(0)");
    EXPECT_EQ(run->GetVariable("c"), "0");
    EXPECT_EQ(run->GetVariable("h"), "xx");
    EXPECT_EQ(run->GetVariable("r"), "xx");
    EXPECT_EQ(run->GetVariable("k1"), "keep");
    EXPECT_EQ(run->GetVariable("k2"), "keep");
}

// Each row follows a failed tcp_write: its success sets error back to 0 and geterror()
// keeps the write's message.
TEST(TcpCommands, SuccessAfterFailureClearsErrorButKeepsTheMessage) {
    const std::string listen = "tcp_srv_open(" + std::to_string(testing::FreePort()) + ")";
    const std::string statements[] = {
        "tcp_open(\"127.0.0.1\", 1)", "tcp_close()",          "tcp_flush()",
        "tcp_flush(2)",               listen,                 "tcp_srv_close()",
        "tcp_srv_flush()",            "tcp_srv_flush(1)",     "x = tcp_read()",
        "x = tcp_srv_read()",         "x = tcp_srv_hasclient()", "x = tcp_isconnected()",
    };
    for (const std::string& statement : statements) {
        TTcpScript f;
        auto run = f.Run(std::string("tcp_write(\"x\")\n") + statement +
                         "\ne = error\nm = geterror()");
        EXPECT_EQ(run->GetVariable("e"), "0") << statement;
        EXPECT_EQ(run->GetVariable("m"), "tcp_write: error writing to socket client.")
            << statement;
    }

    // Both writes, connected: the script's client talks to a listener, a peer to its server.
    TTcpScript f;
    TLoopbackListener listener;
    TLoopbackPeer accepted, client;
    f.peerStep = [&] {
        if (!accepted.Valid()) accepted = listener.TryAccept();
        if (!client.Valid() && f.endpoints.Server().Listening()) {
            client = TLoopbackPeer::Connect(f.endpoints.Server().Port());
        }
    };
    auto run = f.Run(listen + "\ntcp_open(\"127.0.0.1\", " +
                     std::to_string(listener.Port()) + ")\n" + R"(
c = tcp_isconnected()
n = 0
while ((c == 0) && (n << 100000))
  c = tcp_isconnected()
  n = n + 1
wend
h = tcp_srv_hasclient()
while ((h == "") && (n << 200000))
  h = tcp_srv_hasclient()
  n = n + 1
wend
tcp_flush("q")
tcp_write("a")
e1 = error
tcp_srv_flush("q")
tcp_srv_write("b")
e2 = error
m = geterror()
tcp_close()
tcp_srv_close()
)");
    EXPECT_EQ(run->GetVariable("e1"), "0");
    EXPECT_EQ(run->GetVariable("e2"), "0");
    EXPECT_EQ(run->GetVariable("m"), "tcp_srv_flush: error flushing socket buffer.");
    EXPECT_EQ(accepted.Receive(1), "a");
    EXPECT_EQ(client.Receive(1), "b");
}

// The far end listens; the script connects, says ping, and works through the reply with the
// read-then-flush pattern.
TEST(TcpCommands, ScriptAsClient) {
    TTcpScript f;
    TLoopbackListener listener;
    TLoopbackPeer peer;
    std::string heard;
    f.peerStep = [&] {
        if (!peer.Valid()) {
            peer = listener.TryAccept();
        } else if (heard != "ping") {
            heard += peer.TryReceive();
            if (heard == "ping") peer.SendSome("hello");
        }
    };
    const std::string open = "tcp_open(\"127.0.0.1\", " + std::to_string(listener.Port()) + ")\n";
    auto run = f.Run(open + R"(
c = tcp_isconnected()
n = 0
while ((c == 0) && (n << 100000))
  c = tcp_isconnected()
  n = n + 1
wend
tcp_write("ping")
x = tcp_read()
while ((x <> "hello") && (n << 200000))
  x = tcp_read()
  n = n + 1
wend
)" + open + R"(reopened = error
a = tcp_read()
b = tcp_read()
tcp_flush(2)
c2 = tcp_read()
tcp_flush(99)
d = "[" & tcp_read() & "]"
tcp_close()
e = tcp_isconnected()
)");
    EXPECT_EQ(heard, "ping");
    EXPECT_EQ(run->GetVariable("c"), "1");
    EXPECT_LT(std::stoi(run->GetVariable("n")), 200000)
        << "the reply came, the loop did not run out";
    EXPECT_EQ(run->GetVariable("reopened"), "0");
    EXPECT_EQ(run->GetVariable("a"), "hello") << "opening the same target again kept the data";
    EXPECT_EQ(run->GetVariable("b"), "hello") << "reading leaves the buffer as it is";
    EXPECT_EQ(run->GetVariable("c2"), "llo");
    EXPECT_EQ(run->GetVariable("d"), "[]");
    EXPECT_EQ(run->GetVariable("e"), "0");
    const std::string port = std::to_string(listener.Port());
    EXPECT_EQ(f.engine.host.log, Timed({("Client socket open to 127.0.0.1:" + port).c_str(),
                                        ("Client socket already open to 127.0.0.1:" + port).c_str(),
                                        "Socket client buffer flushed",
                                        "Socket client buffer flushed", "Socket client closed"}));
    EXPECT_TRUE(peer.SeesClose());
}

// A host name whose lookup never answers: Stop ends tcp_open's wait, and the statements after
// it never run.
TEST(TcpCommands, StopEndsTheWaitForANameLookup) {
    TTcpScript f;
    auto asked = std::make_shared<std::atomic<bool>>(false);
    auto answer = std::make_shared<std::promise<void>>();
    std::shared_future<void> answered = answer->get_future().share();
    f.endpoints.Client().SetHostLookup([asked, answered](const std::string&) {
        asked->store(true);
        answered.wait();
        return std::optional<std::string>();
    });
    engine::TExecute run(f.engine.host, f.engine.state, f.engine.dispatch);
    f.engine.host.onEvents = [&] {
        QCoreApplication::processEvents();
        if (asked->load()) run.Stop();
    };
    run.RunProgram(engine::SplitLines("a = 1\ntcp_open(\"never.example\", 80)\nb = 2"));
    answer->set_value();
    EXPECT_EQ(run.GetVariable("a"), "1");
    EXPECT_EQ(run.GetVariable("b"), "") << "a statement ran after Stop";
    EXPECT_TRUE(f.engine.host.log.empty()) << "tcp_open reported an outcome it never had";
}

// The script serves one client; the far end connects once the server listens.
TEST(TcpCommands, ScriptAsServer) {
    TTcpScript f;
    TLoopbackPeer peer;
    std::string heard;
    f.peerStep = [&] {
        if (!peer.Valid() && f.endpoints.Server().Listening()) {
            peer = TLoopbackPeer::Connect(f.endpoints.Server().Port());
            peer.SendSome("hi");
        } else if (peer.Valid()) {
            heard += peer.TryReceive();
        }
    };
    const std::string port = std::to_string(testing::FreePort());
    auto run = f.Run(R"(
before = "[" & tcp_srv_hasclient() & "]"
tcp_srv_open()" + port + R"()
x = tcp_srv_read()
n = 0
while ((x <> "hi") && (n << 100000))
  x = tcp_srv_read()
  n = n + 1
wend
who = tcp_srv_hasclient()
tcp_srv_write("hello back")
tcp_srv_flush(1)
y = tcp_srv_read()
tcp_srv_open()" + port + R"()
tcp_srv_close()
after = "[" & tcp_srv_hasclient() & "]"
)");
    EXPECT_EQ(run->GetVariable("before"), "[]");
    EXPECT_EQ(run->GetVariable("x"), "hi");
    EXPECT_LT(std::stoi(run->GetVariable("n")), 100000);
    EXPECT_EQ(run->GetVariable("who"), "127.0.0.1");
    EXPECT_EQ(run->GetVariable("y"), "i");
    EXPECT_EQ(run->GetVariable("after"), "[]");
    EXPECT_EQ(run->GetVariable("error"), "0");
    EXPECT_EQ(run->LastErrorText(), "tcp_srv_open: error starting socket server.");
    const std::string listening = "Socket server listen on port : " + port;
    EXPECT_EQ(f.engine.host.log, Timed({listening.c_str(), "Socket server buffer flushed",
                                        "Socket server not started", "Socket server stoped"}));
    bool ended = false;
    heard += peer.Receive(SIZE_MAX, &ended);
    EXPECT_EQ(heard, "hello back");
    EXPECT_TRUE(ended) << "tcp_srv_close closed the client";
}

}  // namespace
}  // namespace korvane::net
