#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace korvane::workbench {

// Scrambling of a packaged script. It keeps the script from being read at a glance in the
// executable; it is not encryption. Build and start-up must share every constant here, or
// copies built earlier can no longer be read.

// Key derivation: kKeyStart plus kKeyMultiplier times each byte's code, modulo 2^32.
inline constexpr std::uint32_t kKeyStart = 0x9E37;
inline constexpr std::uint32_t kKeyMultiplier = 7919;

std::uint32_t DeriveKey(std::string_view text);

// The key of packaged scripts, derived from the product name, a blank and the version.
std::uint32_t ScriptKey();

// XORs byte i with (r_i + 1), r_i in 0..253 drawn from a SplitMix64 generator seeded with the
// key. Applying it twice with the same key gives the input back. Output bytes may be 0.
std::string Scramble(std::string_view input, std::uint32_t key);

}  // namespace korvane::workbench
