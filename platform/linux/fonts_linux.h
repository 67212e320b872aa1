// Linux font service: faces found with fontconfig, glyphs and outlines through FreeType.
#pragma once
#include <filesystem>
#include <map>
#include <memory>
#include <string>
#include <tuple>
#include <vector>

#include "platform/fonts.h"

namespace mivo::platform::linux_backend {

class LinuxFontService final : public FontService {
public:
    // `extra_fonts`: font files to make known besides the installed ones (for faces that are
    // installed outside fontconfig's folders). Missing files are skipped.
    explicit LinuxFontService(std::vector<std::filesystem::path> extra_fonts = DefaultExtraFonts());
    ~LinuxFontService() override;
    LinuxFontService(const LinuxFontService&) = delete;
    LinuxFontService& operator=(const LinuxFontService&) = delete;

    // The Tahoma-compatible faces of the Windows-compatibility font package.
    static std::vector<std::filesystem::path> DefaultExtraFonts();

    FaceId Resolve(std::string_view family) override;
    std::string FamilyName(FaceId face) override;
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

}  // namespace mivo::platform::linux_backend
