// WIC pictures, GDI glyphs and DirectShow sound of the Windows backend.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "gfx/path.h"
#include "platform/win32/win32_codec.h"
#include "platform/win32/win32_fonts.h"
#include "platform/win32/win32_sound.h"

namespace mivo::platform::win32 {
namespace {

// Opaque, half-transparent and clear pixels in distinct colours.
gfx::Image Sample() {
    gfx::Image image(3, 2);
    image.Set(0, 0, gfx::Premultiply(0xFFFF0000));
    image.Set(1, 0, gfx::Premultiply(0xFF00FF00));
    image.Set(2, 0, gfx::Premultiply(0xFF0000FF));
    image.Set(0, 1, gfx::Premultiply(0x80FFFFFF));
    image.Set(1, 1, gfx::Premultiply(0x40204060));
    image.Set(2, 1, 0);
    return image;
}

int Channel(uint32_t p, int shift) { return static_cast<int>((p >> shift) & 0xFF); }

TEST(Win32Codec, PngRoundTripKeepsEveryPixel) {
    Win32ImageCodec codec;
    const gfx::Image image = Sample();
    const std::vector<uint8_t> png = codec.EncodePng(image);
    ASSERT_GT(png.size(), 8u);
    EXPECT_EQ(png[1], 'P');
    const gfx::Image back = codec.Decode(png);
    ASSERT_EQ(back.Width(), 3);
    ASSERT_EQ(back.Height(), 2);
    // Premultiplied -> straight -> premultiplied may move a channel by one.
    for (int y = 0; y < 2; ++y) {
        for (int x = 0; x < 3; ++x) {
            for (int shift : {0, 8, 16, 24}) {
                EXPECT_NEAR(Channel(back.At(x, y), shift), Channel(image.At(x, y), shift), 1)
                    << x << "," << y << " shift " << shift;
            }
        }
    }
}

TEST(Win32Codec, JpegIsOpaqueAndCloseToTheColoursOverBlack) {
    Win32ImageCodec codec;
    gfx::Image image(16, 16);
    for (gfx::Pixel& p : image.Pixels()) p = gfx::Premultiply(0xFF2080C0);
    image.Set(0, 0, gfx::Premultiply(0x00FFFFFF));  // clear: black in the picture
    const std::vector<uint8_t> jpeg = codec.EncodeJpeg(image, 95);
    ASSERT_GT(jpeg.size(), 3u);
    EXPECT_EQ(jpeg[0], 0xFF);
    EXPECT_EQ(jpeg[1], 0xD8);
    const gfx::Image back = codec.Decode(jpeg);
    ASSERT_EQ(back.Width(), 16);
    const gfx::Pixel mid = back.At(8, 8);
    EXPECT_EQ(mid >> 24, 0xFFu);
    EXPECT_NEAR(Channel(mid, 16), 0x20, 8);
    EXPECT_NEAR(Channel(mid, 8), 0x80, 8);
    EXPECT_NEAR(Channel(mid, 0), 0xC0, 8);
}

TEST(Win32Codec, RefusesWhatIsNoPngOrJpeg) {
    Win32ImageCodec codec;
    const std::vector<std::vector<uint8_t>> cases = {
        {},
        {'B', 'M', 0, 0, 0, 0},                                       // a bitmap file header
        {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n', 0, 0, 0, 13},  // a PNG cut after its signature
        {0xFF, 0xD8, 0xFF, 0xE0, 0, 16},                              // a JPEG cut in its first segment
    };
    for (const auto& bytes : cases) EXPECT_TRUE(codec.Decode(bytes).IsNull()) << bytes.size() << " bytes";
    EXPECT_TRUE(codec.EncodePng(gfx::Image()).empty());
    EXPECT_TRUE(codec.EncodeJpeg(gfx::Image(), 90).empty());
}

TEST(Win32Codec, DecodesTheGeneratedSkinSheets) {
    const std::filesystem::path uipic = std::filesystem::path(MIVO_RUNTIME_DIR) / "UIPIC";
    const std::filesystem::path png = uipic / "MainWindow_normal.png";
    const std::filesystem::path jpg = uipic / "Assignment" / "Button_Assignment_1.jpg";
    if (!std::filesystem::exists(png) || !std::filesystem::exists(jpg)) GTEST_SKIP() << "no generated pictures";
    Win32ImageCodec codec;
    for (const auto& file : {png, jpg}) {
        std::ifstream in(file, std::ios::binary);
        const std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        const gfx::Image image = codec.Decode(bytes);
        EXPECT_FALSE(image.IsNull()) << file.string();
    }
}

class Win32Fonts : public ::testing::Test {
protected:
    Win32FontService fonts;
};

TEST_F(Win32Fonts, ResolvesInstalledFamiliesAndSubstitutesMissingOnes) {
    const FaceId tahoma = fonts.Resolve("Tahoma");
    ASSERT_GE(tahoma, 0);
    EXPECT_EQ(fonts.FamilyName(tahoma), "Tahoma");
    EXPECT_EQ(fonts.Resolve("tahoma"), tahoma);

    const FaceId missing = fonts.Resolve("No Such Family 1234");
    ASSERT_GE(missing, 0);
    EXPECT_NE(fonts.FamilyName(missing), "No Such Family 1234");

    const FaceMetrics m = fonts.Metrics(tahoma);
    EXPECT_GT(m.units_per_em, 0);
    EXPECT_GT(m.ascent, m.units_per_em / 2);
    EXPECT_GT(m.descent, 0);
    EXPECT_LT(m.ascent + m.descent, m.units_per_em * 2);
}

TEST_F(Win32Fonts, RendersCoverageAndBlankGlyphs) {
    const FaceId face = fonts.Resolve("Tahoma");
    ASSERT_GE(face, 0);
    ASSERT_TRUE(fonts.HasGlyph(face, U'A'));
    const GlyphBitmap a = fonts.RenderGlyph(face, U'A', 20.0f);
    ASSERT_GT(a.width, 0);
    ASSERT_GT(a.height, 8);
    EXPECT_EQ(a.coverage.size(), static_cast<size_t>(a.width) * a.height);
    EXPECT_GT(a.top, 8);  // a capital stands well above the baseline
    EXPECT_GT(a.advance, 8.0f);
    uint8_t darkest = 0;
    for (uint8_t c : a.coverage) darkest = std::max(darkest, c);
    EXPECT_EQ(darkest, 255);

    const GlyphBitmap space = fonts.RenderGlyph(face, U' ', 20.0f);
    EXPECT_TRUE(space.coverage.empty());
    EXPECT_GT(space.advance, 0.0f);

    // Twice the size: twice the advance (it comes from design units, not rounded pixels).
    const GlyphBitmap big = fonts.RenderGlyph(face, U'A', 40.0f);
    EXPECT_NEAR(big.advance, 2 * a.advance, 0.01f);
}

TEST_F(Win32Fonts, OutlinesAreClosedFiguresOnTheBaseline) {
    const FaceId face = fonts.Resolve("Tahoma");
    ASSERT_GE(face, 0);
    gfx::Path path;
    const float advance = fonts.AddGlyphOutline(face, U'O', 100.0f, 10.0f, 200.0f, path);
    EXPECT_NEAR(advance, fonts.RenderGlyph(face, U'O', 100.0f).advance, 0.01f);
    ASSERT_FALSE(path.IsEmpty());
    int figures = 0;
    for (auto verb : path.Verbs()) figures += verb == gfx::Path::Verb::Close;
    EXPECT_EQ(figures, 2);  // outer and inner ring of the O
    for (const gfx::PointF& p : path.Points()) {
        EXPECT_GE(p.x, 10.0f - 1);
        EXPECT_LE(p.x, 10.0f + advance + 1);
        EXPECT_LE(p.y, 200.0f + 5);   // barely below the baseline (overshoot)
        EXPECT_GE(p.y, 200.0f - 100);  // within the em above it
    }
    gfx::Path blank;
    EXPECT_GT(fonts.AddGlyphOutline(face, U' ', 100.0f, 0, 0, blank), 0.0f);
    EXPECT_TRUE(blank.IsEmpty());
}

TEST_F(Win32Fonts, FallbackFindsAFaceForEachScriptOfTheLanguageMenu) {
    const FaceId latin = fonts.Resolve("Tahoma");
    ASSERT_GE(latin, 0);
    EXPECT_EQ(fonts.FaceFor(latin, U'A'), latin);
    // Chinese, Japanese kana, Korean and Thai letters of the menu.
    for (char32_t c : {U'\u7C73', U'\u30AB', U'\uD55C', U'\u0E44'}) {
        const FaceId face = fonts.FaceFor(latin, c);
        ASSERT_GE(face, 0);
        EXPECT_TRUE(fonts.HasGlyph(face, c)) << std::hex << static_cast<uint32_t>(c) << " in "
                                             << fonts.FamilyName(face);
    }
}

TEST(Win32Sound, AFileThatCannotBeRenderedIsReported) {
    Win32SoundService sound;
    EXPECT_FALSE(sound.Play(std::filesystem::temp_directory_path() / "mivo-no-such-sound.wav"));
    sound.Stop();  // nothing plays: harmless
}

}  // namespace
}  // namespace mivo::platform::win32
