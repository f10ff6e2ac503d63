#include "serial/terminal_dump.h"

#include <gtest/gtest.h>

#include "serial/serial_device.h"

namespace korvane::serial {
namespace {

TEST(TerminalDump, LinesOfAChunk) {
    const struct {
        const char* name;
        std::string_view mark;
        std::string chunk;
        int charsPerLine;
        std::vector<std::string> lines;
    } cases[] = {
        {"four received bytes",
         kReceivedMark,
         "AB\r\n",
         8,
         {"(R)  41 42 0D 0A             : AB..    "}},
        {"twelve sent bytes",
         kSentMark,
         "Hello, world",
         8,
         {"(S)  48 65 6C 6C 6F 2C 20 77 : Hello, w", "(S)  6F 72 6C 64             : orld    "}},
        {"nine bytes make two lines",
         kReceivedMark,
         "123456789",
         8,
         {"(R)  31 32 33 34 35 36 37 38 : 12345678", "(R)  39                      : 9       "}},
        {"delete and high bytes",
         kReceivedMark,
         std::string("\x7F\xE9\x00 ", 4),
         4,
         {"(R)  7F E9 00 20 : .\xE9. "}},
        {"one byte a line", kSentMark, "ab", 1, {"(S)  61 : a", "(S)  62 : b"}},
        {"exactly one line", kReceivedMark, "xyz", 3, {"(R)  78 79 7A : xyz"}},
        {"nothing", kReceivedMark, "", 8, {}},
        {"no width", kReceivedMark, "abc", 0, {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(DumpLines(c.mark, c.chunk, c.charsPerLine), c.lines);
    }
}

TEST(TerminalDump, EveryByteValueKeepsTheLineShape) {
    std::string all;
    for (int value = 0; value < 256; ++value) all.push_back(static_cast<char>(value));
    const std::vector<std::string> lines = DumpLines(kReceivedMark, all, 16);
    ASSERT_EQ(lines.size(), 16u);
    for (std::size_t row = 0; row < lines.size(); ++row) {
        const std::string& line = lines[row];
        ASSERT_EQ(line.size(), 4u + 16 * 3 + 3 + 16);
        for (std::size_t column = 0; column < 16; ++column) {
            const auto byte = static_cast<unsigned char>(row * 16 + column);
            char hex[3];
            std::snprintf(hex, sizeof hex, "%02X", byte);
            EXPECT_EQ(line.substr(5 + column * 3, 2), hex);
            const char shown = line[4 + 16 * 3 + 3 + column];
            EXPECT_EQ(shown, (byte < 32 || byte == 127) ? '.' : static_cast<char>(byte));
        }
    }
}

TEST(TerminalDump, LineErrorDescriptions) {
    const struct {
        std::uint32_t errors;
        std::string_view text;
    } cases[] = {
        {kErrorRxOver, "An input buffer overflow has occurred"},
        {kErrorOverrun, "Character-buffer overrun has occurred"},
        {kErrorParity, "Parity error"},
        {kErrorFrame, "Framing error"},
        {kErrorBreak, "Break detected"},
        {kErrorTxFull, "Output buffer was full"},
        {kErrorIo, "I/O Error"},
        {kErrorParity | kErrorFrame, ""},
        {0, ""},
        {0x0020, ""},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(LineErrorDescription(c.errors), c.text) << c.errors;
    }
}

}  // namespace
}  // namespace korvane::serial
