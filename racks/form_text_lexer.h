#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace korvane::racks {

enum class TTokenKind { kEnd, kIdentifier, kNumber, kString, kSymbol };

struct TTextToken {
    TTokenKind kind = TTokenKind::kEnd;
    // identifier, number (with sign and type letter, or '$' and hex digits) or symbol
    std::string text;
    std::u16string units;     // string: the characters, quoted bytes and #NN codes alike
    bool wide = false;        // string: some #NN is above 255
    bool gluedParen = false;  // identifier: '(' follows with no blank between
    int line = 1;
};

// Splits text-form notation into tokens, one at a time and never ahead, so that the parser can
// read the hex body of a '{' directly.
class TTextLexer {
 public:
    explicit TTextLexer(std::string_view text) : m_text(text) {}

    bool Next(TTextToken& out);
    // Reads hex digit pairs and blanks up to and including the closing '}'.
    bool ReadHexBody(std::string& out);
    const std::string& Error() const { return m_error; }

 private:
    bool Fail(std::string message);
    void SkipBlanks();
    bool AtEnd() const { return m_position >= m_text.size(); }
    char Peek(size_t ahead = 0) const;
    void Identifier(TTextToken& out);
    void Number(TTextToken& out);
    void HexNumber(TTextToken& out);
    bool String(TTextToken& out);
    bool Quoted(TTextToken& out);
    bool CharCode(TTextToken& out);

    std::string_view m_text;
    size_t m_position = 0;
    int m_line = 1;
    std::string m_error;
};

}  // namespace korvane::racks
