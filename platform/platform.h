// The set of platform services the core calls, and the process-wide pointer to the set in use.
#pragma once
#include <string_view>

namespace mivo::platform {

class Clock;
class HidBus;
class PointerSettings;
class Paths;
class Locale;
class Diagnostics;
class ImageCodec;
class FontService;
class SoundService;
class Desktop;
class Shell;

// Non-owning view of one backend's services. The program (or a test) owns the backend objects
// and installs the view with ScopedServices before the core runs. A null service means the
// backend does not provide it; the core treats such a call as a silent failure.
struct Services {
    Clock* clock = nullptr;
    HidBus* hid = nullptr;
    PointerSettings* pointer = nullptr;
    Paths* paths = nullptr;
    Locale* locale = nullptr;
    Diagnostics* diagnostics = nullptr;
    ImageCodec* codec = nullptr;
    FontService* fonts = nullptr;
    SoundService* sound = nullptr;
    Desktop* desktop = nullptr;
    Shell* shell = nullptr;
};

// The services in use. Every member is null until a ScopedServices installs a set.
Services& Current();

// Installs a service set for its lifetime and restores the previous one afterwards.
class ScopedServices {
public:
    explicit ScopedServices(const Services& services);
    ~ScopedServices();
    ScopedServices(const ScopedServices&) = delete;
    ScopedServices& operator=(const ScopedServices&) = delete;

private:
    Services previous_;
};

// Reports an event or a silent failure through the diagnostics service, when there is one.
void Report(std::string_view name, std::string_view args = {});

}  // namespace mivo::platform
