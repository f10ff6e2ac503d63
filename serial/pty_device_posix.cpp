#include <fcntl.h>
#include <stdlib.h>

#include <cerrno>
#include <climits>

#include "pty_device.h"
#include "system_call.h"
#include "tty_config.h"

namespace korvane::serial {

namespace {

TDeviceResult OpenMaster(TUniqueFd& master, std::string& slavePath) {
    master.Reset(::posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC));
    if (!master.Valid()) {
        return TDeviceResult::Fail(SystemMessage("create pseudo-terminal", errno));
    }
    char name[PATH_MAX] = {};
    if (::grantpt(master.Get()) != 0 || ::unlockpt(master.Get()) != 0 ||
        ::ptsname_r(master.Get(), name, sizeof name) != 0) {
        return TDeviceResult::Fail(SystemMessage("prepare pseudo-terminal", errno));
    }
    const int flags = ::fcntl(master.Get(), F_GETFL);
    if (flags == -1 || ::fcntl(master.Get(), F_SETFL, flags | O_NONBLOCK) == -1) {
        return TDeviceResult::Fail(SystemMessage("prepare pseudo-terminal", errno));
    }
    slavePath = name;
    return TDeviceResult::Ok();
}

}  // namespace

TPtyDevice::TPtyDevice(std::string claimKey)
    : TTtyDevice(claimKey), m_claimKey(std::move(claimKey)) {}

TPtyDevice::~TPtyDevice() { TPtyDevice::Close(); }

TDeviceResult TPtyDevice::Open() {
    if (IsOpen()) {
        return TDeviceResult::Fail(m_claimKey + ": already open");
    }
    TPortClaim claim = TPortRegistry::Claim(m_claimKey);
    if (!claim.Held()) {
        return TDeviceResult::InUse(m_claimKey);
    }
    TUniqueFd master;
    std::string slavePath;
    if (auto result = OpenMaster(master, slavePath); !result) {
        return result;
    }
    TUniqueFd slave(RetryOnEintr(
        [&] { return ::open(slavePath.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC); }));
    if (!slave.Valid()) {
        return TDeviceResult::Fail(SystemMessage(slavePath, errno));
    }
    // Without this the slave's line discipline would echo and translate our bytes.
    if (auto result = ConfigureTty(slave.Get(), TLineSettings{}); !result) {
        return result;
    }
    if (auto result = Attach(std::move(master), std::move(claim)); !result) {
        return result;
    }
    m_slave = std::move(slave);
    m_slavePath = std::move(slavePath);
    return TDeviceResult::Ok();
}

void TPtyDevice::Close() {
    TTtyDevice::Close();
    m_slave.Reset();
    m_slavePath.clear();
}

}  // namespace korvane::serial
