// Linux HID bus through hidraw: interfaces found in sysfs, feature reports through the hidraw ioctls,
// plug events from udev.
#pragma once
#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/hid.h"

namespace mivo::platform::linux_backend {

// An interface's path is the sysfs folder of its hidraw node, for example
// "/sys/devices/.../0003:4D71:5A2B.0004/hidraw/hidraw2": it names the vendor and product as a
// Windows interface path does, and its last part names the node under /dev.
class HidrawBus final : public HidBus {
public:
    // The roots are parameters so tests can lay out a sysfs tree of their own.
    explicit HidrawBus(std::filesystem::path sysfs = "/sys", std::filesystem::path dev = "/dev");

    // Every hidraw node in sysfs, in node-number order (hidraw2 before hidraw10).
    std::vector<std::string> Enumerate() override;
    // Opens the node for reading and writing; null when it is missing or access is refused.
    std::unique_ptr<HidDevice> Open(const std::string& path) override;
    ~HidrawBus() override;
    HidrawBus(const HidrawBus&) = delete;
    HidrawBus& operator=(const HidrawBus&) = delete;

    // The owner's event loop, which watches a descriptor and calls back when it is readable.
    using FdWatcher = std::function<void(int fd, std::function<void()> on_readable)>;
    void SetFdWatcher(FdWatcher watcher);
    // Listens to udev for hidraw nodes coming and going; the handler runs from the watcher's loop.
    // False without a watcher (no loop to serve the monitor) or when udev cannot be reached.
    bool RegisterNotifications(std::function<void(const DeviceBroadcast&)> handler) override;

private:
    void DispatchNotifications();

    std::filesystem::path sysfs_;
    std::filesystem::path dev_;
    FdWatcher watcher_;
    std::function<void(const DeviceBroadcast&)> handler_;
    struct Monitor;
    std::unique_ptr<Monitor> monitor_;
};

// The broadcast a udev event of a hidraw node makes: "add" an arrival, "remove" a removal, each
// naming the node's sysfs folder as Enumerate does; nullopt for any other action.
std::optional<DeviceBroadcast> HidrawBroadcast(std::string_view action, std::string_view syspath);

// The node number of a name "hidrawN"; nullopt for any other name.
std::optional<unsigned> HidrawNodeNumber(std::string_view name);

// A sysfs "bcdDevice" value ("0105\n") as the release number 0x0105; nullopt when malformed.
std::optional<uint16_t> ParseReleaseNumber(std::string_view text);

// The release number of the USB device above a hidraw sysfs folder: the first ancestor folder
// with a "bcdDevice" file. 0 when there is none (a device on another bus).
uint16_t FindReleaseNumber(const std::filesystem::path& hidraw_folder);

}  // namespace mivo::platform::linux_backend
