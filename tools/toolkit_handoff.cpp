#include "tools/toolkit_handoff.h"

#include <cctype>
#include <string>
#include <vector>

#include "engine/dispatch.h"
#include "engine/text_utils.h"

namespace korvane::tools {
namespace {

// The name a row is known by: its text up to the first parenthesis or blank.
std::string RowName(std::string_view text) {
    std::string name;
    for (const char c : text) {
        if (c == '(' || c == ' ') break;
        name += c;
    }
    return name;
}

// The script in lower case without blanks or control characters, so that every way of
// writing a name leaves it whole. Line ends stay: a name at the start of a line must not
// seem to go on from the end of the line before.
std::string Squeezed(std::string_view script) {
    std::string squeezed = engine::ToLowerAscii(script);
    std::erase_if(squeezed, [](char c) {
        const auto byte = static_cast<unsigned char>(c);
        return byte <= ' ' && byte != '\n' && byte != '\r';
    });
    return squeezed;
}

// Whether `name` stands in `squeezed` where no letter or underscore runs into it from the
// left: "flush" is not named by "tcp_flush".
bool Names(const std::string& squeezed, const std::string& name) {
    for (size_t at = squeezed.find(name); at != std::string::npos;
         at = squeezed.find(name, at + 1)) {
        const char before = at == 0 ? '\n' : squeezed[at - 1];
        if (!(std::islower(static_cast<unsigned char>(before)) || before == '_')) return true;
    }
    return false;
}

}  // namespace

bool UsesUnboundRows(std::string_view script, const engine::TDispatch& bound) {
    std::vector<std::string> names;
    for (const engine::TStatementRow& row : engine::StatementTable()) {
        if (!bound.Handler(row.id)) names.push_back(RowName(row.text));
    }
    for (const engine::TFunctionRow& row : engine::FunctionTable()) {
        if (!bound.Handler(row.id) && !bound.ValueFunction(row.id)) {
            names.push_back(RowName(row.name));
        }
    }
    const std::string squeezed = Squeezed(script);
    for (const std::string& name : names) {
        // A row without a name (a procedure call) is the engine's own and always bound.
        if (!name.empty() && Names(squeezed, name)) return true;
    }
    return false;
}

}  // namespace korvane::tools
