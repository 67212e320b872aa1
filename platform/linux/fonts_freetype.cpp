// Linux font service: fontconfig chooses faces (family match, sans-serif substitute, per-character
// fallback), FreeType loads them, renders anti-aliased glyphs and decomposes outlines.
#include <fontconfig/fontconfig.h>
#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_OUTLINE_H
#include FT_TRUETYPE_TABLES_H

#include <algorithm>
#include <cmath>
#include <cstring>
#include <unordered_map>

#include "platform/linux/fonts_linux.h"

namespace mivo::platform::linux_backend {

namespace {

struct Face {
    std::string file;
    int index = 0;
    std::string family;
    FT_Face ft = nullptr;
};

struct GlyphKey {
    FaceId face;
    uint32_t glyph;
    int size64;
    bool operator==(const GlyphKey&) const = default;
};

struct GlyphKeyHash {
    size_t operator()(const GlyphKey& k) const {
        return (static_cast<size_t>(k.face) * 1000003u) ^ (static_cast<size_t>(k.glyph) * 7919u) ^
               static_cast<size_t>(k.size64);
    }
};

std::string FcString(FcPattern* p, const char* object) {
    FcChar8* s = nullptr;
    if (FcPatternGetString(p, object, 0, &s) == FcResultMatch && s) return reinterpret_cast<const char*>(s);
    return {};
}

}  // namespace

struct LinuxFontService::State {
    FT_Library library = nullptr;
    FcConfig* config = nullptr;
    std::vector<Face> faces;
    std::map<std::pair<std::string, int>, FaceId> by_file;
    std::map<std::string, FaceId, std::less<>> by_family;
    std::map<std::pair<FaceId, char32_t>, FaceId> fallback;
    std::unordered_map<GlyphKey, GlyphBitmap, GlyphKeyHash> glyphs;

    FaceId Open(FcPattern* match) {
        std::string file = FcString(match, FC_FILE);
        int index = 0;
        FcPatternGetInteger(match, FC_INDEX, 0, &index);
        if (file.empty()) return -1;
        auto key = std::make_pair(file, index);
        if (auto it = by_file.find(key); it != by_file.end()) return it->second;
        FT_Face ft = nullptr;
        if (FT_New_Face(library, file.c_str(), index, &ft) != 0) return -1;
        if (!FT_IS_SCALABLE(ft)) {
            FT_Done_Face(ft);
            return -1;
        }
        FT_Select_Charmap(ft, FT_ENCODING_UNICODE);
        faces.push_back({file, index, FcString(match, FC_FAMILY), ft});
        FaceId id = static_cast<FaceId>(faces.size() - 1);
        by_file.emplace(key, id);
        return id;
    }

    Face* Get(FaceId id) { return id >= 0 && id < static_cast<FaceId>(faces.size()) ? &faces[id] : nullptr; }

    bool SetSize(Face& f, float pixel_em) {
        FT_F26Dot6 s = static_cast<FT_F26Dot6>(std::lround(pixel_em * 64));
        if (s <= 0) return false;
        return FT_Set_Char_Size(f.ft, 0, s, 72, 72) == 0;
    }
};

std::vector<std::filesystem::path> LinuxFontService::DefaultExtraFonts() {
    return {"/usr/share/wine/fonts/tahoma.ttf", "/usr/share/wine/fonts/tahomabd.ttf"};
}

LinuxFontService::LinuxFontService(std::vector<std::filesystem::path> extra_fonts) : state_(std::make_unique<State>()) {
    FT_Init_FreeType(&state_->library);
    // A private configuration, so that the extra fonts are not added to the process-wide one.
    state_->config = FcInitLoadConfigAndFonts();
    for (const auto& file : extra_fonts) {
        std::error_code ec;
        if (std::filesystem::is_regular_file(file, ec))
            FcConfigAppFontAddFile(state_->config, reinterpret_cast<const FcChar8*>(file.c_str()));
    }
}

LinuxFontService::~LinuxFontService() {
    for (Face& f : state_->faces) FT_Done_Face(f.ft);
    if (state_->library) FT_Done_FreeType(state_->library);
    if (state_->config) FcConfigDestroy(state_->config);
}

FaceId LinuxFontService::Resolve(std::string_view family) {
    std::string name(family);
    if (auto it = state_->by_family.find(name); it != state_->by_family.end()) return it->second;
    if (!state_->library || !state_->config) return -1;
    FcPattern* pattern = FcPatternCreate();
    if (!name.empty()) FcPatternAddString(pattern, FC_FAMILY, reinterpret_cast<const FcChar8*>(name.c_str()));
    // The substitute for a family that is not installed is the system's sans-serif face.
    FcPatternAddString(pattern, FC_FAMILY, reinterpret_cast<const FcChar8*>("sans-serif"));
    FcPatternAddInteger(pattern, FC_WEIGHT, FC_WEIGHT_REGULAR);
    FcPatternAddInteger(pattern, FC_SLANT, FC_SLANT_ROMAN);
    FcPatternAddBool(pattern, FC_SCALABLE, FcTrue);
    FcConfigSubstitute(state_->config, pattern, FcMatchPattern);
    FcDefaultSubstitute(pattern);
    FcResult result = FcResultNoMatch;
    FcPattern* match = FcFontMatch(state_->config, pattern, &result);
    FaceId id = -1;
    if (match) {
        id = state_->Open(match);
        FcPatternDestroy(match);
    }
    FcPatternDestroy(pattern);
    state_->by_family.emplace(name, id);
    return id;
}

std::string LinuxFontService::FamilyName(FaceId face) {
    Face* f = state_->Get(face);
    return f ? f->family : std::string();
}

bool LinuxFontService::HasGlyph(FaceId face, char32_t code_point) {
    Face* f = state_->Get(face);
    return f && FT_Get_Char_Index(f->ft, code_point) != 0;
}

FaceId LinuxFontService::FaceFor(FaceId preferred, char32_t code_point) {
    if (HasGlyph(preferred, code_point)) return preferred;
    auto key = std::make_pair(preferred, code_point);
    if (auto it = state_->fallback.find(key); it != state_->fallback.end()) return it->second;
    FaceId chosen = preferred;
    FcPattern* pattern = FcPatternCreate();
    if (Face* f = state_->Get(preferred))
        FcPatternAddString(pattern, FC_FAMILY, reinterpret_cast<const FcChar8*>(f->family.c_str()));
    FcPatternAddString(pattern, FC_FAMILY, reinterpret_cast<const FcChar8*>("sans-serif"));
    FcCharSet* cs = FcCharSetCreate();
    FcCharSetAddChar(cs, code_point);
    FcPatternAddCharSet(pattern, FC_CHARSET, cs);
    FcPatternAddInteger(pattern, FC_WEIGHT, FC_WEIGHT_REGULAR);
    FcPatternAddInteger(pattern, FC_SLANT, FC_SLANT_ROMAN);
    FcPatternAddBool(pattern, FC_SCALABLE, FcTrue);
    FcConfigSubstitute(state_->config, pattern, FcMatchPattern);
    FcDefaultSubstitute(pattern);
    FcResult result = FcResultNoMatch;
    FcFontSet* set = FcFontSort(state_->config, pattern, FcFalse, nullptr, &result);
    for (int i = 0; set && i < set->nfont; ++i) {
        FcCharSet* have = nullptr;
        if (FcPatternGetCharSet(set->fonts[i], FC_CHARSET, 0, &have) != FcResultMatch || !FcCharSetHasChar(have, code_point))
            continue;
        FcPattern* full = FcFontRenderPrepare(state_->config, pattern, set->fonts[i]);
        FaceId id = full ? state_->Open(full) : -1;
        if (full) FcPatternDestroy(full);
        if (id >= 0 && HasGlyph(id, code_point)) {
            chosen = id;
            break;
        }
    }
    if (set) FcFontSetDestroy(set);
    FcCharSetDestroy(cs);
    FcPatternDestroy(pattern);
    state_->fallback.emplace(key, chosen);
    return chosen;
}

FaceMetrics LinuxFontService::Metrics(FaceId face) {
    Face* f = state_->Get(face);
    if (!f) return {};
    FaceMetrics m;
    m.units_per_em = f->ft->units_per_EM;
    // The cell of a face is its Windows ascent and descent when the face has them (what a
    // cell-height size refers to), else its typographic ascender and descender.
    auto* os2 = static_cast<TT_OS2*>(FT_Get_Sfnt_Table(f->ft, FT_SFNT_OS2));
    if (os2 && os2->version != 0xFFFF && os2->usWinAscent + os2->usWinDescent > 0) {
        m.ascent = os2->usWinAscent;
        m.descent = os2->usWinDescent;
    } else {
        m.ascent = f->ft->ascender;
        m.descent = -f->ft->descender;
    }
    m.line_gap = std::max(0, f->ft->height - (f->ft->ascender - f->ft->descender));
    return m;
}

GlyphBitmap LinuxFontService::RenderGlyph(FaceId face, char32_t code_point, float pixel_em) {
    Face* f = state_->Get(face);
    if (!f) return {};
    const uint32_t index = FT_Get_Char_Index(f->ft, code_point);
    GlyphKey key{face, index, static_cast<int>(std::lround(pixel_em * 64))};
    if (auto it = state_->glyphs.find(key); it != state_->glyphs.end()) return it->second;
    GlyphBitmap out;
    // Outlines rather than embedded bitmap strikes, so every size is anti-aliased alike.
    if (!state_->SetSize(*f, pixel_em) || FT_Load_Glyph(f->ft, index, FT_LOAD_NO_BITMAP) != 0) return out;
    FT_GlyphSlot slot = f->ft->glyph;
    out.advance = static_cast<float>(slot->advance.x) / 64.0f;
    if (slot->format != FT_GLYPH_FORMAT_BITMAP && FT_Render_Glyph(slot, FT_RENDER_MODE_NORMAL) != 0) return out;
    const FT_Bitmap& bm = slot->bitmap;
    const bool mono = bm.pixel_mode == FT_PIXEL_MODE_MONO;
    if ((bm.pixel_mode == FT_PIXEL_MODE_GRAY || mono) && bm.width > 0 && bm.rows > 0) {
        out.left = slot->bitmap_left;
        out.top = slot->bitmap_top;
        out.width = static_cast<int>(bm.width);
        out.height = static_cast<int>(bm.rows);
        out.coverage.resize(static_cast<size_t>(out.width) * out.height);
        for (int y = 0; y < out.height; ++y) {
            const unsigned char* src = bm.buffer + static_cast<ptrdiff_t>(y) * bm.pitch;
            uint8_t* dst = &out.coverage[static_cast<size_t>(y) * out.width];
            if (!mono) {
                std::memcpy(dst, src, out.width);
                continue;
            }
            for (int x = 0; x < out.width; ++x) dst[x] = (src[x >> 3] >> (7 - (x & 7)) & 1) ? 255 : 0;
        }
    }
    state_->glyphs.emplace(key, out);
    return out;
}

namespace {

struct OutlineSink {
    gfx::Path* path;
    float x, y;
    bool open = false;
    gfx::PointF P(const FT_Vector* v) const {
        return {x + static_cast<float>(v->x) / 64.0f, y - static_cast<float>(v->y) / 64.0f};
    }
};

int MoveTo(const FT_Vector* to, void* user) {
    auto* s = static_cast<OutlineSink*>(user);
    if (s->open) s->path->Close();
    auto p = s->P(to);
    s->path->MoveTo(p.x, p.y);
    s->open = true;
    return 0;
}
int LineTo(const FT_Vector* to, void* user) {
    auto* s = static_cast<OutlineSink*>(user);
    auto p = s->P(to);
    s->path->LineTo(p.x, p.y);
    return 0;
}
int ConicTo(const FT_Vector* c, const FT_Vector* to, void* user) {
    auto* s = static_cast<OutlineSink*>(user);
    auto pc = s->P(c), p = s->P(to);
    s->path->QuadTo(pc.x, pc.y, p.x, p.y);
    return 0;
}
int CubicTo(const FT_Vector* c1, const FT_Vector* c2, const FT_Vector* to, void* user) {
    auto* s = static_cast<OutlineSink*>(user);
    auto a = s->P(c1), b = s->P(c2), p = s->P(to);
    s->path->CubicTo(a.x, a.y, b.x, b.y, p.x, p.y);
    return 0;
}

}  // namespace

float LinuxFontService::AddGlyphOutline(FaceId face, char32_t code_point, float pixel_em, float x, float y,
                                        gfx::Path& path) {
    Face* f = state_->Get(face);
    if (!f || !state_->SetSize(*f, pixel_em)) return 0;
    const uint32_t index = FT_Get_Char_Index(f->ft, code_point);
    if (FT_Load_Glyph(f->ft, index, FT_LOAD_NO_BITMAP | FT_LOAD_NO_HINTING) != 0) return 0;
    FT_GlyphSlot slot = f->ft->glyph;
    if (slot->format == FT_GLYPH_FORMAT_OUTLINE) {
        FT_Outline_Funcs funcs{MoveTo, LineTo, ConicTo, CubicTo, 0, 0};
        OutlineSink sink{&path, x, y};
        if (FT_Outline_Decompose(&slot->outline, &funcs, &sink) == 0 && sink.open) path.Close();
    }
    return static_cast<float>(slot->linearHoriAdvance) / 65536.0f;
}

}  // namespace mivo::platform::linux_backend
