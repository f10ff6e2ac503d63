#include "serial/port_map.h"

#include <gtest/gtest.h>

namespace korvane::serial {
namespace {

std::vector<std::string> IssueTexts(const TPortMapResult& result) {
    std::vector<std::string> texts;
    for (const TPortMapIssue& issue : result.issues) {
        texts.push_back(issue.Text());
    }
    return texts;
}

TPortTarget Device(const char* path) { return {PortKind::Device, path}; }

const std::string kUnknownDevice =
    "unknown device (expected an absolute device path, loop, pty, tcp:HOST:PORT, usbtmc:DEVICE, "
    "a VISA resource, record:FILE@DEVICE, replay:FILE or replay-fast:FILE)";

TEST(PortMap, EnvironmentListGivesPathsAndVirtualPorts) {
    const TPortMapResult result = BuildPortMap({}, " com5=/dev/pts/7; COM6 = loop ;com7=PTY;;", {});
    EXPECT_TRUE(result.issues.empty());
    EXPECT_EQ(result.map.Numbers(), (std::vector<int>{5, 6, 7}));
    EXPECT_EQ(result.map.Find(5), Device("/dev/pts/7"));
    EXPECT_EQ(result.map.Find(6), (TPortTarget{PortKind::Loop, {}}));
    EXPECT_EQ(result.map.Find(7), (TPortTarget{PortKind::Pty, {}}));
    EXPECT_EQ(result.map.Find(8), std::nullopt);
}

TEST(PortMap, BadEntriesAreLeftOutWithTheirReason) {
    const TPortMapResult result =
        BuildPortMap({{"com0", "loop"}, {"serial1", "loop"}, {"com2", ""}, {"com3", "ttyUSB0"}},
                     "com257=loop;com-1=loop;com4;com=loop;com12x=loop;com9=/dev/ttyS0", {});
    const std::vector<std::string> expected = {
        "korvane.ini [ports]: \"com0=loop\" ignored: port number must be 1 to 256",
        "korvane.ini [ports]: \"serial1=loop\" ignored: not a port name (expected com1 to "
        "com256)",
        "korvane.ini [ports]: \"com2=\" ignored: no device given",
        "korvane.ini [ports]: \"com3=ttyUSB0\" ignored: " + kUnknownDevice,
        "KORVANE_PORTS: \"com257=loop\" ignored: port number must be 1 to 256",
        "KORVANE_PORTS: \"com-1=loop\" ignored: not a port name (expected com1 to com256)",
        "KORVANE_PORTS: \"com4\" ignored: missing '=' between port and device",
        "KORVANE_PORTS: \"com=loop\" ignored: not a port name (expected com1 to com256)",
        "KORVANE_PORTS: \"com12x=loop\" ignored: not a port name (expected com1 to com256)",
    };
    EXPECT_EQ(IssueTexts(result), expected);
    EXPECT_EQ(result.map.Numbers(), (std::vector<int>{9}));
}

TEST(PortMap, RecordedAndReplayedPorts) {
    const TPortMapResult result = BuildPortMap(
        {{"com3", "record: session.kvr @ /dev/ttyUSB0"}, {"com4", "Record:a@b.kvr@loop"}},
        "com5=replay:one.kvr;com6=REPLAY-FAST:/tmp/two.kvr;com7=record:x.kvr@pty;"
        "com8=record:x.kvr;com9=record:@loop;com10=record:x.kvr@replay:y.kvr;com11=replay:",
        {{"/dev/ttyUSB0", {}}});
    EXPECT_EQ(result.map.Find(3), (TPortTarget{PortKind::Device, "/dev/ttyUSB0", "session.kvr"}));
    EXPECT_EQ(result.map.Find(4), (TPortTarget{PortKind::Loop, {}, "a@b.kvr"}));
    EXPECT_EQ(result.map.Find(5), (TPortTarget{PortKind::Replay, "one.kvr", {}}));
    EXPECT_EQ(result.map.Find(6), (TPortTarget{PortKind::ReplayFast, "/tmp/two.kvr", {}}));
    EXPECT_EQ(result.map.Find(7), (TPortTarget{PortKind::Pty, {}, "x.kvr"}));
    // The recorded device is named explicitly, so it takes no automatic number.
    EXPECT_EQ(result.map.Numbers(), (std::vector<int>{3, 4, 5, 6, 7}));
    const std::vector<std::string> expected = {
        "KORVANE_PORTS: \"com8=record:x.kvr\" ignored: record needs FILE@DEVICE",
        "KORVANE_PORTS: \"com9=record:@loop\" ignored: no recording file given",
        "KORVANE_PORTS: \"com10=record:x.kvr@replay:y.kvr\" ignored: " + kUnknownDevice,
        "KORVANE_PORTS: \"com11=replay:\" ignored: no recording file given",
    };
    EXPECT_EQ(IssueTexts(result), expected);
}

// Instruments, by their own prefixes and as VISA resource strings in any letter case; the
// forms that cannot work are left out with a reason that says what would.
TEST(PortMap, InstrumentEntries) {
    const struct {
        const char* value;
        std::optional<TPortTarget> target;
        const char* problem;
    } cases[] = {
        {"tcp:10.0.0.5:5025", TPortTarget{PortKind::Tcp, "10.0.0.5:5025"}, nullptr},
        {"TCP:meter.lab:5025", TPortTarget{PortKind::Tcp, "meter.lab:5025"}, nullptr},
        {"tcp:[::1]:5025", TPortTarget{PortKind::Tcp, "[::1]:5025"}, nullptr},
        {"tcp:10.0.0.5:65535", TPortTarget{PortKind::Tcp, "10.0.0.5:65535"}, nullptr},
        {"TCPIP0::10.0.0.5::5025::SOCKET", TPortTarget{PortKind::Tcp, "10.0.0.5:5025"}, nullptr},
        {"tcpip::meter.lab::23::socket", TPortTarget{PortKind::Tcp, "meter.lab:23"}, nullptr},
        {"TCPIP1::fe80::1::5025::SOCKET", std::nullopt, "expected TCPIP[n]::HOST::PORT::SOCKET"},
        {"usbtmc:/dev/usbtmc0", TPortTarget{PortKind::Usbtmc, "/dev/usbtmc0"}, nullptr},
        {"USB0::0x0957::0x1755::MY123::INSTR",
         TPortTarget{PortKind::Usbtmc, "USB0::0x0957::0x1755::MY123::INSTR"}, nullptr},
        {"usb::2391::5973::MY123::0::instr",
         TPortTarget{PortKind::Usbtmc, "usb::2391::5973::MY123::0::instr"}, nullptr},
        {"tcp:10.0.0.5:0", std::nullopt, "expected tcp:HOST:PORT with a port 1 to 65535"},
        {"tcp:10.0.0.5:65536", std::nullopt, "expected tcp:HOST:PORT with a port 1 to 65535"},
        {"tcp:10.0.0.5", std::nullopt, "expected tcp:HOST:PORT with a port 1 to 65535"},
        {"tcp::5025", std::nullopt, "expected tcp:HOST:PORT with a port 1 to 65535"},
        {"tcp:::1:5025", std::nullopt, "expected tcp:HOST:PORT with a port 1 to 65535"},
        {"tcp:a b:5025", std::nullopt, "expected tcp:HOST:PORT with a port 1 to 65535"},
        {"usbtmc:usbtmc0", std::nullopt, "expected usbtmc:/dev/usbtmcN"},
        {"TCPIP0::10.0.0.5::inst0::INSTR", std::nullopt,
         "VXI-11 instruments (TCPIP::HOST::INSTR) are not supported; use the instrument's raw "
         "socket, TCPIP::HOST::5025::SOCKET"},
        {"TCPIP::10.0.0.5::INSTR", std::nullopt,
         "VXI-11 instruments (TCPIP::HOST::INSTR) are not supported; use the instrument's raw "
         "socket, TCPIP::HOST::5025::SOCKET"},
        {"USB0::0x10000::0x1755::MY123::INSTR", std::nullopt,
         "expected USB[n]::VENDOR::PRODUCT::SERIAL[::INTERFACE]::INSTR"},
        {"USB0::0x0957::0x1755::::INSTR", std::nullopt,
         "expected USB[n]::VENDOR::PRODUCT::SERIAL[::INTERFACE]::INSTR"},
        {"USB0::0x0957::0x1755::MY123::RAW", std::nullopt,
         "expected USB[n]::VENDOR::PRODUCT::SERIAL[::INTERFACE]::INSTR"},
        {"GPIB0::12::INSTR", std::nullopt, nullptr},
    };
    for (const auto& test : cases) {
        const TPortMapResult result = BuildPortMap({{"com4", test.value}}, "", {});
        EXPECT_EQ(result.map.Find(4), test.target) << test.value;
        const std::vector<std::string> issues = IssueTexts(result);
        if (test.target) {
            EXPECT_TRUE(issues.empty()) << test.value;
        } else {
            const std::string reason = test.problem ? test.problem : kUnknownDevice;
            EXPECT_EQ(issues, (std::vector<std::string>{"korvane.ini [ports]: \"com4=" +
                                                        std::string(test.value) +
                                                        "\" ignored: " + reason}));
        }
    }
    // Instruments are recorded like any device.
    const TPortMapResult recorded = BuildPortMap({}, "com2=record:m.kvr@TCPIP::h::5025::SOCKET", {});
    EXPECT_EQ(recorded.map.Find(2), (TPortTarget{PortKind::Tcp, "h:5025", "m.kvr"}));
}

TEST(PortMap, EnvironmentWinsOverSettingsAndLaterOverEarlier) {
    const TPortMapResult result = BuildPortMap({{"com1", "/dev/ttyS0"}, {"com2", "/dev/ttyS1"}},
                                               "com2=loop;com3=pty;com3=/dev/ttyACM0", {});
    EXPECT_EQ(result.map.Find(1), Device("/dev/ttyS0"));
    EXPECT_EQ(result.map.Find(2), (TPortTarget{PortKind::Loop, {}}));
    EXPECT_EQ(result.map.Find(3), Device("/dev/ttyACM0"));
    EXPECT_EQ(IssueTexts(result),
              (std::vector<std::string>{"KORVANE_PORTS: \"com3=pty\" ignored: replaced by a later "
                                        "entry"}));
}

TEST(PortMap, ExplicitEntriesBeatAutomaticNumbering) {
    const std::vector<TDetectedPort> detected = {
        {"/dev/ttyS0", {}},
        {"/dev/ttyUSB0", {"/dev/serial/by-id/usb-FTDI_A1-if00-port0"}},
        {"/dev/ttyUSB1", {}},
        {"/dev/ttyACM0", {}},
    };
    // com1 is taken explicitly; the FTDI adapter is named through its by-id link and
    // ttyACM0 by its node, so neither gets a second, automatic number.
    const TPortMapResult result =
        BuildPortMap({{"com1", "loop"}, {"com7", "/dev/serial/by-id/usb-FTDI_A1-if00-port0"}},
                     "com3=/dev/ttyACM0", detected);
    EXPECT_TRUE(result.issues.empty());
    EXPECT_EQ(result.map.Numbers(), (std::vector<int>{1, 2, 3, 4, 7}));
    EXPECT_EQ(result.map.Find(2), Device("/dev/ttyS0"));
    EXPECT_EQ(result.map.Find(4), Device("/dev/ttyUSB1"));
    EXPECT_EQ(result.map.Find(7), Device("/dev/serial/by-id/usb-FTDI_A1-if00-port0"));
}

TEST(PortMap, AutomaticNumbersRunOutAt256) {
    std::vector<TDetectedPort> detected;
    for (int i = 0; i < 257; ++i) {
        detected.push_back({"/dev/ttyUSB" + std::to_string(i), {}});
    }
    const TPortMapResult result = BuildPortMap({}, "", detected);
    EXPECT_EQ(result.map.Numbers().size(), 256u);
    EXPECT_EQ(result.map.Find(256), Device("/dev/ttyUSB255"));
    EXPECT_EQ(IssueTexts(result),
              (std::vector<std::string>{
                  "automatic numbering: \"/dev/ttyUSB256\" ignored: no free port number left"}));
}

TEST(PortMap, PortKeysAndNames) {
    struct TCase {
        const char* key;
        std::optional<int> number;
    };
    const TCase cases[] = {
        {"com1", 1},
        {"COM256", 256},
        {"Com007", 7},
        {"com0", std::nullopt},
        {"com257", std::nullopt},
        {"com", std::nullopt},
        {"com 1", std::nullopt},
        {"com+1", std::nullopt},
        {"com99999999999999999999", std::nullopt},
        {"xcom1", std::nullopt},
    };
    for (const TCase& test : cases) {
        EXPECT_EQ(ParsePortKey(test.key), test.number) << test.key;
    }
    EXPECT_EQ(PortName(12), "com12");
    TPortMap map;
    EXPECT_FALSE(map.Assign(0, {}));
    EXPECT_FALSE(map.Assign(257, {}));
    EXPECT_TRUE(map.Assign(256, {}));
}

}  // namespace
}  // namespace korvane::serial
