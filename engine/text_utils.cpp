#include "engine/text_utils.h"

namespace korvane::engine {

namespace {

bool IsTrimmable(char c) { return static_cast<unsigned char>(c) <= 32; }

char LowerAscii(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c + 32) : c; }
char UpperAscii(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 32) : c; }

// One backward scan of SplitCall: returns the 0-based start of the argument's separator
// (a comma), or 0 when the scan reached the first character.
size_t ScanArgumentStart(std::string_view rest, size_t end, bool& inQuote) {
    int opened = 0;
    int closed = 0;
    for (size_t p = end - 1;; --p) {
        const char c = rest[p];
        if (c == '"') {
            inQuote = !inQuote;
        } else if (!inQuote) {
            if (c == '(') ++opened;
            if (c == ')') ++closed;
        }
        if (p == 0) return 0;
        if (!inQuote && opened == closed && c == ',') return p;
    }
}

}  // namespace

std::string_view TrimView(std::string_view text) {
    size_t first = 0;
    while (first < text.size() && IsTrimmable(text[first])) ++first;
    size_t last = text.size();
    while (last > first && IsTrimmable(text[last - 1])) --last;
    return text.substr(first, last - first);
}

std::string Trim(std::string_view text) { return std::string(TrimView(text)); }

std::string StripBlanks(std::string_view text) {
    const std::string_view trimmed = TrimView(text);
    std::string out;
    out.reserve(trimmed.size());
    bool inQuote = false;
    for (char c : trimmed) {
        if (c == '"') inQuote = !inQuote;
        if (!inQuote && (c == ' ' || c == '\t')) continue;
        out.push_back(c);
    }
    return out;
}

bool HoldsBlankOrControl(std::string_view text) {
    for (char c : text) {
        if (static_cast<unsigned char>(c) <= 32) return true;
    }
    return false;
}

std::string ToLowerAscii(std::string_view text) {
    std::string out(text);
    for (char& c : out) c = LowerAscii(c);
    return out;
}

std::string ToUpperAscii(std::string_view text) {
    std::string out(text);
    for (char& c : out) c = UpperAscii(c);
    return out;
}

bool EqualsIgnoreCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i) {
        if (LowerAscii(a[i]) != LowerAscii(b[i])) return false;
    }
    return true;
}

void SplitCall(std::string_view text, std::string& name, std::vector<std::string>& args) {
    args.clear();
    const size_t open = text.find('(');
    if (open == std::string_view::npos) return;
    name = Trim(text.substr(0, open));
    std::string rest = Trim(text.substr(open + 1));

    // Positions below are 0-based; "end" is the index of the closing character.
    size_t end = rest.rfind(')');
    if (end == std::string::npos) return;
    bool inQuote = false;
    while (end != std::string::npos && end > 0) {
        const size_t p = ScanArgumentStart(rest, end, inQuote);
        if (p == 0) {
            args.insert(args.begin(), Trim(std::string_view(rest).substr(0, end)));
            rest.clear();
        } else {
            args.insert(args.begin(), Trim(std::string_view(rest).substr(p + 1, end - p - 1)));
            rest.resize(p + 1);
        }
        end = rest.rfind(',');
    }
}

TParenthesisPair FindInnermostParentheses(std::string_view text) {
    TParenthesisPair pair;
    bool inQuote = false;
    for (size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '"') {
            inQuote = !inQuote;
        } else if (!inQuote && c == '(') {
            pair.open = i;
        } else if (!inQuote && c == ')') {
            pair.close = i;
            return pair;
        }
    }
    pair.open = std::string_view::npos;
    return pair;
}

size_t FindOutsideQuotes(std::string_view text, std::string_view needle) {
    bool inQuote = false;
    for (size_t i = 0; i < text.size(); ++i) {
        if (!inQuote && text.substr(i, needle.size()) == needle) return i;
        if (text[i] == '"') inQuote = !inQuote;
    }
    return std::string_view::npos;
}

}  // namespace korvane::engine

namespace korvane::engine {

std::vector<std::string> SplitLines(std::string_view text) {
    std::vector<std::string> lines;
    size_t start = 0;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '\n' && text[i] != '\r') continue;
        lines.emplace_back(text.substr(start, i - start));
        if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
        start = i + 1;
    }
    if (start < text.size()) lines.emplace_back(text.substr(start));
    return lines;
}

}  // namespace korvane::engine
