// The pictures, frames, faces, sound and icons the build puts beside the programs, loaded the way
// the window loads them and checked against the rectangles the controls cut from them.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <fstream>
#include <iterator>
#include <optional>
#include <string>
#include <vector>

#include "image_io.h"
#include "platform/linux/codec_linux.h"
#include "platform/platform.h"
#include "resources/paths.h"
#include "resources/skin.h"

namespace {

namespace fs = std::filesystem;
using mivo::gfx::Image;
using mivo::gfx::ImagePtr;

const fs::path kRuntime = MIVO_RUNTIME_DIR;
const fs::path kUipic = kRuntime / "UIPIC";

// One cut row of the skin image table: number, rectangle, and whether the picture follows the
// state (a sheet family) or always comes from one sheet.
struct Cut {
    int number;
    int x, y, w, h;
    bool follows_state;
};

std::vector<Cut> SkinTable() {
    std::vector<Cut> t = {
        {2, 748, 7, 22, 21, true},     {3, 769, 6, 29, 22, true},     {4, 4, 86, 162, 34, true},
        {5, 165, 86, 157, 34, true},   {6, 324, 86, 159, 34, true},   {7, 584, 455, 59, 35, true},
        {8, 642, 455, 72, 35, true},   {9, 712, 455, 84, 33, true},   {10, 11, 462, 34, 17, true},
        {11, 4, 115, 790, 330, false}, {12, 4, 115, 790, 330, false}, {13, 4, 115, 790, 330, false},
        {14, 453, 183, 234, 17, true}, {15, 39, 271, 209, 23, true},  {16, 39, 383, 209, 19, true},
        {17, 416, 179, 22, 19, true},  {18, 418, 213, 185, 21, true}, {19, 416, 335, 61, 20, true},
        {20, 480, 335, 61, 20, true},  {21, 544, 335, 62, 20, true},  {22, 609, 335, 67, 20, true},
        {23, 28, 193, 28, 18, false},  {24, 81, 193, 27, 18, false},  {25, 130, 193, 33, 18, false},
        {26, 183, 193, 34, 18, false}, {27, 234, 193, 33, 18, false}, {28, 286, 193, 34, 18, false},
        {29, 337, 193, 35, 18, false}, {30, 28, 161, 28, 32, true},   {31, 81, 161, 27, 32, true},
        {32, 130, 161, 33, 32, true},  {33, 183, 161, 34, 32, true},  {34, 234, 161, 33, 32, true},
        {35, 286, 161, 34, 32, true},  {36, 337, 161, 35, 32, true},  {37, 25, 293, 179, 20, true},
        {38, 217, 293, 147, 20, true}, {40, 678, 396, 96, 26, true},  {41, 727, 150, 25, 14, true},
        {42, 727, 205, 25, 22, true},  {43, 569, 402, 101, 21, true}, {44, 673, 402, 97, 21, true},
        {45, 24, 402, 101, 21, true},  {46, 150, 402, 85, 21, true},  {47, 274, 402, 134, 21, true},
        {50, 437, 166, 159, 23, true}, {51, 437, 189, 159, 24, true}, {52, 437, 213, 159, 24, true},
        {53, 437, 237, 159, 24, true}, {54, 437, 261, 159, 24, true}, {55, 437, 285, 159, 24, true},
        {56, 27, 208, 199, 34, true},  {57, 418, 208, 179, 34, true}, {58, 27, 393, 85, 19, true},
        {59, 417, 341, 83, 19, true},  {60, 417, 393, 87, 19, true},  {62, 0, 0, 100, 17, true},
        {81, 73, 200, 56, 25, true},   {82, 136, 200, 97, 25, true},  {83, 273, 3, 28, 21, true},
        {85, 273, 3, 28, 21, true},    {86, 125, 114, 55, 22, true},
    };
    for (int n = 63; n <= 79; ++n) t.push_back({n, 0, 17 + 16 * (n - 63), 100, 16, true});
    return t;
}

// Pixels whose colour or alpha moved by more than a faint JPEG or anti-aliasing wobble.
int VisiblyChangedPixels(const Image& a, const Image& b) {
    if (a.Width() != b.Width() || a.Height() != b.Height()) return a.Width() * a.Height();
    int changed = 0;
    for (int y = 0; y < a.Height(); ++y) {
        for (int x = 0; x < a.Width(); ++x) {
            uint32_t p = a.At(x, y), q = b.At(x, y);
            for (int shift = 0; shift < 32; shift += 8) {
                int d = static_cast<int>((p >> shift) & 0xFF) - static_cast<int>((q >> shift) & 0xFF);
                if (std::abs(d) > 24) {
                    ++changed;
                    break;
                }
            }
        }
    }
    return changed;
}

// A change a user sees: at least 20 pixels and 3 % of the picture.
bool VisiblyDifferent(const Image& a, const Image& b) {
    int changed = VisiblyChangedPixels(a, b);
    return changed >= 20 && changed * 100 >= 3 * a.Width() * a.Height();
}

double MeanLuma(const Image& img) {
    double sum = 0;
    for (int y = 0; y < img.Height(); ++y)
        for (int x = 0; x < img.Width(); ++x) {
            uint32_t p = img.At(x, y);
            sum += 0.299 * ((p >> 16) & 0xFF) + 0.587 * ((p >> 8) & 0xFF) + 0.114 * (p & 0xFF);
        }
    return sum / (img.Width() * img.Height());
}

class SkinFiles : public ::testing::Test {
protected:
    void SetUp() override {
        mivo::platform::Services services;
        services.codec = &codec_;
        scope_.emplace(services);
        mivo::SetModuleDirOverride(kRuntime);
        mivo::ResetSkinCache();
    }
    void TearDown() override {
        mivo::ResetSkinCache();
        mivo::ClearModuleDirOverride();
        scope_.reset();
    }
    ImagePtr Load(const fs::path& path) {
        ImagePtr img = mivo::LoadImageFile(path);
        EXPECT_TRUE(img && !img->IsNull()) << path;
        return img;
    }

    mivo::platform::linux_backend::LinuxImageCodec codec_;
    std::optional<mivo::platform::ScopedServices> scope_;
};

TEST_F(SkinFiles, SheetsHaveTheWindowSizesAndATransparentEdge) {
    struct Sheet {
        const char* family;
        int w, h;
    };
    const Sheet sheets[] = {{"MainWindow", 800, 500},   {"MainControl", 800, 500}, {"AdvancedControl", 800, 500},
                            {"UpdateSupport", 800, 500}, {"LangSelect", 100, 290}, {"DriverReset", 305, 240},
                            {"DeviceCheck", 305, 240}};
    for (const Sheet& s : sheets) {
        for (const char* state : {"normal", "over", "down"}) {
            ImagePtr img = Load(kUipic / (std::string(s.family) + "_" + state + ".png"));
            if (!img) continue;
            EXPECT_EQ(img->Width(), s.w) << s.family << " " << state;
            EXPECT_EQ(img->Height(), s.h) << s.family << " " << state;
        }
    }
    // The layered windows show their per-pixel alpha: rounded, transparent corners, opaque body.
    for (const char* family : {"MainWindow", "DriverReset", "DeviceCheck"}) {
        ImagePtr img = Load(kUipic / (std::string(family) + "_normal.png"));
        if (!img) continue;
        EXPECT_EQ(img->At(0, 0) >> 24, 0u) << family;
        EXPECT_EQ(img->At(img->Width() / 2, 60) >> 24, 0xFFu) << family;
    }
    ImagePtr check = Load(kUipic / "DeviceCheck_normal.png");
    if (check) {
        EXPECT_EQ(check->At(150, 200) >> 24, 0u) << "below the card the dialog stays transparent";
    }

    ImagePtr thumb = Load(kUipic / "Slider_shorter.png");
    if (thumb) {
        EXPECT_LE(thumb->Width(), 20);
        EXPECT_LE(thumb->Height(), 24);
    }
}

TEST_F(SkinFiles, EveryTableRectangleShowsThreeDistinctLooks) {
    for (const Cut& c : SkinTable()) {
        ImagePtr s[3];
        for (int state = 0; state < 3; ++state) {
            s[state] = mivo::GetSkinImage(c.number, state);
            ASSERT_TRUE(s[state]) << "image " << c.number << " state " << state;
            EXPECT_EQ(s[state]->Width(), c.w) << "image " << c.number;
            EXPECT_EQ(s[state]->Height(), c.h) << "image " << c.number;
        }
        if (c.follows_state) {
            EXPECT_TRUE(VisiblyDifferent(*s[0], *s[1])) << "image " << c.number << ": over looks like normal";
            EXPECT_TRUE(VisiblyDifferent(*s[0], *s[2])) << "image " << c.number << ": down looks like normal";
            EXPECT_TRUE(VisiblyDifferent(*s[1], *s[2])) << "image " << c.number << ": down looks like over";
        } else {
            EXPECT_EQ(*s[0], *s[1]) << "image " << c.number;
            EXPECT_EQ(*s[0], *s[2]) << "image " << c.number;
        }
    }
    for (int whole : {0, 80, 84}) EXPECT_TRUE(mivo::GetSkinImage(whole, 0)) << whole;
}

TEST_F(SkinFiles, CurrentDpiMarkersStandOutFromThePage) {
    ImagePtr page = mivo::GetSkinImage(11, 0);
    ASSERT_TRUE(page);
    for (const Cut& c : SkinTable()) {
        if (c.number < 23 || c.number > 29) continue;
        ImagePtr marker = mivo::GetSkinImage(c.number, 0);
        ASSERT_TRUE(marker);
        Image under = page->Cut({c.x - 4, c.y - 115, c.x - 4 + c.w, c.y - 115 + c.h});
        EXPECT_TRUE(VisiblyDifferent(*marker, under)) << "marker " << c.number << " is invisible on the page";
    }
}

TEST_F(SkinFiles, DoubleClickFramesStartAtRestRippleAndSettle) {
    std::vector<ImagePtr> frames;
    for (int i = 1; i <= 52; ++i) {
        frames.push_back(Load(kUipic / "DClick_Animation" / ("DoubleClick" + std::to_string(i) + ".jpg")));
        ASSERT_TRUE(frames.back());
        EXPECT_EQ(frames.back()->Width(), 64);
        EXPECT_EQ(frames.back()->Height(), 35);
    }
    int moving = 0;
    for (size_t i = 1; i < frames.size(); ++i) moving += VisiblyDifferent(*frames[0], *frames[i]) ? 1 : 0;
    EXPECT_GE(moving, 15) << "the animation barely moves";
    EXPECT_FALSE(VisiblyDifferent(*frames[0], *frames.back())) << "the last frame should settle back to rest";
}

TEST_F(SkinFiles, BreathingFramesFadeSmoothlyAroundTheLoop) {
    std::vector<double> luma;
    for (int i = 0; i < 100; ++i) {
        ImagePtr f = Load(kUipic / "Breathing_Animation" / ("Mouse_Back_" + std::to_string(i) + ".png"));
        ASSERT_TRUE(f);
        ASSERT_EQ(f->Width(), 97);
        ASSERT_EQ(f->Height(), 57);
        luma.push_back(MeanLuma(*f));
    }
    auto [lo, hi] = std::minmax_element(luma.begin(), luma.end());
    double range = *hi - *lo;
    EXPECT_GT(range, 8.0) << "the light hardly changes";
    double max_step = 0;
    for (size_t i = 0; i < luma.size(); ++i) max_step = std::max(max_step, std::abs(luma[(i + 1) % luma.size()] - luma[i]));
    EXPECT_LT(max_step, range * 0.12) << "a jump between frames (the loop wraps from 99 to 0)";
}

TEST_F(SkinFiles, AssignmentPicturesHighlightDifferentButtons) {
    std::vector<ImagePtr> pics;
    for (int n = 1; n <= 6; ++n) {
        pics.push_back(Load(kUipic / "Assignment" / ("Button_Assignment_" + std::to_string(n) + ".jpg")));
        ASSERT_TRUE(pics.back());
        EXPECT_EQ(pics.back()->Width(), 188);
        EXPECT_EQ(pics.back()->Height(), 224);
    }
    for (size_t a = 0; a < pics.size(); ++a)
        for (size_t b = a + 1; b < pics.size(); ++b)
            EXPECT_GT(VisiblyChangedPixels(*pics[a], *pics[b]), 60) << a + 1 << " vs " << b + 1;
}

TEST_F(SkinFiles, LanguageButtonFacesExistForEveryCodeAndState) {
    const char* codes[] = {"DAN", "ENG", "FIN", "FRE", "GER", "ITA", "JAP", "KOR", "POL",
                           "RUS", "SCHIN", "SPA", "SWE", "THAI", "TCHIN", "TUR", "VIET"};
    std::vector<ImagePtr> normals;
    for (const char* code : codes) {
        ImagePtr s[3];
        const char* states[] = {"normal", "over", "down"};
        for (int i = 0; i < 3; ++i) {
            s[i] = Load(kUipic / "LanguageButton" / (std::string("LangSelect_") + code + "_" + states[i] + ".jpg"));
            ASSERT_TRUE(s[i]) << code;
            EXPECT_EQ(s[i]->Width(), 34) << code;
            EXPECT_EQ(s[i]->Height(), 17) << code;
        }
        EXPECT_TRUE(VisiblyDifferent(*s[0], *s[1])) << code;
        EXPECT_TRUE(VisiblyDifferent(*s[0], *s[2])) << code;
        normals.push_back(std::move(s[0]));
    }
    // Each face carries its own code: no two languages share a face.
    for (size_t a = 0; a < normals.size(); ++a)
        for (size_t b = a + 1; b < normals.size(); ++b)
            EXPECT_GT(VisiblyChangedPixels(*normals[a], *normals[b]), 10) << codes[a] << " vs " << codes[b];
}

std::string ReadBytes(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}
uint32_t Le(const std::string& b, size_t at, int bytes) {
    uint32_t v = 0;
    for (int i = bytes - 1; i >= 0; --i) v = (v << 8) | static_cast<uint8_t>(b.at(at + i));
    return v;
}

TEST(SoundFile, DoubleClickSoundIsAShortAudible16BitPcmWave) {
    std::string wav = ReadBytes(kUipic / "DClick_Animation" / "DoubleClick_Sound.wav");
    ASSERT_GE(wav.size(), 44u);
    EXPECT_EQ(wav.substr(0, 4), "RIFF");
    EXPECT_EQ(Le(wav, 4, 4), wav.size() - 8);
    EXPECT_EQ(wav.substr(8, 8), "WAVEfmt ");
    EXPECT_EQ(Le(wav, 20, 2), 1u) << "PCM";
    uint32_t channels = Le(wav, 22, 2), rate = Le(wav, 24, 4);
    EXPECT_EQ(Le(wav, 34, 2), 16u) << "bits per sample";
    EXPECT_EQ(Le(wav, 32, 2), channels * 2);
    ASSERT_EQ(wav.substr(36, 4), "data");
    uint32_t data = Le(wav, 40, 4);
    ASSERT_EQ(data + 44, wav.size());
    double seconds = static_cast<double>(data) / (rate * channels * 2);
    EXPECT_GT(seconds, 0.03);
    EXPECT_LT(seconds, 1.0) << "a click, not a tune";
    int peak = 0;
    for (size_t i = 44; i + 1 < wav.size(); i += 2) peak = std::max(peak, std::abs(static_cast<int16_t>(Le(wav, i, 2))));
    EXPECT_GT(peak, 32767 / 5) << "too quiet to hear";
    EXPECT_LT(peak, 32767) << "clipped";
}

TEST(IconFiles, IcoHoldsThreeSizesAndPngsExist) {
    for (const char* icon : {"128", "133"}) {
        std::string ico = ReadBytes(fs::path(MIVO_RUNTIME_DIR).parent_path() / "res" / (std::string("icon_") + icon + ".ico"));
        ASSERT_GE(ico.size(), 6u) << icon;
        EXPECT_EQ(Le(ico, 0, 2), 0u);
        EXPECT_EQ(Le(ico, 2, 2), 1u) << "icon type";
        ASSERT_EQ(Le(ico, 4, 2), 3u);
        const int sizes[] = {16, 32, 48};
        for (int i = 0; i < 3; ++i) {
            size_t e = 6 + 16 * i;
            EXPECT_EQ(static_cast<uint8_t>(ico[e]), sizes[i]);
            EXPECT_EQ(Le(ico, e + 6, 2), 32u) << "bits per pixel";
            uint32_t bytes = Le(ico, e + 8, 4), offset = Le(ico, e + 12, 4);
            ASSERT_LE(offset + bytes, ico.size());
            EXPECT_EQ(Le(ico, offset + 4, 4), static_cast<uint32_t>(sizes[i]));
            EXPECT_EQ(Le(ico, offset + 8, 4), static_cast<uint32_t>(sizes[i] * 2));
            mivo::assets::Rgba png = mivo::assets::ReadPng(
                kRuntime / "icons" / ("icon_" + std::string(icon) + "_" + std::to_string(sizes[i]) + ".png"));
            EXPECT_EQ(png.width, sizes[i]);
            EXPECT_EQ(png.height, sizes[i]);
        }
    }
}

}  // namespace
