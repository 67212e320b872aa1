// Module folder, temporary folder and folder creation, on the platform paths service.
#include "resources/paths.h"

#include <optional>
#include <system_error>

#include "platform/paths.h"
#include "platform/platform.h"

namespace mivo {

namespace {
std::optional<std::filesystem::path> g_module_dir_override;
}

std::filesystem::path GetModuleDir() {
    if (g_module_dir_override) return *g_module_dir_override;
    platform::Paths* paths = platform::Current().paths;
    if (!paths) {
        platform::Report("paths.unavailable", "executable");
        return {};
    }
    return paths->ExecutablePath().parent_path();
}

void SetModuleDirOverride(const std::filesystem::path& dir) {
    // Without a trailing separator, like the executable's folder.
    std::filesystem::path d = dir;
    while (d.has_relative_path() && !d.has_filename()) d = d.parent_path();
    g_module_dir_override = d;
}

void ClearModuleDirOverride() { g_module_dir_override.reset(); }

std::filesystem::path GetTempDir() {
    platform::Paths* paths = platform::Current().paths;
    if (!paths) {
        platform::Report("paths.unavailable", "temp");
        return {};
    }
    return paths->TempDir();
}

void MakeDirs(const std::filesystem::path& path) {
    std::error_code ec;
    if (path.empty() || std::filesystem::exists(path, ec)) return;
    std::filesystem::path dir = path;
    // A dot after the last separator marks a file name.
    if (dir.filename().string().find('.') != std::string::npos) dir = dir.parent_path();
    if (dir.empty()) return;
    std::filesystem::create_directories(dir, ec);
}

}  // namespace mivo
