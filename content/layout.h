// The main window's controls as data: IDs, kinds, rectangles, text keys and English help texts.
#pragma once
#include <span>
#include <string_view>

#include "gfx/geometry.h"

namespace mivo::content {

enum class CtrlKind { Button, Selector, Slider, Marker, Animation, DropDown, Page, ImageMenu, Static, Picture };

struct CtrlSpec {
    int id;
    CtrlKind kind;
    gfx::Rect rect;
    // Text key looked up in the language file at creation; empty means "no text, no lookup".
    std::string_view text_key;
    // The compiled-in English text for the key.
    std::string_view english;
};

// Frame controls in host-list order (before the pages): 2, 3, 4, 5, 6, 10, 7, 8, 9.
std::span<const CtrlSpec> FrameControls();
// Children of the main settings page (11), the advanced page (12) and the support page (13), in list order.
// Page 13's version labels (87, 88) are created by the builder, not listed here.
std::span<const CtrlSpec> MainPageControls();
std::span<const CtrlSpec> AdvancedPageControls();
std::span<const CtrlSpec> SupportPageControls();

// The three pages share one rectangle.
inline constexpr gfx::Rect kPageRect{4, 115, 794, 445};
// Language menu (control 61) and its rows 62-79, in menu coordinates.
inline constexpr gfx::Rect kLanguageMenuRect{10, 173, 110, 463};
gfx::Rect LanguageRowRect(int row_id);

// The compiled-in English text of a text key of the main window, or empty.
std::string_view EnglishText(std::string_view key);

// One entry of a button-function drop-down.
struct KeyEntry {
    int code;
    std::string_view text;
};
// The nine entries of drop-downs 50 and 51; drop-downs 52-55 offer the last seven.
std::span<const KeyEntry> LongKeyList();
std::span<const KeyEntry> ShortKeyList();

// Software version shown at the top and on the support page.
inline constexpr std::string_view kSoftwareVersion = "1.14";

}  // namespace mivo::content
