// PNG (libpng) and JPEG (libjpeg) codecs used at build time and by the asset tests.
#include "image_io.h"

#include <csetjmp>
#include <cstdio>
#include <memory>

#include <jpeglib.h>
#include <png.h>

namespace mivo::assets {
namespace {

struct FileCloser {
    void operator()(FILE* f) const { if (f) std::fclose(f); }
};
using FilePtr = std::unique_ptr<FILE, FileCloser>;

FilePtr Open(const std::filesystem::path& path, const char* mode) {
    return FilePtr(std::fopen(path.string().c_str(), mode));
}

void SetError(std::string* error, std::string text) {
    if (error) *error = std::move(text);
}

// libjpeg reports fatal errors through a callback that must not return: jump back to the caller.
struct JpegError {
    jpeg_error_mgr mgr;
    std::jmp_buf jump;
    char message[JMSG_LENGTH_MAX];
};

void JpegFail(j_common_ptr info) {
    auto* err = reinterpret_cast<JpegError*>(info->err);
    (*info->err->format_message)(info, err->message);
    std::longjmp(err->jump, 1);
}

}  // namespace

Rgba Rgba::Cut(int x, int y, int w, int h) const {
    if (w <= 0 || h <= 0 || x < 0 || y < 0 || x + w > width || y + h > height) return {};
    Rgba out(w, h);
    for (int row = 0; row < h; ++row) {
        const uint8_t* src = At(x, y + row);
        std::copy(src, src + static_cast<size_t>(w) * 4, out.At(0, row));
    }
    return out;
}

Rgba ReadPng(const std::filesystem::path& path, std::string* error) {
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_file(&image, path.string().c_str())) {
        SetError(error, path.string() + ": " + image.message);
        return {};
    }
    image.format = PNG_FORMAT_RGBA;
    Rgba out(static_cast<int>(image.width), static_cast<int>(image.height));
    if (!png_image_finish_read(&image, nullptr, out.px.data(), 0, nullptr)) {
        SetError(error, path.string() + ": " + image.message);
        png_image_free(&image);
        return {};
    }
    return out;
}

Rgba ReadJpeg(const std::filesystem::path& path, std::string* error) {
    FilePtr file = Open(path, "rb");
    if (!file) {
        SetError(error, path.string() + ": cannot open");
        return {};
    }
    jpeg_decompress_struct info{};
    JpegError err{};
    info.err = jpeg_std_error(&err.mgr);
    err.mgr.error_exit = JpegFail;
    Rgba out;
    std::vector<uint8_t> line;  // declared before setjmp so a jump back never skips its destructor
    if (setjmp(err.jump)) {
        jpeg_destroy_decompress(&info);
        SetError(error, path.string() + ": " + err.message);
        return {};
    }
    jpeg_create_decompress(&info);
    jpeg_stdio_src(&info, file.get());
    jpeg_read_header(&info, TRUE);
    info.out_color_space = JCS_RGB;
    jpeg_start_decompress(&info);
    out = Rgba(static_cast<int>(info.output_width), static_cast<int>(info.output_height));
    line.resize(static_cast<size_t>(info.output_width) * 3);
    while (info.output_scanline < info.output_height) {
        int y = static_cast<int>(info.output_scanline);
        JSAMPROW row = line.data();
        jpeg_read_scanlines(&info, &row, 1);
        for (int x = 0; x < out.width; ++x) {
            uint8_t* p = out.At(x, y);
            p[0] = line[x * 3];
            p[1] = line[x * 3 + 1];
            p[2] = line[x * 3 + 2];
            p[3] = 255;
        }
    }
    jpeg_finish_decompress(&info);
    jpeg_destroy_decompress(&info);
    return out;
}

Rgba ReadImage(const std::filesystem::path& path, std::string* error) {
    FilePtr file = Open(path, "rb");
    if (!file) {
        SetError(error, path.string() + ": cannot open");
        return {};
    }
    unsigned char sig[4] = {};
    size_t n = std::fread(sig, 1, sizeof sig, file.get());
    file.reset();
    if (n >= 4 && sig[0] == 0x89 && sig[1] == 'P' && sig[2] == 'N' && sig[3] == 'G') return ReadPng(path, error);
    if (n >= 3 && sig[0] == 0xFF && sig[1] == 0xD8 && sig[2] == 0xFF) return ReadJpeg(path, error);
    SetError(error, path.string() + ": neither PNG nor JPEG");
    return {};
}

bool WritePng(const std::filesystem::path& path, const Rgba& image, std::string* error) {
    if (image.Empty()) {
        SetError(error, path.string() + ": empty picture");
        return false;
    }
    FilePtr file = Open(path, "wb");
    if (!file) {
        SetError(error, path.string() + ": cannot create");
        return false;
    }
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png ? png_create_info_struct(png) : nullptr;
    if (!info) {
        png_destroy_write_struct(&png, nullptr);
        SetError(error, path.string() + ": out of memory");
        return false;
    }
    // Declared before setjmp: libpng reports errors by longjmp.
    std::vector<png_const_bytep> rows(static_cast<size_t>(image.height));
    for (int y = 0; y < image.height; ++y) rows[y] = image.px.data() + static_cast<size_t>(y) * image.width * 4;
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        SetError(error, path.string() + ": cannot write");
        return false;
    }
    png_init_io(png, file.get());
    png_set_IHDR(png, info, static_cast<png_uint_32>(image.width), static_cast<png_uint_32>(image.height), 8,
                 PNG_COLOR_TYPE_RGB_ALPHA, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    // The "sub" filter alone: the pictures come out smaller than with the adaptive choice and
    // decode much faster, which is most of the program's start-up time.
    png_set_filter(png, PNG_FILTER_TYPE_BASE, PNG_FILTER_SUB);
    png_set_compression_level(png, 6);
    png_write_info(png, info);
    png_write_image(png, const_cast<png_bytepp>(rows.data()));
    png_write_end(png, info);
    png_destroy_write_struct(&png, &info);
    return true;
}

bool WriteJpeg(const std::filesystem::path& path, const Rgba& image, int quality, std::string* error) {
    if (image.Empty()) {
        SetError(error, path.string() + ": empty picture");
        return false;
    }
    FilePtr file = Open(path, "wb");
    if (!file) {
        SetError(error, path.string() + ": cannot create");
        return false;
    }
    jpeg_compress_struct info{};
    JpegError err{};
    info.err = jpeg_std_error(&err.mgr);
    err.mgr.error_exit = JpegFail;
    std::vector<uint8_t> line(static_cast<size_t>(image.width) * 3);
    if (setjmp(err.jump)) {
        jpeg_destroy_compress(&info);
        SetError(error, path.string() + ": " + err.message);
        return false;
    }
    jpeg_create_compress(&info);
    jpeg_stdio_dest(&info, file.get());
    info.image_width = static_cast<JDIMENSION>(image.width);
    info.image_height = static_cast<JDIMENSION>(image.height);
    info.input_components = 3;
    info.in_color_space = JCS_RGB;
    jpeg_set_defaults(&info);
    jpeg_set_quality(&info, quality, TRUE);
    // Full-resolution chroma: the small faces carry coloured text that 4:2:0 would smear.
    for (int c = 0; c < info.num_components; ++c) {
        info.comp_info[c].h_samp_factor = 1;
        info.comp_info[c].v_samp_factor = 1;
    }
    jpeg_start_compress(&info, TRUE);
    while (info.next_scanline < info.image_height) {
        int y = static_cast<int>(info.next_scanline);
        for (int x = 0; x < image.width; ++x) {
            const uint8_t* p = image.At(x, y);
            line[x * 3] = p[0];
            line[x * 3 + 1] = p[1];
            line[x * 3 + 2] = p[2];
        }
        JSAMPROW row = line.data();
        jpeg_write_scanlines(&info, &row, 1);
    }
    jpeg_finish_compress(&info);
    jpeg_destroy_compress(&info);
    if (std::fflush(file.get()) != 0) {
        SetError(error, path.string() + ": write failed");
        return false;
    }
    return true;
}

Rgba Flatten(const Rgba& image, uint32_t rgb) {
    Rgba out(image.width, image.height);
    const int bg[3] = {static_cast<int>((rgb >> 16) & 0xFF), static_cast<int>((rgb >> 8) & 0xFF),
                       static_cast<int>(rgb & 0xFF)};
    for (int y = 0; y < image.height; ++y) {
        for (int x = 0; x < image.width; ++x) {
            const uint8_t* s = image.At(x, y);
            uint8_t* d = out.At(x, y);
            for (int c = 0; c < 3; ++c) d[c] = static_cast<uint8_t>((s[c] * s[3] + bg[c] * (255 - s[3]) + 127) / 255);
            d[3] = 255;
        }
    }
    return out;
}

}  // namespace mivo::assets
