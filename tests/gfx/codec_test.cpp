// PNG and JPEG through the codec service: round trips, alpha, refusal of non-pictures.
#include <gtest/gtest.h>

#include <string>

#include "gfx/image_io.h"
#include "graphics_env.h"

using namespace mivo;
using gfx::Image;
using gfx::Pixel;

namespace {

class CodecTest : public ::testing::Test {
protected:
    test::GraphicsServices services;
    platform::ImageCodec& codec = *platform::Current().codec;
};

}  // namespace

TEST_F(CodecTest, PngRoundTripKeepsPremultipliedPixelsAndAlpha) {
    // Opaque, transparent and half-transparent pixels; premultiplied values that survive the
    // straight-alpha file exactly.
    Image img(3, 2, {0xFF102030u, 0x00000000u, 0x80400000u, 0x40202020u, 0xFFFFFFFFu, 0x01010101u});
    auto bytes = codec.EncodePng(img);
    ASSERT_FALSE(bytes.empty());
    Image back = codec.Decode(bytes);
    EXPECT_EQ(back, img);
}

TEST_F(CodecTest, JpegDecodesToOpaqueImageOfTheRightSize) {
    Image img(16, 8);
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 16; ++x) img.Set(x, y, x < 8 ? 0xFFFF0000u : 0xFF0000FFu);
    auto bytes = codec.EncodeJpeg(img, 95);
    ASSERT_GT(bytes.size(), 3u);
    EXPECT_EQ(bytes[0], 0xFF);
    Image back = codec.Decode(bytes);
    ASSERT_EQ(back.Width(), 16);
    ASSERT_EQ(back.Height(), 8);
    // Lossy: colours close to the source, every pixel opaque.
    Pixel left = back.At(2, 4), right = back.At(13, 4);
    EXPECT_EQ(left >> 24, 0xFFu);
    EXPECT_GT((left >> 16) & 0xFF, 0xE0u);
    EXPECT_LT(left & 0xFF, 0x30u);
    EXPECT_GT(right & 0xFF, 0xE0u);
    EXPECT_LT((right >> 16) & 0xFF, 0x30u);
}

TEST_F(CodecTest, RefusesWhatIsNoPicture) {
    const std::string text = "just some text, not a picture";
    EXPECT_TRUE(codec.Decode({reinterpret_cast<const uint8_t*>(text.data()), text.size()}).IsNull());
    EXPECT_TRUE(codec.Decode({}).IsNull());
    // A PNG cut short after its header and a JPEG with only its start marker.
    auto png = codec.EncodePng(Image(4, 4, std::vector<Pixel>(16, 0xFF00FF00u)));
    ASSERT_GT(png.size(), 40u);
    EXPECT_TRUE(codec.Decode(std::span(png).first(40)).IsNull());
    const uint8_t jpeg_start[] = {0xFF, 0xD8, 0xFF, 0xE0, 0x00};
    EXPECT_TRUE(codec.Decode(jpeg_start).IsNull());
    EXPECT_TRUE(codec.EncodePng(Image()).empty());
}

TEST_F(CodecTest, FilesThroughTheCoreHelpers) {
    test::TempFolder temp;
    const auto& dir = temp.path();
    Image img(2, 2, {0xFF000000u, 0xFF0000FFu, 0x80000080u, 0u});
    ASSERT_TRUE(gfx::SavePng(img, dir / "a.png"));
    EXPECT_EQ(gfx::LoadPng(dir / "a.png"), img);
    EXPECT_TRUE(gfx::LoadPng(dir / "missing.png").IsNull());
    EXPECT_FALSE(gfx::SavePng(img, dir / "no_such_folder" / "a.png"));
}

TEST(CodecWithoutService, NothingDecodes) {
    platform::Services none;
    platform::ScopedServices scope(none);
    const uint8_t bytes[] = {0x89, 'P', 'N', 'G'};
    EXPECT_TRUE(gfx::DecodeImage(bytes).IsNull());
    EXPECT_FALSE(gfx::SavePng(Image(1, 1), "/tmp/never_written.png"));
}

// Files in the other PNG colour types, made by hand in tests/fixtures/png: each decodes to the
// premultiplied pixels it describes.
TEST_F(CodecTest, PngColourTypesDecodeToPremultipliedArgb) {
    struct Case {
        const char* file;
        std::vector<Pixel> expected;
    };
    const Case cases[] = {
        {"gray8.png", {0xFF000000u, 0xFFFFFFFFu}},
        {"palette_trns.png", {0xFFFF0000u, 0x80000080u}},
        {"rgba16.png", {0x80008000u}},
        {"gray_alpha.png", {0x00000000u, 0xFF808080u}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.file);
        Image img = gfx::DecodeImage(gfx::ReadFileBytes(std::string(MIVO_TEST_FIXTURES) + "/png/" + c.file));
        ASSERT_EQ(img.Width(), static_cast<int>(c.expected.size()));
        ASSERT_EQ(img.Height(), 1);
        for (size_t i = 0; i < c.expected.size(); ++i) EXPECT_EQ(img.At(static_cast<int>(i), 0), c.expected[i]) << i;
    }
}
