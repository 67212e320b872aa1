// PNG and JPEG reading and writing for the asset generator and the asset tests (straight RGBA8).
#pragma once
#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace mivo::assets {

// A picture as 8-bit straight-alpha RGBA, row-major, 4 bytes per pixel.
struct Rgba {
    int width = 0;
    int height = 0;
    std::vector<uint8_t> px;

    Rgba() = default;
    Rgba(int w, int h) : width(w), height(h), px(static_cast<size_t>(w) * h * 4, 0) {}
    bool Empty() const { return width <= 0 || height <= 0; }
    uint8_t* At(int x, int y) { return px.data() + (static_cast<size_t>(y) * width + x) * 4; }
    const uint8_t* At(int x, int y) const { return px.data() + (static_cast<size_t>(y) * width + x) * 4; }
    // The pixels of (x, y, w, h); empty when the area does not lie inside the picture.
    Rgba Cut(int x, int y, int w, int h) const;
};

// Each reader returns an empty picture and sets `error` when the file is missing or not decodable.
Rgba ReadPng(const std::filesystem::path& path, std::string* error = nullptr);
Rgba ReadJpeg(const std::filesystem::path& path, std::string* error = nullptr);
// Chooses the reader from the file's signature bytes.
Rgba ReadImage(const std::filesystem::path& path, std::string* error = nullptr);

// Writers return false and set `error` on failure. JPEG has no alpha: the caller flattens first.
bool WritePng(const std::filesystem::path& path, const Rgba& image, std::string* error = nullptr);
bool WriteJpeg(const std::filesystem::path& path, const Rgba& image, int quality, std::string* error = nullptr);

// Composites the picture over an opaque colour (0xRRGGBB); the result is fully opaque.
Rgba Flatten(const Rgba& image, uint32_t rgb);

}  // namespace mivo::assets
