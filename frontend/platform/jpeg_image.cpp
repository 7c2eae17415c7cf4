// SPDX-License-Identifier: Apache-2.0
#include "jpeg_image.h"

#include <csetjmp>
#include <cstdio>

#include <jpeglib.h>

namespace {

// libjpeg's default error_exit calls exit(); this one jumps back instead.
struct jump_error_manager {
    jpeg_error_mgr base;
    std::jmp_buf back;
};

[[noreturn]] void jump_back(j_common_ptr info)
{
    auto* manager = reinterpret_cast<jump_error_manager*>(info->err);
    std::longjmp(manager->back, 1);
}

void stay_silent(j_common_ptr) {}

// Decodes into image, which the caller owns; returns false on any libjpeg
// error or warning. No object with a destructor lives in this frame, so the
// longjmp skips nothing that needs cleaning up.
bool decode_into(const unsigned char* data, unsigned long size, QImage* image)
{
    jpeg_decompress_struct info;
    jump_error_manager errors;
    info.err = jpeg_std_error(&errors.base);
    errors.base.error_exit = jump_back;
    errors.base.output_message = stay_silent;
    volatile bool created = false;
    if (setjmp(errors.back)) {
        if (created) jpeg_destroy_decompress(&info);
        return false;
    }
    jpeg_create_decompress(&info);
    created = true;
    jpeg_mem_src(&info, data, size);
    jpeg_read_header(&info, TRUE);
    info.out_color_space = JCS_RGB;
    jpeg_start_decompress(&info);
    if (info.output_components != 3) {
        jpeg_destroy_decompress(&info);
        return false;
    }
    *image = QImage(static_cast<int>(info.output_width), static_cast<int>(info.output_height),
                    QImage::Format_RGB888);
    if (image->isNull()) {
        jpeg_destroy_decompress(&info);
        return false;
    }
    while (info.output_scanline < info.output_height) {
        JSAMPROW row = image->scanLine(static_cast<int>(info.output_scanline));
        jpeg_read_scanlines(&info, &row, 1);
    }
    jpeg_finish_decompress(&info);
    // Warnings (premature end of data, corrupt segments) were counted, not shown.
    const bool clean = errors.base.num_warnings == 0;
    jpeg_destroy_decompress(&info);
    return clean;
}

}  // namespace

QImage decode_jpeg(const QByteArray& bytes)
{
    if (bytes.isEmpty()) return {};
    QImage image;
    if (!decode_into(reinterpret_cast<const unsigned char*>(bytes.constData()),
                     static_cast<unsigned long>(bytes.size()), &image))
        return {};
    return image;
}
