// Report encoding byte for byte, and the settings sequence's order, pauses and stops on the simulated mouse.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "device/protocol.h"
#include "platform/sim/sim_platform.h"

namespace mivo {
namespace {

using platform::sim::HexBytes;

std::string Hex(const FeatureReport& r) { return HexBytes(r.data(), r.size()); }

MouseSettings FactoryKeys() { return MouseSettings{}; }  // Key 01 02 04 82 83 81, all slots, 1000 dpi

TEST(ProtocolTest, FirstExampleSequenceByteForByte) {
    const auto reports = EncodeSettingsReports(FactoryKeys());
    const std::vector<std::string> expected = {
        "03 C0 00 00 00 00 00 C0", "03 A0 01 02 03 04 05 AF", "03 A1 06 07 07 00 00 B5",
        "03 A2 03 00 00 00 00 A5", "03 B0 01 02 04 81 82 BA", "03 B1 83 00 00 00 00 34",
        "03 D0 20 00 00 00 00 F0", "03 EE 00 00 00 00 00 EE",
    };
    ASSERT_EQ(reports.size(), expected.size());
    for (size_t i = 0; i < expected.size(); ++i) EXPECT_EQ(Hex(reports[i]), expected[i]) << "report " << i;
}

struct EncodeCase {
    const char* name;
    void (*edit)(MouseSettings&);
    FeatureReport (*encode)(const MouseSettings&);
    const char* expected;
};

FeatureReport Dpi1(const MouseSettings& s) { return EncodeDpiTable1(BuildDpiTable(s)); }
FeatureReport Dpi2(const MouseSettings& s) { return EncodeDpiTable2(BuildDpiTable(s)); }
FeatureReport DpiSel(const MouseSettings& s) { return EncodeDpiSelect(BuildDpiTable(s)); }
FeatureReport Query(const MouseSettings&) { return EncodeDpiQuery(); }
void SparseSlots(MouseSettings& s) { s.DPISwitch = {1, 0, 1, 0, 0, 0, 1}; }

const EncodeCase kEncodeCases[] = {
    {"sparse table first part", SparseSlots, Dpi1, "03 A0 01 03 07 00 00 AB"},
    {"sparse table second part", SparseSlots, Dpi2, "03 A1 00 00 03 00 00 A4"},
    {"sparse table selection", SparseSlots, DpiSel, "03 A2 02 00 00 00 00 A4"},
    {"current slot disabled", [](MouseSettings& s) { s.CurDPI = 500; s.DPISwitch[1] = 0; }, DpiSel,
     "03 A2 00 00 00 00 00 A2"},
    {"current dpi no slot", [](MouseSettings& s) { s.CurDPI = 0; }, DpiSel, "03 A2 00 00 00 00 00 A2"},
    {"highest slot selected", [](MouseSettings& s) { s.CurDPI = 2000; }, DpiSel, "03 A2 07 00 00 00 00 A9"},
    {"no slot enabled", [](MouseSettings& s) { s.DPISwitch = {}; }, Dpi2, "03 A1 00 00 00 00 00 A1"},
    {"125 Hz", [](MouseSettings& s) { s.PollingRate = 125; }, EncodePollingRate, "03 C0 03 00 00 00 00 C3"},
    {"250 Hz", [](MouseSettings& s) { s.PollingRate = 250; }, EncodePollingRate, "03 C0 02 00 00 00 00 C2"},
    {"500 Hz", [](MouseSettings& s) { s.PollingRate = 500; }, EncodePollingRate, "03 C0 01 00 00 00 00 C1"},
    {"300 Hz", [](MouseSettings& s) { s.PollingRate = 300; }, EncodePollingRate, "03 C0 00 00 00 00 00 C0"},
    {"0 Hz", [](MouseSettings& s) { s.PollingRate = 0; }, EncodePollingRate, "03 C0 00 00 00 00 00 C0"},
    {"buttons 1 and 2 swapped", [](MouseSettings& s) { s.Key[0] = 0x02; s.Key[1] = 0x01; }, EncodeButtons1,
     "03 B0 02 01 04 81 82 BA"},
    {"button 6 before button 4", [](MouseSettings& s) { s.Key = {0x85, 0x85, 0x85, 0x10, 0x85, 0x08}; },
     EncodeButtons1, "03 B0 85 85 85 08 10 57"},
    {"button 5 alone", [](MouseSettings& s) { s.Key[4] = 0x10; }, EncodeButtons2, "03 B1 10 00 00 00 00 C1"},
    {"light always on", [](MouseSettings& s) { s.AdjustEffect = 1; }, EncodeLight, "03 D0 11 00 00 00 00 E1"},
    {"light off", [](MouseSettings& s) { s.AdjustEffect = 3; }, EncodeLight, "03 D0 10 00 00 00 00 E0"},
    {"light unknown", [](MouseSettings& s) { s.AdjustEffect = 9; }, EncodeLight, "03 D0 10 00 00 00 00 E0"},
    {"dpi query", [](MouseSettings&) {}, Query, "03 DD 00 00 00 00 00 DD"},
};

TEST(ProtocolTest, FurtherCasesByteForByte) {
    for (const auto& c : kEncodeCases) {
        MouseSettings s;
        c.edit(s);
        EXPECT_EQ(Hex(c.encode(s)), c.expected) << c.name;
    }
}

TEST(ProtocolTest, CheckByteWrapsModulo256AndSkipsReportId) {
    EXPECT_EQ(CheckByte(FeatureReport{0xFF, 0xFF, 0xFF, 0x02, 0, 0, 0, 0}), 0x00);
    EXPECT_EQ(CheckByte(FeatureReport{0x03, 0x80, 0x80, 0x01, 0, 0, 0x10, 0x99}), 0x11);
}

class SequenceTest : public ::testing::Test {
protected:
    void SetUp() override {
        sim.clock.Advance(1000);
        ASSERT_TRUE(EnsureOpen(link));
        sim.log.Clear();
    }
    platform::sim::SimPlatform sim;
    platform::ScopedServices scope{sim.services()};
    DeviceLink link;
};

TEST_F(SequenceTest, SendsEightReportsWithFixedPauses) {
    const SequenceResult result = SendSettingsReports(link, MouseSettings{});
    EXPECT_TRUE(result.accepted());
    const std::vector<std::string> expected = {
        "1000 hid.set 03 C0 00 00 00 00 00 C0", "1200 hid.set 03 A0 01 02 03 04 05 AF",
        "1300 hid.set 03 A1 06 07 07 00 00 B5", "1400 hid.set 03 A2 03 00 00 00 00 A5",
        "1600 hid.set 03 B0 01 02 04 81 82 BA", "1700 hid.set 03 B1 83 00 00 00 00 34",
        "1900 hid.set 03 D0 20 00 00 00 00 F0", "2100 hid.set 03 EE 00 00 00 00 00 EE",
    };
    EXPECT_EQ(sim.log.Lines("hid.set"), expected);
    EXPECT_EQ(sim.hid.Mouse().end_reports, 1);
}

TEST_F(SequenceTest, RefusedButtonReportStopsTheSequence) {
    sim.hid.RefuseCommand(report::kButtons1);
    const SequenceResult result = SendSettingsReports(link, MouseSettings{});
    EXPECT_FALSE(result.accepted());
    EXPECT_EQ(result.refused, report::kButtons1);
    const auto sets = sim.log.Lines("hid.set");
    ASSERT_EQ(sets.size(), 5u);
    EXPECT_NE(sets.back().find("03 B0"), std::string::npos);
    EXPECT_EQ(sim.log.Lines("hid.refused"), std::vector<std::string>{"1600 hid.refused B0 command"});
    EXPECT_EQ(sim.hid.Mouse().end_reports, 0);
}

TEST_F(SequenceTest, ClosedLinkSendsNothing) {
    DeviceLink closed;
    EXPECT_EQ(SendSettingsReports(closed, MouseSettings{}).refused, report::kPollingRate);
    EXPECT_TRUE(sim.log.Lines("hid.set").empty());
    uint8_t code = 99;
    EXPECT_FALSE(QueryDpiCode(closed, code));
    EXPECT_EQ(code, 99);
}

TEST_F(SequenceTest, DpiQueryReadsByteOne) {
    sim.hid.Mouse().selected = 5;
    uint8_t code = 0;
    ASSERT_TRUE(QueryDpiCode(link, code));
    EXPECT_EQ(code, 5);
    EXPECT_EQ(sim.log.Lines("hid.get"), std::vector<std::string>{"1000 hid.get 03 05 00 00 00 00 00 05"});
}

TEST_F(SequenceTest, RefusedQueryOrReadFails) {
    uint8_t code = 42;
    sim.hid.RefuseCommand(report::kDpiQuery);
    EXPECT_FALSE(QueryDpiCode(link, code));
    EXPECT_TRUE(sim.log.Lines("hid.get").empty());  // no read after a refused query
    sim.hid.RefuseCommand(report::kDpiQuery, false);
    sim.hid.RefuseRead();
    EXPECT_FALSE(QueryDpiCode(link, code));
    EXPECT_EQ(code, 42);
}

}  // namespace
}  // namespace mivo
