#include "racks/ui/jpeg_writer.h"

// jpeglib.h needs FILE and size_t declared before it.
#include <jpeglib.h>

#include <csetjmp>
#include <cstdio>
#include <cstdlib>

namespace korvane::racks {

namespace {

// libjpeg's own error_exit calls exit(); this one jumps back to the encoder's caller.
struct TJpegError {
    jpeg_error_mgr manager;
    std::jmp_buf jump;
    char message[JMSG_LENGTH_MAX];
};

void JumpOnError(j_common_ptr info) {
    auto* error = reinterpret_cast<TJpegError*>(info->err);
    (*info->err->format_message)(info, error->message);
    std::longjmp(error->jump, 1);
}

// Only plain C objects live in this frame, so leaving it by longjmp skips no destructor.
bool Compress(const QImage& rgb, int quality, unsigned char** out, unsigned long* size,
              TJpegError& error) {
    jpeg_compress_struct info;
    info.err = jpeg_std_error(&error.manager);
    error.manager.error_exit = JumpOnError;
    if (setjmp(error.jump)) {
        jpeg_destroy_compress(&info);
        return false;
    }
    jpeg_create_compress(&info);
    jpeg_mem_dest(&info, out, size);
    info.image_width = static_cast<JDIMENSION>(rgb.width());
    info.image_height = static_cast<JDIMENSION>(rgb.height());
    info.input_components = 3;
    info.in_color_space = JCS_RGB;
    jpeg_set_defaults(&info);
    jpeg_set_quality(&info, quality, TRUE);
    jpeg_start_compress(&info, TRUE);
    while (info.next_scanline < info.image_height) {
        JSAMPROW row =
            const_cast<JSAMPROW>(rgb.constScanLine(static_cast<int>(info.next_scanline)));
        jpeg_write_scanlines(&info, &row, 1);
    }
    jpeg_finish_compress(&info);
    jpeg_destroy_compress(&info);
    return true;
}

}  // namespace

TResult<std::string> EncodeJpeg(const QImage& image, int quality) {
    if (image.isNull() || image.width() <= 0 || image.height() <= 0) {
        return TResult<std::string>::Failure("no pixels to encode");
    }
    const QImage rgb = image.convertToFormat(QImage::Format_RGB888);
    unsigned char* buffer = nullptr;
    unsigned long size = 0;
    TJpegError error{};
    const bool ok = Compress(rgb, quality, &buffer, &size, error);
    std::string bytes;
    if (ok && buffer) bytes.assign(reinterpret_cast<const char*>(buffer), size);
    std::free(buffer);
    if (!ok) return TResult<std::string>::Failure(std::string("JPEG encoder: ") + error.message);
    return bytes;
}

}  // namespace korvane::racks
