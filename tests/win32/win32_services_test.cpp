// Windows clock, paths, text conversion, device broadcasts, HID, pointer settings and shell.
#include <gtest/gtest.h>
#include <windows.h>
#include <dbt.h>
#include <objbase.h>

#include <cstddef>
#include <cstring>
#include <filesystem>
#include <vector>

#include "platform/win32/win32_basic.h"
#include "platform/win32/win32_hid.h"
#include "platform/win32/win32_pointer.h"
#include "platform/win32/win32_shell.h"
#include "platform/win32/win32_text.h"

namespace mivo::platform::win32 {
namespace {

TEST(Win32Basic, ClockAdvancesAcrossASleep) {
    Win32Clock clock;
    const int64_t before = clock.Now();
    clock.Sleep(40);
    // GetTickCount64 has a resolution of one scheduler tick (up to ~16 ms).
    EXPECT_GE(clock.Now() - before, 40 - 16);
}

TEST(Win32Basic, PathsNameThisProgramAndAnExistingTempFolder) {
    Win32Paths paths;
    const std::filesystem::path exe = paths.ExecutablePath();
    EXPECT_EQ(exe.filename().string(), "win32_tests.exe");
    EXPECT_TRUE(std::filesystem::is_regular_file(exe));
    const std::filesystem::path temp = paths.TempDir();
    ASSERT_FALSE(temp.empty());
    EXPECT_TRUE(std::filesystem::is_directory(temp));
}

TEST(Win32Text, RoundTripsThroughUtf16) {
    const struct {
        const char* utf8;
        std::wstring utf16;
    } cases[] = {
        {"", L""},
        {"Mivo Mouse", L"Mivo Mouse"},
        {"\xE5\xB2\x9A\xE9\x9A\xBC \xE7\xB1\xB3\xE6\xB2\x83", L"\u5C9A\u96BC \u7C73\u6C83"},  // tray tip
        {"\xF0\x9F\x96\xB1", L"\xD83D\xDDB1"},                                                      // surrogate pair
    };
    for (const auto& c : cases) {
        EXPECT_EQ(Widen(c.utf8), c.utf16) << c.utf8;
        EXPECT_EQ(Narrow(c.utf16), c.utf8) << c.utf8;
    }
}

// A device-interface broadcast as the system builds it: header, class, then the name.
std::vector<std::byte> InterfaceBroadcast(const std::wstring& name, DWORD stated_size_cut = 0) {
    const size_t offset = offsetof(DEV_BROADCAST_DEVICEINTERFACE_W, dbcc_name);
    std::vector<std::byte> buffer(offset + (name.size() + 1) * sizeof(wchar_t) + 16);
    auto* b = reinterpret_cast<DEV_BROADCAST_DEVICEINTERFACE_W*>(buffer.data());
    b->dbcc_size = static_cast<DWORD>(offset + (name.size() + 1) * sizeof(wchar_t)) - stated_size_cut;
    b->dbcc_devicetype = DBT_DEVTYP_DEVICEINTERFACE;
    std::memcpy(b->dbcc_name, name.c_str(), (name.size() + 1) * sizeof(wchar_t));
    return buffer;
}

TEST(Win32Broadcast, DecodesInterfaceArrivalsAndRemovals) {
    const std::wstring path = L"\\\\?\\HID#VID_5A2B&PID_4D71&MI_00#7&1a2b3c&0&0000#{4d1e55b2-f16f-11cf-88cb-001111000030}";
    auto buffer = InterfaceBroadcast(path);
    for (uint32_t event : {DBT_DEVICEARRIVAL, DBT_DEVICEREMOVECOMPLETE}) {
        const DeviceBroadcast b = DecodeDeviceBroadcast(event, reinterpret_cast<intptr_t>(buffer.data()));
        EXPECT_EQ(b.event, event);
        EXPECT_TRUE(b.is_interface);
        EXPECT_EQ(b.name, Narrow(path));
    }
}

TEST(Win32Broadcast, OtherEventsAndDeviceTypesCarryNoName) {
    // The nodes-changed event has no data at all.
    DeviceBroadcast b = DecodeDeviceBroadcast(DBT_DEVNODES_CHANGED, 0);
    EXPECT_EQ(b.event, uint32_t{DBT_DEVNODES_CHANGED});
    EXPECT_FALSE(b.is_interface);
    EXPECT_TRUE(b.name.empty());

    DEV_BROADCAST_VOLUME volume{};
    volume.dbcv_size = sizeof volume;
    volume.dbcv_devicetype = DBT_DEVTYP_VOLUME;
    b = DecodeDeviceBroadcast(DBT_DEVICEARRIVAL, reinterpret_cast<intptr_t>(&volume));
    EXPECT_FALSE(b.is_interface);
    EXPECT_TRUE(b.name.empty());

    // An event other than arrival/removal is not decoded even when it carries an interface record.
    auto buffer = InterfaceBroadcast(L"\\\\?\\hid#vid_5a2b&pid_4d71");
    b = DecodeDeviceBroadcast(DBT_DEVICEQUERYREMOVE, reinterpret_cast<intptr_t>(buffer.data()));
    EXPECT_FALSE(b.is_interface);
}

TEST(Win32Broadcast, NameIsReadOnlyWithinTheStatedSize) {
    // The record says it ends four characters before the terminator: those are not read.
    auto buffer = InterfaceBroadcast(L"ABCDEFGH", 5 * sizeof(wchar_t));
    const DeviceBroadcast b = DecodeDeviceBroadcast(DBT_DEVICEARRIVAL, reinterpret_cast<intptr_t>(buffer.data()));
    EXPECT_TRUE(b.is_interface);
    EXPECT_EQ(b.name, "ABCD");
}

TEST(Win32Hid, OpeningAPathThatDoesNotExistFails) {
    Win32HidBus bus;
    EXPECT_EQ(bus.Open("\\\\?\\hid#vid_0000&pid_0000#no-such-device#{4d1e55b2-f16f-11cf-88cb-001111000030}"),
              nullptr);
    // Every path the bus lists is a device path the system gave.
    for (const std::string& path : bus.Enumerate()) EXPECT_EQ(path.rfind("\\\\?\\", 0), 0u) << path;
}

bool RunningUnderWine() {
    HMODULE ntdll = GetModuleHandleW(L"ntdll.dll");
    return ntdll && GetProcAddress(ntdll, "wine_get_version");
}

TEST(Win32Pointer, SettingsReadBackFromTheSystem) {
    Win32PointerSettings pointer;
    // Not persisted (flags 0), so the user's profile stays as it was.
    auto read_uint = [](UINT action) {
        UINT v = 0xDEAD;
        EXPECT_TRUE(SystemParametersInfoW(action, 0, &v, 0)) << action;
        return v;
    };
    ASSERT_TRUE(pointer.SetDoubleClickTime(600, kPointerNoPersist));
    EXPECT_EQ(GetDoubleClickTime(), 600u);
    ASSERT_TRUE(pointer.SetWheelScrollLines(7, kPointerNoPersist));
    EXPECT_EQ(read_uint(SPI_GETWHEELSCROLLLINES), 7u);
    ASSERT_TRUE(pointer.SetMouseTrails(3, kPointerNoPersist));
    EXPECT_EQ(read_uint(SPI_GETMOUSETRAILS), 3u);
    ASSERT_TRUE(pointer.SetDragFullWindows(true, kPointerNoPersist));
    EXPECT_EQ(read_uint(SPI_GETDRAGFULLWINDOWS), 1u);

    ASSERT_TRUE(pointer.SetMouseParams({0, 1, 2}, kPointerNoPersist));
    int params[3] = {-1, -1, -1};
    ASSERT_TRUE(SystemParametersInfoW(SPI_GETMOUSE, 0, params, 0));
    EXPECT_EQ(params[0], 0);
    EXPECT_EQ(params[1], 1);
    EXPECT_EQ(params[2], 2);

    // The speed travels in the pointer argument; Wine accepts it but does not keep it.
    ASSERT_TRUE(pointer.SetMouseSpeed(11, kPointerNoPersist));
    if (!RunningUnderWine()) EXPECT_EQ(read_uint(SPI_GETMOUSESPEED), 11u);
}

TEST(Win32Shell, MailWithoutARegisteredClientReportsTheInvalidClassString) {
    Win32Shell shell;
    // No mail client is registered for automation on the test machine.
    CLSID clsid;
    if (SUCCEEDED(CLSIDFromProgID(L"Outlook.Application", &clsid))) GTEST_SKIP() << "a mail client is registered";
    EXPECT_EQ(shell.ComposeMail("support@example.com", "", ""), static_cast<uint32_t>(CO_E_CLASSSTRING));
}

}  // namespace
}  // namespace mivo::platform::win32
