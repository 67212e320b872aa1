// Windows pointer settings through SystemParametersInfoW.
#pragma once
#include "platform/pointer_settings.h"

namespace mivo::platform::win32 {

class Win32PointerSettings final : public PointerSettings {
public:
    bool SetMouseTrails(uint32_t length, unsigned flags) override;
    bool SetMouseParams(const std::array<int, 3>& thresholds_and_accel, unsigned flags) override;
    bool SetDoubleClickTime(uint32_t ms, unsigned flags) override;
    bool SetMouseSpeed(int speed, unsigned flags) override;
    bool SetWheelScrollLines(uint32_t lines, unsigned flags) override;
    bool SetDragFullWindows(bool on, unsigned flags) override;
};

}  // namespace mivo::platform::win32
