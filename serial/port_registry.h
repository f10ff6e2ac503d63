#pragma once

#include <string>
#include <utility>

namespace korvane::serial {

// Held while this program has a device open; releasing happens on destruction.
class TPortClaim {
 public:
    TPortClaim() = default;
    ~TPortClaim();
    TPortClaim(TPortClaim&& other) noexcept;
    TPortClaim& operator=(TPortClaim&& other) noexcept;
    TPortClaim(const TPortClaim&) = delete;
    TPortClaim& operator=(const TPortClaim&) = delete;

    bool Held() const { return !m_key.empty(); }
    void Release();

 private:
    friend class TPortRegistry;
    explicit TPortClaim(std::string key) : m_key(std::move(key)) {}

    std::string m_key;
};

// Process-wide record of the devices this program holds open, keyed by device identity.
// It lets the port list leave out busy ports without test-opening them: opening a free
// tty raises DTR and RTS, which resets many boards.
class TPortRegistry {
 public:
    // An empty claim when the key is already held.
    static TPortClaim Claim(const std::string& key);
    static bool IsHeld(const std::string& key);

 private:
    friend class TPortClaim;
    static void Release(const std::string& key);
};

}  // namespace korvane::serial
