#include "serial/port_table.h"

#include <gtest/gtest.h>

#include "channel_fixture.h"

namespace korvane::serial {
namespace {

using testing::TFakePorts;

TEST(PortTable, PortNumber) {
    const struct {
        const char* name;
        std::optional<int> number;
    } cases[] = {
        {"COM3", 3},
        {"com3", 3},
        {"\\\\.\\COM12", 12},
        {"\\\\.\\COM3", 3},
        {"cOm256", 256},
        {"com300", 300},
        {"com-4", -4},
        {"com0", 0},
        {"xcom7", 7},
        {"com", std::nullopt},
        {"com3:", std::nullopt},
        {"com 3", std::nullopt},
        {"port", std::nullopt},
        {"", std::nullopt},
        {"com99999999999", std::nullopt},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(TPortTable::PortNumber(c.name), c.number) << c.name;
    }
}

struct TTableFixture {
    TFakePorts ports{{1, 3, 256}};
    std::filesystem::path layout = testing::kTerminalLayout;
    TPortTable table{ports, {layout, nullptr, [] { return QRect(100, 50, 544, 374); }, {}}};

    void Open(const std::string& port) { table.OpenPort(port, "9600", "8", "n", "1"); }
};

TEST(PortTable, PortsThisProgramHoldsAreNotListed) {
    TTableFixture f;
    f.table.EnumPorts();
    EXPECT_EQ(f.table.AvailablePorts(), (std::vector<std::string>{"COM1", "COM3", "COM256"}));
    f.Open("com3");
    ASSERT_TRUE(f.table.Terminal(3) && f.table.Terminal(3)->Connected());
    f.table.EnumPorts();
    EXPECT_EQ(f.table.AvailablePorts(), (std::vector<std::string>{"COM1", "COM256"}));
    EXPECT_EQ(f.table.OpenablePortNames(), (std::vector<std::string>{"com1", "com256"}));
    f.table.Discard(3);
    EXPECT_EQ(f.table.Terminal(3), nullptr);
    EXPECT_EQ(f.table.OpenablePortNames().size(), 3u);
}

TEST(PortTable, SlotsOutsideTheTableAreEmpty) {
    TTableFixture f;
    for (int number : {-1, 0, 257, 100000}) {
        EXPECT_EQ(f.table.Terminal(number), nullptr);
        f.table.Discard(number);
    }
    f.Open("com257");
    f.Open("com0");
    for (int number = 0; number <= kLastPortNumber; ++number) {
        EXPECT_EQ(f.table.Terminal(number), nullptr) << number;
    }
}

TEST(PortTable, OpensWithTheArgumentsAndPlacesTheWindowBesideTheMainWindow) {
    TTableFixture f;
    f.table.OpenPort("com1", "19200", "7", "o", "2");
    TTerminal* terminal = f.table.Terminal(1);
    ASSERT_NE(terminal, nullptr);
    ASSERT_TRUE(terminal->Connected());
    EXPECT_EQ(terminal->Port(), "COM1");
    EXPECT_EQ(terminal->Window().windowTitle(), "COM1");
    EXPECT_FALSE(terminal->Window().isVisible());
    EXPECT_EQ(f.ports.Device(1).Settings(), (TLineSettings{19200, 7, Parity::Odd, StopBits::Two}));
    EXPECT_EQ(terminal->Window().pos(),
              QPoint(100 + 544 - terminal->Window().frameGeometry().width(), 70));
}

TEST(PortTable, SettingsThatMatchNothingKeepTheDefaults) {
    const struct {
        const char* parity;
        const char* stopBits;
        Parity parityCode;
        StopBits stopCode;
    } cases[] = {
        {"e", "1.5", Parity::Even, StopBits::OneAndHalf}, {"m", "1", Parity::Mark, StopBits::One},
        {"s", "2", Parity::Space, StopBits::Two},         {"N", "1,5", Parity::None, StopBits::One},
        {"even", "3", Parity::None, StopBits::One},
    };
    for (const auto& c : cases) {
        TTableFixture f;
        f.table.OpenPort("com1", "9600", "8", c.parity, c.stopBits);
        ASSERT_TRUE(f.table.Terminal(1) && f.table.Terminal(1)->Connected());
        EXPECT_EQ(f.table.Terminal(1)->Parity(), c.parityCode) << c.parity;
        EXPECT_EQ(f.table.Terminal(1)->StopBits(), c.stopCode) << c.stopBits;
    }
}

TEST(PortTable, PendingDialogSettingsWinOnceAndAreThenUsedUp) {
    TTableFixture f;
    f.table.SetPending({"com3", "57600", "7", "mark", "1.5"});
    f.Open("com1");
    EXPECT_EQ(f.table.Terminal(1), nullptr);
    ASSERT_TRUE(f.table.Terminal(3) && f.table.Terminal(3)->Connected());
    EXPECT_EQ(f.ports.Device(3).Settings(),
              (TLineSettings{57600, 7, Parity::Mark, StopBits::OneAndHalf}));
    EXPECT_EQ(f.table.Pending(), TPortChoice{});

    // An empty pending port takes the script's, with the dialog's other choices.
    f.table.SetPending({"", "1200", "", "space", ""});
    f.Open("com1");
    ASSERT_TRUE(f.table.Terminal(1) && f.table.Terminal(1)->Connected());
    EXPECT_EQ(f.ports.Device(1).Settings(), (TLineSettings{1200, 8, Parity::Space, StopBits::One}));
}

TEST(PortTable, AStepThatFailsLeavesAnUnopenedTerminalAndThePendingSettings) {
    const struct {
        const char* name;
        TPortChoice pending;
        bool layoutMissing;
        bool terminalMade;
    } cases[] = {
        {"baud rate not a number", {"com1", "fast", "8", "none", "1"}, false, true},
        {"data bits not a number", {"com1", "9600", "8.0", "none", "1"}, false, true},
        {"no layout file", {"com1", "9600", "8", "none", "1"}, true, true},
        {"port without a number", {"comX", "9600", "8", "none", "1"}, false, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        TTableFixture f;
        if (c.layoutMissing) f.layout = "no/such/terminal.res";
        TPortTable table(f.ports, {f.layout, nullptr, {}, {}});
        table.SetPending(c.pending);
        table.OpenPort("com3", "9600", "8", "n", "1");
        EXPECT_EQ(table.Pending(), c.pending);
        EXPECT_EQ(table.Terminal(3), nullptr);
        EXPECT_EQ(table.Terminal(1) != nullptr, c.terminalMade);
        if (table.Terminal(1)) {
            EXPECT_FALSE(table.Terminal(1)->Connected());
        }
        // The next refresh finds the port free and drops the unopened terminal.
        table.RefreshPorts();
        EXPECT_EQ(table.Terminal(1), nullptr);
    }
}

TEST(PortTable, AnOpenPortIsNeverReplaced) {
    TTableFixture f;
    f.Open("com1");
    TTerminal* first = f.table.Terminal(1);
    ASSERT_TRUE(first && first->Connected());
    f.table.SetPending({"com1", "300", "8", "none", "1"});
    f.Open("com3");
    EXPECT_EQ(f.table.Terminal(1), first);
    EXPECT_EQ(f.ports.Device(1).Settings().baudRate, 9600);
    EXPECT_EQ(f.table.Terminal(3), nullptr);
    EXPECT_EQ(f.table.Pending().baudRate, "300");
}

TEST(PortTable, AFailedOpenStaysUntilTheNextRefresh) {
    for (const bool listing : {true, false}) {
        TTableFixture f;
        f.ports.FailOpen(1, "busy");
        f.Open("com1");
        f.Open("com3");
        ASSERT_NE(f.table.Terminal(1), nullptr);
        EXPECT_FALSE(f.table.Terminal(1)->Connected());
        if (listing) {
            f.table.RefreshPorts();
        } else {
            f.table.DropStaleTerminals();
        }
        EXPECT_EQ(f.table.Terminal(1), nullptr) << listing;
        ASSERT_NE(f.table.Terminal(3), nullptr) << listing;
        EXPECT_TRUE(f.table.Terminal(3)->Connected());
    }
}

TEST(PortTable, TerminalsGiveTheirPlaceBackWhenTheyGo) {
    TTableFixture f;
    // Never shown, a window has no place of its own to give.
    f.Open("com1");
    f.table.Discard(1);
    EXPECT_EQ(f.table.TerminalPosition(), std::nullopt);
    f.Open("com1");
    f.table.Terminal(1)->Window().show();
    f.table.Terminal(1)->Window().move(12, 34);
    f.table.Discard(1);
    EXPECT_EQ(f.table.TerminalPosition(), QPoint(12, 34));
    f.Open("com3");
    f.table.Terminal(3)->Window().show();
    f.table.Terminal(3)->Window().move(56, 78);
    f.table.CloseAll();
    EXPECT_EQ(f.table.TerminalPosition(), QPoint(56, 78));
    EXPECT_EQ(f.table.OpenablePortNames().size(), 3u);
}

}  // namespace
}  // namespace korvane::serial
