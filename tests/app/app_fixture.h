// Shared set-up of the window tests: a temporary module folder with small skins, simulated services.
#pragma once
#include "support/scratch_dir.h"
#include <filesystem>
#include <memory>
#include <string>

#include "gfx/image.h"
#include "platform/linux/codec_linux.h"
#include "platform/platform.h"
#include "platform/sim/sim_platform.h"

namespace mivo::testing {

// A fresh folder under the system temporary folder, removed with everything in it.
using TempFolder = test::ScratchDir;

// Solid-colour sheets: every sheet file gets its own colour so a test can tell which file a
// picture was cut from.
uint32_t SheetColour(const std::string& sheet_file);
void WritePicture(const std::filesystem::path& file, int width, int height, uint32_t argb);
// The 22 skin sheets under <dir>/UIPIC.
void WriteSkinSheets(const std::filesystem::path& module_dir);
// The three language-button faces of one face code, in one colour.
void WriteLanguageFaces(const std::filesystem::path& module_dir, const std::string& code, uint32_t argb);

// Simulated platform plus the host image codec, installed for the test's lifetime, with the
// module folder pointed at a temporary folder and every process-wide cache reset.
class AppEnvironment {
public:
    explicit AppEnvironment(bool with_skins = true);
    ~AppEnvironment();

    const std::filesystem::path& module_dir() const { return dir_.path(); }
    platform::sim::SimPlatform& sim() { return *sim_; }
    // Adds or replaces services (e.g. a desktop) in the installed set.
    void Install(const platform::Services& services);
    platform::Services services() const { return services_; }

private:
    TempFolder dir_;
    std::unique_ptr<platform::sim::SimPlatform> sim_;
    platform::linux_backend::LinuxImageCodec codec_;
    platform::Services services_;
    std::unique_ptr<platform::ScopedServices> scoped_;
};

}  // namespace mivo::testing
