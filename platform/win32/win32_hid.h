// Windows HID bus: interfaces through SetupAPI, feature reports through the HID class driver, and
// arrival/removal broadcasts through a message-only window.
#pragma once
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/hid.h"

namespace mivo::platform::win32 {

class Win32HidBus final : public HidBus {
public:
    Win32HidBus();
    ~Win32HidBus() override;
    Win32HidBus(const Win32HidBus&) = delete;
    Win32HidBus& operator=(const Win32HidBus&) = delete;

    std::vector<std::string> Enumerate() override;
    std::unique_ptr<HidDevice> Open(const std::string& path) override;
    // Broadcasts reach `handler` while the thread that called this runs a message loop.
    bool RegisterNotifications(std::function<void(const DeviceBroadcast&)> handler) override;

private:
    struct Notifier;
    std::unique_ptr<Notifier> notifier_;
};

// Decodes a WM_DEVICECHANGE message (event type, event data pointer). The name is read only
// within the size the header states; events without data give is_interface false.
DeviceBroadcast DecodeDeviceBroadcast(uintptr_t wparam, intptr_t lparam);

// Registers `window` (an HWND) for HID interface broadcasts; the notification handle, null on failure.
void* RegisterHidBroadcasts(void* window);

}  // namespace mivo::platform::win32
