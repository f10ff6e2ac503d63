#include "racks/form_text_lexer.h"

#include <cstdint>

namespace korvane::racks {
namespace {

constexpr std::string_view kSymbols = "=:()[]<>{},+.";
constexpr uint32_t kMaxCharCode = 0xFFFF;
constexpr uint32_t kMaxByte = 0xFF;

bool IsLetter(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '_'; }
bool IsDigit(char c) { return c >= '0' && c <= '9'; }
bool IsFloatTypeLetter(char c) {
    return std::string_view("sScCdD").find(c) != std::string_view::npos;
}

int HexValue(char c) {
    if (IsDigit(c)) return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

}  // namespace

bool TTextLexer::Fail(std::string message) {
    if (m_error.empty()) m_error = "line " + std::to_string(m_line) + ": " + message;
    return false;
}

char TTextLexer::Peek(size_t ahead) const {
    return m_position + ahead < m_text.size() ? m_text[m_position + ahead] : '\0';
}

void TTextLexer::SkipBlanks() {
    while (!AtEnd()) {
        const char c = Peek();
        if (c == '\n') ++m_line;
        if (c != ' ' && c != '\t' && c != '\r' && c != '\n') return;
        ++m_position;
    }
}

bool TTextLexer::Next(TTextToken& out) {
    SkipBlanks();
    out = TTextToken{};
    out.line = m_line;
    if (AtEnd()) return true;
    const char c = Peek();
    if (IsLetter(c)) {
        Identifier(out);
        return true;
    }
    if (IsDigit(c) || (c == '-' && IsDigit(Peek(1)))) {
        Number(out);
        return true;
    }
    if (c == '$' && HexValue(Peek(1)) >= 0) {
        HexNumber(out);
        return true;
    }
    if (c == '\'' || c == '#') return String(out);
    if (kSymbols.find(c) != std::string_view::npos) {
        out.kind = TTokenKind::kSymbol;
        out.text = std::string(1, c);
        ++m_position;
        return true;
    }
    return Fail("unexpected character " +
                (c >= 0x20 && c < 0x7F ? "'" + std::string(1, c) + "'"
                                       : "#" + std::to_string(static_cast<unsigned char>(c))));
}

void TTextLexer::Identifier(TTextToken& out) {
    const size_t start = m_position;
    while (IsLetter(Peek()) || IsDigit(Peek())) ++m_position;
    out.kind = TTokenKind::kIdentifier;
    out.text = std::string(m_text.substr(start, m_position - start));
    out.gluedParen = Peek() == '(';
}

void TTextLexer::Number(TTextToken& out) {
    const size_t start = m_position;
    if (Peek() == '-') ++m_position;
    while (IsDigit(Peek())) ++m_position;
    if (Peek() == '.' && IsDigit(Peek(1))) {
        ++m_position;
        while (IsDigit(Peek())) ++m_position;
    }
    const bool signedExponent = (Peek(1) == '-' || Peek(1) == '+') && IsDigit(Peek(2));
    if ((Peek() == 'e' || Peek() == 'E') && (IsDigit(Peek(1)) || signedExponent)) {
        m_position += signedExponent ? 2 : 1;
        while (IsDigit(Peek())) ++m_position;
    }
    if (IsFloatTypeLetter(Peek()) && !IsLetter(Peek(1)) && !IsDigit(Peek(1))) ++m_position;
    out.kind = TTokenKind::kNumber;
    out.text = std::string(m_text.substr(start, m_position - start));
}

void TTextLexer::HexNumber(TTextToken& out) {
    const size_t start = m_position;
    ++m_position;
    while (HexValue(Peek()) >= 0) ++m_position;
    out.kind = TTokenKind::kNumber;
    out.text = std::string(m_text.substr(start, m_position - start));
}

bool TTextLexer::String(TTextToken& out) {
    out.kind = TTokenKind::kString;
    while (Peek() == '\'' || Peek() == '#') {
        if (!(Peek() == '\'' ? Quoted(out) : CharCode(out))) return false;
    }
    return true;
}

bool TTextLexer::Quoted(TTextToken& out) {
    ++m_position;
    while (true) {
        if (AtEnd() || Peek() == '\n' || Peek() == '\r')
            return Fail("string not closed on its line");
        const char c = Peek();
        ++m_position;
        if (c == '\'') {
            if (Peek() != '\'') return true;
            ++m_position;
        }
        out.units += static_cast<char16_t>(static_cast<unsigned char>(c));
    }
}

bool TTextLexer::CharCode(TTextToken& out) {
    ++m_position;
    if (!IsDigit(Peek())) return Fail("'#' without a character code");
    uint32_t code = 0;
    while (IsDigit(Peek())) {
        code = code * 10 + static_cast<uint32_t>(Peek() - '0');
        if (code > kMaxCharCode) return Fail("character code above 65535");
        ++m_position;
    }
    out.wide = out.wide || code > kMaxByte;
    out.units += static_cast<char16_t>(code);
    return true;
}

bool TTextLexer::ReadHexBody(std::string& out) {
    out.clear();
    while (true) {
        SkipBlanks();
        if (AtEnd()) return Fail("raw bytes not closed with '}'");
        if (Peek() == '}') {
            ++m_position;
            return true;
        }
        const int high = HexValue(Peek());
        const int low = HexValue(Peek(1));
        if (high < 0 || low < 0) return Fail("raw bytes hold something other than hex digit pairs");
        out += static_cast<char>(high * 16 + low);
        m_position += 2;
    }
}

}  // namespace korvane::racks
