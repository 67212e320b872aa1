// Sound service: plays one WAV file at a time, asynchronously.
#pragma once
#include <filesystem>

namespace mivo::platform {

class SoundService {
public:
    virtual ~SoundService() = default;
    // Starts playing `wav` and returns at once; a sound still playing is stopped first.
    // False when the file cannot be opened or played.
    virtual bool Play(const std::filesystem::path& wav) = 0;
    // Stops the current sound, if any.
    virtual void Stop() = 0;
};

}  // namespace mivo::platform
