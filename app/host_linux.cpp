// Host services of mivo-config on Linux: libpng/libjpeg pictures, FreeType/fontconfig fonts, /proc paths.
#include "app/host.h"

#include "platform/linux/codec_linux.h"
#include "platform/linux/fonts_linux.h"
#include "platform/linux/linux_basic.h"

namespace mivo {

namespace {

class LinuxHost final : public HostServices {
public:
    platform::Services services() override {
        platform::Services s;
        s.codec = &codec_;
        s.fonts = &fonts_;
        s.paths = &paths_;
        return s;
    }

private:
    platform::linux_backend::LinuxImageCodec codec_;
    platform::linux_backend::LinuxFontService fonts_;
    platform::linux_backend::LinuxPaths paths_;
};

}  // namespace

std::unique_ptr<HostServices> MakeHostServices() { return std::make_unique<LinuxHost>(); }

}  // namespace mivo
