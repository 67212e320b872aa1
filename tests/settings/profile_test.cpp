// The profile file "1.cfg": defaults, number conversion, the file written, and the key table.
#include "settings/profile.h"

#include <gtest/gtest.h>

#include "support/scratch_dir.h"

#include <fstream>
#include <iterator>
#include <random>

#include "base/file_io.h"
#include "platform/platform.h"
#include "platform/sim/event_log.h"
#include "platform/sim/sim_clock.h"
#include "platform/sim/sim_services.h"
#include "resources/paths.h"

namespace mivo {
namespace {

namespace fs = std::filesystem;

class ProfileTest : public ::testing::Test {
protected:
    void SetUp() override {
        paths_.executable = dir_ / "mivo-config";
        path_ = dir_ / "1.cfg";
    }

    void WriteRaw(const std::string& bytes) const { test::WriteBytes(path_, bytes); }
    std::string ReadRaw() const { return test::ReadBytes(path_); }

    test::ScratchDir scratch_{"mivo-profile"};
    fs::path dir_ = scratch_.path();
    fs::path path_;
    platform::sim::SimClock clock_;
    platform::sim::EventLog log_{clock_};
    platform::sim::SimPaths paths_;
    platform::ScopedServices services_{platform::Services{.paths = &paths_, .diagnostics = &log_}};
};

TEST_F(ProfileTest, MissingFileGivesTheDefaultTexts) {
    MouseSettings s;
    s.CurDPI = 250;
    s.PointerSpeed = 1;
    s.DPISwitch = {0, 0, 0, 0, 0, 0, 0};
    s.Key = {0, 0, 0, 0, 0, 0};
    LoadProfile(path_, s);

    MouseSettings expected = DefaultSettings;
    expected.Key[5] = keycode::kDisabled;  // unlike the construction value 0x81
    expected.Language = 64;
    EXPECT_EQ(s, expected);
}

TEST_F(ProfileTest, ReadsNumbersLikeTheCLibrary) {
    struct Case {
        std::string key, text;
        int32_t MouseSettings::*field;  // null: Key4
        int32_t expected;
    } cases[] = {
        {"Key4", "130", nullptr, 0x82},
        {"Key4", "0x82", nullptr, 0x82},
        {"Key4", "386", nullptr, 0x82},
        {"Key4", "-126", nullptr, 0x82},
        {"Key4", "0X82", nullptr, 0},  // only the lower-case prefix is hexadecimal
        {"Key4", "abc", nullptr, 0},
        {"CurDPI", "abc", &MouseSettings::CurDPI, 0},
        {"CurDPI", " 1250dpi", &MouseSettings::CurDPI, 1250},
        {"CurDPI", "0x500", &MouseSettings::CurDPI, 0},  // hex only for button keys
        {"PollingRate", "-125", &MouseSettings::PollingRate, -125},
        {"PollingRate", "99999999999", &MouseSettings::PollingRate, INT32_MAX},
        {"curdpi", "500", &MouseSettings::CurDPI, 500},  // key names ignore case
    };
    for (const Case& c : cases) {
        WriteRaw("[ConfigData]\r\n" + c.key + "=" + c.text + "\r\n");
        MouseSettings s;
        LoadProfile(path_, s);
        const int32_t got = c.field ? s.*c.field : s.Key[3];
        EXPECT_EQ(got, c.expected) << c.key << "=" << c.text;
    }
}

TEST_F(ProfileTest, SaveWritesEveryKeyInDecimal) {
    ASSERT_TRUE(SaveProfile(path_, [] {
        MouseSettings s;
        s.Language = 64;
        return s;
    }()));
    EXPECT_EQ(ReadRaw(),
              "[ConfigData]\r\nCurDPI=1000\r\nScrollSpeed=3\r\nMouseWheel=1\r\n1Page=0\r\n"
              "PollingRate=1000\r\nDPISwitch250=1\r\nDPISwitch500=1\r\nDPISwitch1000=1\r\n"
              "DPISwitch1250=1\r\nDPISwitch1500=1\r\nDPISwitch1750=1\r\nDPISwitch2000=1\r\n"
              "PointerSpeed=6\r\nMouseAcceleration=0\r\nDisplayPointerTrails=0\r\nDClickSpeed=7\r\n"
              "HandedMode=2\r\nAdjustEffect=2\r\nKey1=1\r\nKey2=2\r\nKey3=4\r\nKey4=130\r\n"
              "Key5=131\r\nKey6=129\r\nLanguage=64\r\n");
}

TEST_F(ProfileTest, SaveThenLoadRestoresEveryField) {
    MouseSettings saved;
    saved.CurDPI = 1750;
    saved.ScrollSpeed = 10;
    saved.MouseWheel = 0;
    saved.OnePage = 1;
    saved.PollingRate = 250;
    saved.DPISwitch = {1, 0, 1, 0, 1, 0, 1};
    saved.PointerSpeed = 2;
    saved.MouseAcceleration = 1;
    saved.DisplayPointerTrails = 1;
    saved.DClickSpeed = 11;
    saved.HandedMode = 1;
    saved.AdjustEffect = 3;
    saved.Language = 78;
    saved.Key = {0x02, 0x01, 0x85, 0x10, 0x08, 0xFF};
    // A hand-edited file keeps its other content.
    WriteRaw("; mine\n[Other]\nx=1\n[ConfigData]\nCurDPI=500\n");
    ASSERT_TRUE(SaveProfile(path_, saved));
    MouseSettings loaded;
    LoadProfile(path_, loaded);
    EXPECT_EQ(loaded, saved);
    EXPECT_TRUE(ReadRaw().starts_with("; mine\n[Other]\nx=1\n[ConfigData]\nCurDPI=1750\nScrollSpeed=10\n"));
}

TEST_F(ProfileTest, FailedSaveKeepsTheOldFile) {
    WriteRaw("[ConfigData]\nCurDPI=500\n");
    fs::create_directory(fileio::TempPathFor(path_));
    EXPECT_FALSE(SaveProfile(path_, MouseSettings{}));
    EXPECT_EQ(ReadRaw(), "[ConfigData]\nCurDPI=500\n");
    EXPECT_EQ(log_.Lines("ini.write-failed").size(), 1u);
}

TEST_F(ProfileTest, ProfilePathFollowsTheModuleFolder) {
    EXPECT_EQ(ProfilePath(), dir_ / "1.cfg");
    SetModuleDirOverride(dir_ / "data");
    EXPECT_EQ(ProfilePath(), dir_ / "data" / "1.cfg");
    ClearModuleDirOverride();
    EXPECT_EQ(ProfilePath(), dir_ / "1.cfg");
}

TEST(ProfileKeys, TableDrivesEditingByName) {
    const auto& keys = ProfileKeys();
    EXPECT_EQ(keys.front().name, "CurDPI");
    EXPECT_EQ(keys.back().name, "Language");

    MouseSettings s;
    for (const ProfileKey& key : keys) {
        ASSERT_EQ(FindProfileKey(key.name), &key);
        // Every key writes its own field: set it through the table and read it back.
        SetProfileValue(key, s, "77");
        EXPECT_EQ(FormatProfileValue(key, s), "77") << key.name;
    }
    const ProfileKey* key6 = FindProfileKey("key6");
    ASSERT_NE(key6, nullptr);
    SetProfileValue(*key6, s, "0x81");
    EXPECT_EQ(s.Key[5], keycode::kDpiCycle);
    EXPECT_EQ(FormatProfileValue(*key6, s), "129");
    EXPECT_EQ(FindProfileKey("Key7"), nullptr);

    // Distinct fields: setting one key leaves all the others alone.
    MouseSettings one;
    SetProfileValue(*FindProfileKey("DPISwitch1250"), one, "0");
    MouseSettings expected;
    expected.DPISwitch[3] = 0;
    EXPECT_EQ(one, expected);
}

}  // namespace
}  // namespace mivo
