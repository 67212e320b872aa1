// The device side of an apply (order, pauses, stops) and of the dpi poll.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "device/apply.h"
#include "platform/sim/sim_platform.h"

namespace mivo {
namespace {

class ApplyTest : public ::testing::Test {
protected:
    ApplyResult Apply() {
        return ApplySettings(link, settings, flags, [this](MouseSettings& s) {
            ++stores;
            stored_keys = {s.Key[0], s.Key[1]};
            platform::Report("test.store");
        });
    }
    platform::sim::SimPlatform sim;
    platform::ScopedServices scope{sim.services()};
    DeviceLink link;
    MouseSettings settings;
    ApplyFlags flags{0, 0};
    int stores = 0;
    std::array<uint8_t, 2> stored_keys{};
};

TEST_F(ApplyTest, FactorySettingsSendEightReports400msAfterOpening) {
    sim.clock.Advance(5000);
    const ApplyResult result = Apply();
    EXPECT_EQ(result.status, ApplyStatus::Done);
    EXPECT_EQ(flags.ApplyBusy, 0);
    EXPECT_EQ(flags.ApplyDone, 1);

    // Pointer settings first, then the open, the store at +200 and the reports from +400.
    const auto& lines = sim.log.Lines();
    ASSERT_GE(lines.size(), 3u);
    EXPECT_EQ(lines[0].rfind("5000 pointer.", 0), 0u);
    EXPECT_EQ(sim.log.Lines("hid.open").size(), 1u);
    EXPECT_EQ(sim.log.Lines("test.store"), std::vector<std::string>{"5200 test.store"});
    const std::vector<std::string> expected = {
        "5400 hid.set 03 C0 00 00 00 00 00 C0", "5600 hid.set 03 A0 01 02 03 04 05 AF",
        "5700 hid.set 03 A1 06 07 07 00 00 B5", "5800 hid.set 03 A2 03 00 00 00 00 A5",
        "6000 hid.set 03 B0 01 02 04 81 82 BA", "6100 hid.set 03 B1 83 00 00 00 00 34",
        "6300 hid.set 03 D0 20 00 00 00 00 F0", "6500 hid.set 03 EE 00 00 00 00 00 EE",
    };
    EXPECT_EQ(sim.log.Lines("hid.set"), expected);
    EXPECT_EQ(sim.pointer.speed, 11);  // the pointer part ran
}

TEST_F(ApplyTest, HandednessIsForcedOntoButtonsOneAndTwoBeforeStoring) {
    struct Case {
        int32_t mode;
        std::array<uint8_t, 2> before;
        std::array<uint8_t, 2> after;
    } cases[] = {
        {1, {0x04, 0x85}, {0x02, 0x01}},
        {2, {0x02, 0x01}, {0x01, 0x02}},
        {7, {0x04, 0x85}, {0x04, 0x85}},  // other values leave both
    };
    for (const auto& c : cases) {
        settings.HandedMode = c.mode;
        settings.Key[0] = c.before[0];
        settings.Key[1] = c.before[1];
        ASSERT_EQ(Apply().status, ApplyStatus::Done);
        EXPECT_EQ(stored_keys, c.after) << "mode " << c.mode;
        EXPECT_EQ((std::array<uint8_t, 2>{sim.hid.Mouse().buttons[0], sim.hid.Mouse().buttons[1]}), c.after);
    }
}

TEST_F(ApplyTest, NoMouseWritesPointerSettingsOnly) {
    sim.hid.Unplug();
    EXPECT_EQ(Apply().status, ApplyStatus::NoMouse);
    EXPECT_EQ(stores, 0);
    EXPECT_TRUE(sim.log.Lines("hid.set").empty());
    EXPECT_TRUE(sim.pointer.double_click_ms.has_value());
    EXPECT_EQ(flags.ApplyDone, 0);
    EXPECT_EQ(flags.ApplyBusy, 0);
}

TEST_F(ApplyTest, RefusedButtonReportStopsAndNamesIt) {
    sim.hid.RefuseCommand(0xB0);
    const ApplyResult result = Apply();
    EXPECT_EQ(result.status, ApplyStatus::Refused);
    EXPECT_EQ(result.refused, 0xB0);
    EXPECT_EQ(stores, 1);
    for (const auto& line : sim.log.Lines("hid.set")) {
        EXPECT_EQ(line.find("03 B1"), std::string::npos);
        EXPECT_EQ(line.find("03 D0"), std::string::npos);
        EXPECT_EQ(line.find("03 EE"), std::string::npos);
    }
    EXPECT_EQ(flags.ApplyDone, 0);
    // The poll is not shut out by the failed apply.
    uint8_t last = 0;
    EXPECT_EQ(PollDpi(link, flags, last, false).status, PollStatus::Update);
}

class PollTest : public ::testing::Test {
protected:
    platform::sim::SimPlatform sim;
    platform::ScopedServices scope{sim.services()};
    DeviceLink link;
    ApplyFlags flags;
    uint8_t last = 3;
};

TEST_F(PollTest, ChangedSameAndNonSlotAnswers) {
    sim.hid.Mouse().selected = 5;
    PollResult r = PollDpi(link, flags, last, false);
    EXPECT_EQ(r.status, PollStatus::Update);
    EXPECT_EQ(r.code, 5);
    EXPECT_EQ(r.dpi, 1500);
    EXPECT_EQ(last, 5);

    EXPECT_EQ(PollDpi(link, flags, last, false).status, PollStatus::Unchanged);

    r = PollDpi(link, flags, last, true);  // forced: the window refreshes even without a change
    EXPECT_EQ(r.status, PollStatus::Update);
    EXPECT_EQ(r.dpi, 1500);

    sim.hid.Mouse().selected = 0;  // answers 0: markers hide, CurDPI is kept
    r = PollDpi(link, flags, last, false);
    EXPECT_EQ(r.status, PollStatus::Update);
    EXPECT_EQ(r.code, 0);
    EXPECT_EQ(r.dpi, 0);
    EXPECT_EQ(last, 0);
}

TEST_F(PollTest, BusyNoMouseAndRefusedQuery) {
    flags.ApplyBusy = 1;
    EXPECT_EQ(PollDpi(link, flags, last, true).status, PollStatus::Skipped);
    EXPECT_TRUE(sim.log.Lines("hid.open").empty());
    flags.ApplyBusy = 0;

    sim.hid.Unplug();
    EXPECT_EQ(PollDpi(link, flags, last, false).status, PollStatus::NoMouse);
    sim.hid.Plug();

    sim.hid.RefuseRead();
    EXPECT_EQ(PollDpi(link, flags, last, true).status, PollStatus::QueryFailed);
    EXPECT_EQ(last, 3);
}

}  // namespace
}  // namespace mivo
