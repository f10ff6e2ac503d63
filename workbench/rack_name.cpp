#include "workbench/rack_name.h"

#include <algorithm>

#include "workbench/payload_layout.h"

namespace korvane::workbench {

std::string_view FileNamePart(std::string_view path) {
    const std::size_t slash = path.find_last_of("/\\");
    return slash == std::string_view::npos ? path : path.substr(slash + 1);
}

std::optional<std::string> BareRackName(std::string_view name) {
    // Blanks go after the folders, so that the result reads back as itself.
    std::string_view bare = FileNamePart(name);
    const std::size_t first = bare.find_first_not_of(' ');
    if (first == std::string_view::npos) return std::nullopt;
    bare = bare.substr(first, bare.find_last_not_of(' ') - first + 1);
    if (bare == "." || bare == "..") return std::nullopt;
    const bool hasControl = std::any_of(bare.begin(), bare.end(), [](char c) {
        const auto code = static_cast<unsigned char>(c);
        return code < 0x20 || code == 0x7F;
    });
    if (hasControl) return std::nullopt;
    return std::string(bare);
}

std::optional<std::string> PaddedRackName(std::string_view name) {
    if (name.size() > kRackNameWidth) return std::nullopt;
    std::string field(name);
    field.resize(kRackNameWidth, ' ');
    return field;
}

}  // namespace korvane::workbench
