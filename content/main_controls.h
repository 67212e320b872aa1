// Builds the main window's controls from the layout tables, and the language button's faces.
#pragma once
#include "device/device_link.h"
#include "settings/mouse_settings.h"
#include "toolkit/zyl_dialog.h"

namespace mivo::content {

// Control IDs the window and the settings transfers reach by number.
inline constexpr int kLanguageButtonId = 10;
inline constexpr int kLanguageMenuId = 61;
inline constexpr int kFirmwareLabelId = 87;
inline constexpr int kSoftwareLabelId = 88;
inline constexpr int kAssignmentPictureId = 49;

// Builds every control of the main window into `host`, in host-list order: frame buttons, the
// three pages with their children, then the language menu; sets the initial states. The only
// device access is one ensure-open step for the firmware label, which exists only when the mouse
// is connected afterwards.
void CreateMainControls(CZylDialog& host, DeviceLink& link);

// Gives the language button the three face pictures of language item `id` (63-79), recomposes
// the window and records `id` in settings.Language. Any other ID, or a face that does not load,
// changes nothing. Returns whether the faces were taken.
bool SetLanguageButtonFaces(CZylDialog& host, MouseSettings& settings, int id);

}  // namespace mivo::content
