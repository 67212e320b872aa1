// Copy and dpi-slot helpers of the settings record.
#include "settings/mouse_settings.h"

#include <cstddef>

namespace mivo {

void CopySettings(const MouseSettings& source, MouseSettings& destination) {
    const int32_t language = destination.Language;
    destination = source;
    destination.Language = language;
}

int DpiSlotCode(int32_t dpi) {
    for (std::size_t i = 0; i < kDpiSlots.size(); ++i) {
        if (kDpiSlots[i] == dpi) return static_cast<int>(i) + 1;
    }
    return 0;
}

}  // namespace mivo
