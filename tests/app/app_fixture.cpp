// Shared set-up of the window tests.
#include "app_fixture.h"

#include <fstream>
#include <functional>
#include <random>
#include <stdexcept>

#include "resources/language.h"
#include "resources/paths.h"
#include "resources/skin.h"
#include "toolkit/base_ctrl.h"

namespace mivo::testing {

namespace fs = std::filesystem;

uint32_t SheetColour(const std::string& sheet_file) {
    // Opaque, and different for every name the tests use.
    const uint32_t h = static_cast<uint32_t>(std::hash<std::string>{}(sheet_file));
    return 0xFF000000u | (h & 0x00FFFFFFu);
}

void WritePicture(const fs::path& file, int width, int height, uint32_t argb) {
    std::vector<gfx::Pixel> pixels(static_cast<size_t>(width) * height, gfx::Premultiply(argb));
    gfx::Image image(width, height, std::move(pixels));
    platform::linux_backend::LinuxImageCodec codec;
    const bool jpeg = file.extension() == ".jpg";
    const std::vector<uint8_t> bytes = jpeg ? codec.EncodeJpeg(image, 95) : codec.EncodePng(image);
    if (bytes.empty()) throw std::runtime_error("cannot encode " + file.string());
    fs::create_directories(file.parent_path());
    std::ofstream out(file, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

namespace {

void EncodeSkinSheets(const fs::path& dir) {
    for (const char* family : {"MainWindow", "MainControl", "AdvancedControl", "UpdateSupport"}) {
        for (const char* state : {"_normal", "_over", "_down"}) {
            const std::string name = std::string(family) + state + ".png";
            WritePicture(dir / name, 800, 500, SheetColour(name));
        }
    }
    for (const char* state : {"_normal", "_over", "_down"}) {
        const std::string lang = std::string("LangSelect") + state + ".png";
        WritePicture(dir / lang, 100, 290, SheetColour(lang));
        for (const char* family : {"DriverReset", "DeviceCheck"}) {
            const std::string name = std::string(family) + state + ".png";
            WritePicture(dir / name, 400, 250, SheetColour(name));
        }
    }
    WritePicture(dir / "Slider_shorter.png", 11, 17, SheetColour("Slider_shorter.png"));
}

}  // namespace

void WriteSkinSheets(const fs::path& module_dir) {
    // Encoding full-size sheets is the slow part of a test's set-up: do it once per process and
    // copy the files afterwards.
    static TempFolder master;
    static const bool encoded = (EncodeSkinSheets(master.path()), true);
    (void)encoded;
    fs::create_directories(module_dir / "UIPIC");
    fs::copy(master.path(), module_dir / "UIPIC", fs::copy_options::recursive | fs::copy_options::overwrite_existing);
}

void WriteLanguageFaces(const fs::path& module_dir, const std::string& code, uint32_t argb) {
    const fs::path dir = module_dir / "UIPIC" / "LanguageButton";
    for (const char* state : {"_normal", "_over", "_down"}) {
        WritePicture(dir / ("LangSelect_" + code + state + ".jpg"), 34, 17, argb);
    }
}

AppEnvironment::AppEnvironment(bool with_skins) : sim_(std::make_unique<platform::sim::SimPlatform>()) {
    if (with_skins) WriteSkinSheets(dir_.path());
    services_ = sim_->services();
    services_.codec = &codec_;
    scoped_ = std::make_unique<platform::ScopedServices>(services_);
    SetModuleDirOverride(dir_.path());
    ResetLanguageStateForTests();
    ResetSkinCache();
    ResetHoverFlags();
}

AppEnvironment::~AppEnvironment() {
    scoped_.reset();
    ClearModuleDirOverride();
    ResetLanguageStateForTests();
    ResetSkinCache();
    ResetHoverFlags();
}

void AppEnvironment::Install(const platform::Services& services) {
    scoped_.reset();
    services_ = services;
    scoped_ = std::make_unique<platform::ScopedServices>(services_);
}

}  // namespace mivo::testing
