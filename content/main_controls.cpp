// The main window's controls: frame buttons, the three pages, the language menu and the button faces.
#include "content/main_controls.h"

#include <memory>
#include <string>
#include <vector>

#include "content/layout.h"
#include "resources/language.h"
#include "resources/paths.h"
#include "resources/skin.h"
#include "toolkit/zyl_button.h"
#include "toolkit/zyl_combox.h"
#include "toolkit/zyl_image.h"
#include "toolkit/zyl_page.h"
#include "toolkit/zyl_slider.h"
#include "toolkit/zyl_static.h"

namespace mivo::content {

namespace {

constexpr int kSliderThumbImage = 1;
constexpr int kAnimationIntervalMs = 40;
constexpr int kDoubleClickFrames = 52;
constexpr int kBreathingFrames = 100;
constexpr int kAssignmentPictures = 6;

std::filesystem::path UiPicDir() { return GetModuleDir() / "UIPIC"; }

std::string HelpText(const CtrlSpec& row) {
    if (row.text_key.empty()) return {};
    return GetLangText(row.text_key, row.english);
}

struct SliderRange {
    int min;
    int max;
};
SliderRange RangeOf(int id) { return id == 14 ? SliderRange{1, 10} : SliderRange{1, 11}; }

// Value the drop-down of mouse button 1-6 (IDs 50-55) shows at creation.
int InitialKeyCode(int id) {
    switch (id) {
        case 50: return keycode::kClick;
        case 51: return keycode::kMenu;
        case 52: return keycode::kUniversalScroll;
        case 53: return keycode::kScrollUp;
        case 54: return keycode::kScrollDown;
        default: return keycode::kDpiCycle;
    }
}

// The pictures <dir>/<stem><n><ext> for n = first..last, in order; a file that does not load
// leaves a null entry, so the count never changes.
std::vector<gfx::ImagePtr> LoadNumberedFiles(const std::filesystem::path& dir, const std::string& stem, int first,
                                             int last, const char* ext) {
    std::vector<std::filesystem::path> paths;
    for (int n = first; n <= last; ++n) paths.push_back(dir / (stem + std::to_string(n) + ext));
    return LoadImageFiles(paths);
}

std::unique_ptr<CZylAnimation> MakeDoubleClickAnimation(const CtrlSpec& s, std::string text) {
    const auto& r = s.rect;
    auto anim = std::make_unique<CZylAnimation>(std::move(text), s.id, r.left, r.top, r.right, r.bottom);
    const auto dir = UiPicDir() / "DClick_Animation";
    for (gfx::ImagePtr& frame : LoadNumberedFiles(dir, "DoubleClick", 1, kDoubleClickFrames, ".jpg")) {
        anim->AddFrame(std::move(frame));
    }
    anim->m_nInterval = kAnimationIntervalMs;
    anim->m_bLoop = 0;
    anim->m_soundPath = dir / "DoubleClick_Sound.wav";
    anim->m_bPlaySound = 1;
    return anim;
}

std::unique_ptr<CZylAnimation> MakeBreathingAnimation(const CtrlSpec& s, std::string text) {
    const auto& r = s.rect;
    auto anim = std::make_unique<CZylAnimation>(std::move(text), s.id, r.left, r.top, r.right, r.bottom);
    const auto dir = UiPicDir() / "Breathing_Animation";
    for (gfx::ImagePtr& frame : LoadNumberedFiles(dir, "Mouse_Back_", 0, kBreathingFrames - 1, ".png")) {
        anim->AddFrame(std::move(frame));
    }
    anim->m_nInterval = kAnimationIntervalMs;
    anim->m_bLoop = 1;
    anim->m_bPlaySound = 0;
    return anim;
}

// One child of a page, built from its table row.
std::unique_ptr<CBaseCtrl> MakePageChild(const CtrlSpec& s) {
    const auto& r = s.rect;
    std::string text = HelpText(s);
    switch (s.kind) {
        case CtrlKind::Button: {
            auto b = std::make_unique<CZylButton>(std::move(text), s.id, r.left, r.top, r.right, r.bottom);
            b->SetImages(GetSkinImage(s.id, 0), GetSkinImage(s.id, 1), GetSkinImage(s.id, 2));
            return b;
        }
        case CtrlKind::Selector: {
            auto c = std::make_unique<CZylSelector>(std::move(text), s.id, r.left, r.top, r.right, r.bottom);
            c->SetImages(GetSkinImage(s.id, 0), GetSkinImage(s.id, 1), GetSkinImage(s.id, 2));
            return c;
        }
        case CtrlKind::Slider: {
            const SliderRange range = RangeOf(s.id);
            auto c = std::make_unique<CZylSlider>(std::move(text), s.id, range.min, range.max, r.left, r.top,
                                                  r.right, r.bottom);
            c->SetImages(GetSkinImage(s.id, 0), GetSkinImage(kSliderThumbImage, 0));
            return c;
        }
        case CtrlKind::Marker: {
            auto c = std::make_unique<CZylImage>(std::move(text), s.id, r.left, r.top, r.right, r.bottom);
            c->AddPicture(GetSkinImage(s.id, 0));
            c->SetVisible(0);
            return c;
        }
        case CtrlKind::Picture: {
            auto c = std::make_unique<CZylImage>(std::move(text), s.id, r.left, r.top, r.right, r.bottom);
            const auto dir = UiPicDir() / "Assignment";
            for (gfx::ImagePtr& picture : LoadNumberedFiles(dir, "Button_Assignment_", 1, kAssignmentPictures, ".jpg")) {
                c->AddPicture(std::move(picture));
            }
            c->SetVisible(0);
            return c;
        }
        case CtrlKind::Animation:
            if (s.id == 39) return MakeDoubleClickAnimation(s, std::move(text));
            return MakeBreathingAnimation(s, std::move(text));
        case CtrlKind::DropDown: {
            auto c = std::make_unique<CZylComboxButton>(std::move(text), s.id, r.left, r.top, r.right, r.bottom);
            c->SetImages(GetSkinImage(s.id, 0), GetSkinImage(s.id, 1), GetSkinImage(s.id, 2));
            // Buttons 1 and 2 offer the long list, the others the short one.
            const auto entries = s.id <= 51 ? LongKeyList() : ShortKeyList();
            for (const auto& e : entries) c->AddMenuItem(e.code, std::string(e.text));
            c->SelectById(InitialKeyCode(s.id));
            if (s.id <= 51) c->SetEnabled(0);
            return c;
        }
        default:
            break;
    }
    return std::make_unique<CBaseCtrl>(std::move(text), s.id, r.left, r.top, r.right, r.bottom);
}

std::unique_ptr<CZylPageCtrl> MakePage(CZylDialog& host, int id) {
    const auto& r = kPageRect;
    auto page = std::make_unique<CZylPageCtrl>(id, r.left, r.top, r.right, r.bottom);
    page->SetBackground(GetSkinImage(id, 0));
    page->m_pEvent = &host;
    return page;
}

void AddChildren(CZylDialog& host, CZylPageCtrl& page, std::span<const CtrlSpec> table) {
    for (const auto& row : table) {
        auto child = MakePageChild(row);
        child->m_pEvent = &host;
        page.AddChild(std::move(child));
    }
}

void AddStatic(CZylDialog& host, CZylPageCtrl& page, int id, const gfx::Rect& r, std::string text) {
    auto label = std::make_unique<CZylStatic>(std::move(text), id, r.left, r.top, r.right, r.bottom);
    label->m_pEvent = &host;
    page.AddChild(std::move(label));
}

std::unique_ptr<CZylImageMenu> MakeLanguageMenu(CZylDialog& host) {
    const auto& r = kLanguageMenuRect;
    auto menu = std::make_unique<CZylImageMenu>(kLanguageMenuId, r.left, r.top, r.right, r.bottom);
    menu->m_pEvent = &host;
    for (int row = 62; row <= 79; ++row) {
        const gfx::Rect rr = LanguageRowRect(row);
        auto item = std::make_unique<CImageMenuItem>(rr.left, rr.top, rr.right, rr.bottom, row);
        item->SetImages(GetSkinImage(row, 0), GetSkinImage(row, 1), GetSkinImage(row, 2));
        menu->AddItem(std::move(item));
    }
    menu->SetVisible(0);
    return menu;
}

}  // namespace

void CreateMainControls(CZylDialog& host, DeviceLink& link) {
    for (const auto& s : FrameControls()) {
        const auto& r = s.rect;
        CZylButton* button = host.AddButton(&host, HelpText(s), s.id, r.left, r.top, r.right, r.bottom,
                                            GetSkinImage(s.id, 0), GetSkinImage(s.id, 1), GetSkinImage(s.id, 2));
        // The main settings page is the one shown first, so its tab starts selected.
        if (s.id == 4 && button) button->m_nState = kStateSelected;
    }

    auto main_page = MakePage(host, 11);
    AddChildren(host, *main_page, MainPageControls());
    host.AddCtrl(std::move(main_page));

    auto advanced = MakePage(host, 12);
    AddChildren(host, *advanced, AdvancedPageControls());
    advanced->SetVisible(0);
    host.AddCtrl(std::move(advanced));

    auto support = MakePage(host, 13);
    AddChildren(host, *support, SupportPageControls());
    // The firmware label shows the mouse found while the window is built; it is not added later.
    if (EnsureOpen(link)) {
        AddStatic(host, *support, kFirmwareLabelId, {141, 339, 176, 353}, "1." + std::to_string(link.Version));
    }
    AddStatic(host, *support, kSoftwareLabelId, {161, 309, 212, 322}, std::string(kSoftwareVersion));
    support->SetVisible(0);
    host.AddCtrl(std::move(support));

    host.AddCtrl(MakeLanguageMenu(host));
}

bool SetLanguageButtonFaces(CZylDialog& host, MouseSettings& settings, int id) {
    auto* button = dynamic_cast<CZylButton*>(host.FindCtrl(kLanguageButtonId));
    const LanguageEntry* language = LanguageForItemId(id);
    if (!language) return false;
    const auto dir = UiPicDir() / "LanguageButton";
    const std::string stem = "LangSelect_" + std::string(language->face_code);
    gfx::ImagePtr normal = LoadImageFile(dir / (stem + "_normal.jpg"));
    gfx::ImagePtr over = LoadImageFile(dir / (stem + "_over.jpg"));
    gfx::ImagePtr down = LoadImageFile(dir / (stem + "_down.jpg"));
    // All three or none: a half-dressed button would show a picture of another language.
    if (!normal || !over || !down) return false;
    if (button) button->SetImages(std::move(normal), std::move(over), std::move(down));
    host.Redraw();
    settings.Language = id;
    return true;
}

}  // namespace mivo::content
