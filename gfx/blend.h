// Pixel operations shared by the canvas and the text renderer: source-over on premultiplied ARGB32.
#pragma once
#include <cstdint>

#include "gfx/image.h"

namespace mivo::gfx::detail {

// Each 8-bit channel of the two packed pairs (0x00XX00XX) times `a`, divided by 255 rounded.
inline uint32_t MulPairs(uint32_t pairs, uint32_t a) {
    uint32_t t = pairs * a + 0x00800080u;
    return ((t + ((t >> 8) & 0x00FF00FFu)) >> 8) & 0x00FF00FFu;
}

// Every channel of a premultiplied pixel times a / 255 (rounded).
inline Pixel Scale(Pixel p, uint32_t a) {
    return MulPairs(p & 0x00FF00FFu, a) | (MulPairs((p >> 8) & 0x00FF00FFu, a) << 8);
}

// Source over destination, both premultiplied. A valid premultiplied source (no channel above its
// alpha) never carries into the next channel.
inline Pixel Over(Pixel s, Pixel d) {
    uint32_t sa = s >> 24;
    if (sa == 255) return s;
    if (sa == 0) return d;
    return s + Scale(d, 255 - sa);
}

// Blends a row of `n` source pixels over `n` destination pixels.
void BlendRow(Pixel* dst, const Pixel* src, int n);
// Blends one premultiplied colour over `n` destination pixels.
void BlendSolid(Pixel* dst, Pixel colour, int n);

}  // namespace mivo::gfx::detail
