#include <grp.h>
#include <sys/stat.h>

#include <cerrno>

#include "permission_hint.h"
#include "system_call.h"

namespace korvane::serial {

namespace {

std::string GroupOf(const std::string& path, std::string_view usualGroup) {
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0 || info.st_gid == 0) return std::string(usualGroup);
    // Devices are reopened on reader threads too, hence the reentrant lookup.
    group entry {};
    group* found = nullptr;
    char buffer[4096];
    if (::getgrgid_r(info.st_gid, &entry, buffer, sizeof buffer, &found) != 0 || !found) {
        return std::string(usualGroup);
    }
    return found->gr_name;
}

}  // namespace

TDeviceResult OpenFailure(const std::string& path, int error, std::string_view usualGroup) {
    if (error != EACCES && error != EPERM) return TDeviceResult::Fail(SystemMessage(path, error));
    return TDeviceResult::Denied("no permission for " + path + ": add the user to group " +
                                 GroupOf(path, usualGroup));
}

}  // namespace korvane::serial
