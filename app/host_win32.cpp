// Host services of mivo-config on Windows: WIC pictures, GDI fonts, module paths.
#include "app/host.h"

#include "platform/win32/win32_basic.h"
#include "platform/win32/win32_codec.h"
#include "platform/win32/win32_fonts.h"

namespace mivo {

namespace {

class Win32Host final : public HostServices {
public:
    platform::Services services() override {
        platform::Services s;
        s.codec = &codec_;
        s.fonts = &fonts_;
        s.paths = &paths_;
        return s;
    }

private:
    platform::win32::Win32ImageCodec codec_;
    platform::win32::Win32FontService fonts_;
    platform::win32::Win32Paths paths_;
};

}  // namespace

std::unique_ptr<HostServices> MakeHostServices() { return std::make_unique<Win32Host>(); }

}  // namespace mivo
