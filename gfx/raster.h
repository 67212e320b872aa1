// Path flattening and anti-aliased scan conversion into coverage masks.
#pragma once
#include <cstddef>
#include <cstdint>
#include <vector>

#include "gfx/geometry.h"
#include "gfx/path.h"

namespace mivo::gfx::detail {

// One flattened figure: its points in order, and whether the figure was closed.
struct Polyline {
    std::vector<PointF> points;
    bool closed = false;
};

// Curves become line segments no further than about 0.02 pixel from the curve.
std::vector<Polyline> Flatten(const Path& path);

// 8-bit coverage of `bounds` (row-major, bounds.Width() per row); empty when nothing is covered.
struct Mask {
    Rect bounds;
    std::vector<uint8_t> coverage;
    uint8_t At(int x, int y) const {
        return coverage[static_cast<size_t>(y - bounds.top) * bounds.Width() + (x - bounds.left)];
    }
};

// Fills the polygons (every polyline is treated as closed) with `rule`, limited to `clip`.
Mask Rasterize(const std::vector<Polyline>& polygons, FillRule rule, const Rect& clip);

// The outline of a stroke of `width` along the figures, as polygons to fill with NonZero:
// flat caps at open ends, miter joins (limit 10, bevel beyond).
std::vector<Polyline> StrokeOutline(const std::vector<Polyline>& figures, float width);

}  // namespace mivo::gfx::detail
