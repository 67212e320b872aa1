// Settings record <-> main window controls, and loading the profile at start.
#include "content/window_settings.h"

#include <array>

#include "content/main_controls.h"
#include "settings/profile.h"
#include "toolkit/zyl_combox.h"
#include "toolkit/zyl_image.h"
#include "toolkit/zyl_slider.h"

namespace mivo::content {

namespace {

constexpr std::array<int32_t, 4> kRates = {125, 250, 500, 1000};
constexpr int kFirstRateSelector = 19;
constexpr int kFirstKeyDropDown = 50;

// Controls the builder always creates; a missing one (a host built otherwise) is skipped.
template <class T>
T* Find(CZylDialog& host, int id) {
    return dynamic_cast<T*>(host.FindCtrl(id));
}

void SetOn(CZylDialog& host, int id, int32_t on) {
    if (auto* s = Find<CZylSelector>(host, id)) s->m_bOn = on;
}

// The value the record holds for "on" flags is copied as it is; reading back gives 0 or 1.
int32_t IsOn(CZylDialog& host, int id, int32_t fallback) {
    auto* s = Find<CZylSelector>(host, id);
    return s ? s->m_bOn : fallback;
}

void SetSlider(CZylDialog& host, int id, int32_t value) {
    auto* s = Find<CZylSlider>(host, id);
    if (!s) return;
    if (value > s->m_nMax) value = s->m_nMax;
    if (value < s->m_nMin) value = s->m_nMin;
    s->m_nPos = value;
}

int32_t SliderValue(CZylDialog& host, int id, int32_t fallback) {
    auto* s = Find<CZylSlider>(host, id);
    return s ? s->m_nPos : fallback;
}

// First selector among `ids` that is on, as its index; -1 when none.
template <size_t N>
int FirstOn(CZylDialog& host, const std::array<int, N>& ids) {
    for (size_t i = 0; i < N; ++i) {
        if (auto* s = Find<CZylSelector>(host, ids[i]); s && s->m_bOn) return static_cast<int>(i);
    }
    return -1;
}

}  // namespace

void HideDpiMarkers(CZylDialog& host) {
    for (int i = 0; i < static_cast<int>(kDpiSlots.size()); ++i) {
        if (auto* marker = host.FindCtrl(kFirstDpiMarkerId + i)) marker->SetVisible(0);
    }
}

void ShowSettings(CZylDialog& host, MouseSettings& settings) {
    SetSlider(host, 14, settings.ScrollSpeed);
    SetOn(host, 17, settings.MouseWheel);
    SetOn(host, 18, settings.OnePage);

    for (size_t i = 0; i < kRates.size(); ++i) SetOn(host, kFirstRateSelector + static_cast<int>(i), 0);
    for (size_t i = 0; i < kRates.size(); ++i) {
        if (settings.PollingRate == kRates[i]) SetOn(host, kFirstRateSelector + static_cast<int>(i), 1);
    }

    for (size_t i = 0; i < settings.DPISwitch.size(); ++i) {
        SetOn(host, kFirstDpiSelectorId + static_cast<int>(i), settings.DPISwitch[i]);
    }

    SetSlider(host, 15, settings.PointerSpeed);
    SetOn(host, 37, settings.MouseAcceleration);
    SetOn(host, 38, settings.DisplayPointerTrails);
    SetSlider(host, 16, settings.DClickSpeed);

    SetOn(host, 44, 0);
    SetOn(host, 43, 0);
    if (settings.HandedMode == 1) SetOn(host, 44, 1);
    if (settings.HandedMode == 2) SetOn(host, 43, 1);

    for (int id : {45, 46, 47}) SetOn(host, id, 0);
    if (settings.AdjustEffect >= 1 && settings.AdjustEffect <= 3) SetOn(host, 44 + settings.AdjustEffect, 1);

    for (size_t i = 0; i < settings.Key.size(); ++i) {
        // A code the drop-down does not offer leaves its choice as it was.
        if (auto* c = Find<CZylComboxButton>(host, kFirstKeyDropDown + static_cast<int>(i))) {
            c->SelectById(settings.Key[i]);
        }
    }

    HideDpiMarkers(host);
    if (const int code = DpiSlotCode(settings.CurDPI); code >= 1 && code <= 7) {
        if (auto* marker = host.FindCtrl(kFirstDpiMarkerId + code - 1)) marker->SetVisible(1);
    }

    SetLanguageButtonFaces(host, settings, settings.Language);
}

bool StoreFromControls(CZylDialog& host, MouseSettings& settings) {
    settings.ScrollSpeed = SliderValue(host, 14, settings.ScrollSpeed);
    settings.MouseWheel = IsOn(host, 17, settings.MouseWheel);
    settings.OnePage = IsOn(host, 18, settings.OnePage);

    if (const int i = FirstOn(host, std::array{19, 20, 21, 22}); i >= 0) settings.PollingRate = kRates[i];

    for (size_t i = 0; i < settings.DPISwitch.size(); ++i) {
        settings.DPISwitch[i] = IsOn(host, kFirstDpiSelectorId + static_cast<int>(i), settings.DPISwitch[i]);
    }

    settings.PointerSpeed = SliderValue(host, 15, settings.PointerSpeed);
    settings.MouseAcceleration = IsOn(host, 37, settings.MouseAcceleration);
    settings.DisplayPointerTrails = IsOn(host, 38, settings.DisplayPointerTrails);
    settings.DClickSpeed = SliderValue(host, 16, settings.DClickSpeed);

    if (const int i = FirstOn(host, std::array{44, 43}); i >= 0) settings.HandedMode = i + 1;
    if (const int i = FirstOn(host, std::array{45, 46, 47}); i >= 0) settings.AdjustEffect = i + 1;

    for (size_t i = 0; i < settings.Key.size(); ++i) {
        if (auto* c = Find<CZylComboxButton>(host, kFirstKeyDropDown + static_cast<int>(i))) {
            settings.Key[i] = static_cast<uint8_t>(c->m_nSelId);
        }
    }

    for (size_t i = 0; i < kDpiSlots.size(); ++i) {
        auto* marker = host.FindCtrl(kFirstDpiMarkerId + static_cast<int>(i));
        if (marker && marker->m_bVisible) {
            settings.CurDPI = kDpiSlots[i];
            break;
        }
    }

    return SaveProfile(ProfilePath(), settings);
}

void LoadAndShowProfile(CZylDialog& host, MouseSettings& settings) {
    LoadProfile(ProfilePath(), settings);
    ShowSettings(host, settings);
}

}  // namespace mivo::content
