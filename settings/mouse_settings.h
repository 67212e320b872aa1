// The settings record: every choice the user makes, with its factory values.
#pragma once
#include <array>
#include <cstdint>

namespace mivo {

// Button-function codes, as stored in Key[] and sent to the mouse unchanged.
namespace keycode {
constexpr uint8_t kClick = 0x01;
constexpr uint8_t kMenu = 0x02;
constexpr uint8_t kUniversalScroll = 0x04;
constexpr uint8_t kBrowserBack = 0x08;
constexpr uint8_t kBrowserForward = 0x10;
constexpr uint8_t kDpiCycle = 0x81;
constexpr uint8_t kScrollUp = 0x82;
constexpr uint8_t kScrollDown = 0x83;
constexpr uint8_t kDisabled = 0x85;
}  // namespace keycode

// The seven dpi slots; slot code i+1 is kDpiSlots[i].
constexpr std::array<int32_t, 7> kDpiSlots = {250, 500, 1000, 1250, 1500, 1750, 2000};

struct MouseSettings {
    int32_t CurDPI = 1000;
    int32_t ScrollSpeed = 3;
    int32_t MouseWheel = 1;
    int32_t OnePage = 0;
    int32_t PollingRate = 1000;
    std::array<int32_t, 7> DPISwitch = {1, 1, 1, 1, 1, 1, 1};
    int32_t PointerSpeed = 6;
    int32_t MouseAcceleration = 0;
    int32_t DisplayPointerTrails = 0;
    int32_t DClickSpeed = 7;
    int32_t HandedMode = 2;  // 1 left-handed, 2 right-handed
    int32_t AdjustEffect = 2;  // 1 always on, 2 breathing, 3 off
    // Language item ID 63-79; unset (0) until a profile is loaded.
    int32_t Language = 0;
    std::array<uint8_t, 6> Key = {keycode::kClick, keycode::kMenu, keycode::kUniversalScroll,
                                  keycode::kScrollUp, keycode::kScrollDown, keycode::kDpiCycle};

    bool operator==(const MouseSettings&) const = default;
};

// Factory values (Language left unset).
inline constexpr MouseSettings DefaultSettings{};

// Copies every field except Language.
void CopySettings(const MouseSettings& source, MouseSettings& destination);

// Slot code 1-7 of a dpi value, or 0 when the value is no slot.
int DpiSlotCode(int32_t dpi);

}  // namespace mivo
