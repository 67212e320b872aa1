// Language files (*.lng), "Language.ini" and the text lookup for the help texts.
#pragma once
#include <array>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>
#include <string_view>

namespace mivo {

// One language of the language menu.
struct LanguageEntry {
    int item_id;                 // control ID of the menu item, 63-79
    std::string_view file_name;  // file name without ".lng"
    std::string_view face_code;  // names the language button's pictures
    uint16_t default_lang_id;    // user LANGID that selects it by default; 0 for English (fallback)
};

inline constexpr int kEnglishItemId = 64;

// The 17 languages in menu order.
const std::array<LanguageEntry, 17>& LanguageTable();
// The row whose default LANGID equals `lang_id` on all 16 bits, else the English row.
const LanguageEntry& LanguageForLangId(uint16_t lang_id);
// The row of a language item ID, or null.
const LanguageEntry* LanguageForItemId(int item_id);

// Path of "Language.ini": until set, GetModuleDir() / "language.ini".
std::filesystem::path LanguageIniPath();
void SetLanguageIniPath(const std::filesystem::path& path);

// The language file in use; empty when none (every text is then the compiled-in default).
std::filesystem::path ActiveLanguageFile();

// Makes active the language file that declares the remembered LANGID ("Language.ini", Main,
// Language), or the user's default LANGID when none is remembered. The *.lng files of the module
// folder are tried in file-name order, so the choice is the same on every file system.
void InitLanguage();
// Remembers `lang_id` in "Language.ini".
void ApplyLanguage(uint16_t lang_id);
// Makes "<module folder>/<name>.lng" the active language file (whether or not it exists) and
// remembers the LANGID it declares (0 when none).
void SelectLanguageFile(std::string_view name);
// Reports a click on the menu item of the user's default language through `click`, so that the
// choice takes the same path as a click in the language menu.
void SelectDefaultLanguage(const std::function<void(int)>& click);

// The text for a decimal text key from the active language file ("Text" section), or
// `default_text` when there is no active file or the text is missing or empty. At most 1023 UTF-16
// code units.
std::string GetLangText(std::string_view key, std::string_view default_text);
std::string GetLangText(int key, std::string_view default_text);

// Back to the state at program start (no language file, default "Language.ini" path).
void ResetLanguageStateForTests();

}  // namespace mivo
