// mivoctl's host services on Linux: clock, paths and locale; no HID or pointer backend yet.
#include "cli/host.h"
#include "platform/linux/linux_basic.h"

namespace mivo::cli {

namespace {

class LinuxHost final : public HostPlatform {
public:
    platform::Services services() override {
        platform::Services s;
        s.clock = &clock_;
        s.paths = &paths_;
        s.locale = &locale_;
        return s;
    }
    const char* name() const override { return "Linux"; }

private:
    platform::linux_backend::LinuxClock clock_;
    platform::linux_backend::LinuxPaths paths_;
    platform::linux_backend::LinuxLocale locale_;
};

}  // namespace

std::unique_ptr<HostPlatform> MakeHostPlatform() { return std::make_unique<LinuxHost>(); }

}  // namespace mivo::cli
