#include "racks/form_text_syntax.h"

#include <algorithm>

namespace korvane::racks {
namespace {

bool IsLetter(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '_'; }
bool IsDigit(char c) { return c >= '0' && c <= '9'; }
char Lower(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

bool IsOneOf(std::string_view word, std::initializer_list<std::string_view> words) {
    return std::any_of(words.begin(), words.end(),
                       [word](std::string_view w) { return EqualsIgnoringCase(word, w); });
}

}  // namespace

bool IsIdentifier(std::string_view text) {
    return !text.empty() && IsLetter(text.front()) &&
           std::all_of(text.begin(), text.end(), [](char c) { return IsLetter(c) || IsDigit(c); });
}

bool IsDottedIdentifier(std::string_view text) {
    while (true) {
        const size_t dot = text.find('.');
        if (!IsIdentifier(text.substr(0, dot))) return false;
        if (dot == std::string_view::npos) return true;
        text.remove_prefix(dot + 1);
    }
}

bool EqualsIgnoringCase(std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(),
                                              [](char x, char y) { return Lower(x) == Lower(y); });
}

bool IsRecordKeyword(std::string_view word) {
    return IsOneOf(word, {kObjectKeyword, kInheritedKeyword, kInlineKeyword, kEndKeyword});
}

bool IsValueKeyword(std::string_view word) {
    return IsOneOf(word, {"True", "False", "nil", "Null"});
}

}  // namespace korvane::racks
