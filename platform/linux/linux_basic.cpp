// Linux clock, paths and locale.
#include "platform/linux/linux_basic.h"

#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <thread>

#include "base/langid.h"

namespace mivo::platform::linux_backend {

int64_t LinuxClock::Now() {
    using namespace std::chrono;
    return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

void LinuxClock::Sleep(int64_t ms) {
    if (ms > 0) std::this_thread::sleep_for(std::chrono::milliseconds(ms));
}

std::filesystem::path LinuxPaths::ExecutablePath() {
    char buffer[4096];
    const ssize_t n = ::readlink("/proc/self/exe", buffer, sizeof buffer);
    if (n <= 0 || static_cast<size_t>(n) >= sizeof buffer) return {};
    return std::filesystem::path(std::string(buffer, static_cast<size_t>(n)));
}

std::filesystem::path LinuxPaths::TempDir() {
    const char* tmp = std::getenv("TMPDIR");
    return (tmp && *tmp) ? std::filesystem::path(tmp) : std::filesystem::path("/tmp");
}

bool LinuxPaths::TempDirIsShared() {
    // A folder that group or others may write to (such as /tmp) is shared; stat follows a link
    // to the folder it names. No folder at all: nothing is shared.
    struct stat st {};
    if (::stat(TempDir().c_str(), &st) != 0) return false;
    return (st.st_mode & (S_IWGRP | S_IWOTH)) != 0;
}

uint16_t LinuxLocale::UserDefaultLangId() {
    return LangIdFromEnvironment(std::getenv("LC_ALL"), std::getenv("LC_MESSAGES"), std::getenv("LANG"));
}

}  // namespace mivo::platform::linux_backend
