// What mivo-config takes from the host system even when everything else is simulated.
#pragma once
#include <memory>

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

}  // namespace mivo
