#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "racks/ui/rack_control.h"

namespace korvane::racks {

// The "Picture.Data" bytes of image controls: the graphic class as a short string, then the
// picture file. Bitmaps and JPEGs put the file's 32-bit length in front of it; other classes
// store the file alone.
std::optional<TPicture> DecodePictureData(std::string_view bytes);
std::string EncodePictureData(const TPicture& picture);

// The graphic class a picture file name's extension asks for (.bmp, .ico, .jpg/.jpeg,
// .emf/.wmf), or empty when the extension is none of those.
std::string GraphicClassForFile(std::string_view fileName);

inline constexpr std::string_view kBitmapClass = "TBitmap";
inline constexpr std::string_view kJpegClass = "TJPEGImage";
inline constexpr std::string_view kIconClass = "TIcon";
inline constexpr std::string_view kMetafileClass = "TMetafile";

}  // namespace korvane::racks
