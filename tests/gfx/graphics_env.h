// Test helper: installs the Linux image codec and font service for the lifetime of a test.
#pragma once
#include <filesystem>
#include <random>
#include <string>

#include "platform/linux/codec_linux.h"
#include "platform/linux/fonts_linux.h"
#include "platform/platform.h"

namespace mivo::test {

// The font service scans the installed fonts once; every test shares it.
inline platform::linux_backend::LinuxFontService& SharedFonts() {
    static platform::linux_backend::LinuxFontService fonts;
    return fonts;
}

class GraphicsServices {
public:
    GraphicsServices() : scope_(Make(codec_)) {}

private:
    static platform::Services Make(platform::linux_backend::LinuxImageCodec& codec) {
        platform::Services s = platform::Current();
        s.codec = &codec;
        s.fonts = &SharedFonts();
        return s;
    }
    platform::linux_backend::LinuxImageCodec codec_;
    platform::ScopedServices scope_;
};

// A fresh folder under the system's temporary folder, removed with the object.
class TempFolder {
public:
    TempFolder() {
        std::random_device rd;
        path_ = std::filesystem::temp_directory_path() / ("mivo_gfx_" + std::to_string(rd()) + std::to_string(rd()));
        std::filesystem::create_directories(path_);
    }
    ~TempFolder() {
        std::error_code ec;
        std::filesystem::remove_all(path_, ec);
    }
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;
    const std::filesystem::path& path() const { return path_; }

private:
    std::filesystem::path path_;
};

}  // namespace mivo::test
