// mivoctl: show and edit the profile, apply it to the mouse, read and watch its dpi step.
#pragma once
#include <cstdint>
#include <optional>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

#include "settings/profile.h"

namespace mivo::platform::sim {
class SimPlatform;
}

namespace mivo::cli {

// Exit statuses.
constexpr int kExitOk = 0;
constexpr int kExitDevice = 1;     // no mouse, a refused report or query, or an unwritable profile
constexpr int kExitUsage = 2;      // bad arguments or values; nothing was written
constexpr int kExitNoBackend = 3;  // the command needs a HID backend this build lacks

class HostPlatform;

// Runs one mivoctl command line (without the program name). With `--simulate`, `sim` (when
// given) is the simulated platform to use instead of a fresh one, so tests can prepare and
// inspect the mouse. `host` (when given) stands in for this system's own services.
int RunMivoctl(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
               platform::sim::SimPlatform* sim = nullptr, HostPlatform* host = nullptr);

// Checks a `set` value text for `key`; the number, or an error message naming the key and the
// values it allows.
struct CheckedValue {
    std::optional<int32_t> value;
    std::string error;
};
CheckedValue CheckSettingValue(const ProfileKey& key, std::string_view text);

}  // namespace mivo::cli
