// Locale service: the user's default language identifier.
#pragma once
#include <cstdint>

namespace mivo::platform {

class Locale {
public:
    virtual ~Locale() = default;
    // 16-bit language identifier in the Windows numbering (0x0409 English US, 0x0407 German, ...).
    virtual uint16_t UserDefaultLangId() = 0;
};

}  // namespace mivo::platform
