// Opening the mouse among several interfaces, the broadcast name match, and reacting to plug events.
#include <gtest/gtest.h>

#include <string>

#include "device/device_link.h"
#include "platform/sim/sim_platform.h"

namespace mivo {
namespace {

using platform::DeviceBroadcast;
using platform::sim::SimHidBus;
using platform::sim::SimInterface;

class LinkTest : public ::testing::Test {
protected:
    platform::sim::SimPlatform sim;
    platform::ScopedServices scope{sim.services()};
    DeviceLink link;
};

TEST_F(LinkTest, SkipsInterfaceWithoutReadWriteAccessAndRecordsVersion) {
    sim.hid.SetInterfaces({
        SimInterface{SimHidBus::MousePath(0), 0x5A2B, 0x4D71, /*openable=*/false, true},
        SimInterface{SimHidBus::MousePath(1), 0x5A2B, 0x4D71, true, true},
    });
    sim.hid.SetVersion(23);
    ASSERT_TRUE(EnsureOpen(link));
    EXPECT_EQ(link.Connected, 1);
    EXPECT_EQ(link.Version, 23u);
    EXPECT_EQ(sim.log.Lines("hid.openfail").size(), 1u);
    EXPECT_EQ(sim.log.Lines("hid.open"), std::vector<std::string>{"0 hid.open " + SimHidBus::MousePath(1)});
}

TEST_F(LinkTest, SkipsOtherDevicesAndTakesTheFirstMatch) {
    sim.hid.SetInterfaces({
        SimInterface{"\\\\?\\hid#vid_1111&pid_2222#kbd", 0x1111, 0x2222, true, false},
        SimInterface{"\\\\?\\hid#vid_5a2b&pid_9999#other", 0x5A2B, 0x9999, true, false},
        SimInterface{SimHidBus::MousePath(0), 0x5A2B, 0x4D71, true, true},
        SimInterface{SimHidBus::MousePath(1), 0x5A2B, 0x4D71, true, true},
    });
    auto handle = OpenDevice(link);
    ASSERT_NE(handle, nullptr);
    EXPECT_EQ(link.Version, 5u);  // the default release number
    EXPECT_EQ(link.Connected, 0);  // OpenDevice leaves Handle and Connected to its caller
    EXPECT_EQ(sim.log.Lines("hid.open").back(), "0 hid.open " + SimHidBus::MousePath(0));
}

TEST_F(LinkTest, NoMouseLeavesLinkClosedAndRetriesEachTime) {
    sim.hid.Unplug();
    EXPECT_FALSE(EnsureOpen(link));
    EXPECT_EQ(link.Connected, 0);
    EXPECT_EQ(link.Handle, nullptr);
    sim.hid.Plug();
    EXPECT_TRUE(EnsureOpen(link));
}

TEST_F(LinkTest, EnsureOpenDoesNotReopenAConnectedLink) {
    ASSERT_TRUE(EnsureOpen(link));
    ASSERT_TRUE(EnsureOpen(link));
    EXPECT_EQ(sim.log.Lines("hid.open").size(), 1u);
}

TEST(MouseNameTest, Table) {
    struct Case {
        const char* name;
        bool matches;
    } cases[] = {
        {"\\\\?\\HID#VID_5A2B&PID_4D71&MI_00#7&1&0&0000#{guid}", true},
        {"\\\\?\\hid#vid_5a2b&pid_4d71&mi_00#7&1&0&0000#{guid}", true},  // all lower case
        {"x5A2B4D71", true},                                              // no prefix needed
        {"\\\\?\\hid#vid_5a2b&pid_4D71", true},                          // each group in one case
        {"\\\\?\\hid#vid_5A2b&pid_4d71", false},                         // mixed-case vendor digits
        {"\\\\?\\hid#vid_5a2b&pid_4D7l", false},
        {"\\\\?\\hid#vid_5a2b&pid_4e71", false},                         // another product
        {"\\\\?\\hid#vid_1234&pid_4d71", false},                         // another vendor
        {"4D71 then 5A2B", false},                                        // product digits at the very start
        {"5a2b4d71", false},                                              // vendor digits at the very start
        {"", false},
    };
    for (const auto& c : cases) EXPECT_EQ(MatchesMouseName(c.name), c.matches) << c.name;
}

TEST(DeviceChangeTest, Classification) {
    const std::string mouse = SimHidBus::MousePath(0);
    struct Case {
        DeviceBroadcast broadcast;
        DeviceChange expected;
    } cases[] = {
        {{0x8000, true, mouse}, DeviceChange::MouseArrived},
        {{0x8004, true, mouse}, DeviceChange::MouseRemoved},
        {{0x8004, true, "\\\\?\\hid#vid_1111&pid_2222"}, DeviceChange::Ignore},
        {{0x0007, false, ""}, DeviceChange::Ignore},          // nodes changed, no data
        {{0x8001, true, mouse}, DeviceChange::Ignore},        // query remove
        {{0x8004, false, mouse}, DeviceChange::Ignore},       // not an interface broadcast
    };
    for (const auto& c : cases) {
        EXPECT_EQ(ClassifyDeviceChange(c.broadcast), c.expected) << std::hex << c.broadcast.event << " " << c.broadcast.name;
    }
}

TEST_F(LinkTest, RemovalClosesLinkAndNextEnsureOpenRefreshesVersion) {
    ASSERT_TRUE(EnsureOpen(link));
    std::vector<DeviceChange> seen;
    ASSERT_TRUE(RegisterHidNotification([&](const DeviceBroadcast& b) { seen.push_back(HandleDeviceChange(link, b)); }));

    sim.hid.Broadcast({0x8004, true, "\\\\?\\hid#vid_1111&pid_2222"});
    EXPECT_EQ(link.Connected, 1);  // another device's removal changes nothing

    sim.hid.Unplug();
    EXPECT_EQ(link.Connected, 0);
    EXPECT_EQ(link.Handle, nullptr);
    sim.hid.SetVersion(9);
    sim.hid.Plug();
    EXPECT_EQ(link.Connected, 0);  // arrival does not open the link
    ASSERT_TRUE(EnsureOpen(link));
    EXPECT_EQ(link.Version, 9u);
    EXPECT_EQ(seen, (std::vector<DeviceChange>{DeviceChange::Ignore, DeviceChange::MouseRemoved,
                                               DeviceChange::MouseArrived}));
}

TEST_F(LinkTest, FailedRegistrationIsReported) {
    sim.hid.FailRegistration();
    EXPECT_FALSE(RegisterHidNotification([](const DeviceBroadcast&) {}));
    EXPECT_EQ(sim.log.Lines("device.register-failed").size(), 1u);
}

TEST_F(LinkTest, StaleHandleWithoutBroadcastFailsReports) {
    ASSERT_TRUE(EnsureOpen(link));
    sim.hid.Unplug();  // nobody registered: the link still believes it is connected
    sim.hid.Plug();
    EXPECT_EQ(link.Connected, 1);
    EXPECT_FALSE(link.Handle->SetFeature({0x03, 0xEE, 0, 0, 0, 0, 0, 0xEE}));
    EXPECT_EQ(sim.log.Lines("hid.refused").back(), "0 hid.refused EE unplugged");
}

}  // namespace
}  // namespace mivo
