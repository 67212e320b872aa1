// Link to the mouse: finding and opening its HID interface, and recognising its plug events.
#pragma once
#include <cstdint>
#include <functional>
#include <memory>
#include <string_view>

#include "platform/hid.h"

namespace mivo {

constexpr uint16_t kMouseVendorId = 0x5A2B;
constexpr uint16_t kMouseProductId = 0x4D71;

// The opened mouse. Opened lazily by EnsureOpen; there is no explicit close.
struct DeviceLink {
    std::unique_ptr<platform::HidDevice> Handle;
    int32_t Connected = 0;  // 1 once OpenDevice gave a handle, 0 after the mouse's removal
    uint32_t Version = 0;   // release number of the mouse last opened
};

// First interface, in enumeration order, that opens for reading and writing and whose
// attributes carry the mouse's vendor and product IDs; null when there is none. Sets
// link.Version on success, but not Handle or Connected: the caller does (see EnsureOpen).
std::unique_ptr<platform::HidDevice> OpenDevice(DeviceLink& link);

// The one ensure-open step: when not connected, opens the mouse and sets Handle/Connected.
// Returns whether the link is connected afterwards.
bool EnsureOpen(DeviceLink& link);

// Registers `handler` for the system's HID arrival and removal broadcasts. False (and reported)
// when the platform refuses; arrivals and removals then go unnoticed.
bool RegisterHidNotification(std::function<void(const platform::DeviceBroadcast&)> handler);

// Whether a device-change broadcast name belongs to the mouse: it holds "4D71" (or, failing
// that, "4d71") after its first character, and "5A2B" (or, failing that, "5a2b") likewise.
// Mixed-case digits do not match.
bool MatchesMouseName(std::string_view name);

// What a device-change broadcast means for the program.
enum class DeviceChange {
    Ignore,        // another device, another event, or no interface name
    MouseArrived,  // re-add the tray icon and allow showing; the next poll opens the link
    MouseRemoved,  // the link is closed; remove the tray icon and hide the window
};

// Pure decision for one broadcast.
DeviceChange ClassifyDeviceChange(const platform::DeviceBroadcast& broadcast);

// Decides as ClassifyDeviceChange and carries out the link's part: on the mouse's removal,
// Connected becomes 0 and the stale handle is closed. The caller does the window's part.
DeviceChange HandleDeviceChange(DeviceLink& link, const platform::DeviceBroadcast& broadcast);

}  // namespace mivo
