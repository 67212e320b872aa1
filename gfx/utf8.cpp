// UTF-8 decoding for text layout: overlong forms, surrogates, out-of-range values and truncated
// sequences each give one U+FFFD.
#include "gfx/utf8.h"

namespace mivo::gfx {

std::u32string DecodeUtf8(std::string_view text) {
    std::u32string out;
    out.reserve(text.size());
    size_t i = 0;
    while (i < text.size()) {
        const auto b0 = static_cast<unsigned char>(text[i]);
        if (b0 < 0x80) {
            out.push_back(b0);
            ++i;
            continue;
        }
        int len = b0 >= 0xF0 ? 4 : b0 >= 0xE0 ? 3 : b0 >= 0xC0 ? 2 : 0;
        char32_t cp = len == 4 ? b0 & 0x07 : len == 3 ? b0 & 0x0F : b0 & 0x1F;
        bool ok = len > 0 && b0 < 0xF8;
        int used = 1;
        for (int k = 1; ok && k < len; ++k) {
            if (i + k >= text.size()) { ok = false; break; }
            const auto b = static_cast<unsigned char>(text[i + k]);
            if ((b & 0xC0) != 0x80) { ok = false; break; }
            cp = cp << 6 | (b & 0x3F);
            ++used;
        }
        static const char32_t kMin[5] = {0, 0, 0x80, 0x800, 0x10000};
        if (ok && (cp < kMin[len] || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF))) ok = false;
        out.push_back(ok ? cp : U'\uFFFD');
        i += ok ? len : used;
    }
    return out;
}

}  // namespace mivo::gfx
