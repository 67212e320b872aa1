// What mivo-config takes from the host system even when everything else is simulated.
#pragma once
#include <memory>
#include <ostream>
#include <string>
#include <vector>

#include "platform/platform.h"

namespace mivo {

// Owns the host's picture decoding, fonts and executable paths; services() fills only those
// three members (codec, fonts, paths) and leaves the rest null.
class HostServices {
public:
    virtual ~HostServices() = default;
    virtual platform::Services services() = 0;
};

std::unique_ptr<HostServices> MakeHostServices();

struct ProgramOptions;

// The program's arguments without its name, in UTF-8 (main's argv may be in another encoding).
std::vector<std::string> ProgramArguments(int argc, char** argv);

// Runs the start-up on this system's own desktop with its real services (with options.simulate
// the simulated mouse stands in for the HID bus). Returns the exit status; where this system has
// no desktop backend it says so on `err` and returns 2.
int RunOnDesktop(const ProgramOptions& options, std::ostream& err);

// The part of RunOnDesktop every system shares: runs the start-up with `services` (the system's
// own), where with options.simulate the simulated mouse, timed by `clock` and logging to `log`,
// stands in for the HID bus. The pointer settings stay the system's, so an apply can be read back.
int RunWithSystemServices(platform::Services services, platform::Clock& clock, platform::Diagnostics& log,
                          const ProgramOptions& options);

}  // namespace mivo
