// Layered desktop windows of the Windows backend: frames, visibility veto, messages, timers,
// modal loops, the named lock and device broadcasts. Needs a display (Windows or Wine on X).
#include <gtest/gtest.h>

#include "platform/win32/win32_desktop.h"

#include <windows.h>
#include <dbt.h>
// The desktop interface has members of these names.
#undef CreateWindow
#undef PostMessage

#include <cstring>
#include <functional>
#include <string>
#include <vector>

namespace mivo::platform::win32 {
namespace {

struct Recorder : WindowEvents {
    std::vector<std::string> seen;
    bool may_show = true;
    std::function<void(const std::string&)> then;

    void Note(const std::string& what) {
        seen.push_back(what);
        if (then) then(what);
    }
    void OnLButtonDown(int x, int y) override { Note("down " + std::to_string(x) + " " + std::to_string(y)); }
    void OnLButtonDblClk(int x, int y) override { Note("dblclk " + std::to_string(x) + " " + std::to_string(y)); }
    void OnTimer(int id) override { Note("timer " + std::to_string(id)); }
    void OnCommand(WindowCommand c) override {
        Note(c == WindowCommand::Close ? "close" : c == WindowCommand::Enter ? "enter" : "escape");
    }
    void OnMessage(uint32_t m, uintptr_t w, intptr_t l) override {
        Note("msg " + std::to_string(m) + " " + std::to_string(w) + " " + std::to_string(l));
    }
    void OnMenuCommand(int command) override { Note("menu " + std::to_string(command)); }
    void OnDeviceChange(const DeviceBroadcast& b) override { Note("device " + std::to_string(b.event) + " " + b.name); }
    bool MayShow() override { return may_show; }
};

class Win32DesktopTest : public ::testing::Test {
protected:
    WindowSpec Spec(const std::string& class_name) {
        WindowSpec window_spec;
        window_spec.name = "main";
        window_spec.title = "Test window";
        window_spec.class_name = class_name;
        window_spec.size = {120, 80};
        return window_spec;
    }
    Win32Desktop desktop;
    Recorder events;
};

TEST_F(Win32DesktopTest, PresentsAFrameOfItsSizeAndKeepsItsPosition) {
    auto window = desktop.CreateWindow(Spec("MivoTestPresent"), events);
    ASSERT_NE(window, nullptr);
    const gfx::Rect rect = window->GetRect();
    EXPECT_EQ(rect.Width(), 120);
    EXPECT_EQ(rect.Height(), 80);
    EXPECT_EQ(GetWindowLongPtrW(static_cast<HWND>(NativeHandle(*window)), GWL_EXSTYLE) & WS_EX_LAYERED,
              WS_EX_LAYERED);
    window->Move({100, 50, 220, 130});
    gfx::Image frame(120, 80);
    for (gfx::Pixel& p : frame.Pixels()) p = 0x80400000;  // half-transparent red, premultiplied
    window->Present(frame);
    const gfx::Rect moved = window->GetRect();
    EXPECT_EQ(moved.left, 100);
    EXPECT_EQ(moved.top, 50);
    EXPECT_EQ(moved.Width(), 120);
}

TEST_F(Win32DesktopTest, MayShowVetoesEveryWayOfShowing) {
    auto window = desktop.CreateWindow(Spec("MivoTestVeto"), events);
    ASSERT_NE(window, nullptr);
    events.may_show = false;
    window->Show();
    EXPECT_FALSE(window->IsVisible());
    // Showing past our Show goes through WM_WINDOWPOSCHANGING, which clears the show flag.
    ShowWindow(static_cast<HWND>(NativeHandle(*window)), SW_SHOW);
    EXPECT_FALSE(window->IsVisible());
    events.may_show = true;
    window->Show();
    EXPECT_TRUE(window->IsVisible());
    window->Hide();
    EXPECT_FALSE(window->IsVisible());
}

TEST_F(Win32DesktopTest, ModalLoopDeliversMessagesTimersAndCommandsUntilEndModal) {
    auto window = desktop.CreateWindow(Spec("MivoTestModal"), events);
    ASSERT_NE(window, nullptr);
    HWND hwnd = static_cast<HWND>(NativeHandle(*window));
    events.then = [&](const std::string& what) {
        if (what == "timer 7") {
            window->KillTimer(7);
            PostMessageW(hwnd, WM_CLOSE, 0, 0);
        }
        if (what == "close") desktop.EndModal(*window, 42);
    };
    window->PostMessage(2028, 0, 0);
    window->PostMessage(2027, 0, 0x203);
    PostMessageW(hwnd, WM_COMMAND, 32772, 0);
    window->SetTimer(7, 20);
    EXPECT_EQ(desktop.RunModal(*window), 42);
    const std::vector<std::string> expected = {"msg 2028 0 0", "msg 2027 0 515", "menu 32772", "timer 7", "close"};
    EXPECT_EQ(events.seen, expected);
    EXPECT_FALSE(window->IsVisible());
    EXPECT_TRUE(IsWindow(hwnd));  // the close command never destroys the window
}

TEST_F(Win32DesktopTest, MouseAndKeysReachTheEvents) {
    auto window = desktop.CreateWindow(Spec("MivoTestInput"), events);
    ASSERT_NE(window, nullptr);
    HWND hwnd = static_cast<HWND>(NativeHandle(*window));
    SendMessageW(hwnd, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(12, 34));
    SendMessageW(hwnd, WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(5, 6));
    SendMessageW(hwnd, WM_KEYDOWN, VK_RETURN, 0);
    SendMessageW(hwnd, WM_KEYDOWN, VK_ESCAPE, 0);
    const std::vector<std::string> expected = {"down 12 34", "dblclk 5 6", "enter", "escape"};
    EXPECT_EQ(events.seen, expected);
}

TEST_F(Win32DesktopTest, QuitEndsNestedLoopsWithItsCode) {
    auto outer = desktop.CreateWindow(Spec("MivoTestOuter"), events);
    Recorder inner_events;
    auto inner = desktop.CreateWindow(Spec("MivoTestInner"), inner_events);
    ASSERT_NE(outer, nullptr);
    ASSERT_NE(inner, nullptr);
    int inner_code = -1;
    events.then = [&](const std::string& what) {
        if (what == "timer 1") {
            outer->KillTimer(1);
            inner_code = desktop.RunModal(*inner);
        }
    };
    inner_events.then = [&](const std::string& what) {
        if (what == "timer 2") {
            inner->KillTimer(2);
            desktop.Quit(5);
        }
    };
    outer->SetTimer(1, 10);
    inner->SetTimer(2, 10);
    EXPECT_EQ(desktop.RunModal(*outer), 5);
    EXPECT_EQ(inner_code, 5);
}

TEST_F(Win32DesktopTest, NamedLockAndPostToAnotherCopysWindow) {
    const std::string name = "MivoTestLock-" + std::to_string(GetCurrentProcessId());
    EXPECT_EQ(desktop.CreateNamedLock(name), LockResult::Acquired);
    EXPECT_EQ(desktop.CreateNamedLock(name), LockResult::AlreadyExists);

    auto window = desktop.CreateWindow(Spec("MivoTestFindMe"), events);
    ASSERT_NE(window, nullptr);
    EXPECT_TRUE(desktop.PostToWindowOfClass("MivoTestFindMe", 2028));
    EXPECT_FALSE(desktop.PostToWindowOfClass("MivoTestNobodyHasThisClass", 2028));
    MSG msg;
    ASSERT_TRUE(PeekMessageW(&msg, static_cast<HWND>(NativeHandle(*window)), 2028, 2028, PM_REMOVE));
    DispatchMessageW(&msg);
    EXPECT_EQ(events.seen, std::vector<std::string>{"msg 2028 0 0"});
}

TEST_F(Win32DesktopTest, DeviceChangeArrivesDecoded) {
    auto window = desktop.CreateWindow(Spec("MivoTestDevice"), events);
    ASSERT_NE(window, nullptr);
    struct {
        DEV_BROADCAST_DEVICEINTERFACE_W header;
        wchar_t rest[32];
    } b{};
    const wchar_t name[] = L"\\\\?\\hid#vid_5a2b&pid_4d71#1";
    b.header.dbcc_size = sizeof b;
    b.header.dbcc_devicetype = DBT_DEVTYP_DEVICEINTERFACE;
    std::memcpy(b.header.dbcc_name, name, sizeof name);
    HWND hwnd = static_cast<HWND>(NativeHandle(*window));
    EXPECT_EQ(SendMessageW(hwnd, WM_DEVICECHANGE, DBT_DEVICEREMOVECOMPLETE, reinterpret_cast<LPARAM>(&b)), TRUE);
    EXPECT_EQ(SendMessageW(hwnd, WM_DEVICECHANGE, DBT_DEVNODES_CHANGED, 0), TRUE);
    const std::vector<std::string> expected = {"device 32772 \\\\?\\hid#vid_5a2b&pid_4d71#1", "device 7 "};
    EXPECT_EQ(events.seen, expected);
}

}  // namespace
}  // namespace mivo::platform::win32
