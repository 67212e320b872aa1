// Host services of mivo-config on Linux: libpng/libjpeg pictures, FreeType/fontconfig fonts, /proc paths.
#include "app/host.h"
#include "app/program.h"

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

// Linux passes arguments as bytes; UTF-8 locales make them UTF-8 already.
std::vector<std::string> ProgramArguments(int argc, char** argv) { return {argv + 1, argv + argc}; }

int RunOnDesktop(const ProgramOptions&, std::ostream& err) {
    err << "mivo-config: there is no display backend on this platform yet; run with --headless "
           "(the simulated desktop, driven by --script)\n";
    return 2;
}

}  // namespace mivo
