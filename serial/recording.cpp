#include "recording.h"

#include <array>
#include <charconv>
#include <optional>
#include <utility>

#include "line_settings_text.h"
#include "serial_device.h"

namespace korvane::serial {

namespace {

constexpr std::size_t kMaxAnyCount = 16 * 1024 * 1024;
constexpr int kMaxSecondsDigits = 9;
constexpr int kMicroDigits = 6;

struct TName {
    std::string_view name;
    std::uint32_t bit;
};

constexpr std::array<TName, 8> kKinds = {{
    {"sent", static_cast<std::uint32_t>(RecordedKind::Sent)},
    {"received", static_cast<std::uint32_t>(RecordedKind::Received)},
    {"settings", static_cast<std::uint32_t>(RecordedKind::Settings)},
    {"dtr", static_cast<std::uint32_t>(RecordedKind::Dtr)},
    {"rts", static_cast<std::uint32_t>(RecordedKind::Rts)},
    {"modem", static_cast<std::uint32_t>(RecordedKind::Modem)},
    {"pulse", static_cast<std::uint32_t>(RecordedKind::Pulse)},
    {"error", static_cast<std::uint32_t>(RecordedKind::Error)},
}};

constexpr std::array<TName, 4> kLines = {{
    {"cts", kModemCts}, {"dsr", kModemDsr}, {"ring", kModemRing}, {"rlsd", kModemRlsd}}};

constexpr std::array<TName, 7> kErrors = {{
    {"rxover", kErrorRxOver},
    {"overrun", kErrorOverrun},
    {"parity", kErrorParity},
    {"frame", kErrorFrame},
    {"break", kErrorBreak},
    {"txfull", kErrorTxFull},
    {"io", kErrorIo},
}};

constexpr std::array<char, 5> kParityLetters = {'n', 'o', 'e', 'm', 's'};  // by Parity value
constexpr std::array<std::string_view, 3> kStopBitTexts = {"1", "1.5", "2"};

constexpr char kHexDigits[] = "0123456789ABCDEF";

template <std::size_t N>
std::optional<std::uint32_t> FindName(const std::array<TName, N>& names, std::string_view word) {
    for (const TName& entry : names) {
        if (entry.name == word) return entry.bit;
    }
    return std::nullopt;
}

template <std::size_t N>
std::string NameBits(const std::array<TName, N>& names, std::uint32_t bits) {
    std::string text;
    for (const TName& entry : names) {
        if (bits & entry.bit) text += " " + std::string(entry.name);
    }
    return text.empty() ? " none" : text;
}

int HexValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

bool Printable(unsigned char c) { return c >= 0x20 && c < 0x7F; }

void AppendHex(std::string& out, unsigned char c) {
    out += kHexDigits[c >> 4];
    out += kHexDigits[c & 0x0F];
}

// Quoted text where most bytes are readable, else hex bytes.
std::string FormatBytes(std::string_view bytes) {
    std::size_t readable = 0;
    for (char c : bytes) {
        const auto u = static_cast<unsigned char>(c);
        if (Printable(u) || c == '\r' || c == '\n' || c == '\t') ++readable;
    }
    if (readable * 2 < bytes.size()) return HexBytes(bytes);
    std::string text = "\"";
    for (char c : bytes) {
        const auto u = static_cast<unsigned char>(c);
        switch (c) {
            case '\\': text += "\\\\"; break;
            case '"': text += "\\\""; break;
            case '\r': text += "\\r"; break;
            case '\n': text += "\\n"; break;
            case '\t': text += "\\t"; break;
            default:
                if (Printable(u)) {
                    text += c;
                } else {
                    text += "\\x";
                    AppendHex(text, u);
                }
        }
    }
    return text + "\"";
}

std::string FormatPieces(const std::vector<TDataPiece>& pieces) {
    std::string text;
    for (const TDataPiece& piece : pieces) {
        if (!text.empty()) text += ' ';
        switch (piece.kind) {
            case TDataPiece::Kind::Bytes: text += FormatBytes(piece.bytes); break;
            case TDataPiece::Kind::Any: text += "any(" + std::to_string(piece.count) + ")"; break;
            case TDataPiece::Kind::Until: text += "until(" + FormatBytes(piece.bytes) + ")"; break;
        }
    }
    return text;
}

std::string FormatTime(std::int64_t micros) {
    std::string fraction = std::to_string(micros % 1000000);
    fraction.insert(0, static_cast<std::size_t>(kMicroDigits) - fraction.size(), '0');
    return std::to_string(micros / 1000000) + "." + fraction;
}

// Reads one line's fields; every Read* leaves a reason in `problem` when it fails.
class TLineReader {
 public:
    explicit TLineReader(std::string_view text) : m_text(text) {}

    std::string problem;

    bool AtEnd() {
        SkipBlanks();
        return m_text.empty();
    }

    std::string_view Word() {
        SkipBlanks();
        std::size_t end = 0;
        while (end < m_text.size() && m_text[end] != ' ' && m_text[end] != '\t') ++end;
        const std::string_view word = m_text.substr(0, end);
        m_text.remove_prefix(end);
        return word;
    }

    std::optional<std::int64_t> Time() {
        const std::string_view word = Word();
        const std::size_t dot = word.find('.');
        const std::string_view whole = word.substr(0, dot);
        const std::string_view fraction =
            dot == std::string_view::npos ? std::string_view() : word.substr(dot + 1);
        std::int64_t seconds = 0;
        std::int64_t micros = 0;
        if (whole.empty() || whole.size() > kMaxSecondsDigits || !Digits(whole, seconds) ||
            fraction.size() > kMicroDigits || (dot != std::string_view::npos && fraction.empty()) ||
            !Digits(fraction, micros)) {
            Fail("bad time \"" + std::string(word.substr(0, 20)) +
                 "\" (expected seconds such as 1.250000)");
            return std::nullopt;
        }
        for (std::size_t i = fraction.size(); i < kMicroDigits; ++i) micros *= 10;
        return seconds * 1000000 + micros;
    }

    // The pieces up to the end of the line, or up to a ')' when `closing`.
    bool Pieces(std::vector<TDataPiece>& pieces, bool closing, bool loose) {
        for (;;) {
            SkipBlanks();
            if (m_text.empty()) {
                if (closing) return Fail("missing ')'");
                return true;
            }
            if (m_text.front() == ')') {
                if (!closing) return Fail("')' without '('");
                m_text.remove_prefix(1);
                return true;
            }
            if (!Piece(pieces, loose)) return false;
        }
    }

 private:
    static bool Digits(std::string_view text, std::int64_t& value) {
        if (text.empty()) return true;
        const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
        return error == std::errc() && end == text.data() + text.size() && text.front() != '-' &&
               text.front() != '+';
    }

    bool Fail(std::string why) {
        if (problem.empty()) problem = std::move(why);
        return false;
    }

    void SkipBlanks() {
        while (!m_text.empty() && (m_text.front() == ' ' || m_text.front() == '\t')) {
            m_text.remove_prefix(1);
        }
    }

    bool StartsWith(std::string_view prefix) const {
        return m_text.substr(0, prefix.size()) == prefix;
    }

    bool Piece(std::vector<TDataPiece>& pieces, bool loose) {
        if (m_text.front() == '"') return Quoted(pieces);
        if (StartsWith("any(") || StartsWith("until(")) {
            if (!loose) return Fail("any() and until() belong in sent blocks only");
            return StartsWith("any(") ? Any(pieces) : Until(pieces);
        }
        if (m_text.size() >= 2 && HexValue(m_text[0]) >= 0 && HexValue(m_text[1]) >= 0 &&
            (m_text.size() == 2 || m_text[2] == ' ' || m_text[2] == '\t' || m_text[2] == ')')) {
            AddBytes(pieces, std::string(1, static_cast<char>(HexValue(m_text[0]) * 16 +
                                                              HexValue(m_text[1]))));
            m_text.remove_prefix(2);
            return true;
        }
        return Fail("unreadable data at \"" + std::string(m_text.substr(0, 20)) +
                    "\" (expected \"text\", hex bytes such as 0D, any(N) or until(...))");
    }

    bool Quoted(std::vector<TDataPiece>& pieces) {
        std::string bytes;
        std::size_t i = 1;
        for (;;) {
            if (i >= m_text.size()) return Fail("text without its closing quote");
            const char c = m_text[i++];
            if (c == '"') break;
            if (c != '\\') {
                if (static_cast<unsigned char>(c) < 0x20 && c != '\t') {
                    return Fail("control byte in quoted text (write it as \\xHH)");
                }
                bytes += c;
                continue;
            }
            if (i >= m_text.size()) return Fail("text without its closing quote");
            const char escape = m_text[i++];
            switch (escape) {
                case '\\': bytes += '\\'; break;
                case '"': bytes += '"'; break;
                case 'r': bytes += '\r'; break;
                case 'n': bytes += '\n'; break;
                case 't': bytes += '\t'; break;
                case 'x': {
                    if (i + 1 >= m_text.size() || HexValue(m_text[i]) < 0 ||
                        HexValue(m_text[i + 1]) < 0) {
                        return Fail("\\x needs two hex digits");
                    }
                    bytes += static_cast<char>(HexValue(m_text[i]) * 16 + HexValue(m_text[i + 1]));
                    i += 2;
                    break;
                }
                default:
                    return Fail(std::string("unknown escape \\") + escape);
            }
        }
        m_text.remove_prefix(i);
        AddBytes(pieces, bytes);
        return true;
    }

    bool Any(std::vector<TDataPiece>& pieces) {
        m_text.remove_prefix(4);
        const std::size_t close = m_text.find(')');
        std::size_t count = 0;
        const std::string_view digits = m_text.substr(0, close);
        const auto [end, error] =
            std::from_chars(digits.data(), digits.data() + digits.size(), count);
        if (close == std::string_view::npos || digits.empty() || error != std::errc() ||
            end != digits.data() + digits.size() || count == 0 || count > kMaxAnyCount) {
            return Fail("any() needs a count from 1 to " + std::to_string(kMaxAnyCount));
        }
        m_text.remove_prefix(close + 1);
        pieces.push_back({TDataPiece::Kind::Any, {}, count});
        return true;
    }

    bool Until(std::vector<TDataPiece>& pieces) {
        m_text.remove_prefix(6);
        std::vector<TDataPiece> terminator;
        if (!Pieces(terminator, true, false)) return false;
        if (terminator.empty()) return Fail("until() needs the bytes it waits for");
        pieces.push_back({TDataPiece::Kind::Until, terminator.front().bytes, 0});
        return true;
    }

    // Neighbouring bytes join one piece, so a block has a single shape however it was typed.
    static void AddBytes(std::vector<TDataPiece>& pieces, const std::string& bytes) {
        if (bytes.empty()) return;
        if (!pieces.empty() && pieces.back().kind == TDataPiece::Kind::Bytes) {
            pieces.back().bytes += bytes;
        } else {
            pieces.push_back({TDataPiece::Kind::Bytes, bytes, 0});
        }
    }

    std::string_view m_text;
};

template <std::size_t N>
bool ReadNames(TLineReader& reader, const std::array<TName, N>& names, bool noneAllowed,
               std::uint32_t& bits) {
    bits = 0;
    bool any = false;
    while (!reader.AtEnd()) {
        const std::string_view word = reader.Word();
        const auto bit = FindName(names, word);
        if (word == "none" && noneAllowed && !any && reader.AtEnd()) return true;
        if (!bit) {
            reader.problem = "unknown name \"" + std::string(word) + "\"";
            return false;
        }
        bits |= *bit;
        any = true;
    }
    if (!any) reader.problem = "names expected";
    return any;
}

bool ReadSettings(TLineReader& reader, TLineSettings& settings) {
    const std::string_view baud = reader.Word();
    const std::string_view bits = reader.Word();
    const std::string_view parity = reader.Word();
    const std::string_view stop = reader.Word();
    int baudRate = 0;
    int dataBits = 0;
    const auto number = [](std::string_view text, int& value) {
        const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
        return !text.empty() && error == std::errc() && end == text.data() + text.size();
    };
    const auto parityCode = ParityFromLetter(parity);
    const auto stopCode = StopBitsFromText(stop);
    if (!number(baud, baudRate) || !number(bits, dataBits) || dataBits < 0 || dataBits > 255 ||
        !parityCode || !stopCode || !reader.AtEnd()) {
        reader.problem = "settings need BAUD DATABITS PARITY STOPBITS, e.g. 9600 8 n 1";
        return false;
    }
    settings = {baudRate, static_cast<std::uint8_t>(dataBits), *parityCode, *stopCode};
    return true;
}

bool ReadLevel(TLineReader& reader, std::uint32_t& value) {
    const std::string_view word = reader.Word();
    if ((word != "0" && word != "1") || !reader.AtEnd()) {
        reader.problem = "a line level is 0 or 1";
        return false;
    }
    value = word == "1" ? 1 : 0;
    return true;
}

bool ReadBody(TLineReader& reader, TRecordedEvent& event) {
    switch (event.kind) {
        case RecordedKind::Sent:
        case RecordedKind::Received:
            if (!reader.Pieces(event.data, false, event.kind == RecordedKind::Sent)) return false;
            if (event.data.empty()) {
                reader.problem = "a block needs at least one byte";
                return false;
            }
            return true;
        case RecordedKind::Settings: return ReadSettings(reader, event.settings);
        case RecordedKind::Dtr:
        case RecordedKind::Rts: return ReadLevel(reader, event.value);
        case RecordedKind::Modem: return ReadNames(reader, kLines, true, event.value);
        case RecordedKind::Pulse: return ReadNames(reader, kLines, false, event.value);
        case RecordedKind::Error: return ReadNames(reader, kErrors, false, event.value);
    }
    return false;
}

std::string_view WithoutCarriageReturn(std::string_view line) {
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    return line;
}

}  // namespace

TRecordedEvent BytesEvent(std::int64_t micros, RecordedKind kind, std::string_view bytes) {
    TRecordedEvent event;
    event.micros = micros;
    event.kind = kind;
    event.data.push_back({TDataPiece::Kind::Bytes, std::string(bytes), 0});
    return event;
}

std::string FormatEvent(const TRecordedEvent& event) {
    std::string line = FormatTime(event.micros) + " ";
    line += kKinds[static_cast<std::size_t>(event.kind)].name;
    switch (event.kind) {
        case RecordedKind::Sent:
        case RecordedKind::Received: line += " " + FormatPieces(event.data); break;
        case RecordedKind::Settings:
            line += " " + std::to_string(event.settings.baudRate) + " " +
                    std::to_string(event.settings.dataBits) + " " +
                    kParityLetters.at(static_cast<std::size_t>(event.settings.parity)) + " " +
                    std::string(kStopBitTexts.at(static_cast<std::size_t>(event.settings.stopBits)));
            break;
        case RecordedKind::Dtr:
        case RecordedKind::Rts: line += event.value ? " 1" : " 0"; break;
        case RecordedKind::Modem:
        case RecordedKind::Pulse: line += NameBits(kLines, event.value); break;
        case RecordedKind::Error: line += NameBits(kErrors, event.value); break;
    }
    return line + "\n";
}

std::string FormatRecording(const std::vector<TRecordedEvent>& events) {
    std::string text = std::string(kRecordingHeader) + "\n";
    for (const TRecordedEvent& event : events) text += FormatEvent(event);
    return text;
}

TRecording ReadRecording(std::string_view text) {
    TRecording recording;
    int number = 0;
    bool header = true;
    while (!text.empty() || header) {
        const std::size_t end = std::min(text.find('\n'), text.size());
        const std::string_view line = WithoutCarriageReturn(text.substr(0, end));
        text.remove_prefix(std::min(end + 1, text.size()));
        ++number;
        const auto refuse = [&](const std::string& why) {
            recording.events.clear();
            recording.error = "line " + std::to_string(number) + ": " + why;
            return recording;
        };
        if (header) {
            header = false;
            if (line.substr(0, kRecordingHeader.size() - 1) ==
                    kRecordingHeader.substr(0, kRecordingHeader.size() - 1) &&
                line != kRecordingHeader) {
                return refuse("recording version \"" +
                              std::string(line.substr(kRecordingHeader.size() - 1, 20)) +
                              "\" is not supported (this program reads version 1)");
            }
            if (line != kRecordingHeader) {
                return refuse("not a Korvane recording (the first line must be \"" +
                              std::string(kRecordingHeader) + "\")");
            }
            continue;
        }
        TLineReader reader(line);
        if (reader.AtEnd() || line.find_first_not_of(" \t") == line.find('#')) continue;
        TRecordedEvent event;
        event.line = number;
        const std::optional<std::int64_t> micros = reader.Time();
        if (!micros) return refuse(reader.problem);
        event.micros = *micros;
        const std::string_view kind = reader.Word();
        const auto code = FindName(kKinds, kind);
        if (!code) return refuse("unknown event kind \"" + std::string(kind.substr(0, 20)) + "\"");
        event.kind = static_cast<RecordedKind>(*code);
        if (!ReadBody(reader, event)) return refuse(reader.problem);
        recording.events.push_back(std::move(event));
    }
    return recording;
}

std::string HexBytes(std::string_view bytes) {
    std::string text;
    for (char c : bytes) {
        if (!text.empty()) text += ' ';
        AppendHex(text, static_cast<unsigned char>(c));
    }
    return text;
}

std::string DescribePieces(const std::vector<TDataPiece>& pieces) {
    std::string text;
    for (const TDataPiece& piece : pieces) {
        if (!text.empty()) text += ' ';
        switch (piece.kind) {
            case TDataPiece::Kind::Bytes: text += HexBytes(piece.bytes); break;
            case TDataPiece::Kind::Any: text += "any(" + std::to_string(piece.count) + ")"; break;
            case TDataPiece::Kind::Until: text += "until(" + HexBytes(piece.bytes) + ")"; break;
        }
    }
    return text;
}

}  // namespace korvane::serial
