// Network and USB instruments as devices, ports whose device goes away and comes back, and
// what a missing permission says.
#include <fcntl.h>
#include <grp.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstring>
#include <filesystem>
#include <thread>

#include "loopback_listener.h"
#include "pty_pair.h"
#include "reader_thread.h"
#include "serial/permission_hint.h"
#include "serial/returning_device.h"
#include "serial/tcp_device.h"
#include "serial/tty_device.h"
#include "serial/usbtmc_device.h"
#include "serial/usbtmc_lookup.h"
#include "tests/host/temp_dir.h"

namespace korvane::serial {
namespace {

namespace fs = std::filesystem;
using host::testing::TTempDir;
using testing::TReaderThread;

constexpr int kPeerTimeoutMs = testing::TLoopbackListener::kWaitMs;
using TListener = testing::TLoopbackListener;

// Reads from a peer socket until `count` bytes or a few seconds of silence.
std::string PeerRead(int fd, std::size_t count) {
    std::string bytes;
    char block[4096];
    pollfd ready{fd, POLLIN, 0};
    while (bytes.size() < count && ::poll(&ready, 1, kPeerTimeoutMs) == 1) {
        const ssize_t got = ::recv(fd, block, sizeof block, 0);
        if (got <= 0) break;
        bytes.append(block, static_cast<std::size_t>(got));
    }
    return bytes;
}

std::shared_ptr<TPortNotices> CollectNotes(std::vector<std::string>& notes, std::mutex& mutex) {
    auto notices = std::make_shared<TPortNotices>();
    notices->SetListener([&notes, &mutex](const std::string& text) {
        std::lock_guard lock(mutex);
        notes.push_back(text);
    });
    return notices;
}

TEST(TcpDevice, CarriesBytesBothWaysAndReportsThePeerClosing) {
    TListener listener;
    TTcpDevice device(listener.HostPort(), "com3", nullptr);
    ASSERT_TRUE(device.Open());
    const int peer = listener.Accept();
    ASSERT_GE(peer, 0);
    TReaderThread reader(device);
    EXPECT_TRUE(device.ApplySettings({}));  // accepted and ignored
    std::uint32_t lines = 0xFF;
    EXPECT_TRUE(device.GetModemStatus(lines));
    EXPECT_EQ(lines, 0u);
    ASSERT_TRUE(device.Write("*IDN?\n"));
    EXPECT_EQ(PeerRead(peer, 6), "*IDN?\n");
    const std::string reply = testing::AllByteValues();
    ASSERT_EQ(::send(peer, reply.data(), reply.size(), 0), static_cast<ssize_t>(reply.size()));
    ASSERT_TRUE(reader.WaitForBytes(reply.size()));
    EXPECT_EQ(reader.Received(), reply);
    EXPECT_TRUE(reader.LineEvents().empty());

    ::close(peer);
    ASSERT_TRUE(reader.WaitForEvent(kEventErr));
    EXPECT_EQ(reader.LineEvents().at(0).errors, kErrorIo);
    EXPECT_FALSE(device.Write("x"));
}

// A connect that does not complete ends when the caller stops waiting, and a refused one
// ends at once.
TEST(TcpDevice, ConnectEndsWhenTheCallerStopsWaitingOrThePeerRefuses) {
    TListener full(0);
    const int first = full.ConnectOwn();  // fills the listener's queue: later connects hang
    ASSERT_GE(first, 0);
    int calls = 0;
    TTcpDevice hanging(full.HostPort(), "com2", nullptr);
    hanging.SetOpenWait([&calls] { return ++calls < 5; });
    const auto start = std::chrono::steady_clock::now();
    const TDeviceResult abandoned = hanging.Open();
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(2));
    EXPECT_EQ(abandoned.Message(), "tcp:" + full.HostPort() + ": connecting abandoned");
    EXPECT_EQ(calls, 5);
    EXPECT_FALSE(hanging.IsOpen());

    std::string closedPort;
    {
        TListener gone;
        closedPort = gone.HostPort();
    }
    TTcpDevice refused(closedPort, "com2", nullptr);
    const TDeviceResult result = refused.Open();
    EXPECT_EQ(result.Message(), "tcp:" + closedPort + ": Connection refused");
    ::close(first);
}

// The stand-in instrument: a seqpacket socket at a path, one packet a message.
class TUsbtmcStandIn {
 public:
    explicit TUsbtmcStandIn(const std::string& path) : m_path(path) {
        m_listener = ::socket(AF_UNIX, SOCK_SEQPACKET | SOCK_CLOEXEC, 0);
        sockaddr_un address{};
        address.sun_family = AF_UNIX;
        std::strncpy(address.sun_path, path.c_str(), sizeof address.sun_path - 1);
        m_ok = ::bind(m_listener, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0 &&
               ::listen(m_listener, 1) == 0;
    }
    ~TUsbtmcStandIn() {
        ::close(m_listener);
        if (m_peer >= 0) ::close(m_peer);
    }
    bool Ok() const { return m_ok; }
    bool Accept() {
        pollfd ready{m_listener, POLLIN, 0};
        if (::poll(&ready, 1, kPeerTimeoutMs) != 1) return false;
        m_peer = ::accept4(m_listener, nullptr, nullptr, SOCK_CLOEXEC);
        return m_peer >= 0;
    }
    // The next message, or "" after a few seconds without one.
    std::string Message() const {
        pollfd ready{m_peer, POLLIN, 0};
        if (::poll(&ready, 1, kPeerTimeoutMs) != 1) return {};
        char block[4096];
        const ssize_t got = ::recv(m_peer, block, sizeof block, 0);
        return got > 0 ? std::string(block, static_cast<std::size_t>(got)) : std::string();
    }
    void Reply(const std::string& text) const { (void)::send(m_peer, text.data(), text.size(), 0); }
    void Hang() {
        ::close(m_peer);
        m_peer = -1;
    }

 private:
    std::string m_path;
    int m_listener = -1;
    int m_peer = -1;
    bool m_ok = false;
};

// Writes are messages; only a query waits for its answer, so a command's silence does not
// delay what follows, and replies keep their order.
TEST(UsbtmcDevice, MessagesOutRepliesToQueriesBackThenTheInstrumentGoes) {
    TTempDir dir;
    const std::string node = dir.File("usbtmc0");
    TUsbtmcStandIn instrument(node);
    ASSERT_TRUE(instrument.Ok());
    TUsbtmcDevice device(node);
    ASSERT_TRUE(device.Open());
    ASSERT_TRUE(instrument.Accept());
    EXPECT_TRUE(TUsbtmcDevice(node).Open().PortInUse());
    TReaderThread reader(device);

    ASSERT_TRUE(device.Write("*RST\n"));
    ASSERT_TRUE(device.Write("*IDN?\n"));
    EXPECT_EQ(instrument.Message(), "*RST\n");
    EXPECT_EQ(instrument.Message(), "*IDN?\n");
    instrument.Reply("KORVANE,TMC-1\n");
    ASSERT_TRUE(reader.WaitForBytes(14));
    ASSERT_TRUE(device.Write("MEAS:VOLT?\n"));
    EXPECT_EQ(instrument.Message(), "MEAS:VOLT?\n");
    instrument.Reply("+1.25E+00\n");
    ASSERT_TRUE(reader.WaitForBytes(24));
    EXPECT_EQ(reader.Received(), "KORVANE,TMC-1\n+1.25E+00\n");
    EXPECT_TRUE(reader.LineEvents().empty());

    instrument.Hang();
    ASSERT_TRUE(device.Write("SYST:ERR?\n"));
    ASSERT_TRUE(reader.WaitForEvent(kEventErr));
    EXPECT_EQ(reader.LineEvents().at(0).errors, kErrorIo);
}

// A fake sysfs as the kernel lays it out: class/usbmisc/usbtmcN/device leads to the USB
// interface, whose parent holds the device's ids.
struct TFakeSysfs {
    TTempDir dir;
    void Add(const std::string& node, const std::string& busPath, const char* vendor,
             const char* product, const char* serial, const char* interfaceNumber) {
        const fs::path device = dir.Path() / "devices" / busPath;
        const fs::path interfaceDir = device / (busPath + ":1." + interfaceNumber);
        fs::create_directories(interfaceDir);
        host::testing::WriteBytes((device / "idVendor").string(), std::string(vendor) + "\n");
        host::testing::WriteBytes((device / "idProduct").string(), std::string(product) + "\n");
        host::testing::WriteBytes((device / "serial").string(), std::string(serial) + "\n");
        host::testing::WriteBytes((interfaceDir / "bInterfaceNumber").string(),
                                  std::string("0") + interfaceNumber + "\n");
        const fs::path entry = dir.Path() / "class" / "usbmisc" / node;
        fs::create_directories(entry);
        fs::create_directory_symlink(interfaceDir, entry / "device");
    }
};

TEST(UsbtmcLookup, FindsTheNodeByVendorProductSerialAndInterface) {
    TFakeSysfs sysfs;
    sysfs.Add("usbtmc0", "1-1", "0957", "1755", "MY111", "0");
    sysfs.Add("usbtmc1", "1-2", "0957", "1755", "MY222", "0");
    sysfs.Add("usbtmc2", "1-3", "1ab1", "04ce", "DS1Z", "1");
    fs::create_directories(sysfs.dir.Path() / "class" / "usbmisc" / "lp0");
    const struct {
        TUsbResource resource;
        std::optional<std::string> node;
    } cases[] = {
        {{0x0957, 0x1755, "MY222", std::nullopt}, "/dev/usbtmc1"},
        {{0x0957, 0x1755, "MY111", 0u}, "/dev/usbtmc0"},
        {{0x1AB1, 0x04CE, "DS1Z", 1u}, "/dev/usbtmc2"},
        {{0x1AB1, 0x04CE, "DS1Z", 0u}, std::nullopt},
        {{0x0957, 0x1755, "my222", std::nullopt}, std::nullopt},
        {{0x0957, 0x1756, "MY222", std::nullopt}, std::nullopt},
    };
    for (const auto& test : cases) {
        EXPECT_EQ(FindUsbtmcNode(test.resource, sysfs.dir.Path()), test.node)
            << test.resource.serial;
    }
    const std::optional<TUsbResource> parsed = ParseUsbResource("USB0::0x1AB1::1230::DS1Z::1::INSTR");
    ASSERT_TRUE(parsed);
    EXPECT_EQ(FindUsbtmcNode(*parsed, sysfs.dir.Path()), "/dev/usbtmc2");
    EXPECT_EQ(FindUsbtmcNode(*parsed, sysfs.dir.Path() / "missing"), std::nullopt);
}

// A by-id style link to a pseudo-terminal; the device goes when the far end closes, and comes
// back when the link leads to a new one.
TEST(ReturningDevice, ALostDeviceComesBackWithItsSettingsAndSaysSo) {
    TTempDir dir;
    const std::string link = dir.File("usb-ADAPTER_A1-if00-port0");
    auto first = std::make_unique<testing::TPtyPair>();
    ASSERT_TRUE(first->Valid());
    fs::create_symlink(first->SlavePath(), link);
    std::vector<std::string> notes;
    std::mutex notesMutex;
    TReturningDevice device([link] { return std::make_unique<TTtyDevice>(link); }, "com3",
                            CollectNotes(notes, notesMutex));
    ASSERT_TRUE(device.Open());
    const TLineSettings settings{19200, 7, Parity::Odd, StopBits::Two};
    ASSERT_TRUE(device.ApplySettings(settings));
    TReaderThread reader(device);
    ASSERT_TRUE(device.Write("a"));
    EXPECT_EQ(first->PeerRead(1), "a");

    fs::remove(link);
    first.reset();  // the far end closes; only the port holds its side
    ASSERT_TRUE(reader.WaitForEvent(kEventErr));
    EXPECT_TRUE(device.Lost());
    EXPECT_EQ(device.Write("b").Message(), "com3: device lost");
    EXPECT_TRUE(device.IsOpen());
    EXPECT_TRUE(device.ApplySettings(settings));  // kept for the return

    testing::TPtyPair second;
    ASSERT_TRUE(second.Valid());
    fs::create_symlink(second.SlavePath(), link);
    const auto back = [&] {
        std::lock_guard lock(notesMutex);
        return notes.size() == 2;
    };
    for (int i = 0; i < 500 && !back(); ++i) std::this_thread::sleep_for(std::chrono::milliseconds(10));
    {
        std::lock_guard lock(notesMutex);
        EXPECT_EQ(notes, (std::vector<std::string>{"com3: device lost", "com3: device back"}));
    }
    EXPECT_FALSE(device.Lost());
    termios attributes{};
    ASSERT_EQ(::tcgetattr(second.Slave(), &attributes), 0);
    // A pseudo-terminal keeps only the speed of the settings (it forces 8 bits, no parity).
    EXPECT_EQ(::cfgetospeed(&attributes), static_cast<speed_t>(B19200));
    ASSERT_TRUE(device.Write("c"));
    EXPECT_EQ(second.PeerRead(1), "c");
    ASSERT_TRUE(second.PeerWrite("d"));
    EXPECT_TRUE(reader.WaitForBytes(1));
    EXPECT_EQ(reader.Received(), "d");
}

// The message a user sees for a node they may not open, from an unprivileged process (a
// child gives up root for it where the tests run as root).
std::string DeniedOpenMessage(const std::string& path) {
    int pipeFds[2];
    if (::pipe(pipeFds) != 0) return "no pipe";
    const pid_t child = ::fork();
    if (child == 0) {
        ::close(pipeFds[0]);
        if (::getuid() == 0 && (::setgid(65534) != 0 || ::setuid(65534) != 0)) ::_exit(2);
        const std::string message = TTtyDevice(path).Open().Message();
        (void)!::write(pipeFds[1], message.data(), message.size());
        ::_exit(0);
    }
    ::close(pipeFds[1]);
    std::string message;
    char block[512];
    for (ssize_t got; (got = ::read(pipeFds[0], block, sizeof block)) > 0;) {
        message.append(block, static_cast<std::size_t>(got));
    }
    ::close(pipeFds[0]);
    int status = 0;
    ::waitpid(child, &status, 0);
    return message;
}

TEST(PermissionHint, ANodeWithoutPermissionSaysWhichGroupToJoin) {
    TTempDir dir;
    fs::permissions(dir.Path(), fs::perms::all);  // reachable by the unprivileged child
    const std::string node = dir.File("ttyUSB0");
    host::testing::WriteBytes(node, "");
    ASSERT_EQ(::chmod(node.c_str(), 0), 0);
    // A node root's group owns names the usual group; any other names its own.
    const group* own = ::getgrgid(::getgid());
    ASSERT_NE(own, nullptr);
    const std::string expectedGroup = ::getgid() == 0 ? "dialout" : own->gr_name;
    EXPECT_EQ(DeniedOpenMessage(node),
              "no permission for " + node + ": add the user to group " + expectedGroup);
    EXPECT_TRUE(OpenFailure(node, EPERM, "plugdev").PermissionDenied());
    const TDeviceResult missing = OpenFailure(dir.File("none"), ENOENT, "dialout");
    EXPECT_FALSE(missing.PermissionDenied());
    EXPECT_EQ(missing.Message(), dir.File("none") + ": No such file or directory");
}

}  // namespace
}  // namespace korvane::serial
