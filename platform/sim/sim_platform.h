// The whole simulated platform in one object: clock, event log, pointer settings, locale, paths, HID bus.
#pragma once
#include "platform/platform.h"
#include "platform/sim/event_log.h"
#include "platform/sim/sim_clock.h"
#include "platform/sim/sim_hid.h"
#include "platform/sim/sim_services.h"

namespace mivo::platform::sim {

// Owns every simulated service; members are declared in dependency order (the log reads the
// clock, the pointer settings and the bus write to the log).
class SimPlatform {
public:
    SimPlatform() { hid.SetClock(&clock); }
    SimPlatform(const SimPlatform&) = delete;
    SimPlatform& operator=(const SimPlatform&) = delete;

    // Non-owning view for ScopedServices. Image codec and fonts stay null: programs take those
    // from the host backend.
    Services services();

    SimClock clock;
    EventLog log{clock};
    SimPointerSettings pointer{log};
    SimLocale locale;
    SimPaths paths;
    SimHidBus hid{log};
};

}  // namespace mivo::platform::sim
