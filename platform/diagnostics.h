// Diagnostics service: the one place every observable effect and every silent failure is reported.
#pragma once
#include <string_view>

namespace mivo::platform {

// Real backends may drop these; the simulated platform writes them, time-stamped, to its event log.
class Diagnostics {
public:
    virtual ~Diagnostics() = default;
    virtual void Event(std::string_view name, std::string_view args) = 0;
};

}  // namespace mivo::platform
