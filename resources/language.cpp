// Language table, language files and help-text lookup.
#include "resources/language.h"

#include <algorithm>
#include <optional>
#include <system_error>
#include <vector>

#include "base/ini_file.h"
#include "base/text.h"
#include "platform/locale.h"
#include "platform/platform.h"
#include "resources/paths.h"

namespace mivo {

namespace {

constexpr std::array<LanguageEntry, 17> kLanguages = {{
    {63, "Danish", "DAN", 0x0406},
    {64, "English", "ENG", 0},
    {65, "Finnish", "FIN", 0x040B},
    {66, "French", "FRE", 0x040C},
    {67, "German", "GER", 0x0407},
    {68, "Italian", "ITA", 0x0410},
    {69, "Japanese", "JAP", 0x0411},
    {70, "Korean", "KOR", 0x0412},
    {71, "Polish", "POL", 0x0415},
    {72, "Russian", "RUS", 0x0419},
    {73, "SimplChinese", "SCHIN", 0x0804},
    {74, "Spanish", "SPA", 0x0C0A},
    {75, "Swedish", "SWE", 0x041D},
    {76, "Thai", "THAI", 0x041E},
    {77, "TradChinese", "TCHIN", 0x0404},
    {78, "Turkey", "TUR", 0x041F},
    {79, "Vietnamese", "VIET", 0x042A},
}};

constexpr std::string_view kMainSection = "Main";
constexpr std::string_view kLanguageKey = "Language";
constexpr std::string_view kTextSection = "Text";
constexpr size_t kTextChars = 1024;

// Process-wide, used on the user-interface thread only.
std::optional<std::filesystem::path> g_ini_path;
std::filesystem::path g_active_file;

uint16_t UserLangId() {
    platform::Locale* locale = platform::Current().locale;
    if (!locale) {
        platform::Report("locale.unavailable");
        return 0;
    }
    return locale->UserDefaultLangId();
}

uint16_t DeclaredLangId(const std::filesystem::path& file) {
    return static_cast<uint16_t>(GetPrivateProfileInt(kLanguageKey, kLanguageKey, 0, file));
}

bool HasLngExtension(const std::filesystem::path& p) {
    return text::EqualsNoCase(p.extension().string(), ".lng");
}

}  // namespace

const std::array<LanguageEntry, 17>& LanguageTable() { return kLanguages; }

const LanguageEntry& LanguageForLangId(uint16_t lang_id) {
    for (const LanguageEntry& e : kLanguages) {
        if (e.default_lang_id != 0 && e.default_lang_id == lang_id) return e;
    }
    return *LanguageForItemId(kEnglishItemId);
}

const LanguageEntry* LanguageForItemId(int item_id) {
    for (const LanguageEntry& e : kLanguages) {
        if (e.item_id == item_id) return &e;
    }
    return nullptr;
}

std::filesystem::path LanguageIniPath() {
    return g_ini_path ? *g_ini_path : GetModuleDir() / "language.ini";
}

void SetLanguageIniPath(const std::filesystem::path& path) { g_ini_path = path; }

std::filesystem::path ActiveLanguageFile() { return g_active_file; }

void InitLanguage() {
    const auto id = static_cast<uint16_t>(
        GetPrivateProfileInt(kMainSection, kLanguageKey, UserLangId(), LanguageIniPath()));
    if (id == 0) return;

    // Sorted by file name so the first match does not depend on the file system's order.
    std::vector<std::filesystem::path> candidates;
    std::error_code ec;
    for (std::filesystem::directory_iterator it(GetModuleDir(), ec), end; !ec && it != end;
         it.increment(ec)) {
        std::error_code type_ec;
        if (it->is_regular_file(type_ec) && HasLngExtension(it->path())) candidates.push_back(it->path());
    }
    std::sort(candidates.begin(), candidates.end(),
              [](const auto& a, const auto& b) { return a.filename() < b.filename(); });

    for (const std::filesystem::path& file : candidates) {
        if (DeclaredLangId(file) == id) {
            g_active_file = file;
            ApplyLanguage(id);
            return;
        }
    }
}

void ApplyLanguage(uint16_t lang_id) {
    WritePrivateProfileString(kMainSection, kLanguageKey, std::to_string(lang_id), LanguageIniPath());
}

void SelectLanguageFile(std::string_view name) {
    std::string file_name(name);
    file_name += ".lng";
    g_active_file = GetModuleDir() / file_name;
    ApplyLanguage(DeclaredLangId(g_active_file));
}

void SelectDefaultLanguage(const std::function<void(int)>& click) {
    const LanguageEntry& entry = LanguageForLangId(UserLangId());
    if (click) click(entry.item_id);
}

std::string GetLangText(std::string_view key, std::string_view default_text) {
    if (g_active_file.empty()) return std::string(default_text);
    std::string value = GetPrivateProfileString(kTextSection, key, "", g_active_file, kTextChars);
    if (value.empty()) return std::string(default_text);
    return value;
}

std::string GetLangText(int key, std::string_view default_text) {
    return GetLangText(std::to_string(key), default_text);
}

void ResetLanguageStateForTests() {
    g_ini_path.reset();
    g_active_file.clear();
}

}  // namespace mivo
