// Images: premultiplied ARGB32 pixels owned by the image; a null image is valid and draws nothing.
#pragma once
#include <cstdint>
#include <memory>
#include <span>
#include <vector>

#include "gfx/geometry.h"

namespace mivo::gfx {

// One pixel, 0xAARRGGBB with the colour channels premultiplied by alpha.
using Pixel = uint32_t;

// Premultiplies a straight-alpha 0xAARRGGBB colour.
Pixel Premultiply(uint32_t argb);
// Undoes Premultiply (rounded); a pixel with alpha 0 gives 0.
uint32_t Unpremultiply(Pixel p);

class Image {
public:
    Image() = default;                       // null image
    Image(int width, int height);            // fully transparent; null when either side is <= 0
    Image(int width, int height, std::vector<Pixel> pixels);  // takes premultiplied pixels, row-major

    bool IsNull() const { return width_ <= 0 || height_ <= 0; }
    int Width() const { return width_; }
    int Height() const { return height_; }
    Rect Bounds() const { return {0, 0, width_, height_}; }

    Pixel* Row(int y) { return pixels_.data() + static_cast<size_t>(y) * width_; }
    const Pixel* Row(int y) const { return pixels_.data() + static_cast<size_t>(y) * width_; }
    Pixel At(int x, int y) const { return Row(y)[x]; }
    void Set(int x, int y, Pixel p) { Row(y)[x] = p; }
    std::span<Pixel> Pixels() { return pixels_; }
    std::span<const Pixel> Pixels() const { return pixels_; }

    // A new image holding the pixels of `area`; null when `area` is empty or not inside the image.
    Image Cut(const Rect& area) const;
    // A deep copy.
    Image Copy() const { return *this; }

    bool operator==(const Image&) const = default;

private:
    int width_ = 0;
    int height_ = 0;
    std::vector<Pixel> pixels_;
};

// Controls and dialogs hold their pictures through this owning pointer; null means no picture.
using ImagePtr = std::unique_ptr<Image>;

}  // namespace mivo::gfx
