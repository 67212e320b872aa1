// Picture files through the image codec service.
#include "gfx/image_io.h"

#include <fstream>

#include "platform/image_codec.h"
#include "platform/platform.h"

namespace mivo::gfx {

namespace {

// Picture files are read whole; anything larger than this is no picture of ours.
constexpr uintmax_t kMaxFileBytes = 256u << 20;

bool WriteFileBytes(const std::filesystem::path& path, const std::vector<uint8_t>& bytes) {
    if (bytes.empty()) return false;
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    if (!out) return false;
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    return static_cast<bool>(out.flush());
}

}  // namespace

std::vector<uint8_t> ReadFileBytes(const std::filesystem::path& path) {
    std::vector<uint8_t> bytes;
    // Only regular files: a folder opens as a stream on some systems and reports a bogus size.
    std::error_code ec;
    if (path.empty() || !std::filesystem::is_regular_file(path, ec)) return bytes;
    const auto size = std::filesystem::file_size(path, ec);
    if (ec || size == 0 || size > kMaxFileBytes) return bytes;
    std::ifstream in(path, std::ios::binary);
    if (!in) return bytes;
    bytes.resize(static_cast<size_t>(size));
    if (!in.read(reinterpret_cast<char*>(bytes.data()), static_cast<std::streamsize>(size))) bytes.clear();
    return bytes;
}

Image DecodeImage(std::span<const uint8_t> bytes) {
    platform::ImageCodec* codec = platform::Current().codec;
    if (!codec || bytes.empty()) return {};
    return codec->Decode(bytes);
}

Image LoadPng(const std::filesystem::path& path) { return DecodeImage(ReadFileBytes(path)); }

bool SavePng(const Image& image, const std::filesystem::path& path) {
    platform::ImageCodec* codec = platform::Current().codec;
    return codec && !image.IsNull() && WriteFileBytes(path, codec->EncodePng(image));
}

bool SaveJpeg(const Image& image, const std::filesystem::path& path, int quality) {
    platform::ImageCodec* codec = platform::Current().codec;
    return codec && !image.IsNull() && WriteFileBytes(path, codec->EncodeJpeg(image, quality));
}

}  // namespace mivo::gfx
