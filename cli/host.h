// The host system's own services for mivoctl (clock, paths, locale, and HID once a backend exists).
#pragma once
#include <memory>

#include "platform/platform.h"

namespace mivo::cli {

class HostPlatform {
public:
    virtual ~HostPlatform() = default;
    // Services of this host. `hid` and `pointer` stay null where no backend is built yet.
    virtual platform::Services services() = 0;
    // Name of the host system, for messages.
    virtual const char* name() const = 0;
};

std::unique_ptr<HostPlatform> MakeHostPlatform();

}  // namespace mivo::cli
