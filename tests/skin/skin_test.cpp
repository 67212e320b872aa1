// Skin pictures: the cut table on small sheets written by the test, the sheet cache, and image files.
#include <gtest/gtest.h>

#include <fstream>
#include <map>
#include <string>

#include "../gfx/graphics_env.h"
#include "gfx/image_io.h"
#include "resources/paths.h"
#include "resources/skin.h"

using namespace mivo;
using gfx::Image;
using gfx::Rect;

namespace {

// Every pixel tells its sheet and position apart from any other sheet's.
Image Sheet(int id, int w, int h) {
    Image img(w, h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            img.Set(x, y, 0xFF000000u | static_cast<uint32_t>(id) << 18 | static_cast<uint32_t>(x & 0x1FF) << 9 |
                              static_cast<uint32_t>(y & 0x1FF));
    return img;
}

struct SheetFile {
    const char* name;
    int w, h;
};

const SheetFile kSheets[] = {
    {"MainWindow_normal.png", 800, 500},      {"MainWindow_over.png", 800, 500},
    {"MainWindow_down.png", 800, 500},        {"MainControl_normal.png", 800, 450},
    {"MainControl_over.png", 800, 450},       {"MainControl_down.png", 800, 450},
    {"AdvancedControl_normal.png", 800, 450}, {"AdvancedControl_over.png", 800, 450},
    {"AdvancedControl_down.png", 800, 450},   {"UpdateSupport_normal.png", 800, 450},
    {"UpdateSupport_over.png", 800, 450},     {"UpdateSupport_down.png", 800, 450},
    {"Slider_shorter.png", 11, 19},           {"LangSelect_normal.png", 100, 289},
    {"LangSelect_over.png", 100, 289},        {"LangSelect_down.png", 100, 289},
    {"DriverReset_normal.png", 310, 230},     {"DriverReset_over.png", 310, 230},
    {"DriverReset_down.png", 310, 230},       {"DeviceCheck_normal.png", 305, 140},
    {"DeviceCheck_over.png", 305, 140},       {"DeviceCheck_down.png", 305, 140},
};

class SkinTest : public ::testing::Test {
protected:
    void SetUp() override {
        std::filesystem::create_directories(temp.path() / "UIPIC");
        for (int i = 0; i < static_cast<int>(std::size(kSheets)); ++i) {
            sheets[kSheets[i].name] = Sheet(i, kSheets[i].w, kSheets[i].h);
            ASSERT_TRUE(gfx::SavePng(sheets[kSheets[i].name], Uipic(kSheets[i].name)));
        }
        SetModuleDirOverride(temp.path());
        ResetSkinCache();
    }
    void TearDown() override {
        ResetSkinCache();
        ClearModuleDirOverride();
    }
    std::filesystem::path Uipic(const std::string& name) const { return temp.path() / "UIPIC" / name; }
    Image Expected(const std::string& sheet, int x, int y, int w, int h) {
        return sheets[sheet].Cut({x, y, x + w, y + h});
    }

    test::GraphicsServices services;
    test::TempFolder temp;
    std::map<std::string, Image> sheets;
};

}  // namespace

TEST_F(SkinTest, CutsTheTableRectanglesFromTheStateSheet) {
    struct Case {
        int number, state;
        const char* sheet;
        int x, y, w, h;
    };
    const Case cases[] = {
        {2, 1, "MainWindow_over.png", 748, 7, 22, 21},
        {9, 2, "MainWindow_down.png", 712, 455, 84, 33},      // 33 high, unlike 7 and 8
        {8, 0, "MainWindow_normal.png", 642, 455, 72, 35},
        {11, 2, "MainControl_normal.png", 4, 115, 790, 330},  // page backgrounds: always normal
        {13, 1, "UpdateSupport_normal.png", 4, 115, 790, 330},
        {23, 0, "MainControl_down.png", 28, 193, 28, 18},     // dpi labels: always down
        {29, 1, "MainControl_down.png", 337, 193, 35, 18},
        {36, 1, "MainControl_over.png", 337, 161, 35, 32},
        {55, 2, "AdvancedControl_down.png", 437, 285, 159, 24},
        {60, 0, "UpdateSupport_normal.png", 417, 393, 87, 19},
        {62, 1, "LangSelect_over.png", 0, 0, 100, 17},        // first language row: 17 high
        {63, 0, "LangSelect_normal.png", 0, 17, 100, 16},
        {79, 2, "LangSelect_down.png", 0, 273, 100, 16},
        {81, 1, "DriverReset_over.png", 73, 200, 56, 25},
        {86, 2, "DeviceCheck_down.png", 125, 114, 55, 22},
    };
    for (const Case& c : cases) {
        gfx::ImagePtr img = GetSkinImage(c.number, c.state);
        ASSERT_TRUE(img) << c.number;
        EXPECT_EQ(*img, Expected(c.sheet, c.x, c.y, c.w, c.h)) << c.number << " state " << c.state;
    }
}

TEST_F(SkinTest, WholeSheetsIgnoreTheState) {
    for (auto [number, sheet] : {std::pair{0, "MainWindow_normal.png"}, {1, "Slider_shorter.png"},
                                 {80, "DriverReset_normal.png"}, {84, "DeviceCheck_normal.png"}}) {
        gfx::ImagePtr img = GetSkinImage(number, 5);
        ASSERT_TRUE(img) << number;
        EXPECT_EQ(*img, sheets[sheet]) << number;
    }
}

TEST_F(SkinTest, UnassignedNumbersAndBadStatesGiveNull) {
    for (int number : {-1, 39, 48, 49, 61, 87, 1000}) EXPECT_EQ(GetSkinImage(number, 0), nullptr) << number;
    EXPECT_EQ(GetSkinImage(2, 3), nullptr);
    EXPECT_EQ(GetSkinImage(2, -1), nullptr);
    EXPECT_NE(GetSkinImage(11, 7), nullptr);  // fixed sheet: the state is not looked at
    EXPECT_NE(GetSkinImage(23, 9), nullptr);
}

TEST_F(SkinTest, EveryCallReturnsItsOwnImage) {
    gfx::ImagePtr a = GetSkinImage(4, 0);
    gfx::ImagePtr b = GetSkinImage(4, 0);
    ASSERT_TRUE(a && b);
    EXPECT_NE(a.get(), b.get());
    const Image keep = *b;
    a->Set(0, 0, 0);
    a.reset();
    EXPECT_EQ(*b, keep);
    EXPECT_EQ(*GetSkinImage(4, 0), keep);  // the cached sheet was not touched through a cut
}

TEST_F(SkinTest, MissingSheetLeavesOnlyItsCutsNullAndIsNotRetried) {
    std::filesystem::remove(Uipic("AdvancedControl_over.png"));
    ResetSkinCache();
    for (int number : {43, 44, 45, 46, 47, 50, 51, 52, 53, 54, 55}) {
        EXPECT_EQ(GetSkinImage(number, 1), nullptr) << number;
        EXPECT_NE(GetSkinImage(number, 0), nullptr) << number;
        EXPECT_NE(GetSkinImage(number, 2), nullptr) << number;
    }
    // Putting the file back changes nothing: the sheets were loaded once.
    ASSERT_TRUE(gfx::SavePng(sheets["AdvancedControl_over.png"], Uipic("AdvancedControl_over.png")));
    EXPECT_EQ(GetSkinImage(43, 1), nullptr);
}

TEST_F(SkinTest, SheetSmallerThanTheLayoutGivesNullCuts) {
    ASSERT_TRUE(gfx::SavePng(Sheet(99, 700, 500), Uipic("MainWindow_over.png")));
    ResetSkinCache();
    EXPECT_EQ(GetSkinImage(2, 1), nullptr);   // x 748 is past the sheet
    EXPECT_NE(GetSkinImage(4, 1), nullptr);   // inside
    EXPECT_NE(GetSkinImage(2, 0), nullptr);
}

TEST_F(SkinTest, LoadImageFile) {
    const auto text = temp.path() / "note.txt";
    std::ofstream(text) << "not a picture\n";
    EXPECT_FALSE(IsImageFile(text));
    EXPECT_EQ(LoadImageFile(text), nullptr);
    EXPECT_FALSE(IsImageFile(temp.path() / "missing.png"));
    EXPECT_EQ(LoadImageFile(temp.path() / "missing.png"), nullptr);
    EXPECT_FALSE(IsImageFile(""));
    EXPECT_EQ(LoadImageFile(""), nullptr);
    EXPECT_EQ(LoadImageFile(temp.path()), nullptr);  // a folder

    const auto png = Uipic("Slider_shorter.png");
    EXPECT_TRUE(IsImageFile(png));
    gfx::ImagePtr img = LoadImageFile(png);
    ASSERT_TRUE(img);
    EXPECT_EQ(*img, sheets["Slider_shorter.png"]);

    const auto jpg = temp.path() / "frame.jpg";
    ASSERT_TRUE(gfx::SaveJpeg(Sheet(1, 40, 30), jpg));
    EXPECT_TRUE(IsImageFile(jpg));
    gfx::ImagePtr jimg = LoadImageFile(jpg);
    ASSERT_TRUE(jimg);
    EXPECT_EQ(jimg->Width(), 40);
    EXPECT_EQ(jimg->Height(), 30);

    // The image does not depend on its file: delete one, overwrite the other.
    std::filesystem::remove(png);
    std::ofstream(jpg, std::ios::trunc) << "overwritten";
    EXPECT_EQ(*img, sheets["Slider_shorter.png"]);
    EXPECT_EQ(jimg->Width(), 40);
    EXPECT_EQ(jimg->At(39, 29) >> 24, 0xFFu);
}
