// Windows pointer settings: one SystemParametersInfoW call each; our write flags are the system's
// (bit 0 update the user profile, bit 1 broadcast the change).
#include "platform/win32/win32_pointer.h"

#include <windows.h>

#include <cstdint>

namespace mivo::platform::win32 {

namespace {
bool Spi(UINT action, UINT ui, void* pv, unsigned flags) {
    return SystemParametersInfoW(action, ui, pv, flags & (SPIF_UPDATEINIFILE | SPIF_SENDCHANGE)) != FALSE;
}
}  // namespace

bool Win32PointerSettings::SetMouseTrails(uint32_t length, unsigned flags) {
    return Spi(SPI_SETMOUSETRAILS, length, nullptr, flags);
}

bool Win32PointerSettings::SetMouseParams(const std::array<int, 3>& thresholds_and_accel, unsigned flags) {
    int values[3] = {thresholds_and_accel[0], thresholds_and_accel[1], thresholds_and_accel[2]};
    return Spi(SPI_SETMOUSE, 0, values, flags);
}

bool Win32PointerSettings::SetDoubleClickTime(uint32_t ms, unsigned flags) {
    return Spi(SPI_SETDOUBLECLICKTIME, ms, nullptr, flags);
}

bool Win32PointerSettings::SetMouseSpeed(int speed, unsigned flags) {
    // The speed travels in the pointer argument itself.
    return Spi(SPI_SETMOUSESPEED, 0, reinterpret_cast<void*>(static_cast<intptr_t>(speed)), flags);
}

bool Win32PointerSettings::SetWheelScrollLines(uint32_t lines, unsigned flags) {
    return Spi(SPI_SETWHEELSCROLLLINES, lines, nullptr, flags);
}

bool Win32PointerSettings::SetDragFullWindows(bool on, unsigned flags) {
    return Spi(SPI_SETDRAGFULLWINDOWS, on ? 1 : 0, nullptr, flags);
}

}  // namespace mivo::platform::win32
