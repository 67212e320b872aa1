// Canvas: image blits (exact and bilinear), rectangle fills and outlines, path fill and stroke.
#include "gfx/canvas.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "gfx/blend.h"
#include "gfx/raster.h"

// The blend loops use SSE2 where the target has it (every x86-64); elsewhere plain C++.
#if defined(__SSE2__) || defined(_M_X64)
#define MIVO_GFX_SSE2 1
#include <emmintrin.h>
#else
#define MIVO_GFX_SSE2 0
#endif

namespace mivo::gfx {

namespace detail {

#if MIVO_GFX_SSE2
namespace {

// dst * (255 - alpha of src) / 255 (rounded) + src for four pixels, 16 bits per channel.
inline __m128i OverFour(__m128i s, __m128i d) {
    const __m128i zero = _mm_setzero_si128();
    const __m128i c80 = _mm_set1_epi16(0x80), c101 = _mm_set1_epi16(0x0101), cff = _mm_set1_epi16(0xFF);
    __m128i slo = _mm_unpacklo_epi8(s, zero), shi = _mm_unpackhi_epi8(s, zero);
    __m128i ialo = _mm_xor_si128(_mm_shufflehi_epi16(_mm_shufflelo_epi16(slo, 0xFF), 0xFF), cff);
    __m128i iahi = _mm_xor_si128(_mm_shufflehi_epi16(_mm_shufflelo_epi16(shi, 0xFF), 0xFF), cff);
    __m128i dlo = _mm_mulhi_epu16(_mm_add_epi16(_mm_mullo_epi16(_mm_unpacklo_epi8(d, zero), ialo), c80), c101);
    __m128i dhi = _mm_mulhi_epu16(_mm_add_epi16(_mm_mullo_epi16(_mm_unpackhi_epi8(d, zero), iahi), c80), c101);
    return _mm_adds_epu8(_mm_packus_epi16(dlo, dhi), s);
}

}  // namespace

void BlendRow(Pixel* dst, const Pixel* src, int n) {
    const __m128i alpha = _mm_set1_epi32(static_cast<int>(0xFF000000u));
    const __m128i zero = _mm_setzero_si128();
    int i = 0;
    for (; i + 4 <= n; i += 4) {
        const __m128i s = _mm_loadu_si128(reinterpret_cast<const __m128i*>(src + i));
        // Four opaque pixels are copied, four transparent ones skipped: most of a window is one or
        // the other.
        if (_mm_movemask_epi8(_mm_cmpeq_epi32(_mm_and_si128(s, alpha), alpha)) == 0xFFFF) {
            _mm_storeu_si128(reinterpret_cast<__m128i*>(dst + i), s);
            continue;
        }
        if (_mm_movemask_epi8(_mm_cmpeq_epi32(s, zero)) == 0xFFFF) continue;
        __m128i* d = reinterpret_cast<__m128i*>(dst + i);
        _mm_storeu_si128(d, OverFour(s, _mm_loadu_si128(d)));
    }
    for (; i < n; ++i) dst[i] = Over(src[i], dst[i]);
}

void BlendSolid(Pixel* dst, Pixel colour, int n) {
    uint32_t a = colour >> 24;
    if (a == 255) {
        std::fill(dst, dst + n, colour);
        return;
    }
    if (a == 0) return;
    const __m128i s = _mm_set1_epi32(static_cast<int>(colour));
    int i = 0;
    for (; i + 4 <= n; i += 4) {
        __m128i* d = reinterpret_cast<__m128i*>(dst + i);
        _mm_storeu_si128(d, OverFour(s, _mm_loadu_si128(d)));
    }
    for (; i < n; ++i) dst[i] = colour + Scale(dst[i], 255 - a);
}
#else
void BlendRow(Pixel* dst, const Pixel* src, int n) {
    for (int i = 0; i < n; ++i) dst[i] = Over(src[i], dst[i]);
}

void BlendSolid(Pixel* dst, Pixel colour, int n) {
    uint32_t a = colour >> 24;
    if (a == 255) {
        std::fill(dst, dst + n, colour);
        return;
    }
    if (a == 0) return;
    for (int i = 0; i < n; ++i) dst[i] = colour + Scale(dst[i], 255 - a);
}
#endif

}  // namespace detail

namespace {

using detail::Over;
using detail::Scale;

Rect Intersect(const Rect& a, const Rect& b) {
    return {std::max(a.left, b.left), std::max(a.top, b.top), std::min(a.right, b.right),
            std::min(a.bottom, b.bottom)};
}

// Bilinear sample positions along one axis in 16.16 fixed point: for each destination index the
// left/top source index and the 8-bit weight of the next one. Centres map onto centres; outside
// the source the edge pixels are repeated.
struct Taps {
    std::vector<int> i0, i1;
    std::vector<uint32_t> w;
};

Taps MakeTaps(int src_len, int dst_len, int first, int count) {
    Taps t;
    t.i0.resize(count);
    t.i1.resize(count);
    t.w.resize(count);
    const int64_t step = (static_cast<int64_t>(src_len) << 16) / dst_len;
    for (int k = 0; k < count; ++k) {
        int64_t pos = (static_cast<int64_t>(first + k) * 2 + 1) * step / 2 - (1 << 15);
        if (pos < 0) pos = 0;
        int64_t maxpos = static_cast<int64_t>(src_len - 1) << 16;
        if (pos > maxpos) pos = maxpos;
        int i = static_cast<int>(pos >> 16);
        t.i0[k] = i;
        t.i1[k] = std::min(i + 1, src_len - 1);
        t.w[k] = static_cast<uint32_t>((pos & 0xFFFF) >> 8);
    }
    return t;
}

// Weighted mix of two premultiplied pixels, w in 0..256 is the weight of b.
inline Pixel Lerp(Pixel a, Pixel b, uint32_t w) {
    uint32_t iw = 256 - w;
    uint32_t rb = ((a & 0x00FF00FFu) * iw + (b & 0x00FF00FFu) * w) >> 8;
    uint32_t ag = ((a >> 8) & 0x00FF00FFu) * iw + ((b >> 8) & 0x00FF00FFu) * w;
    return (rb & 0x00FF00FFu) | (ag & 0xFF00FF00u);
}

void BlendMask(Image& target, const detail::Mask& mask, uint32_t argb) {
    if (mask.coverage.empty()) return;
    Pixel colour = Premultiply(argb);
    const Rect& b = mask.bounds;
    for (int y = b.top; y < b.bottom; ++y) {
        Pixel* row = target.Row(y);
        const uint8_t* cov = mask.coverage.data() + static_cast<size_t>(y - b.top) * b.Width();
        for (int x = b.left; x < b.right; ++x) {
            uint32_t c = cov[x - b.left];
            if (c == 0) continue;
            row[x] = Over(c == 255 ? colour : Scale(colour, c), row[x]);
        }
    }
}

}  // namespace

void Canvas::DrawImage(const Image* image, const Rect& dst) {
    if (!image || image->IsNull() || dst.IsEmpty() || target_.IsNull()) return;
    const Rect clip = Intersect(dst, target_.Bounds());
    if (clip.IsEmpty()) return;
    const int sw = image->Width(), sh = image->Height();
    if (dst.Width() == sw && dst.Height() == sh) {
        for (int y = clip.top; y < clip.bottom; ++y)
            detail::BlendRow(target_.Row(y) + clip.left, image->Row(y - dst.top) + (clip.left - dst.left),
                             clip.Width());
        return;
    }
    const Taps tx = MakeTaps(sw, dst.Width(), clip.left - dst.left, clip.Width());
    const Taps ty = MakeTaps(sh, dst.Height(), clip.top - dst.top, clip.Height());
    std::vector<Pixel> line(clip.Width());
    for (int k = 0; k < clip.Height(); ++k) {
        const Pixel* r0 = image->Row(ty.i0[k]);
        const Pixel* r1 = image->Row(ty.i1[k]);
        const uint32_t wy = ty.w[k];
        for (int j = 0; j < clip.Width(); ++j) {
            Pixel top = Lerp(r0[tx.i0[j]], r0[tx.i1[j]], tx.w[j]);
            Pixel bottom = Lerp(r1[tx.i0[j]], r1[tx.i1[j]], tx.w[j]);
            line[j] = Lerp(top, bottom, wy);
        }
        detail::BlendRow(target_.Row(clip.top + k) + clip.left, line.data(), clip.Width());
    }
}

void Canvas::DrawImage(const Image* image, int x, int y) {
    if (!image || image->IsNull()) return;
    DrawImage(image, Rect{x, y, x + image->Width(), y + image->Height()});
}

void Canvas::CopyImage(const Image& image, int x, int y) {
    if (image.IsNull() || target_.IsNull()) return;
    const Rect dst{x, y, x + image.Width(), y + image.Height()};
    const Rect clip = Intersect(dst, target_.Bounds());
    if (clip.IsEmpty()) return;
    for (int row = clip.top; row < clip.bottom; ++row)
        std::memcpy(target_.Row(row) + clip.left, image.Row(row - y) + (clip.left - x),
                    sizeof(Pixel) * static_cast<size_t>(clip.Width()));
}

void Canvas::FillRect(const Rect& r, uint32_t argb) {
    const Rect clip = Intersect(r, target_.Bounds());
    if (clip.IsEmpty()) return;
    const Pixel colour = Premultiply(argb);
    for (int y = clip.top; y < clip.bottom; ++y) detail::BlendSolid(target_.Row(y) + clip.left, colour, clip.Width());
}

void Canvas::StrokeRect(const Rect& r, uint32_t argb) {
    // The pen's centre runs along the edges at left, right, top and bottom, so it covers columns
    // left..right and rows top..bottom inclusive: (width + 1) x (height + 1) pixels.
    if (r.right < r.left || r.bottom < r.top) return;
    FillRect({r.left, r.top, r.right + 1, r.top + 1}, argb);
    if (r.bottom > r.top) FillRect({r.left, r.bottom, r.right + 1, r.bottom + 1}, argb);
    FillRect({r.left, r.top + 1, r.left + 1, r.bottom}, argb);
    if (r.right > r.left) FillRect({r.right, r.top + 1, r.right + 1, r.bottom}, argb);
}

void Canvas::FillPath(const Path& path, uint32_t argb) {
    if (path.IsEmpty() || target_.IsNull()) return;
    BlendMask(target_, detail::Rasterize(detail::Flatten(path), path.Rule(), target_.Bounds()), argb);
}

void Canvas::StrokePath(const Path& path, uint32_t argb, float width) {
    if (path.IsEmpty() || target_.IsNull()) return;
    auto outline = detail::StrokeOutline(detail::Flatten(path), width);
    BlendMask(target_, detail::Rasterize(outline, FillRule::NonZero, target_.Bounds()), argb);
}

void Canvas::FillMask(const uint8_t* coverage, int width, int height, int stride, int x, int y, uint32_t argb,
                      const Rect& clip) {
    if (!coverage || width <= 0 || height <= 0 || target_.IsNull()) return;
    const Rect area = Intersect(Intersect({x, y, x + width, y + height}, target_.Bounds()), clip);
    if (area.IsEmpty()) return;
    const Pixel colour = Premultiply(argb);
    for (int row = area.top; row < area.bottom; ++row) {
        Pixel* d = target_.Row(row);
        const uint8_t* c = coverage + static_cast<size_t>(row - y) * stride;
        for (int col = area.left; col < area.right; ++col) {
            uint32_t cv = c[col - x];
            if (cv == 0) continue;
            d[col] = Over(cv == 255 ? colour : Scale(colour, cv), d[col]);
        }
    }
}

}  // namespace mivo::gfx
