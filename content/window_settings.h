// Transfers between the settings record and the main window's controls.
#pragma once
#include "settings/mouse_settings.h"
#include "toolkit/zyl_dialog.h"

namespace mivo::content {

// Marker (23-29) of a dpi slot code 1-7, and back.
inline constexpr int kFirstDpiMarkerId = 23;
inline constexpr int kFirstDpiSelectorId = 30;

// Pushes every field into its control (no recomposition; the caller redraws). Ends by giving
// the language button the faces of settings.Language.
void ShowSettings(CZylDialog& host, MouseSettings& settings);
// Reads every control back into the record and saves the profile. Returns the save's result.
bool StoreFromControls(CZylDialog& host, MouseSettings& settings);
// Hides the seven current-dpi markers.
void HideDpiMarkers(CZylDialog& host);
// Loads the profile from the module folder into the record and shows it.
void LoadAndShowProfile(CZylDialog& host, MouseSettings& settings);

}  // namespace mivo::content
