// PNG decoding and encoding with libpng's in-memory interface, and the codec's format dispatch.
#include <png.h>

#include <cstring>

#include "platform/linux/codec_linux.h"

namespace mivo::platform::linux_backend {

gfx::Image DecodePng(std::span<const uint8_t> bytes) {
    png_image img;
    std::memset(&img, 0, sizeof img);
    img.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_memory(&img, bytes.data(), bytes.size())) return {};
    if (img.width == 0 || img.height == 0 || img.width > kMaxImageSide || img.height > kMaxImageSide) {
        png_image_free(&img);
        return {};
    }
    // BGRA bytes are 0xAARRGGBB words on a little-endian machine; read them bytewise to stay
    // independent of byte order.
    img.format = PNG_FORMAT_BGRA;
    const int w = static_cast<int>(img.width), h = static_cast<int>(img.height);
    std::vector<uint8_t> raw(PNG_IMAGE_SIZE(img));
    if (!png_image_finish_read(&img, nullptr, raw.data(), 0, nullptr)) {
        png_image_free(&img);
        return {};
    }
    std::vector<gfx::Pixel> px(static_cast<size_t>(w) * h);
    for (size_t i = 0; i < px.size(); ++i) {
        const uint8_t* p = &raw[i * 4];
        px[i] = gfx::Premultiply(static_cast<uint32_t>(p[3]) << 24 | static_cast<uint32_t>(p[2]) << 16 |
                                 static_cast<uint32_t>(p[1]) << 8 | p[0]);
    }
    return gfx::Image(w, h, std::move(px));
}

std::vector<uint8_t> LinuxImageCodec::EncodePng(const gfx::Image& image) {
    if (image.IsNull()) return {};
    std::vector<uint8_t> raw(static_cast<size_t>(image.Width()) * image.Height() * 4);
    auto pixels = image.Pixels();
    for (size_t i = 0; i < pixels.size(); ++i) {
        uint32_t c = gfx::Unpremultiply(pixels[i]);
        raw[i * 4 + 0] = static_cast<uint8_t>(c);
        raw[i * 4 + 1] = static_cast<uint8_t>(c >> 8);
        raw[i * 4 + 2] = static_cast<uint8_t>(c >> 16);
        raw[i * 4 + 3] = static_cast<uint8_t>(c >> 24);
    }
    png_image img;
    std::memset(&img, 0, sizeof img);
    img.version = PNG_IMAGE_VERSION;
    img.width = static_cast<png_uint_32>(image.Width());
    img.height = static_cast<png_uint_32>(image.Height());
    img.format = PNG_FORMAT_BGRA;
    png_alloc_size_t size = 0;
    if (!png_image_write_get_memory_size(img, size, 0, raw.data(), 0, nullptr)) return {};
    std::vector<uint8_t> out(size);
    if (!png_image_write_to_memory(&img, out.data(), &size, 0, raw.data(), 0, nullptr)) return {};
    out.resize(size);
    return out;
}

gfx::Image LinuxImageCodec::Decode(std::span<const uint8_t> bytes) {
    static const uint8_t kPng[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    if (bytes.size() >= 8 && std::memcmp(bytes.data(), kPng, 8) == 0) return DecodePng(bytes);
    if (bytes.size() >= 3 && bytes[0] == 0xFF && bytes[1] == 0xD8 && bytes[2] == 0xFF) return DecodeJpeg(bytes);
    return {};
}

}  // namespace mivo::platform::linux_backend
