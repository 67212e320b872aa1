// Host services of mivo-config on Windows: WIC pictures, GDI fonts, module paths, and the run on
// the Windows desktop with every real service.
#include "app/host.h"

#include "app/file_event_log.h"
#include "app/program.h"
#include "platform/win32/win32_basic.h"
#include "platform/win32/win32_codec.h"
#include "platform/win32/win32_entry.h"
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

// main's argv is in the ANSI code page: take the wide command line instead.
std::vector<std::string> ProgramArguments(int, char**) { return platform::win32::CommandLineArguments(); }

int RunOnDesktop(const ProgramOptions& options, std::ostream& err) {
    FileEventLog log;
    if (!log.Open(options.log)) {
        err << "mivo-config: cannot write the log to " << options.log.string() << "\n";
        return 2;
    }
    platform::win32::Win32Platform system;
    platform::Services services = system.services();
    if (!options.log.empty()) services.diagnostics = &log;
    return RunWithSystemServices(services, system.clock, log, options);
}

}  // namespace mivo
