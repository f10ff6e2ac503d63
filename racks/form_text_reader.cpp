#include <charconv>
#include <cstdint>
#include <optional>
#include <utility>
#include <vector>

#include "racks/form_number_text.h"
#include "racks/form_stream_reader.h"
#include "racks/form_text.h"
#include "racks/form_text_lexer.h"
#include "racks/form_text_syntax.h"

namespace korvane::racks {
namespace {

constexpr size_t kShortStringMax = 255;

struct TTextString {
    std::u16string units;
    bool wide = false;
};

// A recursive-descent parser over the lexer's tokens. m_token is the token at hand; each step
// returns false on the first failure, with the message in m_error.
class TTextParser {
 public:
    explicit TTextParser(std::string_view text) : m_lexer(text) {}

    bool Document(TFormObject& root) {
        if (!Advance() || !Object(root, 0)) return false;
        return m_token.kind == TTokenKind::kEnd || Fail("text after the last 'end'");
    }

    const std::string& Error() const { return m_error; }

 private:
    bool Fail(std::string message) { return FailAt(m_token.line, std::move(message)); }

    bool FailAt(int line, std::string message) {
        if (m_error.empty()) m_error = "line " + std::to_string(line) + ": " + message;
        return false;
    }

    bool Advance() {
        if (m_lexer.Next(m_token)) return true;
        m_error = m_lexer.Error();
        return false;
    }

    bool IsSymbol(char symbol) const {
        return m_token.kind == TTokenKind::kSymbol && m_token.text[0] == symbol;
    }

    bool IsWord(std::string_view word) const {
        return m_token.kind == TTokenKind::kIdentifier && EqualsIgnoringCase(m_token.text, word);
    }

    bool IsObjectKeyword() const {
        return IsWord(kObjectKeyword) || IsWord(kInheritedKeyword) || IsWord(kInlineKeyword);
    }

    bool Expect(char symbol, std::string_view where) {
        if (!IsSymbol(symbol))
            return Fail("expected '" + std::string(1, symbol) + "' " + std::string(where));
        return Advance();
    }

    bool Name(std::string& out, std::string_view what) {
        if (m_token.kind != TTokenKind::kIdentifier) return Fail("expected " + std::string(what));
        out = m_token.text;
        return Advance();
    }

    bool Deeper(int depth) {
        return depth < kMaxNesting ||
               Fail("nested deeper than " + std::to_string(kMaxNesting) + " levels");
    }

    bool Counted() { return ++m_items <= kMaxFormItems || Fail(std::string(kTooManyItemsText)); }

    bool Object(TFormObject& out, int depth) {
        if (!Deeper(depth) || !Counted()) return false;
        if (!IsObjectKeyword()) return Fail("expected 'object'");
        const std::string keyword = m_token.text;
        const int line = m_token.line;
        std::optional<int64_t> explicitByte;
        if (m_token.gluedParen) {
            if (!Advance() || !Expect('(', "") || !PlainInteger(explicitByte) ||
                !Expect(')', "after the prefix byte")) {
                return false;
            }
        } else if (!Advance()) {
            return false;
        }
        if (!ObjectNames(out) || !ChildPosition(out, keyword, explicitByte, line)) return false;
        std::vector<TFormProperty> properties;
        while (m_token.kind == TTokenKind::kIdentifier && !IsObjectKeyword() &&
               !IsWord(kEndKeyword)) {
            if (!Property(properties, depth)) return false;
        }
        out.properties = TPropertyList(std::move(properties));
        while (IsObjectKeyword()) {
            out.children.emplace_back();
            if (!Object(out.children.back(), depth + 1)) return false;
        }
        if (!IsWord(kEndKeyword)) return Fail("expected 'end' of object " + out.objectName);
        return Advance();
    }

    bool ObjectNames(TFormObject& out) {
        std::string first;
        if (!Name(first, "an object name or class name")) return false;
        if (!IsSymbol(':')) {
            out.className = std::move(first);
            return true;
        }
        out.objectName = std::move(first);
        return Advance() && Name(out.className, "a class name after ':'");
    }

    bool ChildPosition(TFormObject& out, std::string_view keyword,
                       std::optional<int64_t> explicitByte, int line) {
        std::optional<TFormValue> position;
        if (IsSymbol('[')) {
            position.emplace();
            if (!Advance() || !IntegerValue(*position) || !Expect(']', "after the child position"))
                return false;
        }
        if (explicitByte) {
            if (*explicitByte < TObjectPrefix::kMarker || *explicitByte > 0xFF) {
                return FailAt(line, "prefix byte must lie between 240 and 255");
            }
            const auto byte = static_cast<uint8_t>(*explicitByte);
            if (((byte & TObjectPrefix::kChildPosition) != 0) != position.has_value()) {
                return FailAt(line, "prefix byte and child position disagree");
            }
            out.prefix =
                TObjectPrefix{static_cast<uint8_t>(byte & 0x0F & ~TObjectPrefix::kChildPosition),
                              std::move(position)};
        } else if (EqualsIgnoringCase(keyword, kInheritedKeyword)) {
            out.prefix = TObjectPrefix{TObjectPrefix::kInherited, std::move(position)};
        } else if (EqualsIgnoringCase(keyword, kInlineKeyword)) {
            out.prefix = TObjectPrefix{TObjectPrefix::kInline, std::move(position)};
        } else if (position) {
            out.prefix = TObjectPrefix{0, std::move(position)};
        }
        return true;
    }

    bool Property(std::vector<TFormProperty>& out, int depth) {
        TFormProperty property;
        if (!Name(property.name, "a property name")) return false;
        while (IsSymbol('.')) {
            std::string part;
            if (!Advance() || !Name(part, "a name after '.'")) return false;
            property.name += "." + part;
        }
        if (!Expect('=', "after property " + property.name) || !Value(property.value, depth))
            return false;
        out.push_back(std::move(property));
        return true;
    }

    bool Value(TFormValue& out, int depth) {
        if (!Counted()) return false;
        switch (m_token.kind) {
            case TTokenKind::kNumber:
                return Number(out);
            case TTokenKind::kString:
                return PlainString(out);
            case TTokenKind::kIdentifier:
                return IdentValue(out);
            case TTokenKind::kSymbol:
                if (IsSymbol('[')) return Set(out);
                if (IsSymbol('(')) return List(out, depth);
                if (IsSymbol('{')) return Binary(out);
                if (IsSymbol('<')) return Collection(out, depth);
                return Fail("unexpected '" + m_token.text + "' where a value belongs");
            case TTokenKind::kEnd:
                return Fail("text ends where a value belongs");
        }
        return false;
    }

    // Decimal, or '$' and up to 16 hex digits taken as the 64 bits of a two's complement
    // integer ($FFFFFFFFFFFFFFFF is -1, as the tools that write this form read it back).
    static std::optional<int64_t> IntegerText(std::string_view text) {
        const bool hex = !text.empty() && text.front() == '$';
        if (hex) text.remove_prefix(1);
        const char* end = text.data() + text.size();
        if (!hex) {
            int64_t value = 0;
            const auto result = std::from_chars(text.data(), end, value);
            if (result.ec != std::errc() || result.ptr != end) return std::nullopt;
            return value;
        }
        uint64_t bits = 0;
        const auto result = std::from_chars(text.data(), end, bits, 16);
        if (result.ec != std::errc() || result.ptr != end) return std::nullopt;
        return static_cast<int64_t>(bits);
    }

    bool PlainInteger(std::optional<int64_t>& out) {
        const std::string& text = m_token.text;
        if (m_token.kind != TTokenKind::kNumber) return Fail("expected an integer");
        out = IntegerText(text);
        if (!out) return Fail("bad integer " + text);
        return Advance();
    }

    bool IntegerValue(TFormValue& out) {
        if (m_token.kind == TTokenKind::kIdentifier) {
            if (!IdentValue(out)) return false;
            return IsIntegerTag(out.Tag()) || Fail("expected an integer");
        }
        std::optional<int64_t> value;
        if (!PlainInteger(value)) return false;
        out = TFormValue::Integer(*value);
        return true;
    }

    bool Number(TFormValue& out) {
        std::string_view text = m_token.text;
        const char last = text.back();
        const bool hex = text.front() == '$';
        const char type = (!hex && last >= 'A') ? static_cast<char>(last | 0x20) : '\0';
        if (type) text.remove_suffix(1);
        const bool isFloat = !hex && (type || text.find_first_of(".eE") != std::string_view::npos);
        if (!isFloat) {
            std::optional<int64_t> value;
            if (!PlainInteger(value)) return false;
            out = TFormValue::Integer(*value);
            return true;
        }
        std::optional<TFormValue> value = FloatValue(type, text);
        if (!value) return Fail("bad number " + m_token.text);
        out = std::move(*value);
        return Advance();
    }

    static std::optional<TFormValue> FloatValue(char type, std::string_view text) {
        switch (type) {
            case 's': {
                std::optional<uint32_t> bits = ParseSingleText(text);
                return bits ? std::optional(TFormValue::SingleBits(*bits)) : std::nullopt;
            }
            case 'd': {
                std::optional<uint64_t> bits = ParseDateText(text);
                return bits ? std::optional(TFormValue::DateBits(*bits)) : std::nullopt;
            }
            case 'c': {
                std::optional<int64_t> value = ParseCurrencyText(text);
                return value ? std::optional(TFormValue::Currency(*value)) : std::nullopt;
            }
            default: {
                std::optional<TExtendedBytes> bytes = ParseExtendedText(text);
                return bytes ? std::optional(TFormValue::Extended(*bytes)) : std::nullopt;
            }
        }
    }

    // One string token or several joined with '+'.
    bool StringParts(TTextString& out) {
        while (true) {
            if (m_token.kind != TTokenKind::kString) return Fail("expected a string");
            out.units += m_token.units;
            out.wide = out.wide || m_token.wide;
            if (!Advance()) return false;
            if (!IsSymbol('+')) return true;
            if (!Advance()) return false;
        }
    }

    bool Bytes(const TTextString& text, std::string& out) {
        if (text.wide) return Fail("a character code above 255 in a byte string");
        out.assign(text.units.begin(), text.units.end());
        return true;
    }

    bool PlainString(TFormValue& out) {
        TTextString text;
        if (!StringParts(text)) return false;
        if (text.wide) {
            out = TFormValue::WideText(std::move(text.units));
            return true;
        }
        std::string bytes;
        Bytes(text, bytes);
        out = TFormValue::Text(std::move(bytes));
        return true;
    }

    bool IdentValue(TFormValue& out) {
        const std::string word = m_token.text;
        if (m_token.gluedParen && IsTypeWord(word)) return Typed(word, out);
        if (EqualsIgnoringCase(word, "True")) {
            out = TFormValue::Boolean(true);
        } else if (EqualsIgnoringCase(word, "False")) {
            out = TFormValue::Boolean(false);
        } else if (EqualsIgnoringCase(word, "nil")) {
            out = TFormValue::Nil();
        } else if (EqualsIgnoringCase(word, "Null")) {
            out = TFormValue::Null();
        } else {
            out = TFormValue::Ident(word);
        }
        return Advance();
    }

    static std::optional<TValueTag> IntegerTypeWord(std::string_view word) {
        for (TValueTag tag :
             {TValueTag::kInt8, TValueTag::kInt16, TValueTag::kInt32, TValueTag::kInt64}) {
            if (word == TagName(tag)) return tag;
        }
        return std::nullopt;
    }

    static bool IsTypeWord(std::string_view word) {
        for (TValueTag tag :
             {TValueTag::kLString, TValueTag::kUtf8String, TValueTag::kWString, TValueTag::kIdent,
              TValueTag::kExtended, TValueTag::kSingle, TValueTag::kDate}) {
            if (word == TagName(tag)) return true;
        }
        return IntegerTypeWord(word).has_value();
    }

    bool Typed(const std::string& word, TFormValue& out) {
        if (!Advance() || !Expect('(', "")) return false;
        if (std::optional<TValueTag> tag = IntegerTypeWord(word)) {
            std::optional<int64_t> value;
            if (!PlainInteger(value)) return false;
            if (!FitsIntegerTag(*tag, *value))
                return Fail(std::to_string(*value) + " does not fit " + word);
            out = TFormValue::Integer(*value, *tag);
        } else if (word == TagName(TValueTag::kExtended) || word == TagName(TValueTag::kSingle) ||
                   word == TagName(TValueTag::kDate)) {
            if (!RawFloat(word, out)) return false;
        } else if (!TypedString(word, out)) {
            return false;
        }
        return Expect(')', "after the value of " + word + "(");
    }

    bool TypedString(const std::string& word, TFormValue& out) {
        TTextString text;
        if (!StringParts(text)) return false;
        if (word == TagName(TValueTag::kWString)) {
            out = TFormValue::WideText(std::move(text.units));
            return true;
        }
        std::string bytes;
        if (!Bytes(text, bytes)) return false;
        if (word == TagName(TValueTag::kIdent)) {
            if (bytes.size() > kShortStringMax) return Fail("identifier longer than 255 bytes");
            out = TFormValue::Ident(std::move(bytes));
        } else {
            const TValueTag tag =
                word == TagName(TValueTag::kLString) ? TValueTag::kLString : TValueTag::kUtf8String;
            out = TFormValue::Text(std::move(bytes), tag);
        }
        return true;
    }

    bool RawFloat(const std::string& word, TFormValue& out) {
        if (!IsSymbol('{')) return Fail("expected '{' after " + word + "(");
        std::string bytes;
        if (!HexBody(bytes)) return false;
        uint64_t bits = 0;
        for (size_t i = bytes.size(); i-- > 0;) bits = (bits << 8) | static_cast<uint8_t>(bytes[i]);
        if (word == TagName(TValueTag::kSingle) && bytes.size() == 4) {
            out = TFormValue::SingleBits(static_cast<uint32_t>(bits));
        } else if (word == TagName(TValueTag::kDate) && bytes.size() == 8) {
            out = TFormValue::DateBits(bits);
        } else if (word == TagName(TValueTag::kExtended) && bytes.size() == 10) {
            TExtendedBytes extended{};
            for (size_t i = 0; i < extended.size(); ++i)
                extended[i] = static_cast<uint8_t>(bytes[i]);
            out = TFormValue::Extended(extended);
        } else {
            return Fail("wrong number of bytes for " + word);
        }
        return true;
    }

    bool HexBody(std::string& out) {
        if (m_lexer.ReadHexBody(out)) return Advance();
        m_error = m_lexer.Error();
        return false;
    }

    bool Binary(TFormValue& out) {
        std::string bytes;
        if (!HexBody(bytes)) return false;
        out = TFormValue::Binary(std::move(bytes));
        return true;
    }

    bool Set(TFormValue& out) {
        std::vector<std::string> names;
        if (!Advance()) return false;
        while (!IsSymbol(']')) {
            if (!names.empty() && !Expect(',', "between set members")) return false;
            if (!Counted()) return false;
            names.emplace_back();
            if (!Name(names.back(), "a set member")) return false;
        }
        out = TFormValue::Set(std::move(names));
        return Advance();
    }

    bool List(TFormValue& out, int depth) {
        if (!Deeper(depth + 1) || !Advance()) return false;
        std::vector<TFormValue> items;
        while (!IsSymbol(')')) {
            items.emplace_back();
            if (!Value(items.back(), depth + 1)) return false;
        }
        out = TFormValue::List(std::move(items));
        return Advance();
    }

    bool Collection(TFormValue& out, int depth) {
        if (!Deeper(depth + 1) || !Advance()) return false;
        std::vector<TCollectionItem> items;
        while (!IsSymbol('>')) {
            if (!IsWord(kItemKeyword)) return Fail("expected 'item' or '>'");
            items.emplace_back();
            if (!Advance() || !CollectionItem(items.back(), depth + 1)) return false;
        }
        out = TFormValue::Collection(std::move(items));
        return Advance();
    }

    bool CollectionItem(TCollectionItem& out, int depth) {
        if (IsSymbol('[')) {
            out.index.emplace();
            if (!Advance() || !IntegerValue(*out.index) || !Expect(']', "after the item index"))
                return false;
        }
        std::vector<TFormProperty> properties;
        while (!IsWord(kEndKeyword)) {
            if (!Property(properties, depth)) return false;
        }
        out.properties = TPropertyList(std::move(properties));
        return Advance();
    }

    TTextLexer m_lexer;
    TTextToken m_token;
    std::string m_error;
    size_t m_items = 0;
};

}  // namespace

TResult<TFormObject> FormFromText(std::string_view text) {
    TTextParser parser(text);
    TFormObject root;
    if (!parser.Document(root))
        return TResult<TFormObject>::Failure("bad text form: " + parser.Error());
    return root;
}

}  // namespace korvane::racks
