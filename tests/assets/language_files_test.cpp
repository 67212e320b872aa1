// The language files beside the programs: identifiers, a translated text for every key the window
// looks up, faithful conversion from the UTF-8 sources, and glyph coverage in the help-line font.
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <map>
#include <string>
#include <vector>

#include "base/ini_file.h"
#include "platform/linux/fonts_linux.h"

namespace {

namespace fs = std::filesystem;

struct Language {
    const char* file;
    int langid;
};

const Language kLanguages[] = {
    {"Danish", 1030},  {"English", 1033}, {"Finnish", 1035}, {"French", 1036},      {"German", 1031},
    {"Italian", 1040}, {"Japanese", 1041}, {"Korean", 1042}, {"Polish", 1045},      {"Russian", 1049},
    {"SimplChinese", 2052}, {"Spanish", 3082}, {"Swedish", 1053}, {"Thai", 1054}, {"TradChinese", 1028},
    {"Turkey", 1055},  {"Vietnamese", 1066},
};

// Keys the main window reads: the IDs of the controls with a help line, and the text keys that
// differ from a control's ID (polling rate, the two animations, the scroll buttons).
std::vector<std::string> WindowKeys() {
    std::vector<std::string> keys;
    for (int id = 2; id <= 10; ++id) keys.push_back(std::to_string(id));
    for (int id = 14; id <= 22; ++id) keys.push_back(std::to_string(id));
    for (int id = 30; id <= 48; ++id) keys.push_back(std::to_string(id));
    for (int id = 56; id <= 60; ++id) keys.push_back(std::to_string(id));
    for (const char* k : {"29", "63", "64", "68", "69"}) keys.push_back(k);
    return keys;
}

fs::path Built(const Language& l) { return fs::path(MIVO_RUNTIME_DIR) / (std::string(l.file) + ".lng"); }
fs::path Source(const Language& l) { return fs::path(MIVO_SOURCE_DIR) / "res" / "lang" / (std::string(l.file) + ".lng"); }

std::string ReadBytes(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

// The [Text] entries of a UTF-8 source file, read independently of the product's INI reader.
std::map<std::string, std::string> SourceTexts(const fs::path& path) {
    std::map<std::string, std::string> texts;
    std::ifstream in(path);
    std::string line;
    bool in_text = false;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (!line.empty() && line[0] == '[') {
            in_text = line == "[Text]";
            continue;
        }
        size_t eq = line.find('=');
        if (in_text && eq != std::string::npos) texts.emplace(line.substr(0, eq), line.substr(eq + 1));
    }
    return texts;
}

std::u32string CodePoints(const std::string& s) {
    std::u32string out;
    for (size_t i = 0; i < s.size();) {
        unsigned char c = static_cast<unsigned char>(s[i]);
        int len = c < 0x80 ? 1 : c < 0xE0 ? 2 : c < 0xF0 ? 3 : 4;
        char32_t cp = len == 1 ? c : c & (0x7F >> len);
        for (int k = 1; k < len && i + k < s.size(); ++k) cp = (cp << 6) | (s[i + k] & 0x3F);
        out.push_back(cp);
        i += len;
    }
    return out;
}

TEST(LanguageFiles, DeclareTheirIdentifierAndTranslateEveryKey) {
    const auto english = SourceTexts(Source(kLanguages[1]));
    for (const Language& l : kLanguages) {
        SCOPED_TRACE(l.file);
        ASSERT_TRUE(fs::exists(Built(l)));
        EXPECT_EQ(mivo::GetPrivateProfileInt("Language", "Language", 0, Built(l)), l.langid);
        const auto source = SourceTexts(Source(l));
        for (const std::string& key : WindowKeys()) {
            std::string text = mivo::GetPrivateProfileString("Text", key, "", Built(l), 1024);
            EXPECT_FALSE(text.empty()) << "key " << key;
            // What the window reads back is exactly what the translator wrote.
            auto it = source.find(key);
            ASSERT_NE(it, source.end()) << "key " << key;
            EXPECT_EQ(text, it->second) << "key " << key;
            if (std::string(l.file) != "English") {
                EXPECT_NE(text, english.at(key)) << "key " << key << " left in English";
            }
        }
    }
}

TEST(LanguageFiles, NonAsciiFilesAreStoredAsUtf16WithByteOrderMark) {
    for (const Language& l : kLanguages) {
        std::string source = ReadBytes(Source(l));
        std::string built = ReadBytes(Built(l));
        bool ascii = std::all_of(source.begin(), source.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; });
        ASSERT_GE(built.size(), 2u) << l.file;
        bool bom = static_cast<unsigned char>(built[0]) == 0xFF && static_cast<unsigned char>(built[1]) == 0xFE;
        EXPECT_EQ(bom, !ascii) << l.file;
    }
    // The non-Latin languages in particular must never reach the 8-bit reader.
    for (const char* name : {"Japanese", "Korean", "Russian", "SimplChinese", "Thai", "TradChinese"}) {
        std::string built = ReadBytes(fs::path(MIVO_RUNTIME_DIR) / (std::string(name) + ".lng"));
        ASSERT_GE(built.size(), 2u) << name;
        EXPECT_EQ(built.substr(0, 2), "\xFF\xFE") << name;
    }
}

TEST(LanguageFiles, EveryCharacterHasAGlyphForTheHelpLine) {
    mivo::platform::linux_backend::LinuxFontService fonts;
    const mivo::platform::FaceId help_face = fonts.Resolve("Tahoma");
    ASSERT_GE(help_face, 0);
    for (const Language& l : kLanguages) {
        for (const std::string& key : WindowKeys()) {
            std::string text = mivo::GetPrivateProfileString("Text", key, "", Built(l), 1024);
            for (char32_t cp : CodePoints(text)) {
                if (cp == U' ') continue;
                mivo::platform::FaceId face = fonts.FaceFor(help_face, cp);
                EXPECT_TRUE(fonts.HasGlyph(face, cp))
                    << l.file << " key " << key << ": no glyph for U+" << std::hex << static_cast<uint32_t>(cp);
            }
        }
    }
}

}  // namespace
