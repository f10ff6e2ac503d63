#include "workbench/ucrypt.h"

#include <gtest/gtest.h>

#include <random>
#include <set>
#include <string>
#include <vector>

namespace korvane::workbench {
namespace {

std::string AllByteValues() {
    std::string bytes;
    for (int code = 0; code < 256; ++code) bytes.push_back(static_cast<char>(code));
    return bytes;
}

std::string RandomBytes(std::size_t count) {
    std::mt19937 generator(12345);
    std::string bytes(count, '\0');
    for (char& c : bytes) c = static_cast<char>(generator() & 0xFF);
    return bytes;
}

TEST(Ucrypt, RoundTripRestoresEveryInput) {
    const std::vector<std::string> inputs = {"", "a", "writelog(\"hi\")\r\nnext\r\n",
                                             AllByteValues(), RandomBytes(100000)};
    for (const std::uint32_t key : {ScriptKey(), 0u, 0xFFFFFFFFu}) {
        for (const std::string& input : inputs) {
            const std::string scrambled = Scramble(input, key);
            EXPECT_EQ(scrambled.size(), input.size());
            EXPECT_EQ(Scramble(scrambled, key), input);
        }
    }
}

TEST(Ucrypt, SequenceDependsOnlyOnTheKey) {
    const std::string text = RandomBytes(64);
    EXPECT_EQ(Scramble(text, 42), Scramble(text, 42));
    EXPECT_NE(Scramble(text, 42), Scramble(text, 43));
    EXPECT_NE(Scramble(text, ScriptKey()), text);
    // Byte i's mask does not depend on the other bytes.
    EXPECT_EQ(Scramble(text, 42).substr(0, 10), Scramble(text.substr(0, 10), 42));
}

// Scrambling zero bytes shows the masks themselves: each is r + 1 with r in 0..253, so never 0
// or 255, and a long run uses all 254 values.
TEST(Ucrypt, MasksCoverOneTo254) {
    const std::string masks = Scramble(std::string(200000, '\0'), ScriptKey());
    std::set<int> seen;
    for (char c : masks) seen.insert(static_cast<unsigned char>(c));
    EXPECT_EQ(seen.size(), 254u);
    EXPECT_EQ(*seen.begin(), 1);
    EXPECT_EQ(*seen.rbegin(), 254);
}

TEST(Ucrypt, KeyIsStartPlusMultiplesOfCodes) {
    EXPECT_EQ(DeriveKey(""), kKeyStart);
    EXPECT_EQ(DeriveKey("A"), kKeyStart + 65 * kKeyMultiplier);
    EXPECT_EQ(DeriveKey("\xFF"), kKeyStart + 255 * kKeyMultiplier) << "codes are unsigned";
    EXPECT_EQ(ScriptKey(), DeriveKey("Korvane 1.5"));
}

// Values from an independent implementation of the same constants. Packaged copies already
// written depend on them: if this fails, old copies can no longer be read.
TEST(Ucrypt, KnownVectorStaysStable) {
    EXPECT_EQ(ScriptKey(), 7215117u);
    const std::string expected = {'\xbf', '\x21', '\x60', '\x3a', '\x03', '\x03', '\xab', '\x46',
                                  '\xf2', '\xd9', '\x61', '\x2d', '\x1f', '\x30', '\xcc', '\x50'};
    EXPECT_EQ(Scramble("writelog(\"hi\")\r\n", ScriptKey()), expected);
}

}  // namespace
}  // namespace korvane::workbench
