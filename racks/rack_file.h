#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <span>
#include <string>

#include "racks/form_object.h"
#include "racks/result.h"

namespace korvane::racks {

// Rack files larger than this are refused before they are read; packaged racks must fit in a
// payload of 256 KB, so this leaves ample room.
inline constexpr size_t kMaxRackFileSize = 16 * 1024 * 1024;

// A rack file: the resource header, then the form stream. Decoding keeps every value as stored;
// encoding writes a fresh header (name from the root's class, flags 0x1030, the stream size), so
// a file with that header and nothing after its stream encodes back to the same bytes.
TResult<TFormObject> DecodeRack(std::span<const uint8_t> bytes);
TResult<std::string> EncodeRack(const TFormObject& root);

// The same with the file system. Neither checks the control classes; see registered_classes.h.
TResult<std::string> ReadFileBytes(const std::filesystem::path& path, size_t maxSize);
TStatus WriteFileBytes(const std::filesystem::path& path, const std::string& bytes);
TResult<TFormObject> LoadRackFile(const std::filesystem::path& path);
TStatus SaveRackFile(const std::filesystem::path& path, const TFormObject& root);

std::span<const uint8_t> AsBytes(const std::string& bytes);

}  // namespace korvane::racks
