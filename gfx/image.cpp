// Premultiplied ARGB32 images: construction, cutting, and the premultiply conversions.
#include "gfx/image.h"

#include <algorithm>

namespace mivo::gfx {

namespace {
// x * a / 255, rounded to nearest, for x, a in 0..255.
inline uint32_t MulDiv255(uint32_t x, uint32_t a) {
    uint32_t t = x * a + 128;
    return (t + (t >> 8)) >> 8;
}
}  // namespace

Pixel Premultiply(uint32_t argb) {
    uint32_t a = argb >> 24;
    if (a == 255) return argb;
    if (a == 0) return 0;
    uint32_t r = MulDiv255((argb >> 16) & 0xFF, a);
    uint32_t g = MulDiv255((argb >> 8) & 0xFF, a);
    uint32_t b = MulDiv255(argb & 0xFF, a);
    return (a << 24) | (r << 16) | (g << 8) | b;
}

uint32_t Unpremultiply(Pixel p) {
    uint32_t a = p >> 24;
    if (a == 255) return p;
    if (a == 0) return 0;
    auto un = [a](uint32_t c) { return std::min<uint32_t>(255, (c * 255 + a / 2) / a); };
    return (a << 24) | (un((p >> 16) & 0xFF) << 16) | (un((p >> 8) & 0xFF) << 8) | un(p & 0xFF);
}

Image::Image(int width, int height) {
    if (width <= 0 || height <= 0) return;
    width_ = width;
    height_ = height;
    pixels_.assign(static_cast<size_t>(width) * static_cast<size_t>(height), 0);
}

Image::Image(int width, int height, std::vector<Pixel> pixels) {
    // A pixel vector that does not match the size would make Row() read out of bounds: null instead.
    if (width <= 0 || height <= 0) return;
    if (pixels.size() != static_cast<size_t>(width) * static_cast<size_t>(height)) return;
    width_ = width;
    height_ = height;
    pixels_ = std::move(pixels);
}

Image Image::Cut(const Rect& area) const {
    if (IsNull() || area.IsEmpty()) return {};
    if (area.left < 0 || area.top < 0 || area.right > width_ || area.bottom > height_) return {};
    Image out(area.Width(), area.Height());
    for (int y = 0; y < out.height_; ++y) {
        const Pixel* src = Row(area.top + y) + area.left;
        std::copy(src, src + out.width_, out.Row(y));
    }
    return out;
}

}  // namespace mivo::gfx
