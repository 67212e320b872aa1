// The sound copy's folder with the real Windows paths: the user's own %TEMP%\TempFiles.
#include <gtest/gtest.h>
#include <windows.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "auxiliary/sound.h"
#include "platform/platform.h"
#include "platform/sound.h"
#include "platform/win32/win32_basic.h"

namespace mivo {
namespace {

namespace fs = std::filesystem;

class RecordingSound final : public platform::SoundService {
public:
    bool Play(const fs::path& wav) override {
        played.push_back(wav);
        return true;
    }
    void Stop() override {}
    std::vector<fs::path> played;
};

std::string Read(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

void Write(const fs::path& file, const std::string& text) { std::ofstream(file, std::ios::binary) << text; }

TEST(Win32SoundCopy, GoesToTheUsersTempFilesAndFollowsTheSource) {
    platform::win32::Win32Paths paths;
    RecordingSound sound;
    platform::Services services;
    services.paths = &paths;
    services.sound = &sound;
    platform::ScopedServices scoped(services);

    const fs::path temp = paths.TempDir();
    ASSERT_FALSE(temp.empty());
    EXPECT_FALSE(paths.TempDirIsShared());
    EXPECT_EQ(SoundCopyFolder(), temp / "TempFiles");

    const std::string name = "mivo-sound-" + std::to_string(GetCurrentProcessId()) + ".wav";
    const fs::path source_dir = temp / ("mivo-source-" + std::to_string(GetCurrentProcessId()));
    fs::create_directories(source_dir);
    const fs::path source = source_dir / name;
    const fs::path copy = temp / "TempFiles" / name;
    Write(source, "RIFF one");
    PlaySoundFile(source);
    Write(source, "RIFF two");  // a later start copies the new sound over the old copy
    PlaySoundFile(source);
    ResetCurrentSound();

    EXPECT_EQ(sound.played, (std::vector<fs::path>{copy, copy}));
    EXPECT_EQ(Read(copy), "RIFF two");
    std::error_code ec;
    fs::remove(copy, ec);
    fs::remove_all(source_dir, ec);
}

}  // namespace
}  // namespace mivo
