// Process-wide service set.
#include "platform/platform.h"

#include "platform/diagnostics.h"

namespace mivo::platform {

namespace {
Services g_services;
}

Services& Current() { return g_services; }

ScopedServices::ScopedServices(const Services& services) : previous_(g_services) { g_services = services; }
ScopedServices::~ScopedServices() { g_services = previous_; }

void Report(std::string_view name, std::string_view args) {
    if (g_services.diagnostics) g_services.diagnostics->Event(name, args);
}

}  // namespace mivo::platform
