// The software mouse: what it keeps from reports, what it refuses, and its own dpi button.
#include <gtest/gtest.h>

#include "device/protocol.h"
#include "platform/sim/sim_platform.h"

namespace mivo {
namespace {

class SimMouseTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(EnsureOpen(link)); }
    platform::sim::SimPlatform sim;
    platform::ScopedServices scope{sim.services()};
    DeviceLink link;
};

TEST_F(SimMouseTest, FactoryStateAnswersSlotThree) {
    uint8_t code = 0;
    ASSERT_TRUE(QueryDpiCode(link, code));
    EXPECT_EQ(code, 3);
    const auto& m = sim.hid.Mouse();
    EXPECT_EQ(m.rate_code, 0);
    EXPECT_EQ(m.dpi_count, 7);
    EXPECT_EQ(m.buttons, (std::array<uint8_t, 6>{0x01, 0x02, 0x04, 0x82, 0x83, 0x81}));
    EXPECT_EQ(m.light, 0x20);
}

TEST_F(SimMouseTest, KeepsWhatTheReportsSet) {
    MouseSettings s;
    s.PollingRate = 250;
    s.DPISwitch = {0, 1, 0, 1, 0, 0, 1};
    s.CurDPI = 2000;
    s.Key = {0x02, 0x01, 0x85, 0x10, 0x08, 0x04};
    s.AdjustEffect = 3;
    ASSERT_TRUE(SendSettingsReports(link, s).accepted());
    const auto& m = sim.hid.Mouse();
    EXPECT_EQ(m.rate_code, 2);
    EXPECT_EQ(m.dpi_count, 3);
    EXPECT_EQ(m.dpi_table, (std::array<uint8_t, 7>{2, 4, 7, 0, 0, 0, 0}));
    EXPECT_EQ(m.buttons, s.Key);  // button 4 and 6 land where they belong despite the byte order
    EXPECT_EQ(m.light, 0x10);
    uint8_t code = 0;
    ASSERT_TRUE(QueryDpiCode(link, code));
    EXPECT_EQ(code, 7);
}

TEST_F(SimMouseTest, RefusesWrongCheckByteOrReportIdAndKeepsState) {
    FeatureReport bad_check = MakeReport(0xC0, {3});
    bad_check[7] ^= 1;
    FeatureReport bad_id = MakeReport(0xC0, {3});
    bad_id[0] = 0x02;
    EXPECT_FALSE(SendFeature(link, bad_check));
    EXPECT_FALSE(SendFeature(link, bad_id));
    EXPECT_EQ(sim.hid.Mouse().rate_code, 0);
    const auto refused = sim.log.Lines("hid.refused");
    ASSERT_EQ(refused.size(), 2u);
    EXPECT_EQ(refused[0], "0 hid.refused C0 check");
    EXPECT_EQ(refused[1], "0 hid.refused C0 report-id");
    // The attempt is logged as written, wrong check byte included.
    EXPECT_EQ(sim.log.Lines("hid.set")[0], "0 hid.set 03 C0 03 00 00 00 00 C2");
}

TEST_F(SimMouseTest, DpiButtonAdvancesThroughEnabledEntriesAndWraps) {
    MouseSettings s;
    s.DPISwitch = {1, 0, 1, 0, 0, 0, 1};
    s.CurDPI = 1000;
    ASSERT_TRUE(SendSettingsReports(link, s).accepted());
    uint8_t codes[3] = {};
    for (auto& c : codes) {
        sim.hid.PressDpiButton();
        ASSERT_TRUE(QueryDpiCode(link, c));
    }
    EXPECT_EQ(codes[0], 7);
    EXPECT_EQ(codes[1], 1);
    EXPECT_EQ(codes[2], 3);
}

}  // namespace
}  // namespace mivo
