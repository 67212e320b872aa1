// Image codec service: picture files (PNG, JPEG) to premultiplied images and back.
#pragma once
#include <cstdint>
#include <span>
#include <vector>

#include "gfx/image.h"

namespace mivo::platform {

class ImageCodec {
public:
    virtual ~ImageCodec() = default;
    // Decodes the bytes of a PNG or JPEG file (recognised by content, not by name) into a
    // premultiplied image; a null image when the bytes are no picture this codec can decode.
    virtual gfx::Image Decode(std::span<const uint8_t> bytes) = 0;
    // PNG file bytes of the image (8-bit RGBA, straight alpha); empty on failure or a null image.
    virtual std::vector<uint8_t> EncodePng(const gfx::Image& image) = 0;
    // JPEG file bytes (alpha dropped after compositing over black); empty on failure or a null image.
    virtual std::vector<uint8_t> EncodeJpeg(const gfx::Image& image, int quality) = 0;
};

}  // namespace mivo::platform
