#include "racks/rack_file.h"

#include <cerrno>
#include <cstring>
#include <fstream>
#include <limits>
#include <system_error>

#include "racks/form_stream_reader.h"
#include "racks/form_stream_writer.h"
#include "racks/rack_header.h"

namespace korvane::racks {
namespace {

std::string SystemReason() { return std::generic_category().message(errno); }

}  // namespace

std::span<const uint8_t> AsBytes(const std::string& bytes) {
    return {reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size()};
}

TResult<TFormObject> DecodeRack(std::span<const uint8_t> bytes) {
    TResult<size_t> header = ReadRackHeader(bytes);
    if (!header) return TResult<TFormObject>::Failure(header.Error());
    TResult<TFormStreamRead> stream = ReadFormStream(bytes.subspan(header.Value()), header.Value());
    if (!stream) return TResult<TFormObject>::Failure(stream.Error());
    return std::move(stream.Value().root);
}

TResult<std::string> EncodeRack(const TFormObject& root) {
    TResult<std::string> stream = WriteFormStream(root);
    if (!stream) return stream;
    if (stream.Value().size() > std::numeric_limits<uint32_t>::max()) {
        return TResult<std::string>::Failure("cannot write form stream: it is over 4 GB");
    }
    const auto size = static_cast<uint32_t>(stream.Value().size());
    return WriteRackHeader(root.className, size) + stream.Value();
}

TResult<std::string> ReadFileBytes(const std::filesystem::path& path, size_t maxSize) {
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return TResult<std::string>::Failure("cannot open " + path.string() + ": " +
                                             SystemReason());
    std::string bytes;
    char buffer[64 * 1024];
    while (in.read(buffer, sizeof buffer) || in.gcount() > 0) {
        if (bytes.size() + static_cast<size_t>(in.gcount()) > maxSize) {
            return TResult<std::string>::Failure(path.string() + " is larger than " +
                                                 std::to_string(maxSize) + " bytes");
        }
        bytes.append(buffer, static_cast<size_t>(in.gcount()));
    }
    if (in.bad())
        return TResult<std::string>::Failure("cannot read " + path.string() + ": " +
                                             SystemReason());
    return bytes;
}

TStatus WriteFileBytes(const std::filesystem::path& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    if (!out) return TStatus::Failure("cannot create " + path.string() + ": " + SystemReason());
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    out.close();
    if (!out) return TStatus::Failure("cannot write " + path.string() + ": " + SystemReason());
    return {};
}

TResult<TFormObject> LoadRackFile(const std::filesystem::path& path) {
    TResult<std::string> bytes = ReadFileBytes(path, kMaxRackFileSize);
    if (!bytes) return TResult<TFormObject>::Failure(bytes.Error());
    TResult<TFormObject> root = DecodeRack(AsBytes(bytes.Value()));
    if (!root) return TResult<TFormObject>::Failure(path.string() + ": " + root.Error());
    return root;
}

TStatus SaveRackFile(const std::filesystem::path& path, const TFormObject& root) {
    TResult<std::string> bytes = EncodeRack(root);
    if (!bytes) return TStatus::Failure(bytes.Error());
    return WriteFileBytes(path, bytes.Value());
}

}  // namespace korvane::racks
