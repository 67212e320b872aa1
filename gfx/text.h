// Text drawing shared by the controls: measuring, outlines, labels and static texts.
#pragma once
#include <cstdint>
#include <string_view>

#include "gfx/canvas.h"
#include "gfx/geometry.h"
#include "gfx/image.h"
#include "gfx/path.h"

namespace mivo::gfx {

// A font described as the controls name it: a family and a size in points (regular style).
struct FontSpec {
    std::string_view family;
    float points = 8.0f;
};

// Size of `text` (UTF-8) laid out in `font`, in whole pixels (truncated). A trailing space counts
// as an underscore. A null font gives 0 x 0. An empty layout rectangle means unbounded.
Size MeasureText(std::string_view text, const FontSpec* font, const Rect& layout);

// Adds the outline of `text` in "Times New Roman" at `em_size` to `path`, placed in `rect`.
void AddTextPath(Path& path, std::string_view text, float em_size, bool centre, const Rect& rect);

// Draws `text` in "Tahoma" of cell height `height` inside `rect` on `dc`. `colour_bgr` is
// 0x00BBGGRR. The whole rectangle is repainted from a copy of its background; text is clipped.
void DrawLabelText(Canvas& dc, std::string_view text, int height, uint32_t colour_bgr, bool h_centre,
                   bool v_centre, const Rect& rect);

// A new image of `rect`'s size: the background of `dc` under `rect` with `text` in white
// "Eurostile LT CE" of cell height `height` at (0, 0).
ImagePtr RenderStaticText(Canvas& dc, std::string_view text, int height, const Rect& rect);

// Same as RenderStaticText with a chosen face and colour (0x00BBGGRR); the main window's texts.
ImagePtr RenderText(Canvas& dc, std::string_view text, std::string_view family, int height,
                    uint32_t colour_bgr, const Rect& rect);

// The extent (cx, cy) of `text` in `family` of cell height `height`, as DrawLabelText measures it
// for its offsets: whole-pixel advances and cy = height.
Size LabelTextExtent(std::string_view text, std::string_view family, int height);

}  // namespace mivo::gfx
