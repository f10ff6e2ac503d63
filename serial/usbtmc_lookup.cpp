#include "usbtmc_lookup.h"

#include <fstream>
#include <system_error>

namespace korvane::serial {

namespace {

namespace fs = std::filesystem;

// The first line of a sysfs attribute file; sysfs files are short.
std::optional<std::string> ReadAttribute(const fs::path& file) {
    std::ifstream in(file);
    std::string line;
    if (!in || !std::getline(in, line)) return std::nullopt;
    while (!line.empty() && (line.back() == '\n' || line.back() == '\r' || line.back() == ' ')) {
        line.pop_back();
    }
    return line;
}

std::optional<unsigned> ReadNumber(const fs::path& file, int base) {
    const std::optional<std::string> text = ReadAttribute(file);
    if (!text || text->empty()) return std::nullopt;
    try {
        std::size_t used = 0;
        const unsigned long value = std::stoul(*text, &used, base);
        if (used != text->size()) return std::nullopt;
        return static_cast<unsigned>(value);
    } catch (const std::exception&) {
        return std::nullopt;
    }
}

// `interfaceDir` is the USB interface the driver is bound to; the device is its parent.
bool Matches(const fs::path& interfaceDir, const TUsbResource& resource) {
    const fs::path device = interfaceDir.parent_path();
    if (ReadNumber(device / "idVendor", 16) != resource.vendor) return false;
    if (ReadNumber(device / "idProduct", 16) != resource.product) return false;
    if (ReadAttribute(device / "serial") != resource.serial) return false;
    return !resource.interface ||
           ReadNumber(interfaceDir / "bInterfaceNumber", 16) == resource.interface;
}

}  // namespace

std::optional<std::string> FindUsbtmcNode(const TUsbResource& resource,
                                          const fs::path& sysfsRoot) {
    std::error_code error;
    fs::directory_iterator entries(sysfsRoot / "class" / "usbmisc", error);
    if (error) return std::nullopt;
    for (; !error && entries != fs::directory_iterator(); entries.increment(error)) {
        const std::string name = entries->path().filename().string();
        if (!name.starts_with("usbtmc")) continue;
        std::error_code broken;
        const fs::path interfaceDir = fs::canonical(entries->path() / "device", broken);
        if (!broken && Matches(interfaceDir, resource)) return "/dev/" + name;
    }
    return std::nullopt;
}

}  // namespace korvane::serial
