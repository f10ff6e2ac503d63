#include "serial/terminal_dump.h"

#include <algorithm>

#include "serial/serial_device.h"

namespace korvane::serial {

namespace {

constexpr char kHexDigits[] = "0123456789ABCDEF";

std::string DumpLine(std::string_view mark, std::string_view slice, std::size_t width) {
    std::string line(mark);
    line.reserve(mark.size() + width * 4 + 3);
    for (std::size_t i = 0; i < width; ++i) {
        if (i < slice.size()) {
            const auto byte = static_cast<unsigned char>(slice[i]);
            line += ' ';
            line += kHexDigits[byte >> 4];
            line += kHexDigits[byte & 0x0F];
        } else {
            line += "   ";
        }
    }
    line += " : ";
    for (std::size_t i = 0; i < width; ++i) {
        const auto byte = i < slice.size() ? static_cast<unsigned char>(slice[i]) : ' ';
        line += (byte < 32 || byte == 127) ? '.' : static_cast<char>(byte);
    }
    return line;
}

}  // namespace

std::vector<std::string> DumpLines(std::string_view mark, std::string_view chunk,
                                   int charsPerLine) {
    std::vector<std::string> lines;
    if (charsPerLine < 1) {
        return lines;
    }
    const auto width = static_cast<std::size_t>(charsPerLine);
    for (std::size_t start = 0; start < chunk.size(); start += width) {
        lines.push_back(
            DumpLine(mark, chunk.substr(start, std::min(width, chunk.size() - start)), width));
    }
    return lines;
}

std::string_view LineErrorDescription(std::uint32_t errors) {
    switch (errors) {
        case kErrorRxOver:
            return "An input buffer overflow has occurred";
        case kErrorOverrun:
            return "Character-buffer overrun has occurred";
        case kErrorParity:
            return "Parity error";
        case kErrorFrame:
            return "Framing error";
        case kErrorBreak:
            return "Break detected";
        case kErrorTxFull:
            return "Output buffer was full";
        case kErrorIo:
            return "I/O Error";
        default:
            return {};
    }
}

}  // namespace korvane::serial
