// Font service: font faces by family name, their metrics, glyph coverage bitmaps and outlines.
#pragma once
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "gfx/path.h"

namespace mivo::platform {

// A face the service has opened; valid for the service's lifetime. Negative means none.
using FaceId = int;

// Design metrics of a face in font units. `ascent` + `descent` is the face's cell (the height a
// cell-height font size maps onto); `line_gap` is the extra space the face asks for between lines.
struct FaceMetrics {
    int units_per_em = 0;
    int ascent = 0;
    int descent = 0;  // positive, below the baseline
    int line_gap = 0;
};

// One glyph rendered at a pixel size: 8-bit coverage, `width` bytes per row, placed with its
// top-left corner at (origin.x + left, baseline - top). `advance` is the pen advance in pixels.
struct GlyphBitmap {
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
    float advance = 0;
    std::vector<uint8_t> coverage;
};

class FontService {
public:
    virtual ~FontService() = default;
    // The installed face of `family`, or the system's sans-serif substitute when the family is not
    // installed. Negative only when no face at all can be found.
    virtual FaceId Resolve(std::string_view family) = 0;
    // The family name of a face (to tell a real match from a substitute).
    virtual std::string FamilyName(FaceId face) = 0;
    // Whether `face` has a glyph (other than its missing-glyph box) for `code_point`.
    virtual bool HasGlyph(FaceId face, char32_t code_point) = 0;
    // A face that has a glyph for `code_point`: `preferred` when it has one, else an installed
    // face chosen for that character. `preferred` when no face has it (its box is drawn).
    virtual FaceId FaceFor(FaceId preferred, char32_t code_point) = 0;
    virtual FaceMetrics Metrics(FaceId face) = 0;
    // The glyph of `code_point` at `pixel_em` pixels per em, anti-aliased; empty coverage for a
    // blank glyph such as a space (its advance is still set).
    virtual GlyphBitmap RenderGlyph(FaceId face, char32_t code_point, float pixel_em) = 0;
    // Adds the outline of the glyph at `pixel_em` pixels per em to `path` with its origin on the
    // baseline at (x, y), y growing downwards; returns the advance in pixels (0 on failure).
    virtual float AddGlyphOutline(FaceId face, char32_t code_point, float pixel_em, float x, float y,
                                  gfx::Path& path) = 0;
};

}  // namespace mivo::platform
