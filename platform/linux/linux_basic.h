// Linux clock, paths and locale: the services every program needs before any window or device.
#pragma once
#include "platform/clock.h"
#include "platform/locale.h"
#include "platform/paths.h"

namespace mivo::platform::linux_backend {

// Monotonic clock; Sleep really blocks.
class LinuxClock final : public Clock {
public:
    int64_t Now() override;
    void Sleep(int64_t ms) override;
};

// Executable from /proc/self/exe; temporary folder from TMPDIR, else /tmp.
class LinuxPaths final : public Paths {
public:
    std::filesystem::path ExecutablePath() override;
    std::filesystem::path TempDir() override;
    bool TempDirIsShared() override;
};

// The user's language from LC_ALL / LC_MESSAGES / LANG.
class LinuxLocale final : public Locale {
public:
    uint16_t UserDefaultLangId() override;
};

}  // namespace mivo::platform::linux_backend
