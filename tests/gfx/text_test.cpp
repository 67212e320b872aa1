// Text: measuring, label placement and clipping, outlines, and glyph fallback for scripts the
// named faces lack.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "gfx/text.h"
#include "gfx/utf8.h"
#include "graphics_env.h"
#include "platform/fonts.h"

using namespace mivo;
using namespace mivo::gfx;

namespace {

constexpr Pixel kBlack = 0xFF000000u;

class TextTest : public ::testing::Test {
protected:
    test::GraphicsServices services;
    platform::FontService& fonts = *platform::Current().fonts;
};

Image Filled(int w, int h, Pixel p) { return Image(w, h, std::vector<Pixel>(static_cast<size_t>(w) * h, p)); }

int InkCount(const Image& img, Pixel bg) {
    return static_cast<int>(std::count_if(img.Pixels().begin(), img.Pixels().end(), [bg](Pixel p) { return p != bg; }));
}

// The path's points, with the smallest y.
float MinY(const Path& p) {
    float m = 1e9f;
    for (const PointF& q : p.Points()) m = std::min(m, q.y);
    return m;
}

}  // namespace

TEST_F(TextTest, FamiliesResolveOrFallBackToSansSerif) {
    const platform::FaceId sans = fonts.Resolve("sans-serif");
    ASSERT_GE(sans, 0);
    EXPECT_EQ(fonts.FamilyName(fonts.Resolve("Tahoma")), "Tahoma");
    // Not installed anywhere: the sans-serif substitute.
    EXPECT_EQ(fonts.Resolve("Eurostile LT CE"), sans);
    EXPECT_EQ(fonts.Resolve("No Such Family 42"), sans);
    // Installed through its metric-compatible stand-in, which is a serif face, not the substitute.
    EXPECT_NE(fonts.Resolve("Times New Roman"), sans);
}

TEST_F(TextTest, MeasureTextCountsATrailingSpaceAsUnderscore) {
    const FontSpec tahoma{"Tahoma", 8.0f};
    const Size a = MeasureText("A", &tahoma, {});
    const Size a_space = MeasureText("A ", &tahoma, {});
    EXPECT_GT(a.cx, 0);
    EXPECT_GT(a.cy, 0);
    EXPECT_EQ(a_space, MeasureText("A_", &tahoma, {}));
    EXPECT_GT(a_space.cx, a.cx);
    // A space inside the text is measured as a space (narrower than an underscore here).
    EXPECT_LT(MeasureText("A B", &tahoma, {}).cx, MeasureText("A_B", &tahoma, {}).cx);
    EXPECT_EQ(MeasureText("A", nullptr, {}), (Size{0, 0}));
    EXPECT_EQ(MeasureText("", &tahoma, {}), (Size{0, 0}));
}

TEST_F(TextTest, LabelLandsAtItsOffsetsAndIsClippedToTheRectangle) {
    const std::string text = "Hg 8";
    const Size ext = LabelTextExtent(text, "Tahoma", 15);
    ASSERT_GT(ext.cx, 10);
    ASSERT_EQ(ext.cy, 15);

    // The same text rendered at (0, 0) of a large patch: the reference ink.
    Image ref_bg = Filled(120, 40, kBlack);
    Canvas ref_dc(ref_bg);
    ImagePtr ref = RenderText(ref_dc, text, "Tahoma", 15, 0x00FFFFFFu, {0, 0, 120, 40});
    ASSERT_TRUE(ref);
    ASSERT_GT(InkCount(*ref, kBlack), 20);

    struct Case {
        bool h_centre, v_centre;
        Rect rect;
    };
    const Case cases[] = {
        {false, false, {10, 5, 110, 45}},
        {true, true, {10, 5, 110, 45}},
        {true, true, {20, 10, 20 + ext.cx + 9, 10 + ext.cy - 1}},  // h - cy = -1: y = 2 + 0
        {false, true, {20, 10, 90, 10 + ext.cy - 3}},               // h - cy = -3: y = 2 - 1
        {false, false, {30, 20, 30 + ext.cx / 2, 36}},              // cut at the right edge
    };
    for (const Case& c : cases) {
        Image target = Filled(160, 60, kBlack);
        target.Set(0, 0, 0xFF00FF00u);  // outside every rectangle: must stay
        Canvas dc(target);
        DrawLabelText(dc, text, 15, 0x00FFFFFFu, c.h_centre, c.v_centre, c.rect);
        const int w = c.rect.Width(), h = c.rect.Height();
        const int x = c.h_centre ? (w - ext.cx) / 2 + 4 : 4;
        const int y = c.v_centre ? (h - ext.cy) / 2 + 2 : 2;
        int mismatches = 0;
        for (int py = 0; py < 60; ++py)
            for (int px = 0; px < 160; ++px) {
                Pixel want = px == 0 && py == 0 ? 0xFF00FF00u : kBlack;
                const int rx = px - c.rect.left - x, ry = py - c.rect.top - y;
                if (c.rect.Contains(px, py) && rx >= 0 && ry >= 0 && rx < ref->Width() && ry < ref->Height())
                    want = ref->At(rx, ry);
                mismatches += target.At(px, py) != want;
            }
        EXPECT_EQ(mismatches, 0) << "rect " << c.rect.left << "," << c.rect.top << " centre " << c.h_centre
                                 << c.v_centre;
    }
}

TEST_F(TextTest, StaticTextKeepsTheBackgroundAndIsNotWrapped) {
    Image bg = Filled(100, 30, 0xFF204080u);
    Canvas dc(bg);
    const Rect rect{5, 5, 45, 18};
    ImagePtr img = RenderStaticText(dc, "MMMMMMMMMMMMMMMM", 13, rect);
    ASSERT_TRUE(img);
    ASSERT_EQ(img->Width(), 40);
    ASSERT_EQ(img->Height(), 13);
    // White text on the copied background: bright ink, and ink up to the right edge (the text
    // goes on past it).
    int bright = 0, right_column_ink = 0;
    for (int y = 0; y < 13; ++y)
        for (int x = 0; x < 40; ++x) {
            Pixel p = img->At(x, y);
            EXPECT_EQ(p >> 24, 0xFFu);
            bright += ((p >> 16) & 0xFF) >= 0xC0 && ((p >> 8) & 0xFF) >= 0xC0 && (p & 0xFF) >= 0xC0;
            if (x >= 36) right_column_ink += p != 0xFF204080u;
        }
    EXPECT_GT(bright, 10);
    EXPECT_GT(right_column_ink, 0);
    EXPECT_EQ(InkCount(bg, 0xFF204080u), 0);  // the canvas itself is untouched
    EXPECT_EQ(RenderStaticText(dc, "x", 13, {5, 5, 5, 9}), nullptr);  // empty rectangle
}

TEST_F(TextTest, ForeignScriptsRenderWithRealGlyphsNotBoxes) {
    const platform::FaceId tahoma = fonts.Resolve("Tahoma");
    ASSERT_GE(tahoma, 0);
    const std::u32string chars = U"中文设置ภาษาไทย한국어日本語";
    for (char32_t cp : chars) {
        platform::FaceId face = fonts.FaceFor(tahoma, cp);
        EXPECT_TRUE(fonts.HasGlyph(face, cp)) << std::hex << static_cast<uint32_t>(cp);
    }

    // Each character alone on a black patch; a code point no face has shows the missing-glyph box.
    auto render = [](std::string_view s) {
        Image bg = Filled(40, 24, kBlack);
        Canvas dc(bg);
        return *RenderText(dc, s, "Tahoma", 20, 0x00FFFFFFu, {0, 0, 40, 24});
    };
    const Image box = render("\xF4\x8F\xBF\xBD");  // U+10FFFD, private use
    const std::string samples[] = {"中", "文", "ภ", "ษ", "한"};
    std::vector<Image> seen;
    for (const std::string& s : samples) {
        Image img = render(s);
        EXPECT_GT(InkCount(img, kBlack), 10) << s;
        EXPECT_NE(img, box) << s;
        for (const Image& other : seen) EXPECT_NE(img, other) << s;
        seen.push_back(std::move(img));
    }
}

TEST_F(TextTest, TextPathPlacement) {
    const FontSpec times{"Times New Roman", 12.0f};
    const int cy = MeasureText("Mode", &times, {}).cy;
    ASSERT_GT(cy, 10);

    Path low, other_low, tall;
    AddTextPath(low, "Mode", 12.0f, true, {10, 40, 150, 40 + cy - 4});        // lower than the text
    AddTextPath(other_low, "Mode", 12.0f, true, {10, 60, 150, 60 + cy});      // exactly as high
    AddTextPath(tall, "Mode", 12.0f, true, {10, 40, 150, 40 + cy + 20});
    ASSERT_FALSE(low.IsEmpty());
    // Lower or equal: y = top + 2, so the outlines differ only by the tops.
    EXPECT_FLOAT_EQ(MinY(other_low) - MinY(low), 20.0f);
    // Taller: moved down by half the spare height.
    EXPECT_FLOAT_EQ(MinY(tall) - MinY(low), 10.0f);

    // Centred text sits in the middle of the rectangle; near-aligned text starts at its left.
    Path left;
    AddTextPath(left, "Mode", 12.0f, false, {10, 40, 150, 60});
    float lmin = 1e9f, cmin = 1e9f, cmax = -1e9f;
    for (const PointF& p : left.Points()) lmin = std::min(lmin, p.x);
    for (const PointF& p : tall.Points()) cmin = std::min(cmin, p.x), cmax = std::max(cmax, p.x);
    EXPECT_GE(lmin, 10.0f);
    EXPECT_LT(lmin, 16.0f);
    EXPECT_NEAR((cmin + cmax) / 2, 80.0f, 3.0f);
}

TEST(Utf8, DecodesAndReplacesMalformedSequences) {
    struct Case {
        std::string in;
        std::u32string out;
    };
    const Case cases[] = {
        {"Az", U"Az"},
        {"\xC3\xA9\xE4\xB8\xAD\xF0\x9F\x98\x80", U"é中😀"},
        {"a\x80" "b", U"a\uFFFDb"},              // stray continuation byte
        {"\xE4\xB8", U"\uFFFD"},                   // cut short at the end
        {"\xE4" "A", U"\uFFFDA"},                  // cut short before an ASCII letter, which survives
        {"\xC0\xAF", U"\uFFFD"},                   // overlong '/'
        {"\xED\xA0\x80", U"\uFFFD"},               // UTF-16 surrogate
        {"\xF4\x90\x80\x80", U"\uFFFD"},           // above U+10FFFF
        {"\xFF", U"\uFFFD"},
    };
    for (const Case& c : cases) EXPECT_EQ(DecodeUtf8(c.in), c.out) << c.in;
}
