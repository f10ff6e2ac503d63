#pragma once

#include <string>
#include <string_view>

namespace korvane::serial {

// Where a recording named by `path` lives, so that two spellings of one file give the same
// text: relative names are taken from the current folder, and links and dots are resolved.
// A file that is only read follows its own link too; a written one does not, because a new
// recording replaces a link rather than writing through it.
std::string RecordingFileKey(std::string_view path, bool written);

}  // namespace korvane::serial
