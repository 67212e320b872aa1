// Finding and opening the mouse, and telling its plug events from other devices'.
#include "device/device_link.h"

#include <string>

#include "platform/platform.h"

namespace mivo {

std::unique_ptr<platform::HidDevice> OpenDevice(DeviceLink& link) {
    platform::HidBus* bus = platform::Current().hid;
    if (!bus) {
        platform::Report("device.nobus");
        return nullptr;
    }
    for (const std::string& path : bus->Enumerate()) {
        std::unique_ptr<platform::HidDevice> device = bus->Open(path);
        if (!device) continue;  // no read/write access: try the next interface
        platform::HidAttributes attributes;
        if (device->GetAttributes(attributes) && attributes.vendor_id == kMouseVendorId &&
            attributes.product_id == kMouseProductId) {
            link.Version = attributes.version;
            return device;
        }
        // Not the mouse: the handle closes as `device` goes out of scope.
    }
    return nullptr;
}

bool EnsureOpen(DeviceLink& link) {
    if (link.Connected == 0) {
        link.Handle = OpenDevice(link);
        link.Connected = link.Handle ? 1 : 0;
    }
    return link.Connected != 0;
}

bool RegisterHidNotification(std::function<void(const platform::DeviceBroadcast&)> handler) {
    platform::HidBus* bus = platform::Current().hid;
    if (bus && bus->RegisterNotifications(std::move(handler))) return true;
    platform::Report("device.register-failed");
    return false;
}

namespace {

// Position of the first `upper`, or failing that of the first `lower`; npos when neither occurs.
size_t FindDigits(std::string_view name, std::string_view upper, std::string_view lower) {
    size_t at = name.find(upper);
    if (at == std::string_view::npos) at = name.find(lower);
    return at;
}

bool FoundAfterFirst(size_t at) { return at != std::string_view::npos && at > 0; }

}  // namespace

bool MatchesMouseName(std::string_view name) {
    return FoundAfterFirst(FindDigits(name, "4D71", "4d71")) && FoundAfterFirst(FindDigits(name, "5A2B", "5a2b"));
}

DeviceChange ClassifyDeviceChange(const platform::DeviceBroadcast& broadcast) {
    if (!broadcast.is_interface) return DeviceChange::Ignore;
    const bool arrival = broadcast.event == static_cast<uint32_t>(platform::DeviceEvent::Arrival);
    const bool removal = broadcast.event == static_cast<uint32_t>(platform::DeviceEvent::RemoveComplete);
    if (!arrival && !removal) return DeviceChange::Ignore;
    if (!MatchesMouseName(broadcast.name)) return DeviceChange::Ignore;
    return arrival ? DeviceChange::MouseArrived : DeviceChange::MouseRemoved;
}

DeviceChange HandleDeviceChange(DeviceLink& link, const platform::DeviceBroadcast& broadcast) {
    const DeviceChange change = ClassifyDeviceChange(broadcast);
    if (change == DeviceChange::MouseRemoved) {
        link.Connected = 0;
        link.Handle.reset();  // stale from now on; the next ensure-open step opens afresh
    }
    return change;
}

}  // namespace mivo
