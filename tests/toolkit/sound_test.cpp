// Sound playback through a copy in the temporary folder: one player at a time, no writing through links.
#include <gtest/gtest.h>

#include "auxiliary/sound.h"
#include "sim_env.h"

namespace mivo::test {
namespace {

namespace fs = std::filesystem;

class SoundTest : public ::testing::Test {
protected:
    void SetUp() override {
        fs::create_directories(env.dir.path() / "UIPIC");
        WriteFile(source, "RIFF one");
    }
    std::vector<std::string> Played() const {
        std::vector<std::string> out;
        for (const auto& line : env.log.Lines("sound.play")) out.push_back(line.substr(line.find("sound.play") + 11));
        return out;
    }

    SimEnv env;
    fs::path source = env.dir.path() / "UIPIC" / "DoubleClick_Sound.wav";
};

TEST_F(SoundTest, PlaysACopyAndANewSoundStopsTheOldOne) {
    PlaySoundFile(source);
    const fs::path copy = env.temp() / "TempFiles" / "DoubleClick_Sound.wav";
    EXPECT_EQ(ReadFile(copy), "RIFF one");
    WriteFile(source, "RIFF two");  // replaced while the program runs
    PlaySoundFile(source);
    EXPECT_EQ(ReadFile(copy), "RIFF two");
    EXPECT_EQ(Played(), (std::vector<std::string>{copy.string(), copy.string()}));
    // The second start stopped the first player before the new one played.
    std::vector<std::string> names;
    for (const auto& line : env.log.Lines()) names.push_back(line.substr(line.find(' ') + 1, 10));
    EXPECT_EQ(names, (std::vector<std::string>{"sound.play", "sound.stop", "sound.play"}));
    EXPECT_EQ(std::distance(fs::directory_iterator(env.temp() / "TempFiles"), fs::directory_iterator{}), 1);
    ASSERT_NE(CurrentSound(), nullptr);
    EXPECT_EQ(CurrentSound()->m_bPlaying, 1);
}

TEST_F(SoundTest, MissingSourcePlaysAnOlderCopyOrNothing) {
    const fs::path missing = env.dir.path() / "UIPIC" / "Gone.wav";
    PlaySoundFile(missing);
    EXPECT_EQ(env.log.Lines("sound.copy_failed").size(), 1u);
    EXPECT_EQ(env.log.Lines("sound.failed").size(), 1u);  // nothing to render
    EXPECT_TRUE(Played().empty());

    WriteFile(env.temp() / "TempFiles" / "Gone.wav", "RIFF old");
    PlaySoundFile(missing);
    EXPECT_EQ(Played(), (std::vector<std::string>{(env.temp() / "TempFiles" / "Gone.wav").string()}));
}

TEST_F(SoundTest, NeverWritesThroughALinkAtTheTargetName) {
    const fs::path folder = env.temp() / "TempFiles";
    fs::create_directories(folder);
    const fs::path victim = env.dir.path() / "victim.txt";
    WriteFile(victim, "keep");
    fs::create_symlink(victim, folder / "DoubleClick_Sound.wav");

    PlaySoundFile(source);
    EXPECT_EQ(ReadFile(victim), "keep");
    EXPECT_FALSE(fs::is_symlink(folder / "DoubleClick_Sound.wav"));
    EXPECT_EQ(ReadFile(folder / "DoubleClick_Sound.wav"), "RIFF one");
    EXPECT_EQ(env.log.Lines("sound.link_removed").size(), 1u);
}

TEST_F(SoundTest, SharedTemporaryFolderGetsAPrivateSubfolder) {
    env.paths.temp_shared = true;  // others may create names there
    PlaySoundFile(source);
    ASSERT_EQ(Played().size(), 1u);
    const fs::path copy = Played()[0];
    EXPECT_EQ(ReadFile(copy), "RIFF one");
    EXPECT_EQ(copy.filename(), "DoubleClick_Sound.wav");
    EXPECT_EQ(copy.parent_path().filename(), "TempFiles");
    const fs::path own = copy.parent_path().parent_path();
    EXPECT_EQ(own.parent_path(), env.temp());
    EXPECT_EQ(fs::status(own).permissions() & fs::perms::all, fs::perms::owner_all);
    EXPECT_FALSE(fs::exists(env.temp() / "TempFiles"));
}

TEST_F(SoundTest, SharedTemporaryFolderWithAPlantedLinkIsRefused) {
    env.paths.temp_shared = true;  // others may create names there
    // Find the private folder's name from a first run, then replace it with a link elsewhere.
    PlaySoundFile(source);
    const fs::path own = fs::path(Played().at(0)).parent_path().parent_path();
    ResetCurrentSound();
    fs::remove_all(own);
    const fs::path elsewhere = env.dir.path() / "elsewhere";
    fs::create_directories(elsewhere);
    fs::create_symlink(elsewhere, own);

    PlaySoundFile(source);
    EXPECT_TRUE(fs::is_empty(elsewhere));
    EXPECT_EQ(env.log.Lines("sound.unsafe_folder").size(), 1u);
    EXPECT_EQ(Played().size(), 1u);  // only the first run played
}

TEST_F(SoundTest, WithoutASoundServiceNothingPlaysAndNothingBreaks) {
    platform::Services s = platform::Current();
    s.sound = nullptr;
    platform::ScopedServices scope(s);
    PlaySoundFile(source);
    EXPECT_TRUE(fs::exists(env.temp() / "TempFiles" / "DoubleClick_Sound.wav"));
    EXPECT_EQ(env.log.Lines("sound.unavailable").size(), 1u);
    ResetCurrentSound();
}

}  // namespace
}  // namespace mivo::test
