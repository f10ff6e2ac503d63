#include "tools/toolkit_handoff.h"

#include <string>
#include <vector>

#include "engine/dispatch.h"

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

// The script in lower case without blanks, line ends or control characters, so that every
// way of writing a name leaves it whole.
std::string Squeezed(std::string_view script) {
    std::string squeezed;
    squeezed.reserve(script.size());
    for (const char c : script) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte <= ' ') continue;
        squeezed += (byte >= 'A' && byte <= 'Z') ? static_cast<char>(byte - 'A' + 'a') : c;
    }
    return squeezed;
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
        if (!name.empty() && squeezed.find(name) != std::string::npos) return true;
    }
    return false;
}

}  // namespace korvane::tools
