// Windows font service: faces and glyphs through GDI.
#pragma once
#include <memory>

#include "platform/fonts.h"

namespace mivo::platform::win32 {

class Win32FontService final : public FontService {
public:
    Win32FontService();
    ~Win32FontService() override;
    Win32FontService(const Win32FontService&) = delete;
    Win32FontService& operator=(const Win32FontService&) = delete;

    FaceId Resolve(std::string_view family) override;
    std::string FamilyName(FaceId face) override;
    // Characters outside the Basic Multilingual Plane are reported as missing.
    bool HasGlyph(FaceId face, char32_t code_point) override;
    FaceId FaceFor(FaceId preferred, char32_t code_point) override;
    FaceMetrics Metrics(FaceId face) override;
    GlyphBitmap RenderGlyph(FaceId face, char32_t code_point, float pixel_em) override;
    float AddGlyphOutline(FaceId face, char32_t code_point, float pixel_em, float x, float y,
                          gfx::Path& path) override;

private:
    struct State;
    std::unique_ptr<State> state_;
};

}  // namespace mivo::platform::win32
