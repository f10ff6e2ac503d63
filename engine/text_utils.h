#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace korvane::engine {

// Removes spaces and control characters (codes 0..32) from both ends.
std::string_view TrimView(std::string_view text);
std::string Trim(std::string_view text);

// Trims, then deletes every space and tab outside double quotes.
std::string StripBlanks(std::string_view text);
// Whether any byte is a blank or a control character: texts without one need no stripping.
bool HoldsBlankOrControl(std::string_view text);

// Inline: every statement asks it of a literal one or a few bytes long.
inline bool StartsWith(std::string_view text, std::string_view prefix) {
    return text.substr(0, prefix.size()) == prefix;
}
std::string ToLowerAscii(std::string_view text);
std::string ToUpperAscii(std::string_view text);
bool EqualsIgnoreCase(std::string_view a, std::string_view b);

// Splits a call text "name(arg, arg, ...)" into its name and argument texts. The arguments
// are found by scanning backwards from the last ")", counting parentheses outside double
// quotes; the quote state carries over from one argument to the next. Without a "(" the name
// is left as the caller had it and there are no arguments.
void SplitCall(std::string_view text, std::string& name, std::vector<std::string>& args);

// The innermost pair of parentheses an expression evaluates first: the first ")" outside double
// quotes and the last "(" outside quotes before it. Either is npos when missing. The quote
// state flips at every double quote from the start of the text.
struct TParenthesisPair {
    size_t open = std::string_view::npos;
    size_t close = std::string_view::npos;
};
TParenthesisPair FindInnermostParentheses(std::string_view text);

// The first occurrence of `needle` outside double quotes, or npos.
size_t FindOutsideQuotes(std::string_view text, std::string_view needle);

}  // namespace korvane::engine

namespace korvane::engine {

// A text result as functions hand it back into an expression: between double quotes, with
// nothing escaped.
inline std::string QuoteText(std::string_view text) {
    std::string out;
    out.reserve(text.size() + 2);
    out.push_back('"');
    out.append(text);
    out.push_back('"');
    return out;
}

}  // namespace korvane::engine

namespace korvane::engine {

// Splits a script file's bytes into editor lines: CR LF, LF and CR all end a line, and a
// final line break starts no extra line.
std::vector<std::string> SplitLines(std::string_view text);

}  // namespace korvane::engine
