#include "workbench/ucrypt.h"

#include "workbench/payload_layout.h"

namespace korvane::workbench {

namespace {

// SplitMix64 (Steele, Lea, Flood): small, well mixed, and fixed here forever, unlike a
// library generator that may change between platforms and releases.
class TScrambleSequence {
 public:
    explicit TScrambleSequence(std::uint32_t seed) : m_state(seed) {}

    // A value in 0..253, by scaling the upper 32 bits (Lemire's multiply-shift).
    unsigned Next() {
        m_state += 0x9E3779B97F4A7C15ull;
        std::uint64_t z = m_state;
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
        z ^= z >> 31;
        return static_cast<unsigned>(((z >> 32) * 254u) >> 32);
    }

 private:
    std::uint64_t m_state;
};

}  // namespace

std::uint32_t DeriveKey(std::string_view text) {
    std::uint32_t key = kKeyStart;
    for (char c : text) key += kKeyMultiplier * static_cast<unsigned char>(c);
    return key;
}

std::uint32_t ScriptKey() {
    std::string text(kProductName);
    text += ' ';
    text += kProductVersion;
    return DeriveKey(text);
}

std::string Scramble(std::string_view input, std::uint32_t key) {
    TScrambleSequence sequence(key);
    std::string output(input);
    for (char& c : output) {
        const unsigned mask = sequence.Next() + 1;
        c = static_cast<char>(static_cast<unsigned char>(c) ^ mask);
    }
    return output;
}

}  // namespace korvane::workbench
