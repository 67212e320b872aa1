// Windows sound: one DirectShow filter graph per sound, run asynchronously.
#pragma once
#include <memory>

#include "platform/sound.h"

namespace mivo::platform::win32 {

class Win32SoundService final : public SoundService {
public:
    Win32SoundService();
    ~Win32SoundService() override;
    Win32SoundService(const Win32SoundService&) = delete;
    Win32SoundService& operator=(const Win32SoundService&) = delete;

    bool Play(const std::filesystem::path& wav) override;
    void Stop() override;

private:
    struct Player;
    std::unique_ptr<Player> player_;
};

}  // namespace mivo::platform::win32
