// X11 desktop: depth-32 top-level windows a compositing manager blends, their input, timers and
// modal loops, the system-tray icon, the single-copy lock and message boxes.
#pragma once
#include <filesystem>
#include <functional>
#include <memory>
#include <string>

#include "platform/desktop.h"

struct _XDisplay;  // Xlib's Display

namespace mivo::platform::linux_backend {

class X11Desktop final : public Desktop {
public:
    // Connects to `display_name`, or to $DISPLAY when null; IsOpen() tells whether that worked.
    explicit X11Desktop(const char* display_name = nullptr);
    ~X11Desktop() override;
    X11Desktop(const X11Desktop&) = delete;
    X11Desktop& operator=(const X11Desktop&) = delete;

    bool IsOpen() const;
    // The connection (for tests and for other X clients of this process); null when not open.
    _XDisplay* NativeDisplay() const;
    // Whether windows get the 32-bit ARGB visual (else they are composited over black).
    bool HasArgbVisual() const;
    // Where the notification-area icons are read from: icon_<id>_<px>.png files.
    void SetIconFolder(std::filesystem::path folder);

    std::unique_ptr<DesktopWindow> CreateWindow(const WindowSpec& window_spec, WindowEvents& events) override;
    // Shows the window (subject to MayShow), then runs the loop until EndModal on it or Quit.
    int RunModal(DesktopWindow& window) override;
    void EndModal(DesktopWindow& window, int code) override;
    // Every running loop ends, each returning `code`; a later RunModal returns it at once.
    void Quit(int code) override;
    gfx::Point CursorPos() override;
    std::unique_ptr<TrayIcon> CreateTrayIcon() override;
    // flock on "<name>.lock" in LockFolder(), held until the desktop goes (the process ends).
    LockResult CreateNamedLock(const std::string& name) override;
    // A ClientMessage of our private message atom to the first top-level window whose WM_CLASS
    // class is `class_name` (hidden ones included).
    bool PostToWindowOfClass(const std::string& class_name, uint32_t message) override;
    void MessageBox(const std::string& text, const std::string& caption) override;

    // Serves `fd` from the same loop: `on_readable` runs on the UI thread whenever the descriptor
    // can be read. An empty function stops watching it.
    void WatchFd(int fd, std::function<void()> on_readable);

    struct Impl;

private:
    std::unique_ptr<Impl> impl_;
};

// The X window of a window this desktop created; 0 for any other window.
unsigned long NativeWindow(DesktopWindow& window);

// The folder of single-copy lock files: $XDG_RUNTIME_DIR when it is set, else /tmp/mivo-<uid>
// (created 0700). Empty when that folder cannot be made or is not the user's private folder.
std::filesystem::path LockFolder();

// Takes an exclusive lock on `folder`/`name`.lock without waiting; on Acquired `fd` holds the
// open lock file, which the caller keeps open as long as the lock is wanted.
LockResult LockFile(const std::filesystem::path& folder, const std::string& name, int& fd);

}  // namespace mivo::platform::linux_backend
