// mivoctl's host services on Linux: clock, paths, locale and the hidraw HID bus; the pointer
// settings the profile holds are Windows settings, so there is no pointer service here.
#include "cli/host.h"
#include "platform/linux/hid_hidraw.h"
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
        s.hid = &hid_;
        return s;
    }
    const char* name() const override { return "Linux"; }

private:
    platform::linux_backend::LinuxClock clock_;
    platform::linux_backend::LinuxPaths paths_;
    platform::linux_backend::LinuxLocale locale_;
    platform::linux_backend::HidrawBus hid_;
};

}  // namespace

std::unique_ptr<HostPlatform> MakeHostPlatform() { return std::make_unique<LinuxHost>(); }

}  // namespace mivo::cli
