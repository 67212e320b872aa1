// HID bus service: enumerate interfaces, open one, exchange 8-byte feature reports, hear arrivals and removals.
#pragma once
#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace mivo::platform {

using FeatureReport = std::array<uint8_t, 8>;

struct HidAttributes {
    uint16_t vendor_id = 0;
    uint16_t product_id = 0;
    uint16_t version = 0;  // release number of the device
};

// One opened HID interface. Closing happens in the destructor.
class HidDevice {
public:
    virtual ~HidDevice() = default;
    virtual bool GetAttributes(HidAttributes& out) = 0;
    virtual bool SetFeature(const FeatureReport& report) = 0;
    // `report[0]` holds the report ID on entry; the answer overwrites the buffer.
    virtual bool GetFeature(FeatureReport& report) = 0;
};

// Device-change broadcast kinds, numbered as the system numbers them.
enum class DeviceEvent : uint32_t {
    Arrival = 0x8000,
    RemoveComplete = 0x8004,
    NodesChanged = 0x0007,
};

struct DeviceBroadcast {
    uint32_t event = 0;            // DeviceEvent value, or any other the system sends
    bool is_interface = false;     // a device-interface broadcast (carries a name)
    std::string name;              // interface path (UTF-8), empty when there is none
};

class HidBus {
public:
    virtual ~HidBus() = default;
    // Paths of the HID interfaces present now, in the system's enumeration order.
    virtual std::vector<std::string> Enumerate() = 0;
    // Opens one interface for reading and writing; null when the system refuses.
    virtual std::unique_ptr<HidDevice> Open(const std::string& path) = 0;
    // Registers for arrival/removal broadcasts; the handler runs on the UI thread. False on failure.
    virtual bool RegisterNotifications(std::function<void(const DeviceBroadcast&)> handler) = 0;
};

}  // namespace mivo::platform
