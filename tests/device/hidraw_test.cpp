// The hidraw HID bus against a sysfs tree and /dev folder laid out by the test.
#include <gtest/gtest.h>

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "device/device_link.h"
#include "platform/linux/hid_hidraw.h"
#include "support/scratch_dir.h"

namespace mivo::platform::linux_backend {
namespace {

namespace fs = std::filesystem;
using test::ScratchDir;
using test::WriteBytes;

// sysfs as the kernel lays it out for the mouse (a USB device with a release number) and for a
// device of another bus (no release number), with the class folder linking to both nodes.
class HidrawTest : public ::testing::Test {
protected:
    void SetUp() override {
        const fs::path usb = sys() / "devices/pci0000:00/usb1/1-2";
        fs::create_directories(usb);
        WriteBytes(usb / "bcdDevice", "0105\n");
        mouse_ = usb / "1-2:1.1/0003:5A2B:4D71.0004/hidraw/hidraw10";
        other_ = sys() / "devices/virtual/misc/uhid/0005:046D:B33A.0002/hidraw/hidraw2";
        fs::create_directories(mouse_);
        fs::create_directories(other_);
        fs::create_directories(sys() / "class/hidraw");
        fs::create_symlink("../../devices/pci0000:00/usb1/1-2/1-2:1.1/0003:5A2B:4D71.0004/hidraw/hidraw10",
                           sys() / "class/hidraw/hidraw10");
        fs::create_symlink("../../devices/virtual/misc/uhid/0005:046D:B33A.0002/hidraw/hidraw2",
                           sys() / "class/hidraw/hidraw2");
        WriteBytes(sys() / "class/hidraw/README", "not a node");
        fs::create_directories(dev());
    }
    fs::path sys() const { return dir_.path() / "sys"; }
    fs::path dev() const { return dir_.path() / "dev"; }

    ScratchDir dir_;
    fs::path mouse_, other_;
};

TEST_F(HidrawTest, EnumeratesNodesInNumberOrderByTheirDeviceFolders) {
    HidrawBus bus(sys(), dev());
    const std::vector<std::string> paths = bus.Enumerate();
    ASSERT_EQ(paths.size(), 2u);
    EXPECT_EQ(paths[0], fs::canonical(other_).string());
    EXPECT_EQ(paths[1], fs::canonical(mouse_).string());
    // The folder names vendor and product, so the plug-event name rule recognises the mouse.
    EXPECT_TRUE(MatchesMouseName(paths[1]));
    EXPECT_FALSE(MatchesMouseName(paths[0]));
}

TEST_F(HidrawTest, NoHidrawClassFolderMeansNoInterfaces) {
    HidrawBus bus(dir_.path() / "empty-sys", dev());
    EXPECT_TRUE(bus.Enumerate().empty());
}

TEST_F(HidrawTest, ReleaseNumberComesFromTheUsbDeviceAboveTheNode) {
    EXPECT_EQ(FindReleaseNumber(mouse_), 0x0105);
    EXPECT_EQ(FindReleaseNumber(other_), 0);
}

TEST_F(HidrawTest, OpenFailsHonestly) {
    HidrawBus bus(sys(), dev());
    // No node under /dev, and a path whose last part is not a node name.
    EXPECT_EQ(bus.Open(mouse_.string()), nullptr);
    EXPECT_EQ(bus.Open((sys() / "devices").string()), nullptr);
    // A node that is not a hidraw device opens, but every request on it fails.
    WriteBytes(dev() / "hidraw10", "");
    auto device = bus.Open(mouse_.string());
    ASSERT_NE(device, nullptr);
    HidAttributes attributes;
    EXPECT_FALSE(device->GetAttributes(attributes));
    EXPECT_FALSE(device->SetFeature({0x03, 0xC0, 0, 0, 0, 0, 0, 0xC0}));
    FeatureReport report{0x03};
    EXPECT_FALSE(device->GetFeature(report));
    EXPECT_EQ(report[0], 0x03);  // left as it was
}

TEST_F(HidrawTest, UdevEventsBecomeTheBroadcastsThePlugRuleReads) {
    const std::string mouse = fs::canonical(mouse_).string();
    const std::string other = fs::canonical(other_).string();
    const struct {
        const char* action;
        std::string path;
        std::optional<DeviceChange> change;  // nullopt: no broadcast at all
    } cases[] = {{"add", mouse, DeviceChange::MouseArrived},
                 {"remove", mouse, DeviceChange::MouseRemoved},
                 {"add", other, DeviceChange::Ignore},
                 {"change", mouse, std::nullopt},
                 {"bind", mouse, std::nullopt}};
    for (const auto& c : cases) {
        const auto broadcast = HidrawBroadcast(c.action, c.path);
        ASSERT_EQ(broadcast.has_value(), c.change.has_value()) << c.action;
        if (!broadcast) continue;
        EXPECT_EQ(broadcast->name, c.path);
        EXPECT_EQ(ClassifyDeviceChange(*broadcast), *c.change) << c.action << ' ' << c.path;
    }
    // With no loop to watch the monitor there is nothing to register.
    HidrawBus bus(sys(), dev());
    EXPECT_FALSE(bus.RegisterNotifications([](const DeviceBroadcast&) {}));
}

TEST(HidrawText, NodeNamesAndReleaseNumbers) {
    const struct {
        const char* name;
        std::optional<unsigned> number;
    } nodes[] = {{"hidraw0", 0u}, {"hidraw12", 12u}, {"hidraw", std::nullopt},
                 {"hidrawx", std::nullopt}, {"hidraw1a", std::nullopt}, {"hid0", std::nullopt},
                 {"hidraw-1", std::nullopt}};
    for (const auto& c : nodes) EXPECT_EQ(HidrawNodeNumber(c.name), c.number) << c.name;

    const struct {
        const char* text;
        std::optional<uint16_t> value;
    } releases[] = {{"0105\n", 0x0105}, {"ffff", 0xFFFF}, {"1", 0x0001}, {"", std::nullopt},
                    {"\n", std::nullopt}, {"1.05", std::nullopt}, {"12345", std::nullopt},
                    {"zz", std::nullopt}, {"-1", std::nullopt}};
    for (const auto& c : releases) EXPECT_EQ(ParseReleaseNumber(c.text), c.value) << '"' << c.text << '"';
}

}  // namespace
}  // namespace mivo::platform::linux_backend
