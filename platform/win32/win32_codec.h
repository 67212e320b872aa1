// Windows image codec through the Windows Imaging Component.
#pragma once
#include "platform/image_codec.h"

namespace mivo::platform::win32 {

class Win32ImageCodec final : public ImageCodec {
public:
    gfx::Image Decode(std::span<const uint8_t> bytes) override;
    std::vector<uint8_t> EncodePng(const gfx::Image& image) override;
    std::vector<uint8_t> EncodeJpeg(const gfx::Image& image, int quality) override;
};

// Pictures larger than this on either side are refused rather than allocated.
inline constexpr int kMaxImageSide = 16384;

}  // namespace mivo::platform::win32
