#pragma once

#include <algorithm>
#include <array>
#include <cstddef>
#include <optional>
#include <string_view>

namespace korvane::workbench {

// The editor's fixed word tables. They are the editor's own: the interpreter dispatches by its
// own tables, so a coloured word need not be one the interpreter runs.

// Block words, commands and functions, each group closed by an empty entry.
// clang-format off
inline constexpr auto kKeywords = std::to_array<std::string_view>({
    // block words
    "for", "next", "if", "else", "elseif", "endif", "while", "wend", "repeat", "until",
    "procedure", "procend", "break", "exit", "",
    // commands
    "closeport", "writelog", "openport", "setrts", "clearrts", "setdtr", "cleardtr", "exec",
    "flush", "fcreate", "fclose", "fseek", "openrack", "send", "saverack", "debugon", "debugoff",
    "showterm", "hideterm", "setport", "capturerack", "tcp_srv_open", "tcp_open",
    "tcp_srv_close", "tcp_close", "tcp_srv_flush", "tcp_flush", "tcp_srv_write", "tcp_write",
    "showmain", "hidemain", "setidle", "loadimage", "ddown_settext", "setvisible", "showline",
    "check", "",
    // functions
    "geterror", "enumports", "receive", "tcp_srv_read", "tcp_read", "tcp_srv_hasclient",
    "tcp_isconnected", "getcts", "getdsr", "getrlsd", "getring", "tohex", "len", "asc", "pos",
    "ucase", "lcase", "mid", "del", "chr", "trim", "random", "pow", "inputbox", "extract",
    "split", "fopen", "fread", "fwrite", "get_bit", "time", "date", "year", "month", "day",
    "getticks", "ddown_gettext", "",
});
// clang-format on
static_assert(kKeywords.size() == 91);

// The keyword table followed by one more empty entry.
inline constexpr auto kCompletions = [] {
    std::array<std::string_view, kKeywords.size() + 1> completions{};
    std::copy(kKeywords.begin(), kKeywords.end(), completions.begin());
    return completions;
}();

// A word and its parameter list each; blanks exactly as the editor shows them.
// clang-format off
inline constexpr auto kParameterHints = std::to_array<std::string_view>({
    "len(string)", "setidle(interval in ms) ", "fcreate(file name)", "fopen(file name)",
    "fread (characters number)", "fseek (offset,origin)", "fread(characters number)",
    "fwrite(some data)", "exec(filename)", "inputbox (caption,message,default answer)",
    "random(number)", "writelog(some data)", "capturerack(filename,quality) ",
    "ddown_gettext(control name) ", "ddown_settext(control name,text) ",
    "loadimage(control name,filename)", "openrack(filename)", "saverack(filename)",
    "setvisible(control name,state)", "cleardtr(serial port)", "clearrts(serial port)",
    "closeport(serial port)", "flush(serial port,characters number)", "getcts(serial port)",
    "getdsr(serial port)", "getring(serial port)", "getrlsd(serial port)",
    "hideterm(serial port)", "openport (serial port,baudrate,databits,parity,stopbits)",
    "receive(serial port)", "send(serial port,some data)", "setdtr(serial port)",
    "setrts(serial port)", "showterm(serial port,width,height,characters number)",
    "asc(character)", "chr(number in 0..255)", "del(string,start,characters number)",
    "extract(token number)", "lcase(string)", "mid(string,start,characters number)",
    "pos(substring,string)", "split(string,substring)", "tohex(string)", "trim(string)",
    "ucase(astring)", "tcp_flush(characters number)", "tcp_open(IP address,port)",
    "tcp_srv_flush(characters number)", "tcp_srv_open(port)", "tcp_srv_write(some data)",
    "tcp_write(some data)", "check(name;value;low limit;high limit;unit)",
});
// clang-format on
static_assert(kParameterHints.size() == 52);

// The hint widget separates parameters with ";", while scripts separate arguments with ",".
inline constexpr char kHintParameterDelimiter = ';';
inline constexpr char kScriptArgumentDelimiter = ',';

// True for a non-empty entry of the keyword table (case-sensitive, like the language).
bool IsKeyword(std::string_view word);

// The first hint whose word (the text before "(", blanks removed) is the given word. fread has
// two hints; the first one is the one shown.
std::optional<std::string_view> FindParameterHint(std::string_view word);

// The byte range of a hint to highlight while the argument at `argument` (from 0) is typed. The
// hint's parameters lie between its first "(" and last ")", separated by ";", so a hint written
// with "," is one parameter that is lit only while the first argument is typed.
struct THintSpan {
    std::size_t begin = 0;
    std::size_t end = 0;
    bool operator==(const THintSpan&) const = default;
};
std::optional<THintSpan> HintParameterSpan(std::string_view hint, int argument);

// Which argument the caret is in, given what was typed after the hint's "(": the number of ","
// outside double quotes and nested parentheses.
int TypedArgumentIndex(std::string_view typed);

}  // namespace korvane::workbench
