#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "line_settings.h"

namespace korvane::serial {

// A recording: what happened on one port, one event a line, as text a person can read and
// edit. The first line names the format and its version; blank lines and lines starting
// with '#' are skipped. Every other line is "SECONDS KIND DATA", the time since the port
// was opened followed by one of
//   sent DATA          bytes the script sent (the device received them)
//   received DATA      bytes the script received
//   settings BAUD DATABITS PARITY STOPBITS    e.g. "settings 9600 8 n 1"
//   dtr 0|1, rts 0|1   the script set a control line
//   modem LINES        the levels of the modem lines after a change: cts dsr ring rlsd, or none
//   pulse LINES        lines that toggled and came back (a RING pulse)
//   error ERRORS       rxover overrun parity frame break txfull io
// DATA is a series of "quoted text" (escapes \\ \" \r \n \t \xHH) and hex bytes (2A 0D).
// Where a device receives varying bytes, a sent block may also hold any(N), any N bytes,
// and until(DATA), any bytes up to and including DATA.
inline constexpr std::string_view kRecordingHeader = "korvane-recording 1";

enum class RecordedKind { Sent, Received, Settings, Dtr, Rts, Modem, Pulse, Error };

// One stretch of a sent or received block.
struct TDataPiece {
    enum class Kind { Bytes, Any, Until };
    Kind kind = Kind::Bytes;
    std::string bytes;      // the bytes, or the terminator of Until
    std::size_t count = 0;  // how many bytes Any stands for

    bool operator==(const TDataPiece&) const = default;
};

struct TRecordedEvent {
    std::int64_t micros = 0;  // since the port was opened
    RecordedKind kind = RecordedKind::Sent;
    std::vector<TDataPiece> data;  // Sent and Received (only Bytes in Received)
    TLineSettings settings;        // Settings
    std::uint32_t value = 0;       // Dtr, Rts: 0 or 1; Modem, Pulse: kModem* bits;
                                   // Error: kError* bits
    int line = 0;                  // where the event stands in the file; 0 when not read

    bool operator==(const TRecordedEvent&) const = default;
};

struct TRecording {
    std::vector<TRecordedEvent> events;
    std::string error;  // why the text was refused; empty when it was read

    bool Ok() const { return error.empty(); }
};

// An event of plain bytes.
TRecordedEvent BytesEvent(std::int64_t micros, RecordedKind kind, std::string_view bytes);

// One line of a recording, with its newline.
std::string FormatEvent(const TRecordedEvent& event);
// The header line and the events.
std::string FormatRecording(const std::vector<TRecordedEvent>& events);

// Reads a recording's text; a text that breaks any rule above is refused as a whole, with
// the line and the reason ("line 7: unknown event kind \"snet\"").
TRecording ReadRecording(std::string_view text);

// Bytes as "2A 49 0D", the pieces of a block as the recording writes any() and until().
std::string HexBytes(std::string_view bytes);
std::string DescribePieces(const std::vector<TDataPiece>& pieces);

}  // namespace korvane::serial
