// Linux image codec: PNG through libpng, JPEG through libjpeg(-turbo).
#pragma once
#include "platform/image_codec.h"

namespace mivo::platform::linux_backend {

class LinuxImageCodec final : public ImageCodec {
public:
    gfx::Image Decode(std::span<const uint8_t> bytes) override;
    std::vector<uint8_t> EncodePng(const gfx::Image& image) override;
    std::vector<uint8_t> EncodeJpeg(const gfx::Image& image, int quality) override;
};

// Pictures larger than this on either side are refused rather than allocated.
inline constexpr int kMaxImageSide = 16384;

gfx::Image DecodePng(std::span<const uint8_t> bytes);
gfx::Image DecodeJpeg(std::span<const uint8_t> bytes);

}  // namespace mivo::platform::linux_backend
