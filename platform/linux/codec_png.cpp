// PNG decoding and encoding with libpng's in-memory interface, and the codec's format dispatch.
#include <png.h>

#include <cstring>

#include "platform/linux/codec_linux.h"

namespace mivo::platform::linux_backend {

namespace {

struct MemoryReader {
    const uint8_t* data;
    size_t size;
    size_t pos;
};

void ReadFromMemory(png_structp png, png_bytep out, png_size_t count) {
    auto* r = static_cast<MemoryReader*>(png_get_io_ptr(png));
    if (count > r->size - r->pos) png_error(png, "truncated");
    std::memcpy(out, r->data + r->pos, count);
    r->pos += count;
}

// Decodes into `pixels` (resized here); false on any error. libpng reports errors by longjmp, so
// no C++ object with a destructor is created between setjmp and the libpng calls.
bool DecodePngInto(std::span<const uint8_t> bytes, std::vector<gfx::Pixel>& pixels, int& w, int& h) {
    png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    if (!png) return false;
    png_infop info = png_create_info_struct(png);
    if (!info) {
        png_destroy_read_struct(&png, nullptr, nullptr);
        return false;
    }
    MemoryReader reader{bytes.data(), bytes.size(), 0};
    // Declared before setjmp: objects whose address escapes stay valid across the error jump.
    std::vector<png_bytep> rows;
    volatile bool ok = false;
    if (setjmp(png_jmpbuf(png)) == 0) {
        png_set_read_fn(png, &reader, ReadFromMemory);
#ifdef PNG_IGNORE_ADLER32
        // The data is checked by the CRC of every chunk; the zlib checksum adds nothing but time.
        png_set_option(png, PNG_IGNORE_ADLER32, PNG_OPTION_ON);
#endif
        png_read_info(png, info);
        const png_uint_32 width = png_get_image_width(png, info);
        const png_uint_32 height = png_get_image_height(png, info);
        if (width > 0 && height > 0 && width <= static_cast<png_uint_32>(kMaxImageSide) &&
            height <= static_cast<png_uint_32>(kMaxImageSide)) {
            const int type = png_get_color_type(png, info);
            // Normalise every format to 8-bit B, G, R, A bytes: the 0xAARRGGBB word in memory order
            // on a little-endian machine (the byte order is handled below either way).
            png_set_strip_16(png);
            png_set_packing(png);
            if (type == PNG_COLOR_TYPE_PALETTE) png_set_palette_to_rgb(png);
            if (type == PNG_COLOR_TYPE_GRAY && png_get_bit_depth(png, info) < 8) png_set_expand_gray_1_2_4_to_8(png);
            if (png_get_valid(png, info, PNG_INFO_tRNS)) png_set_tRNS_to_alpha(png);
            if (type == PNG_COLOR_TYPE_GRAY || type == PNG_COLOR_TYPE_GRAY_ALPHA) png_set_gray_to_rgb(png);
            png_set_bgr(png);
            png_set_filler(png, 0xFF, PNG_FILLER_AFTER);
            png_set_interlace_handling(png);
            png_read_update_info(png, info);
            w = static_cast<int>(width);
            h = static_cast<int>(height);
            pixels.resize(static_cast<size_t>(w) * h);
            rows.resize(static_cast<size_t>(h));
            for (int y = 0; y < h; ++y) rows[y] = reinterpret_cast<png_bytep>(pixels.data() + static_cast<size_t>(y) * w);
            png_read_image(png, rows.data());
            ok = true;
        }
    }
    png_destroy_read_struct(&png, &info, nullptr);
    return ok;
}

}  // namespace

gfx::Image DecodePng(std::span<const uint8_t> bytes) {
    std::vector<gfx::Pixel> px;
    int w = 0, h = 0;
    if (!DecodePngInto(bytes, px, w, h)) return {};
    // The words hold B, G, R, A bytes; read them bytewise to stay independent of byte order, and
    // premultiply (opaque and clear pixels, the common case, need no arithmetic).
    for (gfx::Pixel& word : px) {
        const auto* p = reinterpret_cast<const uint8_t*>(&word);
        const uint32_t argb = static_cast<uint32_t>(p[3]) << 24 | static_cast<uint32_t>(p[2]) << 16 |
                              static_cast<uint32_t>(p[1]) << 8 | p[0];
        const uint32_t a = argb >> 24;
        word = a == 255 ? argb : a == 0 ? 0 : gfx::Premultiply(argb);
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
