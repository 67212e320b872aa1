// Host services of mivo-config on Linux: libpng/libjpeg pictures, FreeType/fontconfig fonts, /proc
// paths, and the run on the X11 desktop with every real service.
#include "app/host.h"

#include <functional>
#include <memory>
#include <utility>

#include "app/file_event_log.h"
#include "app/program.h"
#include "platform/linux/codec_linux.h"
#include "platform/linux/fonts_linux.h"
#include "platform/linux/hid_hidraw.h"
#include "platform/linux/linux_basic.h"
#include "platform/linux/shell_linux.h"
#include "platform/linux/x11_desktop.h"

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

// Every Linux service of a run on the desktop. There are no pointer settings to write on this
// system, and no sound backend: both stay null, which the core reports and carries on without.
struct LinuxPlatform {
    platform::linux_backend::LinuxClock clock;
    platform::linux_backend::HidrawBus hid;
    platform::linux_backend::LinuxPaths paths;
    platform::linux_backend::LinuxLocale locale;
    platform::linux_backend::LinuxImageCodec codec;
    platform::linux_backend::LinuxFontService fonts;
    platform::linux_backend::X11Desktop desktop;
    platform::linux_backend::LinuxShell shell;

    platform::Services services() {
        platform::Services s;
        s.clock = &clock;
        s.hid = &hid;
        s.paths = &paths;
        s.locale = &locale;
        s.codec = &codec;
        s.fonts = &fonts;
        s.desktop = &desktop;
        s.shell = &shell;
        return s;
    }
};

}  // namespace

std::unique_ptr<HostServices> MakeHostServices() { return std::make_unique<LinuxHost>(); }

// Linux passes arguments as bytes; UTF-8 locales make them UTF-8 already.
std::vector<std::string> ProgramArguments(int argc, char** argv) { return {argv + 1, argv + argc}; }

int RunOnDesktop(const ProgramOptions& options, std::ostream& err) {
    FileEventLog log;
    if (!log.Open(options.log)) {
        err << "mivo-config: cannot write the log to " << options.log.string() << "\n";
        return 2;
    }
    auto system = std::make_unique<LinuxPlatform>();
    platform::Services services = system->services();
    if (!options.log.empty()) services.diagnostics = &log;
    if (!system->desktop.IsOpen()) {
        err << "mivo-config: cannot open the X display (is DISPLAY set?); run with --headless for the "
               "simulated desktop\n";
        return 2;
    }
    system->desktop.SetIconFolder(system->paths.ExecutablePath().parent_path() / "icons");
    // The bus hears plugs through a udev monitor, served by the desktop's loop.
    platform::linux_backend::X11Desktop& desktop = system->desktop;
    system->hid.SetFdWatcher(
        [&desktop](int fd, std::function<void()> on_readable) { desktop.WatchFd(fd, std::move(on_readable)); });
    return RunWithSystemServices(services, system->clock, log, options);
}

}  // namespace mivo
