#include "serial/port_scan.h"

#include <gtest/gtest.h>
#include <stdlib.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

namespace korvane::serial {
namespace {

namespace fs = std::filesystem;

// A made-up /sys/class/tty and /dev, removed again at the end.
class PortScanTest : public ::testing::Test {
 protected:
    void SetUp() override {
        m_root = fs::path(::testing::TempDir()) / ("port_scan_" + std::to_string(::getpid()));
        fs::remove_all(m_root);
        fs::create_directories(m_root / "dev" / "serial" / "by-path");
        fs::create_directories(m_root / "dev" / "serial" / "by-id");
        m_roots = {(m_root / "class").string(), (m_root / "dev").string()};
    }
    void TearDown() override { fs::remove_all(m_root); }

    enum class Node { Present, Missing };
    void AddTty(const std::string& name, bool hasDriver, const char* type,
                Node node = Node::Present) {
        const fs::path dir = m_root / "class" / name;
        fs::create_directories(hasDriver ? dir / "device" / "driver" : dir);
        if (type != nullptr) {
            std::ofstream(dir / "type") << type << "\n";
        }
        if (node == Node::Present) {
            std::ofstream(m_root / "dev" / name).put('\0');
        }
    }
    void AddLink(const std::string& kind, const std::string& link, const std::string& target) {
        fs::create_symlink("../../" + target, m_root / "dev" / "serial" / kind / link);
    }
    std::string Dev(const std::string& name) const { return (m_root / "dev" / name).string(); }
    std::string Link(const std::string& kind, const std::string& link) const {
        return (m_root / "dev" / "serial" / kind / link).string();
    }

    fs::path m_root;
    TScanRoots m_roots;
};

TEST_F(PortScanTest, FindsRealPortsInStableOrder) {
    AddTty("ttyS10", true, "4");
    AddTty("ttyS0", true, "4");
    AddTty("ttyS1", true, "0");  // legacy UART with no hardware behind it
    AddTty("ttyS2", true, "4");
    AddTty("ttyS3", false, "4");     // no driver
    AddTty("tty1", false, nullptr);  // virtual console
    AddTty("ttyUSB0", true, nullptr);
    AddTty("ttyUSB1", true, nullptr);
    AddTty("ttyUSB5", true, nullptr, Node::Missing);
    AddTty("ttyACM0", true, nullptr);
    AddLink("by-path", "pci-0000:00:14.0-usb-0:2:1.0-port0", "ttyUSB0");
    AddLink("by-path", "pci-0000:00:14.0-usb-0:1:1.0-port0", "ttyUSB1");
    AddLink("by-path", "pci-0000:00:14.0-usb-0:9:1.0-port0", "ttyUSB7");  // dangling
    AddLink("by-id", "usb-FTDI_FT232R_A1-if00-port0", "ttyUSB1");

    const std::vector<TDetectedPort> ports = ScanSerialPorts(m_roots);
    std::vector<std::string> paths;
    for (const TDetectedPort& port : ports) {
        paths.push_back(port.devicePath);
    }
    EXPECT_EQ(paths, (std::vector<std::string>{Dev("ttyACM0"), Dev("ttyS0"), Dev("ttyS2"),
                                               Dev("ttyS10"), Dev("ttyUSB1"), Dev("ttyUSB0")}));
    ASSERT_EQ(ports.size(), 6u);
    EXPECT_EQ(ports[4].aliases,
              (std::vector<std::string>{Link("by-id", "usb-FTDI_FT232R_A1-if00-port0"),
                                        Link("by-path", "pci-0000:00:14.0-usb-0:1:1.0-port0")}));
    EXPECT_TRUE(ports[1].aliases.empty());
}

TEST_F(PortScanTest, MissingTreesGiveNoPorts) {
    fs::remove_all(m_root);
    EXPECT_TRUE(ScanSerialPorts(m_roots).empty());
}

TEST(SystemPortMap, ReadsTheEnvironmentVariable) {
    ASSERT_EQ(::setenv("KORVANE_PORTS", "com200=loop;com201=serial", 1), 0);
    const TPortMapResult result = LoadSystemPortMap({{"com199", "pty"}, {"com200", "pty"}});
    ::unsetenv("KORVANE_PORTS");
    EXPECT_EQ(result.map.Find(199), (TPortTarget{PortKind::Pty, {}}));
    EXPECT_EQ(result.map.Find(200), (TPortTarget{PortKind::Loop, {}}));
    EXPECT_FALSE(result.map.Contains(201));
    ASSERT_FALSE(result.issues.empty());
    EXPECT_EQ(result.issues[0].source, "KORVANE_PORTS");
    EXPECT_EQ(result.issues[0].entry, "com201=serial");
}

}  // namespace
}  // namespace korvane::serial
