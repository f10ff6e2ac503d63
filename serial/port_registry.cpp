#include "port_registry.h"

#include <mutex>
#include <set>
#include <utility>

namespace korvane::serial {

namespace {

struct THeldKeys {
    std::mutex mutex;
    std::set<std::string> keys;
};

THeldKeys& HeldKeys() {
    static THeldKeys held;
    return held;
}

}  // namespace

TPortClaim::~TPortClaim() { Release(); }

TPortClaim::TPortClaim(TPortClaim&& other) noexcept : m_key(std::exchange(other.m_key, {})) {}

TPortClaim& TPortClaim::operator=(TPortClaim&& other) noexcept {
    if (this != &other) {
        Release();
        m_key = std::exchange(other.m_key, {});
    }
    return *this;
}

void TPortClaim::Release() {
    if (!m_key.empty()) {
        TPortRegistry::Release(m_key);
        m_key.clear();
    }
}

TPortClaim TPortRegistry::Claim(const std::string& key) {
    THeldKeys& held = HeldKeys();
    std::lock_guard lock(held.mutex);
    if (key.empty() || !held.keys.insert(key).second) {
        return {};
    }
    return TPortClaim(key);
}

bool TPortRegistry::IsHeld(const std::string& key) {
    THeldKeys& held = HeldKeys();
    std::lock_guard lock(held.mutex);
    return held.keys.count(key) != 0;
}

void TPortRegistry::Release(const std::string& key) {
    THeldKeys& held = HeldKeys();
    std::lock_guard lock(held.mutex);
    held.keys.erase(key);
}

}  // namespace korvane::serial
