#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace korvane::workbench {

// Sizes and tags of the payload area a packaged copy of the program carries: start marker,
// payload space (filler bytes until a payload is written over its start), end marker.
inline constexpr std::size_t kMarkerSize = 15;
inline constexpr std::size_t kPayloadSpaceSize = 0x40000;
inline constexpr std::size_t kPayloadAreaSize = kMarkerSize + kPayloadSpaceSize + kMarkerSize;
inline constexpr char kFillerByte = 'V';

inline constexpr std::string_view kProductName = "Korvane";
inline constexpr std::string_view kProductVersion = "1.5";

inline constexpr std::string_view kNameOpen = "[names]";
inline constexpr std::string_view kNameClose = "[namee]";
inline constexpr std::string_view kVersionOpen = "[versions]";
inline constexpr std::string_view kVersionClose = "[versione]";
inline constexpr std::string_view kScriptOpen = "[scripts]";
inline constexpr std::string_view kScriptClose = "[scripte]";
inline constexpr std::string_view kRackOpen = "[racks ";
inline constexpr std::string_view kRackClose = "[racke]";
inline constexpr std::string_view kPayloadEnd = "[embe]";
inline constexpr std::size_t kRackNameWidth = 43;

inline constexpr std::string_view kTerminalRackName = "terminal.res";

// The marker texts, put together at run time. The program must hold the start marker's whole
// text in its payload area only, so that searching the executable finds the area and nothing
// else; never write it out as one literal.
std::string StartMarker();
std::string EndMarker();

}  // namespace korvane::workbench
