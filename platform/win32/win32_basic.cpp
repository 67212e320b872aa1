// Windows clock, paths and locale.
#include "platform/win32/win32_basic.h"

#include <windows.h>

#include <string>

namespace mivo::platform::win32 {

int64_t Win32Clock::Now() { return static_cast<int64_t>(GetTickCount64()); }

void Win32Clock::Sleep(int64_t ms) {
    if (ms > 0) ::Sleep(static_cast<DWORD>(ms));
}

std::filesystem::path Win32Paths::ExecutablePath() {
    // The path can be longer than MAX_PATH: grow the buffer until it fits.
    std::wstring buffer(MAX_PATH, L'\0');
    for (;;) {
        const DWORD n = GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
        if (n == 0) return {};
        if (n < buffer.size()) return std::filesystem::path(buffer.substr(0, n));
        if (buffer.size() >= 32768) return {};
        buffer.resize(buffer.size() * 2);
    }
}

std::filesystem::path Win32Paths::TempDir() {
    wchar_t buffer[MAX_PATH + 2];
    const DWORD n = GetTempPathW(MAX_PATH + 2, buffer);
    if (n == 0 || n > MAX_PATH + 1) return {};
    return std::filesystem::path(std::wstring(buffer, n));
}

// The temporary folder Windows reports lies in the user's own profile, which other users cannot
// write to; the POSIX bits the runtime library makes up for it say nothing about that.
bool Win32Paths::TempDirIsShared() { return false; }

uint16_t Win32Locale::UserDefaultLangId() { return GetUserDefaultLangID(); }

}  // namespace mivo::platform::win32
