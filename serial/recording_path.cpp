#include "recording_path.h"

#include <filesystem>
#include <system_error>

namespace korvane::serial {

std::string RecordingFileKey(std::string_view path, bool written) {
    namespace fs = std::filesystem;
    std::error_code error;
    fs::path absolute = fs::absolute(fs::path(path), error);
    if (error) absolute = fs::path(path);
    if (written && absolute.has_filename()) {
        const fs::path folder = fs::weakly_canonical(absolute.parent_path(), error);
        return ((error ? absolute.parent_path().lexically_normal() : folder) / absolute.filename())
            .string();
    }
    const fs::path resolved = fs::weakly_canonical(absolute, error);
    return (error ? absolute.lexically_normal() : resolved).string();
}

}  // namespace korvane::serial
