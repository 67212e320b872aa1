// mivoctl's host services on Windows: clock, paths, locale, the HID bus and the pointer settings.
#include "cli/host.h"
#include "platform/win32/win32_basic.h"
#include "platform/win32/win32_hid.h"
#include "platform/win32/win32_pointer.h"

namespace mivo::cli {

namespace {

class Win32Host final : public HostPlatform {
public:
    platform::Services services() override {
        platform::Services s;
        s.clock = &clock_;
        s.paths = &paths_;
        s.locale = &locale_;
        s.hid = &hid_;
        s.pointer = &pointer_;
        return s;
    }
    const char* name() const override { return "Windows"; }

private:
    platform::win32::Win32Clock clock_;
    platform::win32::Win32Paths paths_;
    platform::win32::Win32Locale locale_;
    platform::win32::Win32HidBus hid_;
    platform::win32::Win32PointerSettings pointer_;
};

}  // namespace

std::unique_ptr<HostPlatform> MakeHostPlatform() { return std::make_unique<Win32Host>(); }

}  // namespace mivo::cli
