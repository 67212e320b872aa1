// Pixel-exact checks of the canvas: blits, fills, outlines, bilinear stretching, path fill rules.
#include <gtest/gtest.h>

#include "gfx/canvas.h"
#include "gfx/image.h"
#include "gfx/path.h"

using namespace mivo::gfx;

namespace {

Image Solid(int w, int h, uint32_t argb) {
    return Image(w, h, std::vector<Pixel>(static_cast<size_t>(w) * h, Premultiply(argb)));
}

}  // namespace

TEST(Premultiply, RoundTripsAndRounds) {
    EXPECT_EQ(Premultiply(0xFF123456u), 0xFF123456u);
    EXPECT_EQ(Premultiply(0x00FFFFFFu), 0u);
    EXPECT_EQ(Premultiply(0x80FF0000u), 0x80800000u);  // 255 * 128 / 255
    EXPECT_EQ(Premultiply(0x40FF8000u), 0x40402000u);  // 128 * 64 / 255 = 32.1
    EXPECT_EQ(Unpremultiply(0x80800000u), 0x80FF0000u);
    EXPECT_EQ(Unpremultiply(0x00000000u), 0u);
}

TEST(Image, NullAndCut) {
    EXPECT_TRUE(Image().IsNull());
    EXPECT_TRUE(Image(0, 5).IsNull());
    EXPECT_TRUE(Image(3, 3, std::vector<Pixel>(8)).IsNull());  // wrong pixel count

    Image img(4, 3);
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 4; ++x) img.Set(x, y, 0xFF000000u | (y << 8) | x);
    Image cut = img.Cut({1, 1, 4, 3});
    ASSERT_EQ(cut.Width(), 3);
    ASSERT_EQ(cut.Height(), 2);
    EXPECT_EQ(cut.At(0, 0), 0xFF000101u);
    EXPECT_EQ(cut.At(2, 1), 0xFF000203u);
    EXPECT_TRUE(img.Cut({2, 0, 5, 2}).IsNull());  // past the right edge
    EXPECT_TRUE(img.Cut({-1, 0, 2, 2}).IsNull());
    EXPECT_TRUE(img.Cut({1, 1, 1, 2}).IsNull());  // empty
    Image copy = img.Copy();
    copy.Set(0, 0, 0);
    EXPECT_EQ(img.At(0, 0), 0xFF000000u);
}

TEST(Canvas, CompositionOfImagesAndFillsIsExact) {
    Image target = Solid(6, 4, 0xFF204060u);
    Canvas dc(target);
    // Half-transparent red (premultiplied 0x80800000) over the opaque background.
    Image red = Solid(2, 2, 0x80FF0000u);
    dc.DrawImage(&red, 1, 1);
    // Opaque white fill partly outside the target is clipped.
    dc.FillRect({4, -2, 9, 1}, 0xFFFFFFFFu);
    // A fully transparent fill changes nothing; a null image draws nothing.
    dc.FillRect({0, 0, 6, 4}, 0x00FFFFFFu);
    dc.DrawImage(nullptr, {0, 0, 6, 4});
    Image null_image;
    dc.DrawImage(&null_image, {0, 0, 6, 4});

    // 0x80 source alpha leaves 127/255 of the background: 0x20*127/255 = 16, 0x40 -> 32, 0x60 -> 48.
    const Pixel blended = 0xFF800000u + 0x00102030u;
    const Pixel bg = 0xFF204060u, white = 0xFFFFFFFFu;
    const Pixel expected[4][6] = {
        {bg, bg, bg, bg, white, white},
        {bg, blended, blended, bg, bg, bg},
        {bg, blended, blended, bg, bg, bg},
        {bg, bg, bg, bg, bg, bg},
    };
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 6; ++x) EXPECT_EQ(target.At(x, y), expected[y][x]) << x << "," << y;
}

TEST(Canvas, BlendsOverTransparentKeepingAlpha) {
    Image target(2, 1);
    Canvas dc(target);
    dc.FillRect({0, 0, 2, 1}, 0x80FF0000u);
    dc.FillRect({1, 0, 2, 1}, 0x800000FFu);
    EXPECT_EQ(target.At(0, 0), 0x80800000u);
    // alpha: 128 + 128 * 127 / 255 = 192; red 128 * 127 / 255 = 64; blue 128
    EXPECT_EQ(target.At(1, 0), 0xC0400080u);
}

TEST(Canvas, CopyImageReplacesWithoutBlending) {
    Image target = Solid(3, 1, 0xFFFFFFFFu);
    Canvas dc(target);
    Image patch(2, 1);  // transparent
    dc.CopyImage(patch, 2, 0);  // clipped to one pixel
    EXPECT_EQ(target.At(1, 0), 0xFFFFFFFFu);
    EXPECT_EQ(target.At(2, 0), 0u);
}

TEST(Canvas, StrokeRectCoversEdgesInclusive) {
    Image target(6, 5);
    Canvas dc(target);
    dc.StrokeRect({1, 1, 4, 3}, 0xFF000000u);  // (1, 1, width 3, height 2)
    for (int y = 0; y < 5; ++y)
        for (int x = 0; x < 6; ++x) {
            bool inside = x >= 1 && x <= 4 && y >= 1 && y <= 3;
            bool edge = inside && (x == 1 || x == 4 || y == 1 || y == 3);
            EXPECT_EQ(target.At(x, y), edge ? 0xFF000000u : 0u) << x << "," << y;
        }
}

TEST(Canvas, SameSizeDrawIsExactCopyBlend) {
    Image src(3, 2);
    for (int i = 0; i < 6; ++i) src.Pixels()[i] = Premultiply(0xFF000000u | (i * 40) << 8);
    Image target(5, 4);
    Canvas dc(target);
    dc.DrawImage(&src, {2, 2, 5, 4});
    EXPECT_EQ(target.Cut({2, 2, 5, 4}), src);
    EXPECT_EQ(target.At(1, 2), 0u);
}

TEST(Canvas, BilinearStretchInterpolatesBetweenCentres) {
    // Two opaque pixels, black and white, stretched to 4: the outer halves repeat the edge
    // pixels and the inner two mix them 3:1 and 1:3.
    Image src(2, 1, {0xFF000000u, 0xFFFFFFFFu});
    Image target(4, 1);
    Canvas dc(target);
    dc.DrawImage(&src, {0, 0, 4, 1});
    EXPECT_EQ(target.At(0, 0), 0xFF000000u);
    EXPECT_EQ(target.At(1, 0), 0xFF3F3F3Fu);
    EXPECT_EQ(target.At(2, 0), 0xFFBFBFBFu);
    EXPECT_EQ(target.At(3, 0), 0xFFFFFFFFu);

    // Downscaling a uniform image stays uniform (no fringe at the edges).
    Image grey = Solid(10, 10, 0xFF808080u);
    Image small(3, 3);
    Canvas sdc(small);
    sdc.DrawImage(&grey, {0, 0, 3, 3});
    for (Pixel p : small.Pixels()) EXPECT_EQ(p, 0xFF808080u);
}

TEST(Canvas, PathFillRules) {
    // Two nested squares wound the same way: even-odd leaves the inner one empty, non-zero fills it.
    for (FillRule rule : {FillRule::EvenOdd, FillRule::NonZero}) {
        Path path(rule);
        path.AddRect({0, 0, 8, 8});
        path.AddRect({2, 2, 6, 6});
        Image target(10, 10);
        Canvas dc(target);
        dc.FillPath(path, 0xFF00FF00u);
        EXPECT_EQ(target.At(1, 1), 0xFF00FF00u);
        EXPECT_EQ(target.At(4, 4), rule == FillRule::NonZero ? 0xFF00FF00u : 0u);
        EXPECT_EQ(target.At(8, 8), 0u);
    }
}

TEST(Canvas, PathFillIsAntiAliased) {
    // A square from 0.5 to 2.5 covers pixel 0 and 2 by half and pixel 1 fully, in each direction.
    Path path(FillRule::NonZero);
    path.MoveTo(0.5f, 0.5f);
    path.LineTo(2.5f, 0.5f);
    path.LineTo(2.5f, 2.5f);
    path.LineTo(0.5f, 2.5f);
    path.Close();
    Image target(3, 3);
    Canvas dc(target);
    dc.FillPath(path, 0xFFFFFFFFu);
    EXPECT_EQ(target.At(1, 1), 0xFFFFFFFFu);
    EXPECT_EQ(target.At(0, 1) >> 24, 128u);
    EXPECT_EQ(target.At(0, 0) >> 24, 64u);

    // A circle of quadratic curves covers about pi r^2.
    Path circle(FillRule::EvenOdd);
    const float c = 10, r = 8;
    circle.MoveTo(c + r, c);
    circle.QuadTo(c + r, c + r, c, c + r);
    circle.QuadTo(c - r, c + r, c - r, c);
    circle.QuadTo(c - r, c - r, c, c - r);
    circle.QuadTo(c + r, c - r, c + r, c);
    circle.Close();
    Image big(20, 20);
    Canvas bdc(big);
    bdc.FillPath(circle, 0xFF000000u);
    double area = 0;
    for (Pixel p : big.Pixels()) area += (p >> 24) / 255.0;
    // Four quadratic arcs bulge a little outside the true circle (pi r^2 = 201).
    EXPECT_NEAR(area, 213.3, 1.0);  // exact area of the four parabolic segments + the inner square
}

TEST(Canvas, StrokePathOfRectangleOutline) {
    Path path;
    path.AddRect({2, 2, 8, 6});
    Image target(10, 8);
    Canvas dc(target);
    dc.StrokePath(path, 0xFF0000FFu, 2.0f);
    // A 2-wide pen centred on the edge covers one pixel each side; miter corners are square.
    EXPECT_EQ(target.At(1, 1), 0xFF0000FFu);
    EXPECT_EQ(target.At(2, 2), 0xFF0000FFu);
    EXPECT_EQ(target.At(8, 6), 0xFF0000FFu);
    EXPECT_EQ(target.At(0, 0), 0u);
    EXPECT_EQ(target.At(4, 4), 0u);
    EXPECT_EQ(target.At(9, 7), 0u);
}
