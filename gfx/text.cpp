// Text: UTF-8 decoding, glyph layout with per-character face fallback, measuring, outlines, and
// labels rendered onto a copy of their background.
#include "gfx/text.h"

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "gfx/utf8.h"
#include "platform/fonts.h"
#include "platform/platform.h"

namespace mivo::gfx {

namespace {

using platform::FaceId;
using platform::FontService;

constexpr float kPixelsPerPoint = 96.0f / 72.0f;

FontService* Fonts() { return platform::Current().fonts; }

// Pixels per em that make the face's cell (ascent + descent) `cell` pixels high.
float EmForCell(FontService& fonts, FaceId face, float cell) {
    platform::FaceMetrics m = fonts.Metrics(face);
    if (m.units_per_em <= 0 || m.ascent + m.descent <= 0) return cell;
    return cell * static_cast<float>(m.units_per_em) / static_cast<float>(m.ascent + m.descent);
}

struct PlacedGlyph {
    FaceId face;
    char32_t cp;
    float em;
    int x;  // pen position of the glyph origin
};

// A single line laid out as the platform's cell-height text output does it: whole-pixel advances,
// one baseline for the cell, characters the face lacks taken from a face that has them.
struct CellLine {
    std::vector<PlacedGlyph> glyphs;
    int width = 0;
    int height = 0;
    int baseline = 0;
};

CellLine LayoutCell(FontService& fonts, std::string_view text, std::string_view family, int height) {
    CellLine line;
    if (height <= 0) return line;
    const FaceId base = fonts.Resolve(family);
    if (base < 0) return line;
    const platform::FaceMetrics m = fonts.Metrics(base);
    line.height = height;
    line.baseline = m.ascent + m.descent > 0
                        ? static_cast<int>(std::lround(static_cast<double>(height) * m.ascent / (m.ascent + m.descent)))
                        : height;
    const float base_em = EmForCell(fonts, base, static_cast<float>(height));
    int pen = 0;
    for (char32_t cp : DecodeUtf8(text)) {
        // A fallback face is drawn at the base face's em size: sizing it by its own cell would
        // shrink faces with tall cells (Thai marks) well below the surrounding text.
        FaceId face = fonts.FaceFor(base, cp);
        const float em = base_em;
        float adv = fonts.RenderGlyph(face, cp, em).advance;
        line.glyphs.push_back({face, cp, em, pen});
        pen += static_cast<int>(std::lround(adv));
    }
    line.width = pen;
    return line;
}

void DrawCellLine(Canvas& dc, FontService& fonts, const CellLine& line, int x, int y, uint32_t argb) {
    const Rect clip = dc.Target().Bounds();
    for (const PlacedGlyph& g : line.glyphs) {
        platform::GlyphBitmap bm = fonts.RenderGlyph(g.face, g.cp, g.em);
        if (bm.coverage.empty()) continue;
        dc.FillMask(bm.coverage.data(), bm.width, bm.height, bm.width, x + g.x + bm.left, y + line.baseline - bm.top,
                    argb, clip);
    }
}

uint32_t FromBgr(uint32_t colour_bgr) {
    return 0xFF000000u | (colour_bgr & 0xFFu) << 16 | (colour_bgr & 0xFF00u) | (colour_bgr >> 16 & 0xFFu);
}

// A copy of the target's pixels under `rect`; the part outside the target stays transparent.
Image BackgroundCopy(const Canvas& dc, const Rect& rect) {
    Image patch(rect.Width(), rect.Height());
    if (patch.IsNull()) return patch;
    Canvas pc(patch);
    const Image& src = dc.Target();
    const Rect inside{std::max(rect.left, 0), std::max(rect.top, 0), std::min(rect.right, src.Width()),
                      std::min(rect.bottom, src.Height())};
    if (!inside.IsEmpty()) pc.CopyImage(src.Cut(inside), inside.left - rect.left, inside.top - rect.top);
    return patch;
}

// Integer division truncating toward zero, as the label offsets are defined.
int HalfOf(int v) { return v / 2; }

// Nominal (unhinted-size) layout in points-based fonts, as the measuring and outline routines use.
float LineSpacing(FontService& fonts, FaceId face, float em) {
    platform::FaceMetrics m = fonts.Metrics(face);
    if (m.units_per_em <= 0) return em;
    return em * static_cast<float>(m.ascent + m.descent + m.line_gap) / static_cast<float>(m.units_per_em);
}

float Ascent(FontService& fonts, FaceId face, float em) {
    platform::FaceMetrics m = fonts.Metrics(face);
    if (m.units_per_em <= 0) return em;
    return em * static_cast<float>(m.ascent) / static_cast<float>(m.units_per_em);
}

float Advance(FontService& fonts, FaceId base, char32_t cp, float em) {
    return fonts.RenderGlyph(fonts.FaceFor(base, cp), cp, em).advance;
}

}  // namespace

Size MeasureText(std::string_view text, const FontSpec* font, const Rect& layout) {
    FontService* fonts = Fonts();
    if (!font || !fonts) return {};
    std::string copy(text);
    if (!copy.empty() && copy.back() == ' ') copy.back() = '_';
    const FaceId base = fonts->Resolve(font->family);
    if (base < 0) return {};
    const float em = font->points * kPixelsPerPoint;
    const float spacing = LineSpacing(*fonts, base, em);
    // The usual 2-D library pads a measured line by a sixth of the em at each end.
    const float padding = em / 3.0f;
    const float max_width = layout.Width() > 0 ? static_cast<float>(layout.Width()) : 0.0f;

    // Lines are broken at explicit line feeds and, with a bounded width, before a word that
    // would not fit.
    float widest = 0, line = 0, word = 0;
    int lines = copy.empty() ? 0 : 1;
    auto flush_word = [&] {
        if (max_width > 0 && line > 0 && line + word + padding > max_width) {
            widest = std::max(widest, line);
            ++lines;
            line = 0;
        }
        line += word;
        word = 0;
    };
    for (char32_t cp : DecodeUtf8(copy)) {
        if (cp == U'\n') {
            flush_word();
            widest = std::max(widest, line);
            line = 0;
            ++lines;
            continue;
        }
        word += Advance(*fonts, base, cp, em);
        if (cp == U' ') flush_word();
    }
    flush_word();
    widest = std::max(widest, line);
    float w = lines > 0 ? widest + padding : 0.0f;
    float h = spacing * static_cast<float>(lines);
    if (max_width > 0) w = std::min(w, max_width);
    if (layout.Height() > 0) h = std::min(h, static_cast<float>(layout.Height()));
    return {static_cast<int>(w), static_cast<int>(h)};
}

void AddTextPath(Path& path, std::string_view text, float em_size, bool centre, const Rect& rect) {
    FontService* fonts = Fonts();
    if (!fonts || text.empty()) return;
    constexpr std::string_view kFamily = "Times New Roman";
    const FontSpec font_spec{kFamily, em_size};
    const int cy = MeasureText(text, &font_spec, {}).cy;
    float y = static_cast<float>(rect.top) + 2.0f;
    if (cy < rect.Height()) y += static_cast<float>(rect.bottom - cy - rect.top) * 0.5f;
    const FaceId base = fonts->Resolve(kFamily);
    if (base < 0) return;
    // The outline is em_size path units per em (not points).
    const float em = em_size;
    const float padding = em / 6.0f;
    float width = 0;
    const std::u32string cps = DecodeUtf8(text);
    for (char32_t cp : cps) width += Advance(*fonts, base, cp, em);
    float x = centre ? static_cast<float>(rect.left) + (static_cast<float>(rect.Width()) - width) / 2.0f
                     : static_cast<float>(rect.left) + padding;
    const float baseline = y + Ascent(*fonts, base, em);
    for (char32_t cp : cps) {
        FaceId face = fonts->FaceFor(base, cp);
        x += fonts->AddGlyphOutline(face, cp, em, x, baseline, path);
    }
}

void DrawLabelText(Canvas& dc, std::string_view text, int height, uint32_t colour_bgr, bool h_centre,
                   bool v_centre, const Rect& rect) {
    if (rect.IsEmpty()) return;
    Image patch = BackgroundCopy(dc, rect);
    if (FontService* fonts = Fonts()) {
        const CellLine line = LayoutCell(*fonts, text, "Tahoma", height);
        const int w = rect.Width(), h = rect.Height();
        const int x = h_centre ? HalfOf(w - line.width) + 4 : 4;
        const int y = v_centre ? HalfOf(h - line.height) + 2 : 2;
        Canvas pc(patch);
        DrawCellLine(pc, *fonts, line, x, y, FromBgr(colour_bgr));
    }
    // The patch replaces the area: it already holds the background under the text.
    dc.CopyImage(patch, rect.left, rect.top);
}

ImagePtr RenderText(Canvas& dc, std::string_view text, std::string_view family, int height, uint32_t colour_bgr,
                    const Rect& rect) {
    if (rect.IsEmpty()) return nullptr;
    auto patch = std::make_unique<Image>(BackgroundCopy(dc, rect));
    if (FontService* fonts = Fonts()) {
        Canvas pc(*patch);
        DrawCellLine(pc, *fonts, LayoutCell(*fonts, text, family, height), 0, 0, FromBgr(colour_bgr));
    }
    return patch;
}

ImagePtr RenderStaticText(Canvas& dc, std::string_view text, int height, const Rect& rect) {
    return RenderText(dc, text, "Eurostile LT CE", height, 0x00FFFFFFu, rect);
}

Size LabelTextExtent(std::string_view text, std::string_view family, int height) {
    FontService* fonts = Fonts();
    if (!fonts) return {};
    CellLine line = LayoutCell(*fonts, text, family, height);
    return {line.width, line.height};
}

}  // namespace mivo::gfx
