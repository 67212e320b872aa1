// Windows desktop: layered popup windows presented with UpdateLayeredWindow, their input, timers
// and modal loops, the notification-area icon, the single-copy mutex and message boxes.
#pragma once
#include <memory>
#include <string>
#include <vector>

#include "platform/desktop.h"

namespace mivo::platform::win32 {

class Win32Desktop final : public Desktop {
public:
    Win32Desktop();
    ~Win32Desktop() override;
    Win32Desktop(const Win32Desktop&) = delete;
    Win32Desktop& operator=(const Win32Desktop&) = delete;

    std::unique_ptr<DesktopWindow> CreateWindow(const WindowSpec& window_spec, WindowEvents& events) override;
    // Shows the window (subject to MayShow), then runs a GetMessage loop until EndModal on it or Quit.
    int RunModal(DesktopWindow& window) override;
    void EndModal(DesktopWindow& window, int code) override;
    // PostQuitMessage: every running loop ends, each returning `code`.
    void Quit(int code) override;
    gfx::Point CursorPos() override;
    std::unique_ptr<TrayIcon> CreateTrayIcon() override;
    LockResult CreateNamedLock(const std::string& name) override;
    bool PostToWindowOfClass(const std::string& class_name, uint32_t message) override;
    void MessageBox(const std::string& text, const std::string& caption) override;

private:
    struct Frame {
        DesktopWindow* window;
        bool ended = false;
        int code = 0;
    };
    std::vector<Frame*> frames_;  // innermost last
    bool quit_ = false;
    int quit_code_ = 0;
    std::vector<void*> locks_;  // mutex handles, held until the desktop goes (the process ends)
};

// The native handle (HWND) of a window this desktop created; null for any other window.
void* NativeHandle(DesktopWindow& window);

}  // namespace mivo::platform::win32
