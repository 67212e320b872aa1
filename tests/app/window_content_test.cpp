// The main window's controls as built from the layout tables, the language button's faces, and
// the transfers between the settings record and the controls.
#include <gtest/gtest.h>

#include <fstream>
#include <vector>

#include "app_fixture.h"
#include "content/layout.h"
#include "content/main_controls.h"
#include "content/window_settings.h"
#include "settings/profile.h"
#include "toolkit/zyl_button.h"
#include "toolkit/zyl_combox.h"
#include "toolkit/zyl_dialog.h"
#include "toolkit/zyl_image.h"
#include "toolkit/zyl_page.h"
#include "toolkit/zyl_slider.h"
#include "toolkit/zyl_static.h"

namespace mivo {
namespace {

using content::CtrlSpec;
using testing::AppEnvironment;
using testing::SheetColour;

// A host with the main window's controls, built as the window builds them (no window attached:
// recompositions are no-ops).
struct BuiltWindow {
    explicit BuiltWindow(bool mouse_present = true, uint16_t version = 5) {
        if (!mouse_present) env.sim().hid.Unplug();
        env.sim().hid.SetVersion(version);
        content::CreateMainControls(host, link);
    }
    AppEnvironment env;
    CZylDialog host;
    DeviceLink link;
};

std::vector<int> Ids(const std::vector<std::unique_ptr<CBaseCtrl>>& list) {
    std::vector<int> ids;
    for (const auto& c : list) ids.push_back(c->m_nID);
    return ids;
}

std::vector<int> Ids(std::span<const CtrlSpec> table) {
    std::vector<int> ids;
    for (const auto& c : table) ids.push_back(c.id);
    return ids;
}

int ExpectedType(content::CtrlKind kind) {
    switch (kind) {
        case content::CtrlKind::Button: return kCtrlButton;
        case content::CtrlKind::Selector: return kCtrlSelector;
        case content::CtrlKind::Slider: return kCtrlSlider;
        case content::CtrlKind::Marker:
        case content::CtrlKind::Picture: return kCtrlImage;
        case content::CtrlKind::DropDown: return kCtrlCombox;
        case content::CtrlKind::Page: return kCtrlPage;
        default: return kCtrlBase;
    }
}

gfx::Pixel Colour(const gfx::ImagePtr& image) { return image ? image->At(0, 0) : 0; }

TEST(MainControls, HostAndPageListsAreInCreationOrder) {
    BuiltWindow w;
    EXPECT_EQ(Ids(w.host.m_ctrls), (std::vector<int>{2, 3, 4, 5, 6, 10, 7, 8, 9, 11, 12, 13, 61}));
    auto* main = dynamic_cast<CZylPageCtrl*>(w.host.FindCtrl(11));
    auto* advanced = dynamic_cast<CZylPageCtrl*>(w.host.FindCtrl(12));
    auto* support = dynamic_cast<CZylPageCtrl*>(w.host.FindCtrl(13));
    ASSERT_TRUE(main && advanced && support);
    EXPECT_EQ(Ids(main->m_children), Ids(content::MainPageControls()));
    EXPECT_EQ(Ids(advanced->m_children), Ids(content::AdvancedPageControls()));
    std::vector<int> support_ids = Ids(content::SupportPageControls());
    support_ids.insert(support_ids.end(), {87, 88});
    EXPECT_EQ(Ids(support->m_children), support_ids);
}

// Every table row exists once, with its rectangle, kind, help text, host, parent and initial state.
TEST(MainControls, EveryControlHasItsIdRectangleAndInitialState) {
    BuiltWindow w;
    struct Table {
        std::span<const CtrlSpec> rows;
        int page;  // 0: the host's own list
    };
    for (const Table& table : {Table{content::FrameControls(), 0}, Table{content::MainPageControls(), 11},
                               Table{content::AdvancedPageControls(), 12}, Table{content::SupportPageControls(), 13}}) {
        for (const CtrlSpec& row : table.rows) {
            SCOPED_TRACE("control " + std::to_string(row.id));
            CBaseCtrl* c = w.host.FindCtrl(row.id);
            ASSERT_NE(c, nullptr);
            EXPECT_EQ(c->m_rect, row.rect);
            EXPECT_EQ(c->m_nType, ExpectedType(row.kind));
            EXPECT_EQ(c->m_pEvent, &w.host);
            EXPECT_EQ(c->m_pParent, table.page ? w.host.FindCtrl(table.page) : nullptr);
            if (row.kind != content::CtrlKind::DropDown) {
                EXPECT_EQ(c->m_strText, row.english);
            }

            const bool hidden = row.kind == content::CtrlKind::Marker || row.id == 49;
            EXPECT_EQ(c->m_bVisible, hidden ? 0 : 1);
            const bool disabled = row.id == 50 || row.id == 51;
            EXPECT_EQ(c->m_bEnabled, disabled ? 0 : 1);
            const int state = row.id == 4 ? kStateSelected : disabled ? kStateDisabled : kStateNormal;
            EXPECT_EQ(c->m_nState, state);
        }
    }
    for (int page : {11, 12, 13}) {
        CBaseCtrl* p = w.host.FindCtrl(page);
        ASSERT_NE(p, nullptr);
        EXPECT_EQ(p->m_rect, content::kPageRect);
        EXPECT_EQ(p->m_bVisible, page == 11 ? 1 : 0);
        EXPECT_TRUE(p->m_strText.empty());
    }
    CBaseCtrl* menu = w.host.FindCtrl(61);
    ASSERT_NE(menu, nullptr);
    EXPECT_EQ(menu->m_rect, content::kLanguageMenuRect);
    EXPECT_EQ(menu->m_bVisible, 0);
    EXPECT_EQ(content::EnglishText("5"), "=Go to advanced  options for lighting and sound settings.");
    EXPECT_EQ(w.host.FindCtrl(5)->m_strText, "=Go to advanced  options for lighting and sound settings.");
}

TEST(MainControls, PicturesComeFromTheSkinSheetsByState) {
    BuiltWindow w;
    auto* close = dynamic_cast<CZylButton*>(w.host.FindCtrl(3));
    ASSERT_NE(close, nullptr);
    EXPECT_EQ(Colour(close->m_pNormal), gfx::Premultiply(SheetColour("MainWindow_normal.png")));
    EXPECT_EQ(Colour(close->m_pHover), gfx::Premultiply(SheetColour("MainWindow_over.png")));
    EXPECT_EQ(Colour(close->m_pPressed), gfx::Premultiply(SheetColour("MainWindow_down.png")));
    EXPECT_EQ(close->m_pDisabled, nullptr);

    // Slider: track is its own picture in state 0, thumb is picture 1 (the thumb sheet, whole).
    auto* scroll = dynamic_cast<CZylSlider*>(w.host.FindCtrl(14));
    ASSERT_NE(scroll, nullptr);
    EXPECT_EQ(scroll->m_nMin, 1);
    EXPECT_EQ(scroll->m_nMax, 10);
    EXPECT_EQ(scroll->m_nPos, 1);
    EXPECT_EQ(Colour(scroll->m_pTrack), gfx::Premultiply(SheetColour("MainControl_normal.png")));
    ASSERT_TRUE(scroll->m_pThumb);
    EXPECT_EQ(scroll->m_pThumb->Width(), 11);
    EXPECT_EQ(scroll->m_pThumb->Height(), 17);
    for (int id : {15, 16}) EXPECT_EQ(dynamic_cast<CZylSlider*>(w.host.FindCtrl(id))->m_nMax, 11);

    auto* marker = dynamic_cast<CZylImage*>(w.host.FindCtrl(23));
    ASSERT_NE(marker, nullptr);
    ASSERT_EQ(marker->m_pictures.size(), 1u);
    EXPECT_TRUE(marker->m_pictures[0]);

    auto* page = dynamic_cast<CZylPageCtrl*>(w.host.FindCtrl(12));
    ASSERT_TRUE(page && page->m_pBackground);
    EXPECT_EQ(page->m_pBackground->Width(), 790);
    EXPECT_EQ(page->m_pBackground->Height(), 330);

    auto* menu = dynamic_cast<CZylImageMenu*>(w.host.FindCtrl(61));
    ASSERT_NE(menu, nullptr);
    ASSERT_EQ(menu->m_items.size(), 18u);
    for (size_t i = 0; i < menu->m_items.size(); ++i) {
        const auto& row = *menu->m_items[i];
        EXPECT_EQ(row.m_nID, 62 + static_cast<int>(i));
        EXPECT_EQ(row.m_rect, content::LanguageRowRect(row.m_nID));
        EXPECT_EQ(Colour(row.m_pOver), gfx::Premultiply(SheetColour("LangSelect_over.png")));
    }
    EXPECT_EQ(menu->m_items.back()->m_rect, (gfx::Rect{0, 273, 100, 289}));
}

TEST(MainControls, LoosePicturesKeepTheirCountsWhenFilesAreMissing) {
    BuiltWindow w;
    auto* dclick = dynamic_cast<CZylAnimation*>(w.host.FindCtrl(39));
    auto* breathing = dynamic_cast<CZylAnimation*>(w.host.FindCtrl(48));
    auto* assignment = dynamic_cast<CZylImage*>(w.host.FindCtrl(49));
    ASSERT_TRUE(dclick && breathing && assignment);
    EXPECT_EQ(dclick->m_frames.size(), 52u);
    EXPECT_EQ(dclick->m_nInterval, 40);
    EXPECT_EQ(dclick->m_bLoop, 0);
    EXPECT_EQ(dclick->m_bPlaySound, 1);
    EXPECT_EQ(dclick->m_soundPath, w.env.module_dir() / "UIPIC" / "DClick_Animation" / "DoubleClick_Sound.wav");
    EXPECT_EQ(breathing->m_frames.size(), 100u);
    EXPECT_EQ(breathing->m_nInterval, 40);
    EXPECT_EQ(breathing->m_bLoop, 1);
    EXPECT_EQ(breathing->m_bPlaySound, 0);
    EXPECT_EQ(assignment->m_pictures.size(), 6u);
    for (const auto& p : assignment->m_pictures) EXPECT_FALSE(p);
}

TEST(MainControls, LoosePicturesLoadFromTheirNumberedFiles) {
    AppEnvironment env;
    const auto pic = env.module_dir() / "UIPIC";
    testing::WritePicture(pic / "Assignment" / "Button_Assignment_3.jpg", 188, 224, 0xFF0000FF);
    testing::WritePicture(pic / "Breathing_Animation" / "Mouse_Back_0.png", 97, 57, 0xFF00FF00);
    testing::WritePicture(pic / "DClick_Animation" / "DoubleClick52.jpg", 64, 35, 0xFFFF0000);
    CZylDialog host;
    DeviceLink link;
    content::CreateMainControls(host, link);
    auto* assignment = dynamic_cast<CZylImage*>(host.FindCtrl(49));
    ASSERT_EQ(assignment->m_pictures.size(), 6u);
    EXPECT_TRUE(assignment->m_pictures[2]);
    EXPECT_FALSE(assignment->m_pictures[3]);
    EXPECT_TRUE(dynamic_cast<CZylAnimation*>(host.FindCtrl(48))->m_frames.front());
    EXPECT_TRUE(dynamic_cast<CZylAnimation*>(host.FindCtrl(39))->m_frames.back());
}

TEST(MainControls, DropDownsShowTheirFunctionsAndOnlyButtonsThreeToSixOpen) {
    BuiltWindow w;
    struct Case {
        int id;
        const char* text;
        int code;
        size_t entries;
    };
    for (const Case& c : {Case{50, "单击", 0x01, 9}, Case{51, "选单", 0x02, 9}, Case{52, "通用滚动", 0x04, 7},
                          Case{53, "向上滚动", 0x82, 7}, Case{54, "向下滚动", 0x83, 7}, Case{55, "DPI 循环", 0x81, 7}}) {
        SCOPED_TRACE(c.id);
        auto* d = dynamic_cast<CZylComboxButton*>(w.host.FindCtrl(c.id));
        ASSERT_NE(d, nullptr);
        EXPECT_EQ(d->m_strText, c.text);
        EXPECT_EQ(d->m_nSelId, c.code);
        ASSERT_TRUE(d->m_pMenu);
        EXPECT_EQ(d->m_pMenu->m_items.size(), c.entries);
    }
    auto* d53 = dynamic_cast<CZylComboxButton*>(w.host.FindCtrl(53));
    EXPECT_EQ(d53->m_pMenu->m_items.front().strText, "通用滚动");

    // The advanced page must be showing for its controls to take input.
    w.host.FindCtrl(11)->SetVisible(0);
    w.host.FindCtrl(12)->SetVisible(1);
    auto* d51 = dynamic_cast<CZylComboxButton*>(w.host.FindCtrl(51));
    EXPECT_EQ(w.host.OnLButtonDown(500, 200), 0);
    EXPECT_EQ(d51->m_pMenu->m_bOpen, 0);
    EXPECT_EQ(w.host.OnLButtonDown(500, 250), 1);
    EXPECT_EQ(d53->m_pMenu->m_bOpen, 1);
}

TEST(MainControls, VersionLabelsDependOnTheMouseAtCreation) {
    {
        BuiltWindow w(/*mouse_present=*/true, /*version=*/7);
        auto* firmware = dynamic_cast<CZylStatic*>(w.host.FindCtrl(87));
        ASSERT_NE(firmware, nullptr);
        EXPECT_EQ(firmware->m_strText, "1.7");
        EXPECT_EQ(firmware->m_rect, (gfx::Rect{141, 339, 176, 353}));
        EXPECT_EQ(w.link.Connected, 1);
        EXPECT_EQ(w.host.FindCtrl(88)->m_strText, "1.14");
    }
    {
        BuiltWindow w(/*mouse_present=*/false);
        EXPECT_EQ(w.host.FindCtrl(87), nullptr);
        EXPECT_EQ(w.link.Connected, 0);
        ASSERT_NE(w.host.FindCtrl(88), nullptr);
        EXPECT_EQ(w.host.FindCtrl(88)->m_rect, (gfx::Rect{161, 309, 212, 322}));
    }
}

// Overlapping frame buttons: the later one in the host list takes the press.
TEST(MainControls, PressesGoToTheTopmostControl) {
    struct Case {
        int x, y, pressed;
    };
    for (const Case& c : {Case{769, 10, 3}, Case{165, 100, 5}, Case{642, 470, 8}, Case{712, 470, 9}}) {
        BuiltWindow w;
        SCOPED_TRACE(c.pressed);
        EXPECT_EQ(w.host.OnLButtonDown(c.x, c.y), 1);
        for (int id : {2, 3, 4, 5, 6, 7, 8, 9, 10}) {
            EXPECT_EQ(w.host.FindCtrl(id)->m_bPressed, id == c.pressed ? 1 : 0) << id;
        }
    }
    BuiltWindow w;
    EXPECT_EQ(w.host.OnLButtonDown(50, 462), 0) << "the language button ends at x = 45";
}

TEST(LanguageFaces, AllThreeFacesOrNothing) {
    AppEnvironment env;
    testing::WriteLanguageFaces(env.module_dir(), "SCHIN", 0xFF204080);
    testing::WriteLanguageFaces(env.module_dir(), "TUR", 0xFF804020);
    std::filesystem::remove(env.module_dir() / "UIPIC" / "LanguageButton" / "LangSelect_TUR_down.jpg");
    CZylDialog host;
    DeviceLink link;
    content::CreateMainControls(host, link);
    auto* button = dynamic_cast<CZylButton*>(host.FindCtrl(10));
    ASSERT_NE(button, nullptr);
    const gfx::Pixel skin = Colour(button->m_pNormal);
    MouseSettings settings;
    settings.Language = 64;

    for (int id : {78, 62, 80, 0}) {
        SCOPED_TRACE(id);
        EXPECT_FALSE(content::SetLanguageButtonFaces(host, settings, id));
        EXPECT_EQ(Colour(button->m_pNormal), skin);
        EXPECT_EQ(settings.Language, 64);
    }

    EXPECT_TRUE(content::SetLanguageButtonFaces(host, settings, 73));
    EXPECT_EQ(settings.Language, 73);
    ASSERT_TRUE(button->m_pNormal && button->m_pHover && button->m_pPressed);
    EXPECT_NE(Colour(button->m_pNormal), skin);
    EXPECT_EQ(button->m_pNormal->Width(), 34);
    EXPECT_EQ(button->m_pDisabled, nullptr);
}

// A window with its controls and a record, for the settings transfers.
struct SettingsWindow {
    SettingsWindow() { content::CreateMainControls(host, link); }
    template <class T>
    T& Get(int id) {
        auto* c = dynamic_cast<T*>(host.FindCtrl(id));
        if (!c) throw std::runtime_error("no control " + std::to_string(id));
        return *c;
    }
    int On(int id) { return Get<CZylSelector>(id).m_bOn; }
    std::vector<int> VisibleMarkers() {
        std::vector<int> ids;
        for (int id = 23; id <= 29; ++id) {
            if (host.FindCtrl(id)->m_bVisible) ids.push_back(id);
        }
        return ids;
    }
    AppEnvironment env;
    CZylDialog host;
    DeviceLink link;
};

TEST(WindowSettings, ShowThenStoreKeepsEveryField) {
    SettingsWindow w;
    MouseSettings shown = DefaultSettings;
    shown.CurDPI = 1750;
    shown.ScrollSpeed = 7;
    shown.PollingRate = 250;
    shown.DPISwitch = {1, 0, 1, 0, 1, 1, 0};
    shown.PointerSpeed = 9;
    shown.MouseAcceleration = 1;
    shown.DClickSpeed = 2;
    shown.HandedMode = 1;
    shown.AdjustEffect = 3;
    shown.Key = {0x02, 0x01, 0x85, 0x10, 0x08, 0x82};
    shown.Language = 64;
    content::ShowSettings(w.host, shown);

    EXPECT_EQ(w.Get<CZylSlider>(14).m_nPos, 7);
    EXPECT_EQ(w.On(20), 1);
    EXPECT_EQ(w.On(22), 0);
    EXPECT_EQ(w.On(44), 1) << "HandedMode 1 is shown by selector 44";
    EXPECT_EQ(w.On(43), 0);
    EXPECT_EQ(w.On(47), 1);
    EXPECT_EQ(w.Get<CZylComboxButton>(50).m_strText, "选单");
    EXPECT_EQ(w.VisibleMarkers(), std::vector<int>{28});

    MouseSettings stored;
    stored.Language = 64;
    EXPECT_TRUE(content::StoreFromControls(w.host, stored));
    EXPECT_EQ(stored, shown);
    MouseSettings reloaded;
    LoadProfile(w.env.module_dir() / "1.cfg", reloaded);
    EXPECT_EQ(reloaded, shown);
}

// Values that no control can show leave the controls (and so the record) as they were.
TEST(WindowSettings, ValuesWithoutAControlSurviveARoundTrip) {
    SettingsWindow w;
    MouseSettings odd = DefaultSettings;
    odd.CurDPI = 750;
    odd.PollingRate = 300;
    odd.ScrollSpeed = 25;
    odd.HandedMode = 0;
    odd.AdjustEffect = 9;
    odd.Key[5] = 0x01;  // "click" is not offered to button 6
    content::ShowSettings(w.host, odd);

    EXPECT_TRUE(w.VisibleMarkers().empty());
    for (int id : {19, 20, 21, 22, 43, 44, 45, 46, 47}) EXPECT_EQ(w.On(id), 0) << id;
    EXPECT_EQ(w.Get<CZylSlider>(14).m_nPos, 10);
    EXPECT_EQ(w.Get<CZylComboxButton>(55).m_nSelId, 0x81);

    MouseSettings stored = odd;
    content::StoreFromControls(w.host, stored);
    EXPECT_EQ(stored.CurDPI, 750);
    EXPECT_EQ(stored.PollingRate, 300);
    EXPECT_EQ(stored.ScrollSpeed, 10);
    EXPECT_EQ(stored.HandedMode, 0);
    EXPECT_EQ(stored.AdjustEffect, 9);
    EXPECT_EQ(stored.Key[5], 0x81);
}

TEST(WindowSettings, SlidersClampBothWays) {
    SettingsWindow w;
    MouseSettings s = DefaultSettings;
    s.ScrollSpeed = -3;
    s.PointerSpeed = 12;
    s.DClickSpeed = 0;
    content::ShowSettings(w.host, s);
    EXPECT_EQ(w.Get<CZylSlider>(14).m_nPos, 1);
    EXPECT_EQ(w.Get<CZylSlider>(15).m_nPos, 11);
    EXPECT_EQ(w.Get<CZylSlider>(16).m_nPos, 1);
}

TEST(WindowSettings, ProfileWithANonNumericCurDpiShowsNoMarker) {
    SettingsWindow w;
    std::ofstream(w.env.module_dir() / "1.cfg") << "[ConfigData]\nCurDPI=fast\nPollingRate=500\n";
    MouseSettings s;
    content::LoadAndShowProfile(w.host, s);
    EXPECT_EQ(s.CurDPI, 0);
    EXPECT_TRUE(w.VisibleMarkers().empty());
    EXPECT_EQ(w.On(21), 1);
}

TEST(WindowSettings, LanguageFacesFollowTheRecordedLanguage) {
    SettingsWindow w;
    testing::WriteLanguageFaces(w.env.module_dir(), "ENG", 0xFF336699);
    MouseSettings s;
    s.Language = 64;
    content::ShowSettings(w.host, s);
    auto& button = w.Get<CZylButton>(10);
    ASSERT_TRUE(button.m_pNormal);
    EXPECT_EQ(button.m_pNormal->Width(), 34);
    EXPECT_EQ(s.Language, 64);
}

}  // namespace
}  // namespace mivo
