// Sound playback.
#include "auxiliary/sound.h"

#include <cstdlib>
#include <memory>
#include <string>
#include <system_error>

#include "platform/paths.h"
#include "platform/platform.h"
#include "platform/sound.h"
#include "resources/paths.h"

namespace mivo {

namespace fs = std::filesystem;

namespace {

std::unique_ptr<Sound> g_currentSound;

void ReportError(std::string_view what, const fs::path& path, const std::error_code& ec) {
    platform::Report(what, path.string() + ": " + ec.message());
}

// The login name, reduced to characters that are safe in a file name.
std::string UserTag() {
    const char* name = nullptr;
    for (const char* var : {"USER", "LOGNAME", "USERNAME"}) {
        name = std::getenv(var);
        if (name && *name) break;
        name = nullptr;
    }
    std::string tag;
    for (const char* p = name ? name : ""; *p; ++p) {
        const char c = *p;
        const bool safe = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '.' ||
                          c == '_' || c == '-';
        tag += safe ? c : '_';
    }
    if (tag.empty() || tag == "." || tag == "..") tag = "user";
    return tag;
}

// Makes `dir` a real folder (not a link) that only its owner can enter. Fails when it is a link
// or something else, or when it belongs to someone else (changing its permissions is refused).
bool MakePrivateFolder(const fs::path& dir) {
    std::error_code ec;
    fs::create_directory(dir, ec);
    const fs::file_status st = fs::symlink_status(dir, ec);
    if (ec || st.type() != fs::file_type::directory) {
        platform::Report("sound.unsafe_folder", dir.string());
        return false;
    }
    fs::permissions(dir, fs::perms::owner_all, fs::perm_options::replace, ec);
    if (ec) {
        ReportError("sound.unsafe_folder", dir, ec);
        return false;
    }
    // Still the folder checked above, not a link swapped in meanwhile.
    if (fs::symlink_status(dir, ec).type() != fs::file_type::directory || ec) {
        platform::Report("sound.unsafe_folder", dir.string());
        return false;
    }
    return true;
}

}  // namespace

// ---- Sound

Sound::Sound() : m_pService(platform::Current().sound) {
    if (!m_pService) platform::Report("sound.unavailable");
}

Sound::~Sound() {
    if (m_pService && m_bPlaying) m_pService->Stop();
}

void Sound::Play(const fs::path& path) {
    if (!m_pService) return;
    if (!m_pService->Play(path)) platform::Report("sound.play_failed", path.string());
    m_bPlaying = 1;
}

// ---- PlaySoundFile

fs::path SoundCopyFolder() {
    std::error_code ec;
    const fs::path temp = GetTempDir();
    // No temporary folder reported: the folder is relative to the current directory.
    fs::path base = temp;
    platform::Paths* paths = platform::Current().paths;
    if (!temp.empty() && paths && paths->TempDirIsShared()) {
        // Others may create names in the temporary folder: keep the copies in a folder of our own.
        base = temp / ("mivo-" + UserTag());
        if (!MakePrivateFolder(base)) return {};
    }
    const fs::path folder = base / "TempFiles";
    fs::create_directory(folder, ec);
    const fs::file_status st = fs::symlink_status(folder, ec);
    if (ec || st.type() != fs::file_type::directory) {
        platform::Report("sound.unsafe_folder", folder.string());
        return {};
    }
    return folder;
}

void PlaySoundFile(const fs::path& path) {
    const fs::path name = path.filename();
    const fs::path folder = SoundCopyFolder();
    fs::path target;
    if (!folder.empty() && !name.empty()) {
        target = folder / name;
        std::error_code ec;
        // Never write through a link planted at the target name: replace the link itself.
        if (fs::is_symlink(fs::symlink_status(target, ec))) {
            platform::Report("sound.link_removed", target.string());
            fs::remove(target, ec);
        }
        // An older copy goes before the new one is made, and only when there is a new one to make:
        // overwrite_existing cannot be relied on (one standard library on Windows compares file
        // identities the system does not report there and refuses every overwrite).
        if (fs::is_regular_file(path, ec) && fs::exists(fs::symlink_status(target, ec))) fs::remove(target, ec);
        if (!fs::copy_file(path, target, ec) || ec) {
            // An older copy of the same name, if any, is played instead.
            ReportError("sound.copy_failed", path, ec);
        }
    } else if (name.empty()) {
        platform::Report("sound.copy_failed", path.string() + ": no file name");
    }
    g_currentSound.reset();
    if (target.empty()) return;
    g_currentSound = std::make_unique<Sound>();
    g_currentSound->Play(target);
}

Sound* CurrentSound() { return g_currentSound.get(); }

void ResetCurrentSound() { g_currentSound.reset(); }

}  // namespace mivo
