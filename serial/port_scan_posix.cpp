#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <tuple>

#include "port_scan.h"

namespace korvane::serial {

namespace fs = std::filesystem;

namespace {

bool IsIdleLegacyUart(const fs::path& ttyDir) {
    std::ifstream typeFile(ttyDir / "type");
    std::string type;
    return typeFile && std::getline(typeFile, type) && type == "0";
}

bool HasDriver(const fs::path& ttyDir) {
    std::error_code error;
    return fs::exists(ttyDir / "device" / "driver", error);
}

std::vector<TDetectedPort> FindDevices(const TScanRoots& roots) {
    std::vector<TDetectedPort> ports;
    std::error_code error;
    for (fs::directory_iterator it(roots.ttyClass, error), end; !error && it != end;
         it.increment(error)) {
        const fs::path ttyDir = it->path();
        const fs::path node = fs::path(roots.dev) / ttyDir.filename();
        std::error_code nodeError;
        if (HasDriver(ttyDir) && !IsIdleLegacyUart(ttyDir) && fs::exists(node, nodeError)) {
            ports.push_back({node.string(), {}});
        }
    }
    return ports;
}

// Adds every link in `linkDir` that leads to one of the ports to that port's aliases.
void AddAliases(const fs::path& linkDir, std::vector<TDetectedPort>& ports) {
    std::error_code error;
    for (fs::directory_iterator it(linkDir, error), end; !error && it != end; it.increment(error)) {
        std::error_code linkError;
        const fs::path target = fs::canonical(it->path(), linkError);
        if (linkError) {
            continue;
        }
        for (TDetectedPort& port : ports) {
            std::error_code portError;
            if (fs::canonical(port.devicePath, portError) == target && !portError) {
                port.aliases.push_back(it->path().string());
            }
        }
    }
    for (TDetectedPort& port : ports) {
        std::sort(port.aliases.begin(), port.aliases.end());
    }
}

std::string ByPathLink(const TDetectedPort& port, const std::string& byPathDir) {
    for (const std::string& alias : port.aliases) {
        if (alias.rfind(byPathDir, 0) == 0) {
            return alias;
        }
    }
    return {};
}

// "ttyS10" → ("ttyS", 10, ...) so that numbers sort by value.
std::tuple<std::string, unsigned long, std::string> NaturalKey(const std::string& path) {
    const std::string name = fs::path(path).filename().string();
    std::size_t digits = name.size();
    while (digits > 0 && std::isdigit(static_cast<unsigned char>(name[digits - 1]))) {
        --digits;
    }
    const std::string suffix = name.substr(digits, 9);
    return {name.substr(0, digits), suffix.empty() ? 0 : std::stoul(suffix), name};
}

}  // namespace

std::vector<TDetectedPort> ScanSerialPorts(const TScanRoots& roots) {
    std::vector<TDetectedPort> ports = FindDevices(roots);
    const fs::path serialDir = fs::path(roots.dev) / "serial";
    const std::string byPathDir = (serialDir / "by-path").string() + "/";
    AddAliases(serialDir / "by-path", ports);
    AddAliases(serialDir / "by-id", ports);
    std::sort(ports.begin(), ports.end(), [&](const TDetectedPort& a, const TDetectedPort& b) {
        const std::string linkA = ByPathLink(a, byPathDir);
        const std::string linkB = ByPathLink(b, byPathDir);
        if (linkA.empty() != linkB.empty()) {
            return linkA.empty();
        }
        if (!linkA.empty()) {
            return linkA < linkB;
        }
        return NaturalKey(a.devicePath) < NaturalKey(b.devicePath);
    });
    return ports;
}

TPortMapResult LoadSystemPortMap(const TPortEntries& settingsEntries) {
    const char* environment = std::getenv(std::string(kEnvironmentSource).c_str());
    return BuildPortMap(settingsEntries, environment ? environment : "", ScanSerialPorts());
}

}  // namespace korvane::serial
