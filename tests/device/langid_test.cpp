// Locale names and the locale environment to language identifiers.
#include <gtest/gtest.h>

#include "base/langid.h"

namespace mivo {
namespace {

TEST(LangIdTest, LocaleNames) {
    struct Case {
        const char* name;
        uint16_t id;
    } cases[] = {
        {"de_DE.UTF-8", 0x0407}, {"de_AT.UTF-8", 0x0C07}, {"de", 0x0407},          {"de_LU@euro", 0x1007},
        {"en_US.UTF-8", 0x0409}, {"en_GB", 0x0809},       {"es_ES.UTF-8", 0x0C0A}, {"es_MX", 0x080A},
        {"zh_CN.UTF-8", 0x0804}, {"zh_TW.UTF-8", 0x0404}, {"zh", 0x0804},          {"ja_JP.eucJP", 0x0411},
        {"vi_VN", 0x042A},       {"tr_TR.UTF-8", 0x041F}, {"sv_SE", 0x041D},       {"fr_XX", 0x040C},
        {"DE_de", 0x0407},       {"C", 0x0409},           {"POSIX", 0x0409},       {"", 0x0409},
        {"xx_YY", 0x0409},       {"C.UTF-8", 0x0409},     {"@", 0x0409},
    };
    for (const auto& c : cases) EXPECT_EQ(LangIdFromLocaleName(c.name), c.id) << c.name;
}

TEST(LangIdTest, EnvironmentPrecedence) {
    EXPECT_EQ(LangIdFromEnvironment("fr_FR.UTF-8", "de_DE", "ru_RU"), 0x040C);
    EXPECT_EQ(LangIdFromEnvironment("", "de_DE", "ru_RU"), 0x0407);  // empty counts as unset
    EXPECT_EQ(LangIdFromEnvironment(nullptr, nullptr, "ru_RU.UTF-8"), 0x0419);
    EXPECT_EQ(LangIdFromEnvironment(nullptr, nullptr, nullptr), 0x0409);
}

}  // namespace
}  // namespace mivo
