// Windows clock, paths and locale: the services every program needs before any window or device.
#pragma once
#include "platform/clock.h"
#include "platform/locale.h"
#include "platform/paths.h"

namespace mivo::platform::win32 {

// GetTickCount64; Sleep really blocks.
class Win32Clock final : public Clock {
public:
    int64_t Now() override;
    void Sleep(int64_t ms) override;
};

// GetModuleFileNameW and GetTempPathW.
class Win32Paths final : public Paths {
public:
    std::filesystem::path ExecutablePath() override;
    std::filesystem::path TempDir() override;
    bool TempDirIsShared() override;
};

// GetUserDefaultLangID.
class Win32Locale final : public Locale {
public:
    uint16_t UserDefaultLangId() override;
};

}  // namespace mivo::platform::win32
