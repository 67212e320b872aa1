// Tables of the main window's controls.
#include "content/layout.h"

#include <array>

#include "auxiliary/support.h"

namespace mivo::content {

namespace {

using K = CtrlKind;

constexpr std::string_view kCloseText = "Close the application without saving changes.";
constexpr std::string_view kPollText =
    "Set the USB polling rate to 125Hz, 250Hz, 500Hz or 1000Hz (recommended).";
constexpr std::string_view kDpiText = "Select your desired dpi setting.";
constexpr std::string_view kScrollText = "Adjust your mouse wheel's vertical scroll speed.";
constexpr std::string_view kMailText = "Click here to send a support request via e-mail.";
constexpr std::string_view kSupportText = "Go to www.korvex.example for on-line support.";
// The help text names the host the support buttons open.
static_assert(kSupportText.find(kMakerHost) != std::string_view::npos);

constexpr std::array kFrame = {
    CtrlSpec{2, K::Button, {748, 7, 770, 28}, "2", "Minimize the application."},
    CtrlSpec{3, K::Button, {769, 6, 798, 28}, "3", kCloseText},
    CtrlSpec{4, K::Button, {4, 86, 166, 120}, "4", "Go to the main settings for the selected device."},
    CtrlSpec{5, K::Button, {165, 86, 322, 120}, "5", "=Go to advanced  options for lighting and sound settings."},
    CtrlSpec{6, K::Button, {324, 86, 483, 120}, "6", "Go to updates and support options."},
    CtrlSpec{10, K::Button, {11, 462, 45, 479}, "10", ""},
    CtrlSpec{7, K::Button, {584, 455, 643, 490}, "7", "Save your settings and close the application."},
    CtrlSpec{8, K::Button, {642, 455, 714, 490}, "8", "Apply your settings to the device."},
    CtrlSpec{9, K::Button, {712, 455, 796, 488}, "9", kCloseText},
};

constexpr std::array kMainPage = {
    CtrlSpec{14, K::Slider, {453, 183, 687, 200}, "14", kScrollText},
    CtrlSpec{17, K::Selector, {416, 179, 438, 198}, "17", kScrollText},
    CtrlSpec{18, K::Selector, {418, 213, 603, 234}, "18", "Scrolls an entire page per turn of the mouse wheel."},
    CtrlSpec{41, K::Button, {727, 150, 752, 164}, "68", ""},
    CtrlSpec{42, K::Button, {727, 205, 752, 227}, "69", ""},
    CtrlSpec{19, K::Selector, {416, 335, 477, 355}, "29", kPollText},
    CtrlSpec{20, K::Selector, {480, 335, 541, 355}, "20", kPollText},
    CtrlSpec{21, K::Selector, {544, 335, 606, 355}, "21", kPollText},
    CtrlSpec{22, K::Selector, {609, 335, 676, 355}, "22", kPollText},
    CtrlSpec{23, K::Marker, {28, 193, 56, 211}, "", ""},
    CtrlSpec{24, K::Marker, {81, 193, 108, 211}, "", ""},
    CtrlSpec{25, K::Marker, {130, 193, 163, 211}, "", ""},
    CtrlSpec{26, K::Marker, {183, 193, 217, 211}, "", ""},
    CtrlSpec{27, K::Marker, {234, 193, 267, 211}, "", ""},
    CtrlSpec{28, K::Marker, {286, 193, 320, 211}, "", ""},
    CtrlSpec{29, K::Marker, {337, 193, 372, 211}, "", ""},
    CtrlSpec{30, K::Selector, {28, 161, 56, 193}, "30", kDpiText},
    CtrlSpec{31, K::Selector, {81, 161, 108, 193}, "31", kDpiText},
    CtrlSpec{32, K::Selector, {130, 161, 163, 193}, "32", kDpiText},
    CtrlSpec{33, K::Selector, {183, 161, 217, 193}, "33", kDpiText},
    CtrlSpec{34, K::Selector, {234, 161, 267, 193}, "34", kDpiText},
    CtrlSpec{35, K::Selector, {286, 161, 320, 193}, "35", kDpiText},
    CtrlSpec{36, K::Selector, {337, 161, 372, 193}, "36", kDpiText},
    CtrlSpec{37, K::Selector, {25, 293, 204, 313}, "37",
             "Enable or disable mouse acceleration / enhanced pointer precision."},
    CtrlSpec{38, K::Selector, {217, 293, 364, 313}, "38", "Enable or disable the display of pointer trails."},
    CtrlSpec{15, K::Slider, {39, 271, 248, 294}, "15",
             "Assign a pointer speed in the same way as via the Control Panel."},
    CtrlSpec{16, K::Slider, {39, 383, 248, 402}, "16",
             "Select the buttons' double-click speed (from slow to fast)."},
    CtrlSpec{39, K::Animation, {294, 375, 358, 410}, "63", ""},
    CtrlSpec{40, K::Button, {678, 396, 774, 422}, "40", "Reset all mouse settings to their default positions."},
};

constexpr std::array kAdvancedPage = {
    CtrlSpec{43, K::Selector, {569, 402, 670, 423}, "43", "Switch to right-handed mode."},
    CtrlSpec{44, K::Selector, {673, 402, 770, 423}, "44", "Switch to left-handed mode."},
    CtrlSpec{45, K::Selector, {24, 402, 125, 423}, "45", "Set the light to 'Always On'."},
    CtrlSpec{46, K::Selector, {150, 402, 235, 423}, "46", "Activate the breathing effect."},
    CtrlSpec{48, K::Animation, {155, 341, 252, 398}, "64", ""},
    CtrlSpec{47, K::Selector, {274, 402, 408, 423}, "47", "Switch the light off."},
    CtrlSpec{49, K::Picture, {595, 148, 783, 372}, "", ""},
    CtrlSpec{50, K::DropDown, {437, 166, 596, 189}, "", ""},
    CtrlSpec{51, K::DropDown, {437, 189, 596, 213}, "", ""},
    CtrlSpec{52, K::DropDown, {437, 213, 596, 237}, "", ""},
    CtrlSpec{53, K::DropDown, {437, 237, 596, 261}, "", ""},
    CtrlSpec{54, K::DropDown, {437, 261, 596, 285}, "", ""},
    CtrlSpec{55, K::DropDown, {437, 285, 596, 309}, "", ""},
};

constexpr std::array kSupportPage = {
    CtrlSpec{56, K::Button, {27, 208, 226, 242}, "56", "Click here to check and download updates."},
    CtrlSpec{57, K::Button, {418, 208, 597, 242}, "57", kSupportText},
    CtrlSpec{58, K::Button, {27, 393, 112, 412}, "58", kMailText},
    CtrlSpec{59, K::Button, {417, 341, 500, 360}, "59",
             "Click here to send a support request via the support form."},
    CtrlSpec{60, K::Button, {417, 393, 504, 412}, "60", kMailText},
};

constexpr std::array kLongKeys = {
    KeyEntry{0x01, "单击"},        KeyEntry{0x02, "选单"},      KeyEntry{0x04, "通用滚动"},
    KeyEntry{0x85, "禁用"},        KeyEntry{0x10, "IE 前进"},   KeyEntry{0x08, "IE 后退"},
    KeyEntry{0x82, "向上滚动"},    KeyEntry{0x83, "向下滚动"},  KeyEntry{0x81, "DPI 循环"},
};

}  // namespace

std::span<const CtrlSpec> FrameControls() { return kFrame; }
std::span<const CtrlSpec> MainPageControls() { return kMainPage; }
std::span<const CtrlSpec> AdvancedPageControls() { return kAdvancedPage; }
std::span<const CtrlSpec> SupportPageControls() { return kSupportPage; }

gfx::Rect LanguageRowRect(int row_id) {
    if (row_id == 62) return {0, 0, 100, 17};
    const int top = 17 + 16 * (row_id - 63);
    return {0, top, 100, top + 16};
}

std::string_view EnglishText(std::string_view key) {
    for (auto table : {FrameControls(), MainPageControls(), AdvancedPageControls(), SupportPageControls()}) {
        for (const auto& c : table) {
            if (!c.text_key.empty() && c.text_key == key) return c.english;
        }
    }
    return {};
}

std::span<const KeyEntry> LongKeyList() { return kLongKeys; }
std::span<const KeyEntry> ShortKeyList() { return std::span<const KeyEntry>(kLongKeys).subspan(2); }

}  // namespace mivo::content
