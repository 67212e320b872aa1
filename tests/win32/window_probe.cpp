// A small Windows program for the display checks: one layered window of a known picture (left
// half opaque red, right half clear) at a known place, reporting its presses; a second copy
// finds the first through the named lock and asks it to show itself. With "pointer" it prints
// the system's pointer settings instead.
#include <cstdio>
#include <string>

#include "platform/win32/win32_desktop.h"
#include "platform/win32/win32_entry.h"

#include <windows.h>
// The desktop interface has members of these names.
#undef CreateWindow
#undef PostMessage

namespace {

using namespace mivo;

constexpr char kClass[] = "MivoWindowProbe";
constexpr char kLock[] = "MivoWindowProbeLock";
constexpr uint32_t kShowRequest = 2028;

struct Probe : platform::WindowEvents {
    platform::win32::Win32Desktop* desktop = nullptr;
    platform::DesktopWindow* window = nullptr;

    void OnLButtonDown(int x, int y) override {
        std::printf("down %d %d\n", x, y);
        std::fflush(stdout);
    }
    void OnTimer(int) override { desktop->EndModal(*window, 3); }  // nobody asked within the time
    void OnMessage(uint32_t message, uintptr_t, intptr_t) override {
        if (message != kShowRequest) return;
        std::printf("show-request\n");
        std::fflush(stdout);
        desktop->EndModal(*window, 7);
    }
};

}  // namespace

int main() {
    const std::vector<std::string> args = platform::win32::CommandLineArguments();
    if (!args.empty() && args[0] == "pointer") {
        UINT dclick = GetDoubleClickTime(), lines = 0, trails = 0;
        int mouse[3] = {-1, -1, -1};
        SystemParametersInfoW(SPI_GETWHEELSCROLLLINES, 0, &lines, 0);
        SystemParametersInfoW(SPI_GETMOUSETRAILS, 0, &trails, 0);
        SystemParametersInfoW(SPI_GETMOUSE, 0, mouse, 0);
        std::printf("dclick %u wheel %u trails %u mouse %d %d %d\n", dclick, lines, trails, mouse[0], mouse[1],
                    mouse[2]);
        return 0;
    }
    platform::win32::Win32Desktop desktop;
    if (desktop.CreateNamedLock(kLock) == platform::LockResult::AlreadyExists) {
        const bool posted = desktop.PostToWindowOfClass(kClass, kShowRequest);
        std::printf("second copy: %s\n", posted ? "posted" : "no window");
        return posted ? 0 : 1;
    }
    Probe probe;
    platform::WindowSpec window_spec;
    window_spec.name = "probe";
    window_spec.title = "Window probe";
    window_spec.class_name = kClass;
    window_spec.size = {200, 100};
    auto window = desktop.CreateWindow(window_spec, probe);
    if (!window) return 2;
    probe.desktop = &desktop;
    probe.window = window.get();
    window->Move({100, 100, 300, 200});
    gfx::Image frame(200, 100);
    for (int y = 0; y < 100; ++y) {
        for (int x = 0; x < 100; ++x) frame.Set(x, y, 0xFFFF0000);
    }
    window->Present(frame);
    window->SetTimer(1, 60000);  // a loop that would otherwise never end is cut off
    std::printf("ready\n");
    std::fflush(stdout);
    return desktop.RunModal(*window);
}
