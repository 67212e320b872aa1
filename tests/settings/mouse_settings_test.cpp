// The settings record: factory values, copying and dpi slot codes.
#include "settings/mouse_settings.h"

#include <gtest/gtest.h>

namespace mivo {
namespace {

TEST(MouseSettings, FactoryButtonsAndHandedness) {
    const MouseSettings s;
    EXPECT_EQ(s.Key, (std::array<uint8_t, 6>{0x01, 0x02, 0x04, 0x82, 0x83, 0x81}));
    EXPECT_EQ(s.HandedMode, 2);
    EXPECT_EQ(s, DefaultSettings);
}

TEST(MouseSettings, CopySettingsCopiesEverythingButLanguage) {
    MouseSettings source;
    source.CurDPI = 250;
    source.ScrollSpeed = 9;
    source.MouseWheel = 0;
    source.OnePage = 1;
    source.PollingRate = 125;
    source.DPISwitch = {0, 1, 0, 1, 0, 1, 0};
    source.PointerSpeed = 11;
    source.MouseAcceleration = 1;
    source.DisplayPointerTrails = 1;
    source.DClickSpeed = 1;
    source.HandedMode = 1;
    source.AdjustEffect = 3;
    source.Language = 67;
    source.Key = {0x85, 0x10, 0x08, 0x81, 0x04, 0x82};

    MouseSettings destination;
    destination.Language = 73;
    CopySettings(source, destination);
    EXPECT_EQ(destination.Language, 73);
    destination.Language = source.Language;
    EXPECT_EQ(destination, source);
}

TEST(MouseSettings, DpiSlotCodes) {
    for (size_t i = 0; i < kDpiSlots.size(); ++i) EXPECT_EQ(DpiSlotCode(kDpiSlots[i]), static_cast<int>(i) + 1);
    for (int32_t dpi : {0, 249, 750, 2001, -250}) EXPECT_EQ(DpiSlotCode(dpi), 0) << dpi;
}

}  // namespace
}  // namespace mivo
