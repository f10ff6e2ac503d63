#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace korvane::workbench {

// Rack names as a payload carries them: bare file names, padded to a fixed-width field.

// The file-name part of a path: whatever follows the last "/" or "\" (scripts written on
// other systems use either).
std::string_view FileNamePart(std::string_view path);

// The name a packaged rack may be written under: folder parts dropped, surrounding blanks
// removed; none when nothing usable is left ("", ".", "..") or the name holds control bytes.
std::optional<std::string> BareRackName(std::string_view name);

// The name field of a rack record: the name padded with blanks to the field width; none when
// the name is longer than the field.
std::optional<std::string> PaddedRackName(std::string_view name);

}  // namespace korvane::workbench
