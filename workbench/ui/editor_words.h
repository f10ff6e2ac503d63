#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace korvane::workbench {

// Completion: the entries of the completion table that begin with the typed prefix (letter
// case ignored, so "Wri" still offers writelog), sorted so the list reads alphabetically.
std::vector<std::string_view> CompletionCandidates(std::string_view prefix);
// The same with the names the script defines beside the table's words, each once.
std::vector<std::string> CompletionCandidates(std::string_view prefix,
                                              const std::vector<std::string>& scriptNames);

// The word a "(" at `parenthesis` follows, blanks between them allowed ("openport (" gives
// openport); empty when no word stands there.
std::string_view WordBeforeParenthesis(std::string_view line, std::size_t parenthesis);

// The word that ends at `end` (letters, digits and "_"), for completion.
std::string_view WordEndingAt(std::string_view line, std::size_t end);

// A URL found in the editor's text: bytes [begin, end).
struct TUrlSpan {
    std::size_t begin = 0;
    std::size_t end = 0;
    bool operator==(const TUrlSpan&) const = default;
};

// URLs starting "http://", "https://", "ftp://", "mailto:" or "www.", up to a blank, a quote
// or an angle bracket; closing punctuation at the end is not part of them.
std::vector<TUrlSpan> FindUrls(std::string_view text);

// What the desktop opener gets for a URL: "www." addresses as http.
std::string UrlToOpen(std::string_view url);

}  // namespace korvane::workbench
