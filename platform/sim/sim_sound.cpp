// Simulated sound player.
#include "platform/sim/sim_sound.h"

#include <system_error>

namespace mivo::platform::sim {

bool SimSoundPlayer::Play(const std::filesystem::path& wav) {
    if (playing_) Stop();
    std::error_code ec;
    if (!std::filesystem::is_regular_file(wav, ec)) {
        log_.Event("sound.failed", wav.string());
        return false;
    }
    current_ = wav;
    playing_ = true;
    log_.Event("sound.play", wav.string());
    return true;
}

void SimSoundPlayer::Stop() {
    playing_ = false;
    current_.clear();
    log_.Event("sound.stop", {});
}

}  // namespace mivo::platform::sim
