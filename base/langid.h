// Mapping of POSIX locale names ("de_DE.UTF-8") to 16-bit Windows language identifiers.
#pragma once
#include <cstdint>
#include <string_view>

namespace mivo {

// Identifier used when the locale names no language we know ("C", "POSIX", empty, unknown).
constexpr uint16_t kLangIdEnglishUs = 0x0409;

// Language identifier of a locale name "language[_TERRITORY][.codeset][@modifier]". An unknown
// territory gives the language's main identifier (e.g. "de_LU" -> 0x0407); an unknown
// language gives kLangIdEnglishUs. Case of the language and territory is ignored.
uint16_t LangIdFromLocaleName(std::string_view name);

// The user's language from the locale environment, in the order the C library consults it for
// messages: LC_ALL, then LC_MESSAGES, then LANG; the first one set and non-empty decides.
// Null arguments stand for unset variables.
uint16_t LangIdFromEnvironment(const char* lc_all, const char* lc_messages, const char* lang);

}  // namespace mivo
