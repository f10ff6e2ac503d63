#include "racks/ui/picture_data.h"

#include <cstdint>

#include "engine/text_utils.h"

namespace korvane::racks {

namespace {

bool HasSizePrefix(std::string_view graphicClass) {
    return graphicClass == kBitmapClass || graphicClass == kJpegClass;
}

uint32_t ReadLittleEndian32(std::string_view bytes) {
    uint32_t value = 0;
    for (int i = 3; i >= 0; --i) value = (value << 8) | static_cast<uint8_t>(bytes[i]);
    return value;
}

void AppendLittleEndian32(std::string& out, uint32_t value) {
    for (int i = 0; i < 4; ++i) out.push_back(static_cast<char>((value >> (8 * i)) & 0xFF));
}

}  // namespace

std::optional<TPicture> DecodePictureData(std::string_view bytes) {
    if (bytes.empty()) return std::nullopt;
    const size_t nameLength = static_cast<uint8_t>(bytes[0]);
    if (nameLength == 0 || bytes.size() < 1 + nameLength) return std::nullopt;
    TPicture picture;
    picture.graphicClass = std::string(bytes.substr(1, nameLength));
    std::string_view rest = bytes.substr(1 + nameLength);
    if (HasSizePrefix(picture.graphicClass)) {
        if (rest.size() < 4 || ReadLittleEndian32(rest) != rest.size() - 4) return std::nullopt;
        rest.remove_prefix(4);
    }
    picture.data = std::string(rest);
    return picture;
}

std::string EncodePictureData(const TPicture& picture) {
    std::string out;
    out.push_back(static_cast<char>(picture.graphicClass.size()));
    out += picture.graphicClass;
    if (HasSizePrefix(picture.graphicClass)) {
        AppendLittleEndian32(out, static_cast<uint32_t>(picture.data.size()));
    }
    out += picture.data;
    return out;
}

std::string GraphicClassForFile(std::string_view fileName) {
    const size_t dot = fileName.rfind('.');
    if (dot == std::string_view::npos) return {};
    const std::string extension = engine::ToLowerAscii(fileName.substr(dot + 1));
    if (extension == "bmp") return std::string(kBitmapClass);
    if (extension == "ico") return std::string(kIconClass);
    if (extension == "jpg" || extension == "jpeg") return std::string(kJpegClass);
    if (extension == "emf" || extension == "wmf") return std::string(kMetafileClass);
    return {};
}

}  // namespace korvane::racks
