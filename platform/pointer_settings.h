// Pointer settings service: the system-wide mouse parameters the utility writes.
#pragma once
#include <array>
#include <cstdint>

namespace mivo::platform {

// How a change is stored: bit 0 writes the user profile, bit 1 broadcasts the change.
enum PointerWriteFlags : unsigned {
    kPointerNoPersist = 0,
    kPointerUpdateProfile = 1,
    kPointerBroadcast = 2,
};

// The scroll-lines value that means "one page per notch".
constexpr uint32_t kWheelPageScroll = 0xFFFFFFFFu;

class PointerSettings {
public:
    virtual ~PointerSettings() = default;
    virtual bool SetMouseTrails(uint32_t length, unsigned flags) = 0;
    virtual bool SetMouseParams(const std::array<int, 3>& thresholds_and_accel, unsigned flags) = 0;
    virtual bool SetDoubleClickTime(uint32_t ms, unsigned flags) = 0;
    virtual bool SetMouseSpeed(int speed, unsigned flags) = 0;
    virtual bool SetWheelScrollLines(uint32_t lines, unsigned flags) = 0;
    virtual bool SetDragFullWindows(bool on, unsigned flags) = 0;
};

}  // namespace mivo::platform
