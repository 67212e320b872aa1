// JPEG decoding and encoding with libjpeg(-turbo) from and to memory.
#include <csetjmp>
#include <cstdio>
#include <cstdlib>

#include <jpeglib.h>

#include "platform/linux/codec_linux.h"

namespace mivo::platform::linux_backend {

namespace {

// libjpeg reports fatal errors through error_exit, which must not return: jump back instead.
struct ErrorJump {
    jpeg_error_mgr mgr;
    std::jmp_buf jump;
};

[[noreturn]] void OnError(j_common_ptr info) {
    std::longjmp(reinterpret_cast<ErrorJump*>(info->err)->jump, 1);
}

void Quiet(j_common_ptr, int) {}

}  // namespace

gfx::Image DecodeJpeg(std::span<const uint8_t> bytes) {
    // Everything with a destructor lives outside the setjmp region, so a jump skips none.
    std::vector<gfx::Pixel> px;
    std::vector<uint8_t> line;
    int w = 0, h = 0;
    jpeg_decompress_struct info;
    ErrorJump err;
    info.err = jpeg_std_error(&err.mgr);
    err.mgr.error_exit = OnError;
    err.mgr.emit_message = Quiet;
    if (setjmp(err.jump)) {
        jpeg_destroy_decompress(&info);
        return {};
    }
    jpeg_create_decompress(&info);
    jpeg_mem_src(&info, bytes.data(), static_cast<unsigned long>(bytes.size()));
    if (jpeg_read_header(&info, TRUE) != JPEG_HEADER_OK || info.image_width == 0 || info.image_height == 0 ||
        info.image_width > static_cast<unsigned>(kMaxImageSide) ||
        info.image_height > static_cast<unsigned>(kMaxImageSide)) {
        jpeg_destroy_decompress(&info);
        return {};
    }
    info.out_color_space = JCS_RGB;
    jpeg_start_decompress(&info);
    w = static_cast<int>(info.output_width);
    h = static_cast<int>(info.output_height);
    px.resize(static_cast<size_t>(w) * h);
    line.resize(static_cast<size_t>(w) * info.output_components);
    while (info.output_scanline < info.output_height) {
        int y = static_cast<int>(info.output_scanline);
        JSAMPROW row = line.data();
        jpeg_read_scanlines(&info, &row, 1);
        for (int x = 0; x < w; ++x) {
            const uint8_t* p = &line[static_cast<size_t>(x) * 3];
            px[static_cast<size_t>(y) * w + x] = 0xFF000000u | static_cast<uint32_t>(p[0]) << 16 |
                                                 static_cast<uint32_t>(p[1]) << 8 | p[2];
        }
    }
    jpeg_finish_decompress(&info);
    jpeg_destroy_decompress(&info);
    return gfx::Image(w, h, std::move(px));
}

std::vector<uint8_t> LinuxImageCodec::EncodeJpeg(const gfx::Image& image, int quality) {
    if (image.IsNull()) return {};
    std::vector<uint8_t> line(static_cast<size_t>(image.Width()) * 3);
    std::vector<uint8_t> out;
    unsigned char* buffer = nullptr;
    unsigned long size = 0;
    jpeg_compress_struct info;
    ErrorJump err;
    info.err = jpeg_std_error(&err.mgr);
    err.mgr.error_exit = OnError;
    err.mgr.emit_message = Quiet;
    if (setjmp(err.jump)) {
        jpeg_destroy_compress(&info);
        std::free(buffer);
        return {};
    }
    jpeg_create_compress(&info);
    jpeg_mem_dest(&info, &buffer, &size);
    info.image_width = static_cast<JDIMENSION>(image.Width());
    info.image_height = static_cast<JDIMENSION>(image.Height());
    info.input_components = 3;
    info.in_color_space = JCS_RGB;
    jpeg_set_defaults(&info);
    jpeg_set_quality(&info, quality < 1 ? 1 : quality > 100 ? 100 : quality, TRUE);
    jpeg_start_compress(&info, TRUE);
    while (info.next_scanline < info.image_height) {
        // Premultiplied colour is the colour composited over black.
        const gfx::Pixel* src = image.Row(static_cast<int>(info.next_scanline));
        for (int x = 0; x < image.Width(); ++x) {
            line[static_cast<size_t>(x) * 3 + 0] = static_cast<uint8_t>(src[x] >> 16);
            line[static_cast<size_t>(x) * 3 + 1] = static_cast<uint8_t>(src[x] >> 8);
            line[static_cast<size_t>(x) * 3 + 2] = static_cast<uint8_t>(src[x]);
        }
        JSAMPROW row = line.data();
        jpeg_write_scanlines(&info, &row, 1);
    }
    jpeg_finish_compress(&info);
    jpeg_destroy_compress(&info);
    out.assign(buffer, buffer + size);
    std::free(buffer);
    return out;
}

}  // namespace mivo::platform::linux_backend
