// Picture files to images and back, through the platform's image codec.
#pragma once
#include <cstdint>
#include <filesystem>
#include <span>
#include <vector>

#include "gfx/image.h"

namespace mivo::gfx {

// The whole content of a file; empty when it cannot be read (or is empty).
std::vector<uint8_t> ReadFileBytes(const std::filesystem::path& path);

// Decodes PNG or JPEG bytes; a null image without a codec or for bytes it cannot decode.
Image DecodeImage(std::span<const uint8_t> bytes);

// Loads a PNG or JPEG file (read whole into memory first); a null image on any failure.
Image LoadPng(const std::filesystem::path& path);

// Writes the image as PNG or JPEG; false on any failure (no codec, null image, write error).
bool SavePng(const Image& image, const std::filesystem::path& path);
bool SaveJpeg(const Image& image, const std::filesystem::path& path, int quality = 90);

}  // namespace mivo::gfx
