// Linux HID bus through hidraw: each operation is one open or ioctl on the node; udev tells of plugs.
#include "platform/linux/hid_hidraw.h"

#include <fcntl.h>
#include <libudev.h>
#include <linux/hidraw.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <algorithm>
#include <charconv>
#include <fstream>
#include <iterator>
#include <system_error>
#include <utility>

#include "platform/platform.h"

namespace mivo::platform::linux_backend {

namespace fs = std::filesystem;

namespace {

// An open hidraw node; the descriptor closes with the object.
class HidrawDevice final : public HidDevice {
public:
    HidrawDevice(int fd, fs::path folder) : fd_(fd), folder_(std::move(folder)) {}
    ~HidrawDevice() override { ::close(fd_); }
    HidrawDevice(const HidrawDevice&) = delete;
    HidrawDevice& operator=(const HidrawDevice&) = delete;

    bool GetAttributes(HidAttributes& out) override {
        hidraw_devinfo info{};
        if (::ioctl(fd_, HIDIOCGRAWINFO, &info) < 0) return false;
        out.vendor_id = static_cast<uint16_t>(info.vendor);
        out.product_id = static_cast<uint16_t>(info.product);
        out.version = FindReleaseNumber(folder_);
        return true;
    }

    // Both ioctls take the report ID in the first byte, as the reports are laid out.
    bool SetFeature(const FeatureReport& report) override {
        FeatureReport buffer = report;
        return ::ioctl(fd_, HIDIOCSFEATURE(buffer.size()), buffer.data()) == static_cast<int>(buffer.size());
    }

    bool GetFeature(FeatureReport& report) override {
        FeatureReport buffer = report;
        if (::ioctl(fd_, HIDIOCGFEATURE(buffer.size()), buffer.data()) <= 0) return false;
        report = buffer;
        return true;
    }

private:
    int fd_;
    fs::path folder_;
};

}  // namespace

std::optional<unsigned> HidrawNodeNumber(std::string_view name) {
    constexpr std::string_view kPrefix = "hidraw";
    if (name.size() <= kPrefix.size() || name.substr(0, kPrefix.size()) != kPrefix) return std::nullopt;
    const std::string_view digits = name.substr(kPrefix.size());
    unsigned n = 0;
    const auto [end, ec] = std::from_chars(digits.data(), digits.data() + digits.size(), n);
    if (ec != std::errc() || end != digits.data() + digits.size()) return std::nullopt;
    return n;
}

std::optional<uint16_t> ParseReleaseNumber(std::string_view text) {
    while (!text.empty() && (text.back() == '\n' || text.back() == ' ')) text.remove_suffix(1);
    if (text.empty() || text.size() > 4) return std::nullopt;
    uint16_t value = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value, 16);
    if (ec != std::errc() || end != text.data() + text.size()) return std::nullopt;
    return value;
}

uint16_t FindReleaseNumber(const fs::path& hidraw_folder) {
    for (fs::path at = hidraw_folder; at.has_relative_path(); at = at.parent_path()) {
        std::ifstream file(at / "bcdDevice");
        if (!file) continue;
        const std::string text{std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
        return ParseReleaseNumber(text).value_or(0);
    }
    return 0;
}

std::optional<DeviceBroadcast> HidrawBroadcast(std::string_view action, std::string_view syspath) {
    DeviceEvent event;
    if (action == "add") {
        event = DeviceEvent::Arrival;
    } else if (action == "remove") {
        event = DeviceEvent::RemoveComplete;
    } else {
        return std::nullopt;
    }
    return DeviceBroadcast{static_cast<uint32_t>(event), true, std::string(syspath)};
}

// The udev connection and its monitor, released in reverse order.
struct HidrawBus::Monitor {
    struct UdevFree {
        void operator()(udev* u) const { udev_unref(u); }
    };
    struct MonitorFree {
        void operator()(udev_monitor* m) const { udev_monitor_unref(m); }
    };
    std::unique_ptr<udev, UdevFree> context;
    std::unique_ptr<udev_monitor, MonitorFree> monitor;
};

HidrawBus::HidrawBus(fs::path sysfs, fs::path dev) : sysfs_(std::move(sysfs)), dev_(std::move(dev)) {}

HidrawBus::~HidrawBus() = default;

void HidrawBus::SetFdWatcher(FdWatcher watcher) { watcher_ = std::move(watcher); }

bool HidrawBus::RegisterNotifications(std::function<void(const DeviceBroadcast&)> handler) {
    if (!watcher_) return false;
    auto m = std::make_unique<Monitor>();
    m->context.reset(udev_new());
    if (m->context) m->monitor.reset(udev_monitor_new_from_netlink(m->context.get(), "udev"));
    if (!m->monitor || udev_monitor_filter_add_match_subsystem_devtype(m->monitor.get(), "hidraw", nullptr) < 0 ||
        udev_monitor_enable_receiving(m->monitor.get()) < 0) {
        Report("hid.udev-failed");
        return false;
    }
    const int fd = udev_monitor_get_fd(m->monitor.get());
    handler_ = std::move(handler);
    monitor_ = std::move(m);
    watcher_(fd, [this] { DispatchNotifications(); });
    return true;
}

void HidrawBus::DispatchNotifications() {
    // The monitor's socket does not block: drain what has arrived.
    while (udev_device* device = udev_monitor_receive_device(monitor_->monitor.get())) {
        const char* action = udev_device_get_action(device);
        const char* syspath = udev_device_get_syspath(device);
        std::optional<DeviceBroadcast> broadcast;
        if (action && syspath) broadcast = HidrawBroadcast(action, syspath);
        udev_device_unref(device);
        if (broadcast && handler_) handler_(*broadcast);
    }
}

std::vector<std::string> HidrawBus::Enumerate() {
    std::vector<std::pair<unsigned, std::string>> nodes;
    std::error_code ec;
    for (const auto& entry : fs::directory_iterator(sysfs_ / "class" / "hidraw", ec)) {
        const auto n = HidrawNodeNumber(entry.path().filename().string());
        if (!n) continue;
        // The class entry is a link to the node's folder under the device that owns it.
        std::error_code link_ec;
        const fs::path folder = fs::canonical(entry.path(), link_ec);
        nodes.emplace_back(*n, (link_ec ? entry.path() : folder).string());
    }
    // Without the hidraw class folder there is simply no node; any other error is a failure.
    if (ec && ec != std::errc::no_such_file_or_directory) {
        Report("hid.enumerate-failed", (sysfs_ / "class" / "hidraw").string());
    }
    std::sort(nodes.begin(), nodes.end());
    std::vector<std::string> paths;
    paths.reserve(nodes.size());
    for (auto& node : nodes) paths.push_back(std::move(node.second));
    return paths;
}

std::unique_ptr<HidDevice> HidrawBus::Open(const std::string& path) {
    const fs::path folder(path);
    if (!HidrawNodeNumber(folder.filename().string())) return nullptr;
    const int fd = ::open((dev_ / folder.filename()).c_str(), O_RDWR | O_CLOEXEC);
    if (fd < 0) return nullptr;
    return std::make_unique<HidrawDevice>(fd, folder);
}


}  // namespace mivo::platform::linux_backend
