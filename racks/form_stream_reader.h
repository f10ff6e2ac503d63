#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>

#include "racks/form_object.h"
#include "racks/result.h"

namespace korvane::racks {

// Objects, lists and collection items nest at most this deep in a stream or its text form.
inline constexpr int kMaxNesting = 64;

// Objects, values and set names one stream or its text form may hold: far above any real rack,
// it keeps a hostile file from costing memory out of all proportion to its size.
inline constexpr size_t kMaxFormItems = 250000;
inline constexpr std::string_view kTooManyItemsText = "more than 250000 objects and values";

struct TFormStreamRead {
    TFormObject root;
    size_t length = 0;  // bytes the stream took, from its signature to its last end byte
};

// Reads a "TPF0" form stream from the start of bytes, keeping every record and value exactly as
// stored. fileOffset is where bytes begin in their file, for the offsets in messages. Bytes after
// the stream's own end are not looked at.
TResult<TFormStreamRead> ReadFormStream(std::span<const uint8_t> bytes, size_t fileOffset = 0);

}  // namespace korvane::racks
