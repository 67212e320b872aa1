// Canvas: draws into an image with source-over blending and per-pixel alpha.
#pragma once
#include <cstdint>

#include "gfx/geometry.h"
#include "gfx/image.h"
#include "gfx/path.h"

namespace mivo::gfx {

// Colours passed to the canvas are straight (not premultiplied) 0xAARRGGBB.
class Canvas {
public:
    explicit Canvas(Image& target) : target_(target) {}

    Image& Target() { return target_; }
    const Image& Target() const { return target_; }

    // Draws `image` stretched into `dst` (bilinear, as the usual default; exact copy-blend when
    // the size is unchanged). A null pointer or null image draws nothing.
    void DrawImage(const Image* image, const Rect& dst);
    // Draws at (x, y) in the image's own size.
    void DrawImage(const Image* image, int x, int y);
    // Replaces (no blending) the pixels of `dst` with `image` at its own size; used to paste a
    // rendered patch back.
    void CopyImage(const Image& image, int x, int y);

    void FillRect(const Rect& r, uint32_t argb);
    // 1-pixel outline of the rectangle (left, top, width, height), as a 1.0-wide pen draws it:
    // columns left..right and rows top..bottom, both inclusive.
    void StrokeRect(const Rect& r, uint32_t argb);
    // Anti-aliased fill with the path's own fill rule.
    void FillPath(const Path& path, uint32_t argb);
    // Anti-aliased stroke of the given width.
    void StrokePath(const Path& path, uint32_t argb, float width);
    // Blends `argb` through an 8-bit coverage mask (`stride` bytes per row) placed at (x, y),
    // limited to `clip`; used for glyphs.
    void FillMask(const uint8_t* coverage, int width, int height, int stride, int x, int y, uint32_t argb,
                  const Rect& clip);

private:
    Image& target_;
};

}  // namespace mivo::gfx
