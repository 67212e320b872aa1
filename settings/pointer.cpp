// Writes the system pointer settings from the settings record through the platform service.
#include "settings/pointer.h"

#include <algorithm>

#include "platform/platform.h"
#include "platform/pointer_settings.h"

namespace mivo {

PointerValues ComputePointerValues(const MouseSettings& s) {
    PointerValues v{};
    v.trails = s.DisplayPointerTrails != 0 ? 3u : 0u;
    v.mouse_params = s.MouseAcceleration != 0 ? std::array<int, 3>{0, 1, 2} : std::array<int, 3>{0, 0, 0};
    // Hand-edited profiles are not range-checked: hold the steps to what the controls offer so a
    // stray value cannot become a negative (huge unsigned) double-click time or an invalid speed.
    const int64_t click_step = std::clamp<int64_t>(s.DClickSpeed, 1, 11);
    v.double_click_ms = static_cast<uint32_t>(1300 - 100 * click_step);
    v.speed = static_cast<int>(std::clamp<int64_t>(2 * static_cast<int64_t>(s.PointerSpeed) - 1, 1, 20));
    if (s.MouseWheel != 0) {
        v.write_wheel = true;
        // A negative count would otherwise read as the page-scroll value.
        v.wheel_lines = static_cast<uint32_t>(std::max<int32_t>(s.ScrollSpeed, 0));
    } else if (s.OnePage != 0) {
        v.write_wheel = true;
        v.wheel_lines = platform::kWheelPageScroll;
    }
    return v;
}

void ApplyPointerSettings(const MouseSettings& settings) {
    platform::PointerSettings* pointer = platform::Current().pointer;
    if (!pointer) {
        platform::Report("pointer.unavailable", "apply");
        return;
    }
    using platform::kPointerBroadcast;
    using platform::kPointerUpdateProfile;
    const PointerValues v = ComputePointerValues(settings);
    pointer->SetMouseTrails(v.trails, kPointerUpdateProfile);
    pointer->SetMouseParams(v.mouse_params, kPointerUpdateProfile);
    pointer->SetDoubleClickTime(v.double_click_ms, kPointerUpdateProfile);
    pointer->SetMouseSpeed(v.speed, kPointerUpdateProfile | kPointerBroadcast);
    if (v.write_wheel) pointer->SetWheelScrollLines(v.wheel_lines, kPointerUpdateProfile | kPointerBroadcast);
}

void EnableDragFullWindows() {
    platform::PointerSettings* pointer = platform::Current().pointer;
    if (!pointer) {
        platform::Report("pointer.unavailable", "drag-full-windows");
        return;
    }
    pointer->SetDragFullWindows(true, platform::kPointerNoPersist);
}

}  // namespace mivo
