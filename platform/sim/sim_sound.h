// Simulated sound player: remembers what plays and logs "sound.play <path>" and "sound.stop".
#pragma once
#include <filesystem>

#include "platform/diagnostics.h"
#include "platform/sound.h"

namespace mivo::platform::sim {

class SimSoundPlayer final : public SoundService {
public:
    explicit SimSoundPlayer(Diagnostics& log) : log_(log) {}

    // Fails (logging "sound.failed <path>") when the file does not exist, as a real player would.
    bool Play(const std::filesystem::path& wav) override;
    void Stop() override;

    bool Playing() const { return playing_; }
    const std::filesystem::path& Current() const { return current_; }

private:
    Diagnostics& log_;
    bool playing_ = false;
    std::filesystem::path current_;
};

}  // namespace mivo::platform::sim
