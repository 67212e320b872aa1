// Windows font service: GDI picks faces by name (with its own substitute for a missing family),
// GetGlyphIndicesW tells which characters a face has, GetGlyphOutlineW gives 8-bit coverage and
// Bezier outlines. Metrics and outlines come from a font made at the face's em size, so they are
// in design units; coverage from a font at the pixel size, scaled by the fractional rest.
#include "platform/win32/win32_fonts.h"

#include <windows.h>

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstring>
#include <map>
#include <mutex>
#include <optional>
#include <set>
#include <string>
#include <tuple>
#include <vector>

#include "platform/win32/win32_text.h"

namespace mivo::platform::win32 {

namespace {

std::wstring Lower(std::wstring s) {
    if (!s.empty()) CharLowerBuffW(s.data(), static_cast<DWORD>(s.size()));
    return s;
}

FIXED ToFixed(double v) {
    const auto raw = static_cast<int32_t>(std::lround(v * 65536.0));
    FIXED f;
    f.value = static_cast<short>(raw >> 16);
    f.fract = static_cast<WORD>(raw & 0xFFFF);
    return f;
}

double FromFixed(FIXED f) { return f.value + f.fract / 65536.0; }

MAT2 Scale(double s) {
    MAT2 m{};
    m.eM11 = ToFixed(s);
    m.eM22 = ToFixed(s);
    return m;
}

HFONT MakeFont(const std::wstring& family, int height) {
    LOGFONTW lf{};
    lf.lfHeight = height;
    lf.lfWeight = FW_NORMAL;
    lf.lfCharSet = DEFAULT_CHARSET;
    lf.lfOutPrecision = OUT_TT_PRECIS;
    lf.lfQuality = ANTIALIASED_QUALITY;
    // A family GDI does not have is replaced by a sans-serif face.
    lf.lfPitchAndFamily = VARIABLE_PITCH | FF_SWISS;
    wcsncpy(lf.lfFaceName, family.c_str(), LF_FACESIZE - 1);
    return CreateFontIndirectW(&lf);
}

// Per-character fallback lists: faces Windows ships for these scripts, most common first.
const std::vector<const wchar_t*>& FallbackFaces(char32_t c) {
    static const std::vector<const wchar_t*> hangul = {L"Malgun Gothic", L"Gulim", L"Dotum", L"Batang"};
    static const std::vector<const wchar_t*> kana = {L"Meiryo", L"Yu Gothic", L"MS UI Gothic", L"MS Gothic"};
    static const std::vector<const wchar_t*> han = {L"Microsoft YaHei", L"SimSun",  L"SimHei",
                                                    L"Microsoft JhengHei", L"PMingLiU", L"MingLiU",
                                                    L"Meiryo", L"MS Gothic", L"Malgun Gothic"};
    static const std::vector<const wchar_t*> thai = {L"Tahoma", L"Leelawadee UI", L"Leelawadee", L"Cordia New",
                                                     L"Angsana New"};
    static const std::vector<const wchar_t*> other = {L"Segoe UI", L"Arial Unicode MS", L"Arial",
                                                      L"Microsoft Sans Serif", L"Tahoma"};
    if ((c >= 0x1100 && c <= 0x11FF) || (c >= 0x3130 && c <= 0x318F) || (c >= 0xAC00 && c <= 0xD7AF)) return hangul;
    if ((c >= 0x3040 && c <= 0x30FF) || (c >= 0x31F0 && c <= 0x31FF)) return kana;
    if ((c >= 0x2E80 && c <= 0x2FDF) || (c >= 0x3000 && c <= 0x303F) || (c >= 0x3400 && c <= 0x4DBF) ||
        (c >= 0x4E00 && c <= 0x9FFF) || (c >= 0xF900 && c <= 0xFAFF) || (c >= 0xFF00 && c <= 0xFFEF))
        return han;
    if (c >= 0x0E00 && c <= 0x0E7F) return thai;
    return other;
}

int CALLBACK CollectFamily(const LOGFONTW* lf, const TEXTMETRICW*, DWORD type, LPARAM param) {
    if ((type & TRUETYPE_FONTTYPE) && lf->lfFaceName[0] != L'@') {
        reinterpret_cast<std::vector<std::wstring>*>(param)->push_back(lf->lfFaceName);
    }
    return 1;
}

struct Face {
    std::wstring family;
    int em = 0;
    HFONT em_font = nullptr;
    FaceMetrics metrics;
    std::map<int, HFONT> sized;  // by pixel height
};

}  // namespace

struct Win32FontService::State {
    std::mutex mutex;
    HDC dc = nullptr;
    std::vector<Face> faces;
    std::map<std::wstring, FaceId> by_family;  // lower-case requested and actual names
    std::map<std::pair<FaceId, char32_t>, FaceId> fallback;
    std::map<std::tuple<FaceId, WORD, int>, GlyphBitmap> glyphs;
    std::vector<std::wstring> installed;  // TrueType families, enumeration order; filled on first need
    std::set<std::wstring> installed_lower;
    bool enumerated = false;

    ~State() {
        for (Face& f : faces) {
            if (f.em_font) DeleteObject(f.em_font);
            for (auto& [size, font] : f.sized) DeleteObject(font);
        }
        if (dc) DeleteDC(dc);
    }

    Face* Get(FaceId id) { return id >= 0 && id < static_cast<FaceId>(faces.size()) ? &faces[id] : nullptr; }

    void Enumerate() {
        if (enumerated) return;
        enumerated = true;
        LOGFONTW lf{};
        lf.lfCharSet = DEFAULT_CHARSET;
        std::vector<std::wstring> all;
        EnumFontFamiliesExW(dc, &lf, &CollectFamily, reinterpret_cast<LPARAM>(&all), 0);
        for (auto& name : all) {
            if (installed_lower.insert(Lower(name)).second) installed.push_back(name);
        }
    }

    FaceId Open(const std::wstring& family) {
        const std::wstring key = Lower(family);
        if (auto it = by_family.find(key); it != by_family.end()) return it->second;
        // A first font at a large size tells the em square; the face is then made at exactly it.
        HFONT probe = MakeFont(family, -2048);
        if (!probe) return -1;
        HGDIOBJ old = SelectObject(dc, probe);
        OUTLINETEXTMETRICW otm{};
        otm.otmSize = sizeof otm;
        const bool outline = GetOutlineTextMetricsW(dc, sizeof otm, &otm) != 0;
        wchar_t actual[LF_FACESIZE] = {};
        GetTextFaceW(dc, LF_FACESIZE, actual);
        SelectObject(dc, old);
        DeleteObject(probe);
        if (!outline || otm.otmEMSquare == 0) return -1;
        const std::wstring actual_key = Lower(actual);
        if (auto it = by_family.find(actual_key); it != by_family.end()) {
            by_family.emplace(key, it->second);
            return it->second;
        }
        Face face;
        face.family = actual;
        face.em = static_cast<int>(otm.otmEMSquare);
        face.em_font = MakeFont(actual, -face.em);
        if (!face.em_font) return -1;
        old = SelectObject(dc, face.em_font);
        TEXTMETRICW tm{};
        GetTextMetricsW(dc, &tm);
        SelectObject(dc, old);
        face.metrics = {face.em, tm.tmAscent, tm.tmDescent, tm.tmExternalLeading};
        faces.push_back(std::move(face));
        const FaceId id = static_cast<FaceId>(faces.size() - 1);
        by_family.emplace(actual_key, id);
        by_family.emplace(key, id);
        return id;
    }

    // The glyph index of `c` in the face, nothing when the face lacks it.
    std::optional<WORD> Glyph(Face& f, char32_t c) {
        if (c > 0xFFFF || (c >= 0xD800 && c <= 0xDFFF)) return std::nullopt;
        const wchar_t ch = static_cast<wchar_t>(c);
        WORD index = 0xFFFF;
        HGDIOBJ old = SelectObject(dc, f.em_font);
        const DWORD r = GetGlyphIndicesW(dc, &ch, 1, &index, GGI_MARK_NONEXISTING_GLYPHS);
        SelectObject(dc, old);
        if (r == GDI_ERROR || index == 0xFFFF) return std::nullopt;
        return index;
    }

    HFONT Sized(Face& f, int height) {
        if (auto it = f.sized.find(height); it != f.sized.end()) return it->second;
        HFONT font = MakeFont(f.family, -height);
        if (font) f.sized.emplace(height, font);
        return font;
    }

    // Advance of a glyph in design units (0 when GDI cannot tell).
    int AdvanceUnits(Face& f, WORD glyph) {
        GLYPHMETRICS gm{};
        const MAT2 identity = Scale(1.0);
        HGDIOBJ old = SelectObject(dc, f.em_font);
        const DWORD r = GetGlyphOutlineW(dc, glyph, GGO_METRICS | GGO_GLYPH_INDEX, &gm, 0, nullptr, &identity);
        SelectObject(dc, old);
        return r == GDI_ERROR ? 0 : gm.gmCellIncX;
    }
};

Win32FontService::Win32FontService() : state_(std::make_unique<State>()) {
    state_->dc = CreateCompatibleDC(nullptr);
}

Win32FontService::~Win32FontService() = default;

FaceId Win32FontService::Resolve(std::string_view family) {
    std::lock_guard lock(state_->mutex);
    if (!state_->dc) return -1;
    FaceId id = state_->Open(Widen(family));
    // Without a usable substitute for the name, the system's default sans-serif face.
    if (id < 0) id = state_->Open(L"Microsoft Sans Serif");
    return id;
}

std::string Win32FontService::FamilyName(FaceId face) {
    std::lock_guard lock(state_->mutex);
    Face* f = state_->Get(face);
    return f ? Narrow(f->family) : std::string();
}

bool Win32FontService::HasGlyph(FaceId face, char32_t code_point) {
    std::lock_guard lock(state_->mutex);
    Face* f = state_->Get(face);
    return f && state_->Glyph(*f, code_point).has_value();
}

FaceId Win32FontService::FaceFor(FaceId preferred, char32_t code_point) {
    std::lock_guard lock(state_->mutex);
    Face* pf = state_->Get(preferred);
    if (!pf || state_->Glyph(*pf, code_point)) return preferred;
    const auto key = std::make_pair(preferred, code_point);
    if (auto it = state_->fallback.find(key); it != state_->fallback.end()) return it->second;

    state_->Enumerate();
    FaceId found = preferred;
    auto try_family = [&](const std::wstring& name) {
        const FaceId id = state_->Open(name);
        Face* f = state_->Get(id);
        if (f && state_->Glyph(*f, code_point)) {
            found = id;
            return true;
        }
        return false;
    };
    bool done = false;
    for (const wchar_t* name : FallbackFaces(code_point)) {
        if (state_->installed_lower.count(Lower(name)) && try_family(name)) {
            done = true;
            break;
        }
    }
    // Then any installed face that has it, in the system's order.
    for (size_t i = 0; !done && i < state_->installed.size(); ++i) done = try_family(state_->installed[i]);
    state_->fallback.emplace(key, found);
    return found;
}

FaceMetrics Win32FontService::Metrics(FaceId face) {
    std::lock_guard lock(state_->mutex);
    Face* f = state_->Get(face);
    return f ? f->metrics : FaceMetrics{};
}

GlyphBitmap Win32FontService::RenderGlyph(FaceId face, char32_t code_point, float pixel_em) {
    std::lock_guard lock(state_->mutex);
    GlyphBitmap out;
    Face* f = state_->Get(face);
    if (!f || !(pixel_em > 0) || pixel_em > 4096) return out;
    // A character the face lacks draws its missing-glyph box (glyph 0).
    const WORD glyph = state_->Glyph(*f, code_point).value_or(0);
    const int size64 = static_cast<int>(std::lround(pixel_em * 64));
    const auto key = std::make_tuple(face, glyph, size64);
    if (auto it = state_->glyphs.find(key); it != state_->glyphs.end()) return it->second;

    out.advance = static_cast<float>(state_->AdvanceUnits(*f, glyph)) * pixel_em / static_cast<float>(f->em);
    const int height = std::max(1, static_cast<int>(std::lround(pixel_em)));
    HFONT font = state_->Sized(*f, height);
    if (font) {
        const MAT2 mat = Scale(pixel_em / height);
        GLYPHMETRICS gm{};
        HGDIOBJ old = SelectObject(state_->dc, font);
        const UINT format = GGO_GRAY8_BITMAP | GGO_GLYPH_INDEX;
        const DWORD size = GetGlyphOutlineW(state_->dc, glyph, format, &gm, 0, nullptr, &mat);
        if (size != GDI_ERROR && size > 0) {
            std::vector<uint8_t> raw(size);
            if (GetGlyphOutlineW(state_->dc, glyph, format, &gm, size, raw.data(), &mat) != GDI_ERROR) {
                const int w = static_cast<int>(gm.gmBlackBoxX), h = static_cast<int>(gm.gmBlackBoxY);
                const size_t pitch = (static_cast<size_t>(w) + 3) & ~size_t{3};  // rows are DWORD-aligned
                if (w > 0 && h > 0 && pitch * h <= raw.size()) {
                    out.left = gm.gmptGlyphOrigin.x;
                    out.top = gm.gmptGlyphOrigin.y;
                    out.width = w;
                    out.height = h;
                    out.coverage.resize(static_cast<size_t>(w) * h);
                    // GDI's levels run 0..64.
                    for (int y = 0; y < h; ++y) {
                        for (int x = 0; x < w; ++x) {
                            const unsigned v = std::min<unsigned>(raw[y * pitch + x], 64);
                            out.coverage[static_cast<size_t>(y) * w + x] = static_cast<uint8_t>((v * 255 + 32) / 64);
                        }
                    }
                }
            }
        }
        SelectObject(state_->dc, old);
    }
    state_->glyphs.emplace(key, out);
    return out;
}

float Win32FontService::AddGlyphOutline(FaceId face, char32_t code_point, float pixel_em, float x, float y,
                                        gfx::Path& path) {
    std::lock_guard lock(state_->mutex);
    Face* f = state_->Get(face);
    if (!f || !(pixel_em > 0)) return 0;
    const WORD glyph = state_->Glyph(*f, code_point).value_or(0);
    const MAT2 identity = Scale(1.0);
    GLYPHMETRICS gm{};
    HGDIOBJ old = SelectObject(state_->dc, f->em_font);
    const UINT format = GGO_BEZIER | GGO_GLYPH_INDEX;
    const DWORD size = GetGlyphOutlineW(state_->dc, glyph, format, &gm, 0, nullptr, &identity);
    std::vector<uint8_t> raw;
    bool ok = size != GDI_ERROR;
    if (ok && size > 0) {
        // DWORD storage keeps the polygon headers aligned.
        raw.resize((size + 3) & ~DWORD{3});
        ok = GetGlyphOutlineW(state_->dc, glyph, format, &gm, size, raw.data(), &identity) != GDI_ERROR;
        raw.resize(size);
    }
    SelectObject(state_->dc, old);
    if (!ok) return 0;

    const double s = static_cast<double>(pixel_em) / f->em;
    auto px = [&](const POINTFX& p) { return static_cast<float>(x + FromFixed(p.x) * s); };
    auto py = [&](const POINTFX& p) { return static_cast<float>(y - FromFixed(p.y) * s); };
    // The buffer is a run of polygons: a header with the start point, then line and cubic records.
    size_t pos = 0;
    while (pos + sizeof(TTPOLYGONHEADER) <= raw.size()) {
        TTPOLYGONHEADER header;
        std::memcpy(&header, raw.data() + pos, sizeof header);
        if (header.cb < sizeof header || pos + header.cb > raw.size()) break;
        const size_t end = pos + header.cb;
        path.MoveTo(px(header.pfxStart), py(header.pfxStart));
        size_t at = pos + sizeof header;
        while (at + offsetof(TTPOLYCURVE, apfx) <= end) {
            WORD type = 0, count = 0;
            std::memcpy(&type, raw.data() + at, sizeof type);
            std::memcpy(&count, raw.data() + at + sizeof(WORD), sizeof count);
            const size_t points_at = at + offsetof(TTPOLYCURVE, apfx);
            if (points_at + static_cast<size_t>(count) * sizeof(POINTFX) > end) break;
            std::vector<POINTFX> pts(count);
            if (count) std::memcpy(pts.data(), raw.data() + points_at, count * sizeof(POINTFX));
            if (type == TT_PRIM_CSPLINE) {
                for (size_t i = 0; i + 2 < pts.size(); i += 3) {
                    path.CubicTo(px(pts[i]), py(pts[i]), px(pts[i + 1]), py(pts[i + 1]), px(pts[i + 2]), py(pts[i + 2]));
                }
            } else {
                for (const POINTFX& p : pts) path.LineTo(px(p), py(p));
            }
            at = points_at + static_cast<size_t>(count) * sizeof(POINTFX);
        }
        path.Close();
        pos = end;
    }
    return static_cast<float>(gm.gmCellIncX * s);
}

}  // namespace mivo::platform::win32
