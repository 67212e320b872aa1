// Locale name to language identifier table.
#include "base/langid.h"

#include <cctype>
#include <string>

namespace mivo {

namespace {

struct LanguageEntry {
    std::string_view language;  // ISO 639-1 code, lower case
    uint16_t main_id;           // identifier when the territory is absent or not in kTerritories
};

// The main identifier of each language (primary language with its default sub-language).
constexpr LanguageEntry kLanguages[] = {
    {"ar", 0x0401}, {"bg", 0x0402}, {"ca", 0x0403}, {"zh", 0x0804}, {"cs", 0x0405}, {"da", 0x0406},
    {"de", 0x0407}, {"el", 0x0408}, {"en", 0x0409}, {"es", 0x0C0A}, {"fi", 0x040B}, {"fr", 0x040C},
    {"he", 0x040D}, {"hu", 0x040E}, {"is", 0x040F}, {"it", 0x0410}, {"ja", 0x0411}, {"ko", 0x0412},
    {"nl", 0x0413}, {"nb", 0x0414}, {"no", 0x0414}, {"nn", 0x0814}, {"pl", 0x0415}, {"pt", 0x0416},
    {"ro", 0x0418}, {"ru", 0x0419}, {"hr", 0x041A}, {"sk", 0x041B}, {"sv", 0x041D}, {"th", 0x041E},
    {"tr", 0x041F}, {"id", 0x0421}, {"uk", 0x0422}, {"sl", 0x0424}, {"et", 0x0425}, {"lv", 0x0426},
    {"lt", 0x0427}, {"vi", 0x042A}, {"ms", 0x043E},
};

struct TerritoryEntry {
    std::string_view locale;  // "ll_TT", territory upper case
    uint16_t id;
};

// Territories whose identifier differs from the language's main one.
constexpr TerritoryEntry kTerritories[] = {
    {"zh_TW", 0x0404}, {"zh_HK", 0x0C04}, {"zh_MO", 0x1404}, {"zh_SG", 0x1004}, {"zh_CN", 0x0804},
    {"de_CH", 0x0807}, {"de_AT", 0x0C07}, {"de_LU", 0x1007}, {"de_LI", 0x1407},
    {"en_GB", 0x0809}, {"en_AU", 0x0C09}, {"en_CA", 0x1009}, {"en_NZ", 0x1409}, {"en_IE", 0x1809},
    {"en_ZA", 0x1C09}, {"en_IN", 0x4009},
    {"es_MX", 0x080A}, {"es_AR", 0x2C0A}, {"es_CO", 0x240A}, {"es_CL", 0x340A}, {"es_US", 0x540A},
    {"fr_BE", 0x080C}, {"fr_CA", 0x0C0C}, {"fr_CH", 0x100C}, {"fr_LU", 0x140C},
    {"it_CH", 0x0810}, {"nl_BE", 0x0813}, {"pt_PT", 0x0816}, {"pt_BR", 0x0416}, {"sv_FI", 0x081D},
};

std::string Lower(std::string_view s) {
    std::string out(s);
    for (char& c : out) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return out;
}

std::string Upper(std::string_view s) {
    std::string out(s);
    for (char& c : out) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return out;
}

}  // namespace

uint16_t LangIdFromLocaleName(std::string_view name) {
    // Drop the codeset and modifier, then split language and territory.
    name = name.substr(0, name.find_first_of(".@"));
    const size_t sep = name.find_first_of("_-");
    const std::string language = Lower(name.substr(0, sep));
    const std::string territory = sep == std::string_view::npos ? std::string() : Upper(name.substr(sep + 1));

    if (!territory.empty()) {
        const std::string key = language + "_" + territory;
        for (const auto& t : kTerritories) {
            if (t.locale == key) return t.id;
        }
    }
    for (const auto& l : kLanguages) {
        if (l.language == language) return l.main_id;
    }
    return kLangIdEnglishUs;
}

uint16_t LangIdFromEnvironment(const char* lc_all, const char* lc_messages, const char* lang) {
    for (const char* value : {lc_all, lc_messages, lang}) {
        if (value && *value) return LangIdFromLocaleName(value);
    }
    return kLangIdEnglishUs;
}

}  // namespace mivo
