// The simulated platform's service view.
#include "platform/sim/sim_platform.h"

namespace mivo::platform::sim {

Services SimPlatform::services() {
    Services s;
    s.clock = &clock;
    s.hid = &hid;
    s.pointer = &pointer;
    s.paths = &paths;
    s.locale = &locale;
    s.diagnostics = &log;
    return s;
}

}  // namespace mivo::platform::sim
