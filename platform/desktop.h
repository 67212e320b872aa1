// Desktop services: top-level windows with per-pixel alpha, their input, timers and modal loops,
// the notification-area icon, the single-copy lock, and message boxes.
#pragma once
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "gfx/geometry.h"
#include "gfx/image.h"
#include "platform/hid.h"
#include "platform/window.h"

namespace mivo::platform {

// Commands a dialog gets from the keyboard or the window frame.
enum class WindowCommand { Enter, Escape, Close };

// Mouse events on the notification-area icon, numbered as the system numbers them.
enum class TrayEvent : uint32_t { LeftDown = 0x201, LeftDoubleClick = 0x203, RightDown = 0x204 };

// What a window tells its owner. Every call runs on the UI thread, from inside a modal loop.
// Points are client coordinates.
class WindowEvents {
public:
    virtual ~WindowEvents() = default;
    virtual void OnLButtonDown(int x, int y) {}
    virtual void OnMouseMove(int x, int y) {}
    virtual void OnLButtonUp(int x, int y) {}
    virtual void OnLButtonDblClk(int x, int y) {}
    virtual void OnTimer(int id) {}
    virtual void OnCommand(WindowCommand command) {}
    // The window needs its content again (first show, exposure).
    virtual void OnPaint() {}
    // A private message posted to this window (numbers 0x400 and up, e.g. 2027 and 2028).
    virtual void OnMessage(uint32_t message, uintptr_t wparam, intptr_t lparam) {}
    // A command chosen from a popup menu tracked for this window.
    virtual void OnMenuCommand(int command) {}
    // A device arrival or removal broadcast (only windows that asked for them get these).
    virtual void OnDeviceChange(const DeviceBroadcast& broadcast) {}
    // Asked whenever the window is about to become visible; false keeps it hidden.
    virtual bool MayShow() { return true; }
};

struct WindowSpec {
    std::string name;        // short name used by logs and scripts: "main", "devcheck", "reset"
    std::string title;       // UTF-8
    std::string class_name;  // lets another process find this window
    gfx::Size size;          // initial client size
    bool wants_device_broadcasts = false;
    bool double_clicks = true;
};

// One borderless top-level window whose pixels, alpha included, are exactly the last frame presented.
// It is also the Window a skinned host composes into.
class DesktopWindow : public Window {
public:
    ~DesktopWindow() override = default;

    // Screen rectangle of the window.
    gfx::Rect GetRect() override = 0;
    // Moves and resizes (screen coordinates).
    void Move(const gfx::Rect& screen_rect) override = 0;
    // Shows the composed frame (premultiplied ARGB, the window's size) at the window's position.
    void Present(const gfx::Image& frame) override = 0;

    // Visibility. Show goes through WindowEvents::MayShow, which can veto it.
    virtual void Show() = 0;
    virtual void Hide() = 0;
    virtual void Minimise() = 0;
    bool IsVisible() override = 0;
    // The host's way of showing and hiding: the same as Show and Hide.
    void SetVisible(bool visible) final {
        if (visible) {
            Show();
        } else {
            Hide();
        }
    }
    virtual void SetForeground() = 0;

    // Starts moving the window with the pointer, as a press on a caption does.
    virtual void BeginDrag() = 0;

    // Timers by ID. Setting an existing ID restarts it. A timer that falls due while the loop is
    // busy fires once when the loop runs again, never in a burst.
    virtual void SetTimer(int id, int interval_ms) = 0;
    virtual void KillTimer(int id) = 0;

    // Queues a private message, delivered later by the loop through WindowEvents::OnMessage.
    virtual void PostMessage(uint32_t message, uintptr_t wparam, intptr_t lparam) = 0;
};

// The notification-area icon of one window. Its mouse events arrive at that window as the
// private message chosen at Add, with the TrayEvent number in lparam.
class TrayIcon {
public:
    virtual ~TrayIcon() = default;
    virtual bool Add(DesktopWindow& owner, int icon_id, uint32_t callback_message, const std::string& tip) = 0;
    virtual bool Delete() = 0;
    // Shows the popup menu with the given items at (x, y) (screen); the chosen command is delivered
    // to the owner through WindowEvents::OnMenuCommand.
    struct MenuItem {
        int command;
        std::string text;
    };
    virtual void TrackPopupMenu(DesktopWindow& owner, const std::vector<MenuItem>& items, gfx::Point at,
                                unsigned flags) = 0;
};

enum class LockResult { Acquired, AlreadyExists, Failed };

class Desktop {
public:
    virtual ~Desktop() = default;

    virtual std::unique_ptr<DesktopWindow> CreateWindow(const WindowSpec& window_spec, WindowEvents& events) = 0;
    // Runs the loop until EndModal on this window or Quit; returns the code given there.
    virtual int RunModal(DesktopWindow& window) = 0;
    virtual void EndModal(DesktopWindow& window, int code) = 0;
    // Ends every running modal loop; the outermost RunModal returns `code`.
    virtual void Quit(int code) = 0;

    virtual gfx::Point CursorPos() = 0;
    virtual std::unique_ptr<TrayIcon> CreateTrayIcon() = 0;

    // Single copy: a named lock held until the process ends, and a way to reach the first copy.
    virtual LockResult CreateNamedLock(const std::string& name) = 0;
    // Posts `message` to the top-level window of another process with this class name; false when none.
    virtual bool PostToWindowOfClass(const std::string& class_name, uint32_t message) = 0;

    // A message box with an OK button, brought to the foreground; returns when it is closed.
    virtual void MessageBox(const std::string& text, const std::string& caption) = 0;
};

}  // namespace mivo::platform
