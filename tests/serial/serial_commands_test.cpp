#include "serial/serial_commands.h"

#include <sys/file.h>

#include <QPlainTextEdit>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextDocument>

#include <gtest/gtest.h>

#include "channel_fixture.h"
#include "loopback_listener.h"
#include "pty_pair.h"
#include "serial/port_table.h"
#include "serial/recording.h"
#include "tests/engine/recording_host.h"
#include "tests/host/temp_dir.h"

namespace korvane::serial {
namespace {

using engine::testing::TEngineFixture;
using testing::TFakePorts;

// The engine with the serial rows bound to a table over fake ports com1 and com2; every
// pump runs the Qt event loop, where the readers hand their events over.
struct TSerialScript {
    TFakePorts ports{{1, 2}};
    TEngineFixture engine;
    TPortTable table{ports,
                     {testing::kTerminalLayout, nullptr, [] { return QRect(0, 0, 800, 600); }, {}}};
    std::optional<TPortChoice> answer;
    std::vector<std::vector<std::string>> offered;

    TSerialScript() {
        BindSerialStatements(engine.dispatch, table, [this](const std::vector<std::string>& p) {
            offered.push_back(p);
            return answer;
        });
        BindSerialFunctions(engine.dispatch, table);
        engine.host.onEvents = [] { QCoreApplication::processEvents(); };
    }
    std::unique_ptr<engine::TExecute> Run(const std::string& script) {
        engine.host.log.clear();
        return engine.Run(script);
    }
};

std::vector<std::string> Timed(std::initializer_list<std::string> messages) {
    std::vector<std::string> lines;
    for (const std::string& message : messages) lines.push_back("14:03:27: " + message);
    return lines;
}

const char* const kOpen1 = "openport(\"com1\", 9600, 8, \"n\", 1)\n";

TEST(SerialCommands, MessagesAndErrors) {
    const struct {
        std::string script;
        std::vector<std::string> log;
        const char* error;
        const char* lastError;
    } cases[] = {
        {kOpen1, Timed({"Port opened: com1"}), "0", ""},
        {std::string(kOpen1) + kOpen1,
         Timed({"Port opened: com1", "Port already open or not available: com1"}), "1",
         "openport: port already open or not available."},
        {"openport(\"com9\", 9600, 8, \"n\", 1)",
         Timed({"Port already open or not available: com9"}), "1",
         "openport: port already open or not available."},
        {"openport(\"com300\", 9600, 8, \"n\", 1)",
         Timed({"Port already open or not available: com300"}), "1",
         "openport: port already open or not available."},
        {"openport(\"com1\", 9600, 8, \"N\", 1)", Timed({"Cannot open port: com1"}), "1",
         "openport: unexpected argument."},
        {"openport(\"com1\", 9600, 8, \"n\", \"1,5\")", Timed({"Cannot open port: com1"}), "1",
         "openport: unexpected argument."},
        {"openport(\"com1\", \"96k\", 8, \"n\", 1)", Timed({"Cannot open port: com1"}), "1",
         "openport: unexpected argument."},
        {"openport(\"com1\", 9600, 7.5, \"n\", 1)", Timed({"Cannot open port: com1"}), "1",
         "openport: unexpected argument."},
        {"openport(\"com1\", 0, 8, \"n\", 1)", Timed({"Cannot open port: com1"}), "1",
         "openport: unexpected argument."},
        {"openport(\"com1\", -1, 8, \"n\", 1)", Timed({"Cannot open port: com1"}), "1",
         "openport: unexpected argument."},
        {"openport(\"com1\", 9600, 256, \"n\", 1)", Timed({"Cannot open port: com1"}), "1",
         "openport: unexpected argument."},
        {"openport(\"com1\", 9600, 4, \"n\", 1)", Timed({"Cannot open port: com1"}), "1",
         "openport: unexpected argument."},
        {"openport(\"COM1\", 9600, 8, \"e\", 2)\ncloseport(\"COM1\")",
         Timed({"Port opened: COM1", "Port closed: COM1"}), "0", ""},
        {"closeport(\"com1\")", Timed({"Port is not open: com1"}), "0", ""},
        {"closeport(\"com300\")", Timed({"Port is not open: com300"}), "0", ""},
        {"closeport(\"port\")", {}, "1", "closeport: error closing port."},
        {std::string(kOpen1) + "setrts(\"com1\")\nclearrts(\"COM1\")\nsetdtr(\"com1\")\n"
                               "cleardtr(\"\\\\.\\com1\")",
         Timed({"Port opened: com1", "Tried to set RTS for com1", "Tried to clear RTS for COM1",
                "Tried to set DTR for com1", "Tried to clear DTR for \\\\.\\com1"}),
         "0", ""},
        {"setrts(\"com2\")\nclearrts(\"com-3\")", {}, "0", ""},
        {"setrts(\"x\")", {}, "1", "setrts: error setting line."},
        {"clearrts(\"x\")", {}, "1", "clearrts: error clearing line."},
        {"setdtr(\"x\")", {}, "1", "setdtr: error setting line."},
        {"cleardtr(\"x\")", {}, "1", "cleardtr: error clearing line."},
        {std::string(kOpen1) + "send(\"COM1\", \"x\")", Timed({"Port opened: com1"}), "1",
         "send: Serial port not valid."},
        {"send(\"com2\", \"x\")", {}, "1", "send: Serial port not open."},
        {"send(\"com0\", \"x\")", {}, "1", "send: Serial port not open."},
        {"send(\"comx\", \"x\")", {}, "1", "send: Serial port not valid."},
        {"error = 5\nsend(\"COM1\", \"\")", {}, "0", ""},
        {"flush(\"COM1\")", {}, "1", "flush: Serial port not valid."},
        {"flush(\"com2\", 3)", {}, "1", "flush: Serial port not open."},
        {std::string(kOpen1) + "flush(\"com1\", \"x\")", Timed({"Port opened: com1"}), "1",
         "flush: Serial port not valid."},
        {"showterm(\"com2\", 100, 100, 8)", {}, "1", "showterm: Serial port not open."},
        {"showterm(\"nothing\", 100, 100, 8)", {}, "1", "showterm: error opening terminal window."},
        {std::string(kOpen1) + "showterm(\"com1\", 100, \"tall\", 8)", Timed({"Port opened: com1"}),
         "1", "showterm: error opening terminal window."},
        {std::string(kOpen1) + "showterm(\"com1\", 100, 100, 0)", Timed({"Port opened: com1"}), "1",
         "showterm: error opening terminal window."},
        {"hideterm(\"com2\")", {}, "1", "hideterm: serial port not open."},
        {"hideterm(\"nothing\")", {}, "1", "hideterm: error hiding terminal window."},
        // Another number of arguments: nothing happens, error keeps its value.
        {"error = 7\nopenport(\"com1\")\ncloseport()\nsend(\"com1\")\nflush(\"com1\", 1, 2)\n"
         "showterm(\"com1\")\nhideterm()\nsetrts(\"com1\", 1)\nclearrts()\nsetdtr()\ncleardtr()",
         {},
         "7",
         ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.script);
        TSerialScript f;
        auto run = f.Run(c.script);
        EXPECT_EQ(f.engine.host.log, c.log);
        EXPECT_EQ(run->GetVariable("error"), c.error);
        EXPECT_EQ(run->LastErrorText(), c.lastError);
    }
}

TEST(SerialCommands, FunctionsAndTheirErrors) {
    const struct {
        std::string script;
        std::string value;
        const char* error;
        const char* lastError;
    } cases[] = {
        {"x = enumports()", "com1 com2", "0", ""},
        {std::string(kOpen1) + "x = enumports()", "com2", "0", ""},
        {std::string(kOpen1) + "x = getcts(\"com1\") & getdsr(\"com1\") & getrlsd(\"com1\") & "
                               "getring(\"com1\")",
         "0000", "0", ""},
        {std::string(kOpen1) + "x = \"[\" & receive(\"com1\") & \"]\"", "[]", "0", ""},
        {"x = \"[\" & receive(\"COM1\") & \"]\"", "[]", "1", "receive: Serial port not valid."},
        {"x = \"[\" & receive(\"com1\") & \"]\"", "[]", "1", "receive: Serial port not open."},
        {"x = \"[\" & receive(\"com1x\") & \"]\"", "[]", "1", "receive: Serial port not valid."},
        {"x = \"[\" & receive(\"com257\") & \"]\"", "[]", "1", "receive: Serial port not open."},
        {"x = getcts(\"Com1\")", "", "1", "getcts: Serial port not valid."},
        {"x = getdsr(\"com2\")", "", "1", "getdsr: Serial port not open."},
        {"x = getrlsd(\"serial\")", "", "1", "getrlsd: Serial port not valid."},
        {"x = getring(\"com-1\")", "", "1", "getring: Serial port not open."},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.script);
        TSerialScript f;
        auto run = f.Run(c.script);
        EXPECT_EQ(run->GetVariable("x"), c.value);
        EXPECT_EQ(run->GetVariable("error"), c.error);
        EXPECT_EQ(run->LastErrorText(), c.lastError);
    }
}

// With com1 open, each row follows a failed send: its success sets error back to 0 and
// geterror() keeps the send's message. setport leaves error alone.
TEST(SerialCommands, SuccessAfterFailureClearsErrorButKeepsTheMessage) {
    const struct {
        const char* statement;
        const char* error;
    } cases[] = {
        {"openport(\"com2\", 9600, 8, \"n\", 1)", "0"},
        {"closeport(\"com1\")", "0"},
        {"closeport(\"com2\")", "0"},
        {"setrts(\"com1\")", "0"},
        {"clearrts(\"com1\")", "0"},
        {"setdtr(\"com1\")", "0"},
        {"cleardtr(\"com1\")", "0"},
        {"setrts(\"com2\")", "0"},
        {"flush(\"com1\")", "0"},
        {"flush(\"com1\", 2)", "0"},
        {"send(\"com1\", \"x\")", "0"},
        {"send(\"com1\", \"\")", "0"},
        {"showterm(\"com1\", 100, 100, 8)", "0"},
        {"hideterm(\"com1\")", "0"},
        {"x = enumports()", "0"},
        {"x = receive(\"com1\")", "0"},
        {"x = getcts(\"com1\")", "0"},
        {"x = getdsr(\"com1\")", "0"},
        {"x = getrlsd(\"com1\")", "0"},
        {"x = getring(\"com1\")", "0"},
        {"setport", "1"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.statement);
        TSerialScript f;
        auto run = f.Run(std::string(kOpen1) + "send(\"comx\", \"x\")\n" + c.statement +
                         "\ne = error\nm = geterror()");
        EXPECT_EQ(run->GetVariable("e"), c.error);
        EXPECT_EQ(run->GetVariable("m"), "send: Serial port not valid.");
    }
}

TEST(SerialCommands, SendWritesTheTextOfItsValue) {
    TSerialScript f;
    f.Run(std::string(kOpen1) +
          "send(\"com1\", \"hello\")\nsend(\"com1\", 65)\n"
          "send(\"com1\", 1/4)\nsend(\"com1\", \"\")\n");
    EXPECT_EQ(f.ports.Device(1).Written(), "hello650.25");
}

TEST(SerialCommands, ReceiveSeesWhatArrivedBetweenStatements) {
    TSerialScript f;
    bool answered = false;
    f.engine.host.onEvents = [&] {
        if (!answered && f.table.Terminal(1) && f.table.Terminal(1)->Connected()) {
            answered = f.ports.Device(1).Receive("ABCDE");
        }
        QCoreApplication::processEvents();
    };
    auto run = f.Run(std::string(kOpen1) +
                     "x = receive(\"com1\")\n"
                     "n = 0\n"
                     "while ((x <> \"ABCDE\") && (n << 100000))\n"
                     "  x = receive(\"com1\")\n"
                     "  n = n + 1\n"
                     "wend\n"
                     "again = receive(\"com1\")\n"
                     "flush(\"com1\", 3)\n"
                     "y = receive(\"com1\")\n"
                     "flush(\"com1\", 0)\n"
                     "y0 = receive(\"com1\")\n"
                     "flush(\"com1\")\n"
                     "z = \"[\" & receive(\"com1\") & \"]\"\n");
    EXPECT_EQ(run->GetVariable("x"), "ABCDE");
    EXPECT_EQ(run->GetVariable("again"), "ABCDE");
    EXPECT_EQ(run->GetVariable("y"), "DE");
    EXPECT_EQ(run->GetVariable("y0"), "DE");
    EXPECT_EQ(run->GetVariable("z"), "[]");
    EXPECT_EQ(run->GetVariable("error"), "0");
}

// Bytes the full buffer pushed out are logged once, where the script next looks, and the
// run goes on without an error: the newest bytes are there to read.
TEST(SerialCommands, DroppedBytesAreLoggedOnceWhereTheScriptLooks) {
    TSerialScript f;
    f.Run(kOpen1);
    TTerminal& terminal = *f.table.Terminal(1);
    std::string sent;
    for (char c : std::string("ABCD")) {
        const std::string chunk(5121, c);
        sent += chunk;
        ASSERT_TRUE(f.ports.Device(1).Receive(chunk));
        ASSERT_TRUE(testing::PumpUntil([&] { return terminal.RxBuffer().back() == c; }));
    }
    auto run = f.Run(
        "x = receive(\"com1\")\ne = error\ny = receive(\"com1\")\nflush(\"com1\")\n"
        "closeport(\"com1\")");
    EXPECT_EQ(run->GetVariable("x"), sent.substr(10242));
    EXPECT_EQ(run->GetVariable("e"), "0");
    EXPECT_EQ(f.engine.host.log,
              Timed({"com1: 10,242 received bytes dropped, receive buffer full",
                     "Port closed: com1"}));
}

TEST(SerialCommands, LineStatesReachTheScript) {
    TSerialScript f;
    int step = 0;
    f.engine.host.onEvents = [&] {
        QCoreApplication::processEvents();
        if (f.table.Terminal(1) && f.table.Terminal(1)->Connected() && step == 0) {
            f.ports.Device(1).SetModemLines(kModemCts | kModemDsr | kModemRlsd);
            f.ports.Device(1).PulseModemLines(kModemRing);
            step = 1;
        }
    };
    auto run =
        f.Run(std::string(kOpen1) +
              "n = 0\n"
              "x = getcts(\"com1\") & getdsr(\"com1\") & getrlsd(\"com1\") & getring(\"com1\")\n"
              "while ((x <> \"1111\") && (n << 100000))\n"
              "  x = getcts(\"com1\") & getdsr(\"com1\") & getrlsd(\"com1\") & getring(\"com1\")\n"
              "  n = n + 1\n"
              "wend\n");
    EXPECT_EQ(run->GetVariable("x"), "1111");
}

TEST(SerialCommands, SetportHandsItsChoiceToTheNextOpenport) {
    TSerialScript f;
    f.answer = TPortChoice{"com2", "19200", "7", "even", "2"};
    auto run = f.Run("setport\n" + std::string(kOpen1) + "p = myport\n" + kOpen1);
    ASSERT_EQ(f.offered.size(), 1u);
    EXPECT_EQ(f.offered[0], (std::vector<std::string>{"com1", "com2"}));
    EXPECT_EQ(run->GetVariable("p"), "com2");
    EXPECT_EQ(f.engine.host.log, Timed({"Cannot open port: com1", "Port opened: com1"}));
    ASSERT_TRUE(f.table.Terminal(2) && f.table.Terminal(2)->Connected());
    EXPECT_EQ(f.ports.Device(2).Settings(), (TLineSettings{19200, 7, Parity::Even, StopBits::Two}));
    EXPECT_EQ(f.ports.Device(1).Settings(), (TLineSettings{9600, 8, Parity::None, StopBits::One}));
}

TEST(SerialCommands, SetportClosedWithoutChoosingChangesNothing) {
    TSerialScript f;
    auto run = f.Run("myport = \"com1\"\nerror = 3\nsetport whatever follows\n");
    EXPECT_EQ(f.offered.size(), 1u);
    EXPECT_EQ(run->GetVariable("myport"), "com1");
    EXPECT_EQ(run->GetVariable("error"), "3");
    EXPECT_EQ(f.table.Pending(), TPortChoice{});
}

TEST(SerialCommands, ShowtermSizesOnlyAHiddenWindow) {
    TSerialScript f;
    f.table.SetTerminalPosition(QPoint(40, 30));
    auto run = f.Run(std::string(kOpen1) + "showterm(\"com1\", 300, 200, 4)\n");
    ASSERT_EQ(run->GetVariable("error"), "0");
    TTerminal& terminal = *f.table.Terminal(1);
    ASSERT_TRUE(terminal.Window().isVisible());
    EXPECT_EQ(terminal.Window().size(), QSize(300, 200));
    EXPECT_EQ(terminal.CharsPerLine(), 4);

    // Shown already: nothing changes.
    run = f.Run("showterm(\"com1\", 500, 400, 16)\n");
    EXPECT_EQ(terminal.Window().size(), QSize(300, 200));
    EXPECT_EQ(terminal.CharsPerLine(), 4);

    // Hidden by hideterm where the user moved it, shown again there with the new size.
    terminal.Window().move(90, 80);
    ASSERT_TRUE(testing::PumpUntil([&] { return terminal.Window().pos() == QPoint(90, 80); }));
    run = f.Run("hideterm(\"com1\")\nshowterm(\"COM1\", 450, 150, 8)\n");
    EXPECT_EQ(run->GetVariable("error"), "0");
    EXPECT_EQ(terminal.Window().pos(), QPoint(90, 80));
    EXPECT_EQ(terminal.Window().size(), QSize(450, 150));

    // A failing argument leaves the steps before it done and the window hidden.
    run = f.Run("hideterm(\"com1\")\nshowterm(\"com1\", 222, \"x\", 8)\n");
    EXPECT_EQ(run->LastErrorText(), "showterm: error opening terminal window.");
    EXPECT_FALSE(terminal.Window().isVisible());
    EXPECT_EQ(terminal.Window().width(), 222);
    EXPECT_EQ(terminal.Window().height(), 150);
}

// However narrow the script asks for, every column of a dump line shows beside the scroll
// bar: nothing is left to scroll sideways.
TEST(SerialCommands, ShowtermWidensAWindowTooNarrowForItsDump) {
    for (const int bytes : {1, 8, 16, 20}) {
        TSerialScript f;
        const std::string count = std::to_string(bytes);
        auto run = f.Run(std::string(kOpen1) + "showterm(\"com1\", 60, 120, " + count +
                         ")\nsend(\"com1\", \"" + std::string(bytes, 'W') + "\")\n");
        ASSERT_EQ(run->GetVariable("error"), "0") << bytes;
        QPlainTextEdit& memo = *f.table.Terminal(1)->Window().Memo1();
        ASSERT_TRUE(testing::PumpUntil([&] { return memo.isVisible(); }));
        QCoreApplication::processEvents();
        const QString line = memo.document()->firstBlock().text();
        ASSERT_EQ(line.size(), 4 + 3 * bytes + 3 + bytes) << line.toStdString();
        const int needed = memo.fontMetrics().horizontalAdvance(line) +
                           2 * static_cast<int>(memo.document()->documentMargin());
        EXPECT_GE(memo.viewport()->width(), needed) << bytes;
        EXPECT_EQ(memo.horizontalScrollBar()->maximum(), 0) << bytes;
    }
    // Wide enough already: the size the script asks for.
    TSerialScript f;
    f.Run(std::string(kOpen1) + "showterm(\"com1\", 750, 120, 16)\n");
    EXPECT_EQ(f.table.Terminal(1)->Window().width(), 750);
}

// The program decides where a shown window goes, from the remembered place (none at first)
// and the window's size.
TEST(SerialCommands, ShowtermAsksTheProgramWhereTheWindowGoes) {
    TFakePorts ports{{1}};
    TEngineFixture engine;
    std::vector<std::pair<std::optional<QPoint>, QSize>> asked;
    TPortTable table(ports, {testing::kTerminalLayout, nullptr, {},
                             [&asked](std::optional<QPoint> remembered, QSize frame) {
                                 asked.emplace_back(remembered, frame);
                                 return QPoint(321, 123);
                             }});
    BindSerialStatements(engine.dispatch, table, {});
    engine.Run(std::string(kOpen1) + "showterm(\"com1\", 400, 150, 8)\n");
    TTerminalWindow& window = table.Terminal(1)->Window();
    ASSERT_TRUE(testing::PumpUntil([&] { return window.pos() == QPoint(321, 123); }));
    window.close();
    engine.Run("showterm(\"com1\", 400, 150, 8)\n");
    ASSERT_EQ(asked.size(), 2u);
    EXPECT_EQ(asked[0].first, std::nullopt);
    EXPECT_EQ(asked[1].first, QPoint(321, 123));
    EXPECT_GE(asked[1].second.width(), 400);
}

TEST(SerialCommands, PortsStayOpenAcrossRuns) {
    TSerialScript f;
    f.Run(kOpen1);
    auto run = f.Run(std::string(kOpen1) + "closeport(\"com1\")\n" + kOpen1);
    EXPECT_EQ(f.engine.host.log, Timed({"Port already open or not available: com1",
                                        "Port closed: com1", "Port opened: com1"}));
}

}  // namespace
}  // namespace korvane::serial

namespace korvane::serial {
namespace {

// The loop port as the port map makes it: what is sent comes back, RTS drives CTS and DTR
// drives DSR and DCD.
// Another program holding the device is found only when the port is opened.
TEST(SerialCommands, APortAnotherProgramHoldsIsNotAvailable) {
    testing::TPtyPair pair;
    ASSERT_TRUE(pair.Valid());
    ASSERT_EQ(::flock(pair.Slave(), LOCK_EX | LOCK_NB), 0);
    TPortMap map;
    ASSERT_TRUE(map.Assign(7, {PortKind::Device, pair.SlavePath()}));
    TMappedPorts ports(map);
    TEngineFixture engine;
    TPortTable table(ports, {testing::kTerminalLayout, nullptr, {}, {}});
    BindSerialStatements(engine.dispatch, table, {});
    BindSerialFunctions(engine.dispatch, table);
    auto run = engine.Run("openport(\"com7\", 9600, 8, \"n\", 1)\ne = error\nt = geterror()");
    EXPECT_EQ(engine.host.log,
              (std::vector<std::string>{"14:03:27: Port already open or not available: com7"}));
    EXPECT_EQ(run->GetVariable("e"), "1");
    EXPECT_EQ(run->GetVariable("t"), "openport: port already open or not available.");

    // Once the other program lets go, the port opens.
    ASSERT_EQ(::flock(pair.Slave(), LOCK_UN), 0);
    engine.host.log.clear();
    engine.Run("openport(\"com7\", 9600, 8, \"n\", 1)");
    EXPECT_EQ(engine.host.log, (std::vector<std::string>{"14:03:27: Port opened: com7"}));
}

// A device the user may not open: the log says what to do about it after the usual line.
TEST(SerialCommands, OpenportSaysWhatPermissionIsMissing) {
    struct TDeniedDevice : TFakeDevice {
        using TFakeDevice::TFakeDevice;
        TDeviceResult Open() override {
            return TDeviceResult::Denied("no permission for /dev/ttyUSB0: add the user to group "
                                         "dialout");
        }
    };
    struct TDeniedPorts : TFakePorts {
        using TFakePorts::TFakePorts;
        std::unique_ptr<TSerialDevice> MakeDevice(int) const override {
            return std::make_unique<TDeniedDevice>("denied");
        }
    };
    TDeniedPorts ports({1});
    TEngineFixture engine;
    TPortTable table(ports, {testing::kTerminalLayout, nullptr, {}, {}});
    BindSerialStatements(engine.dispatch, table, {});
    auto run = engine.Run(std::string(kOpen1) + "e = error\nt = geterror()");
    EXPECT_EQ(engine.host.log,
              Timed({"Cannot open port: com1",
                     "no permission for /dev/ttyUSB0: add the user to group dialout"}));
    EXPECT_EQ(run->GetVariable("e"), "1");
    EXPECT_EQ(run->GetVariable("t"), "openport: cannot open port.");
}

// Stop ends the wait for a network instrument that does not answer, and the run with it.
TEST(SerialCommands, StopEndsTheConnectOfAnInstrument) {
    testing::TLoopbackListener full(0);
    const int queued = full.ConnectOwn();
    ASSERT_GE(queued, 0);
    TPortMap map;
    ASSERT_TRUE(map.Assign(5, {PortKind::Tcp, full.HostPort()}));
    TMappedPorts ports(map);
    TEngineFixture engine;
    TPortTable table(ports, {testing::kTerminalLayout, nullptr, {}, {}});
    BindSerialStatements(engine.dispatch, table, {});
    engine::TExecute run(engine.host, engine.state, engine.dispatch);
    int pumps = 0;
    engine.host.onEvents = [&] {
        if (++pumps == 20) run.Stop();
    };
    run.RunProgram(engine::SplitLines("openport(\"com5\", 9600, 8, \"n\", 1)\nafter = 1"));
    ::close(queued);
    EXPECT_GE(pumps, 20);
    ASSERT_NE(table.Terminal(5), nullptr);
    EXPECT_FALSE(table.Terminal(5)->Connected());
    EXPECT_NE(table.Terminal(5)->OpenFailure().find("connecting abandoned"), std::string::npos)
        << table.Terminal(5)->OpenFailure();
    EXPECT_EQ(engine.host.log, Timed({"Cannot open port: com5"}));
    EXPECT_EQ(run.GetVariable("after"), "");
}

TEST(SerialCommandsLoop, TheLoopPortAnswersEveryCommand) {
    TPortMap map;
    ASSERT_TRUE(map.Assign(9, {PortKind::Loop, {}}));
    TMappedPorts ports(map);
    TEngineFixture engine;
    TPortTable table(ports, {testing::kTerminalLayout, nullptr, {}, {}});
    BindSerialStatements(engine.dispatch, table, {});
    BindSerialFunctions(engine.dispatch, table);
    engine.host.onEvents = [] { QCoreApplication::processEvents(); };
    const std::string waitFor =  // waits until lines(), a procedure, gives `want`
        "procedure lines\n"
        "  n = 0\n"
        "  s = getcts(\"com9\") & getdsr(\"com9\") & getrlsd(\"com9\")\n"
        "  while ((s <> want) && (n << 100000))\n"
        "    s = getcts(\"com9\") & getdsr(\"com9\") & getrlsd(\"com9\")\n"
        "    n = n + 1\n"
        "  wend\n"
        "procend\n";
    auto run = engine.Run(
        "openport(\"com9\", 9600, 8, \"n\", 1)\n"
        "a = getcts(\"com9\") & getdsr(\"com9\") & getrlsd(\"com9\")\n"
        "setrts(\"com9\")\nwant = \"100\"\nlines\nb = s\n"
        "setdtr(\"com9\")\nwant = \"111\"\nlines\nc = s\n"
        "clearrts(\"com9\")\ncleardtr(\"com9\")\nwant = \"000\"\nlines\nd = s\n"
        "send(\"com9\", \"ping\")\n"
        "x = receive(\"com9\")\nn = 0\n"
        "while ((x <> \"ping\") && (n << 100000))\n"
        "  x = receive(\"com9\")\n"
        "  n = n + 1\n"
        "wend\n"
        "closeport(\"com9\")\n"
        "e = enumports()\n" +
        waitFor);
    EXPECT_EQ(run->GetVariable("a"), "000");
    EXPECT_EQ(run->GetVariable("b"), "100");
    EXPECT_EQ(run->GetVariable("c"), "111");
    EXPECT_EQ(run->GetVariable("d"), "000");
    EXPECT_EQ(run->GetVariable("x"), "ping");
    EXPECT_EQ(run->GetVariable("e"), "com9");
    EXPECT_EQ(engine.host.log, Timed({"Port opened: com9", "Tried to set RTS for com9",
                                      "Tried to set DTR for com9", "Tried to clear RTS for com9",
                                      "Tried to clear DTR for com9", "Port closed: com9"}));
}

// A loop port recorded through the commands, then the recording replayed on another port,
// each window titled with what its port does; an unwritable recording keeps its port shut.
TEST(SerialCommandsRecording, RecordThenReplayThroughTheCommands) {
    host::testing::TTempDir dir;
    const std::string file = dir.File("loop.kvr");
    TPortMap map;
    ASSERT_TRUE(map.Assign(8, {PortKind::Loop, {}, file}));
    ASSERT_TRUE(map.Assign(9, {PortKind::ReplayFast, file}));
    ASSERT_TRUE(map.Assign(10, {PortKind::Loop, {}, dir.File("missing/x.kvr")}));
    TMappedPorts ports(map);
    std::vector<std::string> notes;
    ports.Notices().SetListener([&notes](const std::string& text) { notes.push_back(text); });
    TEngineFixture engine;
    TPortTable table(ports, {testing::kTerminalLayout, nullptr, {}, {}});
    BindSerialStatements(engine.dispatch, table, {});
    BindSerialFunctions(engine.dispatch, table);
    engine.host.onEvents = [] { QCoreApplication::processEvents(); };
    const auto exchange = [&](const std::string& port) {
        return engine.Run("openport(\"" + port + "\", 9600, 8, \"n\", 1)\n"
                          "send(\"" + port + "\", \"ping\")\n"
                          "x = receive(\"" + port + "\")\nn = 0\n"
                          "while ((x <> \"ping\") && (n << 100000))\n"
                          "  x = receive(\"" + port + "\")\n"
                          "  n = n + 1\n"
                          "wend\n");
    };

    auto recorded = exchange("com8");
    EXPECT_EQ(recorded->GetVariable("x"), "ping");
    EXPECT_EQ(table.Terminal(8)->Window().windowTitle(),
              QString::fromStdString("COM8 - recording to " + file));
    engine.Run("closeport(\"com8\")");
    const TRecording recording = ReadRecording(host::testing::ReadBytes(file));
    ASSERT_TRUE(recording.Ok()) << recording.error;
    std::string traffic;
    for (const TRecordedEvent& event : recording.events) {
        if (event.kind == RecordedKind::Sent) traffic += "sent " + event.data[0].bytes + ";";
        if (event.kind == RecordedKind::Received) traffic += "received " + event.data[0].bytes + ";";
    }
    EXPECT_EQ(traffic, "sent ping;received ping;");

    auto replayed = exchange("com9");
    EXPECT_EQ(replayed->GetVariable("x"), "ping");
    EXPECT_EQ(table.Terminal(9)->Window().windowTitle(),
              QString::fromStdString("COM9 - replaying " + file + " fast"));
    engine.Run("closeport(\"com9\")");
    EXPECT_TRUE(ports.Notices().Mismatches().empty());

    engine.host.log.clear();
    engine.Run("openport(\"com10\", 9600, 8, \"n\", 1)");
    EXPECT_EQ(engine.host.log,
              (std::vector<std::string>{"14:03:27: Port already open or not available: com10"}));
    ASSERT_EQ(notes.size(), 1u);
    EXPECT_EQ(notes[0], "com10: cannot write recording " + dir.File("missing/x.kvr") +
                            ": No such file or directory");
}

}  // namespace
}  // namespace korvane::serial
