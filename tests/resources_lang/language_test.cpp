// Language files, "Language.ini", the language table and the help-text lookup.
#include "resources/language.h"

#include <gtest/gtest.h>

#include "support/scratch_dir.h"

#include <fstream>
#include <iterator>
#include <random>

#include "base/ini_file.h"
#include "base/text.h"
#include "platform/platform.h"
#include "platform/sim/event_log.h"
#include "platform/sim/sim_clock.h"
#include "platform/sim/sim_services.h"
#include "resources/paths.h"

namespace mivo {
namespace {

namespace fs = std::filesystem;

class LanguageTest : public ::testing::Test {
protected:
    void SetUp() override {
        ResetLanguageStateForTests();
        paths_.executable = dir_ / "mivo-config";
    }
    void TearDown() override { ResetLanguageStateForTests(); }

    // A language file as a translator would deliver it: UTF-16 with byte-order mark, or 8-bit.
    void WriteLng(const std::string& name, const std::string& body, bool utf16) const {
        std::ofstream out(dir_ / name, std::ios::binary);
        out << (utf16 ? "\xFF\xFE" + text::Utf8ToUtf16LeBytes(body) : body);
    }
    void WriteLng(const std::string& name, int lang_id, bool utf16 = true) const {
        WriteLng(name, "[Language]\r\nLanguage=" + std::to_string(lang_id) + "\r\n", utf16);
    }
    // The start-up order of the program.
    void StartUp() const {
        const fs::path ini = GetModuleDir() / "Language.ini";
        MakeDirs(ini);
        SetLanguageIniPath(ini);
        InitLanguage();
    }
    std::string IniText() const {
        std::ifstream in(dir_ / "Language.ini", std::ios::binary);
        return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    }

    test::ScratchDir scratch_{"mivo-lang"};
    fs::path dir_ = scratch_.path();
    platform::sim::SimClock clock_;
    platform::sim::EventLog log_{clock_};
    platform::sim::SimPaths paths_;
    platform::sim::SimLocale locale_;
    platform::ScopedServices services_{
        platform::Services{.paths = &paths_, .locale = &locale_, .diagnostics = &log_}};
};

TEST_F(LanguageTest, FirstRunPicksTheFileOfTheUsersLanguageAndRemembersIt) {
    locale_.lang_id = 0x0407;
    WriteLng("English.lng", 1033);
    WriteLng("German.lng", 1031);
    EXPECT_EQ(LanguageIniPath(), dir_ / "language.ini");
    StartUp();
    EXPECT_EQ(ActiveLanguageFile(), dir_ / "German.lng");
    EXPECT_EQ(IniText(), "[Main]\r\nLanguage=1031\r\n");
}

TEST_F(LanguageTest, InitLanguageChoosesByDeclaredLangId) {
    struct Case {
        const char* what;
        std::vector<std::pair<std::string, int>> files;  // written in this order
        std::string ini;                                 // "" = no Language.ini
        uint16_t user;
        std::string active;                              // "" = none
    } cases[] = {
        {"remembered language wins over the user's", {{"German.lng", 1031}, {"French.lng", 1036}},
         "[Main]\nLanguage=1036\n", 0x0407, "French.lng"},
        {"remembered 0 means none", {{"German.lng", 1031}}, "[Main]\nLanguage=0\n", 0x0407, ""},
        {"only the low 16 bits count", {{"German.lng", 1031}}, "[Main]\nLanguage=66567\n", 0x0409,
         "German.lng"},
        {"two files declare it: first by name", {{"b.lng", 1031}, {"a.lng", 1031}}, "", 0x0407, "a.lng"},
        {"name need not be the table's", {{"Deutsch.lng", 1031}}, "", 0x0407, "Deutsch.lng"},
        {"extension case ignored", {{"GERMAN.LNG", 1031}}, "", 0x0407, "GERMAN.LNG"},
        {"no match: none", {{"German.lng", 1031}}, "", 0x0409, ""},
        {"no files: none", {}, "", 0x0407, ""},
        {"other extensions ignored", {{"German.txt", 1031}}, "", 0x0407, ""},
    };
    for (const Case& c : cases) {
        fs::remove_all(dir_);
        fs::create_directories(dir_);
        ResetLanguageStateForTests();
        for (const auto& [name, id] : c.files) WriteLng(name, id, name != "b.lng");
        if (!c.ini.empty()) std::ofstream(dir_ / "Language.ini", std::ios::binary) << c.ini;
        locale_.lang_id = c.user;
        StartUp();
        EXPECT_EQ(ActiveLanguageFile(), c.active.empty() ? fs::path() : dir_ / c.active) << c.what;
        if (c.active.empty() && c.ini.empty()) {
            EXPECT_FALSE(fs::exists(dir_ / "Language.ini")) << c.what;
        }
    }
}

TEST_F(LanguageTest, TextLookupFallsBackToTheDefault) {
    EXPECT_EQ(GetLangText(57, "English text"), "English text");  // no active file

    const std::string chinese = "\xE5\x8D\x95";  // one UTF-16 unit
    std::string long_text;
    for (int i = 0; i < 1500; ++i) long_text += chinese;
    WriteLng("SimplChinese.lng",
             "[Language]\r\nLanguage=2052\r\n[Text]\r\n2=" + chinese + "\r\n57=\r\n58=" + long_text + "\r\n",
             true);
    SelectLanguageFile("SimplChinese");
    EXPECT_EQ(GetLangText(2, "Close"), chinese);
    EXPECT_EQ(GetLangText("2", "Close"), chinese);
    EXPECT_EQ(GetLangText(57, "English text"), "English text");  // empty value
    EXPECT_EQ(GetLangText(99, "Missing"), "Missing");
    const std::string cut = GetLangText(58, "");
    EXPECT_EQ(text::Utf16Length(cut), 1023u);
    EXPECT_EQ(cut, long_text.substr(0, 1023 * chinese.size()));

    // 8-bit files: UTF-8, with Windows-1252 for other bytes.
    WriteLng("French.lng", "[Language]\nLanguage=1036\n[Text]\n2=Fermer \xE9\n3=d\xC3\xA9j\xC3\xA0\n", false);
    SelectLanguageFile("French");
    EXPECT_EQ(GetLangText(2, "Close"), "Fermer \xC3\xA9");
    EXPECT_EQ(GetLangText(3, ""), "d\xC3\xA9j\xC3\xA0");
    EXPECT_EQ(GetLangText(4, "Four"), "Four");  // the switch applies at once, fallbacks too
}

TEST_F(LanguageTest, SelectLanguageFileRemembersTheDeclaredLangId) {
    SetLanguageIniPath(dir_ / "Language.ini");
    WriteLng("Turkey.lng", 1055);
    SelectLanguageFile("Turkey");
    EXPECT_EQ(ActiveLanguageFile(), dir_ / "Turkey.lng");
    EXPECT_EQ(GetPrivateProfileInt("Main", "Language", -1, dir_ / "Language.ini"), 1055);

    // A missing file stays active (every text falls back) and 0 is remembered.
    SelectLanguageFile("Danish");
    EXPECT_EQ(ActiveLanguageFile(), dir_ / "Danish.lng");
    EXPECT_EQ(GetLangText(2, "Close"), "Close");
    EXPECT_EQ(GetPrivateProfileInt("Main", "Language", -1, dir_ / "Language.ini"), 0);
    locale_.lang_id = 0x0406;
    InitLanguage();  // next start: 0 means no language file
    EXPECT_EQ(ActiveLanguageFile(), dir_ / "Danish.lng");
    ResetLanguageStateForTests();
    SetLanguageIniPath(dir_ / "Language.ini");
    InitLanguage();
    EXPECT_EQ(ActiveLanguageFile(), fs::path());
}

TEST_F(LanguageTest, DefaultLanguageMatchesAllSixteenBits) {
    struct Case {
        uint16_t lang_id;
        int item;
    } cases[] = {{0x0809, 64}, {0x0409, 64}, {0x0807, 64}, {0x040A, 64}, {0x0C04, 64}, {0x0C0A, 74},
                 {0x0804, 73}, {0x0407, 67}, {0x041F, 78}, {0x042A, 79}, {0x0404, 77}, {0, 64}};
    for (const Case& c : cases) {
        locale_.lang_id = c.lang_id;
        std::vector<int> clicks;
        SelectDefaultLanguage([&](int id) { clicks.push_back(id); });
        EXPECT_EQ(clicks, std::vector<int>{c.item}) << std::hex << c.lang_id;
    }
    ASSERT_NE(LanguageForItemId(78), nullptr);
    EXPECT_EQ(LanguageForItemId(78)->file_name, "Turkey");
    EXPECT_EQ(LanguageForItemId(80), nullptr);
}

TEST_F(LanguageTest, WithoutTheLocaleServiceNoLanguageFileIsChosen) {
    platform::ScopedServices no_locale(platform::Services{.paths = &paths_, .diagnostics = &log_});
    WriteLng("German.lng", 1031);
    StartUp();
    EXPECT_EQ(ActiveLanguageFile(), fs::path());
    std::vector<int> clicks;
    SelectDefaultLanguage([&](int id) { clicks.push_back(id); });
    EXPECT_EQ(clicks, std::vector<int>{kEnglishItemId});
    EXPECT_EQ(log_.Lines("locale.unavailable").size(), 2u);
}

}  // namespace
}  // namespace mivo
