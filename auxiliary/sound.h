// Sound playback: WAV files played from a private copy, one sound at a time.
#pragma once
#include <filesystem>

namespace mivo::platform {
class SoundService;
}

namespace mivo {

// One player: plays one file through the platform's sound service and stops it when destroyed.
class Sound {
public:
    Sound();
    Sound(const Sound&) = delete;
    Sound& operator=(const Sound&) = delete;
    virtual ~Sound();

    // Starts `path` and returns at once; a file that cannot be played simply makes no sound.
    void Play(const std::filesystem::path& path);

    platform::SoundService* m_pService = nullptr;  // not owned; null when the platform has none
    int m_bPlaying = 0;
};

// Copies `path` into the sound folder of the temporary folder and plays the copy, stopping the
// sound that plays now. Reports failures through platform::Report and returns nothing.
void PlaySoundFile(const std::filesystem::path& path);

// The folder the copies go into, created when missing: "TempFiles" in the temporary folder, or,
// when other users may write to the temporary folder, "TempFiles" in a per-user subfolder
// ("mivo-<user>", the user's login name) that only this user can enter. Where the file system
// shows every folder as writable by all, the per-user folder is used too. Empty when no folder
// can be used safely (a link in place of a folder, or a per-user folder owned by someone else).
std::filesystem::path SoundCopyFolder();

// The player of the sound that plays now (or played last); null before the first sound.
Sound* CurrentSound();
// Destroys the current player, stopping its sound; for tests and for shutting down.
void ResetCurrentSound();

}  // namespace mivo
