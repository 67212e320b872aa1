// A font service with one fixed face: every glyph is a solid box half an em wide, so text has a
// known size and visible pixels without depending on the fonts installed.
#pragma once
#include <cmath>

#include "platform/fonts.h"

namespace mivo::test {

class BoxFonts final : public platform::FontService {
public:
    platform::FaceId Resolve(std::string_view) override { return 0; }
    std::string FamilyName(platform::FaceId) override { return "Box"; }
    bool HasGlyph(platform::FaceId, char32_t) override { return true; }
    platform::FaceId FaceFor(platform::FaceId preferred, char32_t) override { return preferred; }
    platform::FaceMetrics Metrics(platform::FaceId) override { return {1000, 800, 200, 0}; }
    platform::GlyphBitmap RenderGlyph(platform::FaceId, char32_t cp, float em) override {
        platform::GlyphBitmap g;
        g.advance = em / 2;
        if (cp == U' ') return g;
        g.width = std::max(1, static_cast<int>(em / 2) - 1);
        g.height = std::max(1, static_cast<int>(em * 0.7f));
        g.top = g.height;
        g.coverage.assign(static_cast<size_t>(g.width) * g.height, 255);
        return g;
    }
    float AddGlyphOutline(platform::FaceId, char32_t, float em, float x, float y, gfx::Path& path) override {
        path.AddRect({static_cast<int>(x), static_cast<int>(y - em * 0.7f), static_cast<int>(x + em / 2 - 1),
                      static_cast<int>(y)});
        return em / 2;
    }
};

}  // namespace mivo::test
