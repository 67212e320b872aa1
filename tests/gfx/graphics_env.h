// Test helper: installs the Linux image codec and font service for the lifetime of a test.
#pragma once
#include "support/scratch_dir.h"
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
using TempFolder = ScratchDir;

}  // namespace mivo::test
