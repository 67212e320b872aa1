// In-memory desktop of the simulated platform: windows, timers, posted messages, modal loops,
// notification-area icons, named locks and message boxes, all on the virtual clock and logged.
#pragma once
#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "platform/desktop.h"
#include "platform/diagnostics.h"
#include "platform/sim/sim_clock.h"

namespace mivo::platform::sim {

class SimDesktop;

// One window of the simulated desktop. Created hidden, centred on the virtual screen.
class SimDesktopWindow final : public DesktopWindow {
public:
    SimDesktopWindow(SimDesktop& desktop, const WindowSpec& window_spec, WindowEvents& events, const gfx::Rect& rect);
    ~SimDesktopWindow() override;
    SimDesktopWindow(const SimDesktopWindow&) = delete;
    SimDesktopWindow& operator=(const SimDesktopWindow&) = delete;

    gfx::Rect GetRect() override { return rect_; }
    void Move(const gfx::Rect& screen_rect) override;
    void Present(const gfx::Image& frame) override;
    void Show() override;
    void Hide() override;
    void Minimise() override;
    bool IsVisible() override { return visible_; }
    void SetForeground() override;
    void BeginDrag() override;
    void SetTimer(int id, int interval_ms) override;
    void KillTimer(int id) override;
    void PostMessage(uint32_t message, uintptr_t wparam, intptr_t lparam) override;

    // --- Inspection (tests and scripts) ---
    const WindowSpec& Spec() const { return spec_; }
    const std::string& Name() const { return spec_.name; }
    WindowEvents& Events() { return events_; }
    bool IsMinimised() const { return minimised_; }
    // The last presented frame; a null image before the first Present.
    const gfx::Image& Frame() const { return frame_; }
    int PresentCount() const { return presents_; }
    // The interval of a running timer, nothing when no timer has this ID.
    std::optional<int> TimerInterval(int id) const;
    // When the timer falls due next (virtual ms), nothing when it is not running.
    std::optional<int64_t> TimerDue(int id) const;

private:
    friend class SimDesktop;
    struct Timer {
        int interval = 0;
        int64_t due = 0;
        uint64_t order = 0;  // ties between timers due at the same time go to the one set first
    };

    SimDesktop& desktop_;
    WindowSpec spec_;
    WindowEvents& events_;
    gfx::Rect rect_;
    bool visible_ = false;
    bool minimised_ = false;
    bool needs_paint_ = false;
    gfx::Image frame_;
    int presents_ = 0;
    std::map<int, Timer> timers_;
};

class SimDesktop final : public Desktop {
public:
    // The virtual screen windows are centred on, and where the pointer is put for tray input.
    static constexpr gfx::Size kScreen{1920, 1080};
    static constexpr gfx::Point kTrayPoint{1840, 1060};
    // Shorter timer intervals are raised to this, as the system does; it also keeps every wait finite.
    static constexpr int kMinTimerMs = 10;

    SimDesktop(SimClock& clock, Diagnostics& log);
    ~SimDesktop() override;
    SimDesktop(const SimDesktop&) = delete;
    SimDesktop& operator=(const SimDesktop&) = delete;

    std::unique_ptr<DesktopWindow> CreateWindow(const WindowSpec& window_spec, WindowEvents& events) override;
    // Shows the window (subject to MayShow), then runs the loop. Whenever the loop has nothing to
    // deliver it asks the driver for the next input; without a driver, or when the driver has no
    // more, the loop quits with 0.
    int RunModal(DesktopWindow& window) override;
    // Ends the innermost modal run of `window` and hides it; for a window that runs no modal loop
    // (a modeless dialog) this only hides it.
    void EndModal(DesktopWindow& window, int code) override;
    void Quit(int code) override;
    gfx::Point CursorPos() override { return cursor_; }
    std::unique_ptr<TrayIcon> CreateTrayIcon() override;
    LockResult CreateNamedLock(const std::string& name) override;
    bool PostToWindowOfClass(const std::string& class_name, uint32_t message) override;
    void MessageBox(const std::string& text, const std::string& caption) override;

    // --- Driving the loop ---

    // Performs the next input (one script command); returns false when there is none left.
    using Driver = std::function<bool()>;
    void SetDriver(Driver driver) { driver_ = std::move(driver); }

    // Delivers, at the current virtual time: tasks from other threads, posted messages, pending
    // paints, and every timer that is due, each timer at most once.
    void Pump();
    // Lets `ms` of virtual time pass. Inside a modal loop (called by its driver) the loop does
    // the waiting, so that an EndModal during the wait returns from that loop in time; outside
    // any loop the time passes here. Either way due timers fire in time order.
    void Wait(int64_t ms);
    // Runs `task` on the UI thread at the next Pump. Safe to call from any thread.
    void PostTask(std::function<void()> task);

    // --- Input (script and tests) ---

    enum class MouseAction { Move, Down, Up, DoubleClick };
    // One mouse event at client point (x, y) of the named window. Input to a window that does not
    // exist, is hidden or minimised, or waits under a nested modal loop is logged and dropped
    // (false). While a drag runs, moves and the release move the dragged window instead.
    bool Mouse(std::string_view window, MouseAction action, int x, int y);
    bool Key(std::string_view window, WindowCommand command);
    // The screen point that client point (x, y) of the named window stands for (during a drag of
    // that window: relative to where the drag began); nothing when there is no such window.
    std::optional<gfx::Point> ScreenPoint(std::string_view window, int x, int y);
    // A mouse event on the most recently added notification-area icon: posted to its owner.
    bool Tray(TrayEvent event);
    // Chooses a command of the open popup menu.
    bool ChooseMenu(int command);

    // --- Inspection and fault knobs ---

    SimDesktopWindow* FindWindow(std::string_view name);
    int ModalDepth() const { return static_cast<int>(frames_.size()); }
    bool QuitRequested() const { return quit_; }

    struct TrayRecord {
        const void* icon = nullptr;  // the SimTrayIcon that added it
        SimDesktopWindow* owner = nullptr;
        int icon_id = 0;
        uint32_t callback = 0;
        std::string tip;
    };
    const std::vector<TrayRecord>& TrayIcons() const { return trays_; }

    struct OpenMenu {
        SimDesktopWindow* owner = nullptr;
        std::vector<TrayIcon::MenuItem> items;
        gfx::Point at;
        unsigned flags = 0;
    };
    // The popup menu tracked last, until a command is chosen from it.
    const std::optional<OpenMenu>& Menu() const { return menu_; }
    const std::vector<std::string>& MessageBoxes() const { return message_boxes_; }

    // The next `count` icon additions fail, as they can while the notification area starts up.
    void FailTrayAdds(int count) { failing_tray_adds_ = count; }
    // Makes every lock request fail (neither acquired nor found).
    void FailLocks(bool fail) { failing_locks_ = fail; }
    // Logs every timer tick as "timer.fire" (off by default: the dpi poll alone ticks every 700 ms).
    void LogTimerTicks(bool on) { log_ticks_ = on; }

private:
    friend class SimDesktopWindow;
    friend class SimTrayIcon;

    struct Posted {
        SimDesktopWindow* window;
        uint32_t message;
        uintptr_t wparam;
        intptr_t lparam;
    };
    struct ModalFrame {
        SimDesktopWindow* window;
        bool ended = false;
        int code = 0;
    };
    struct Drag {
        SimDesktopWindow* window;
        gfx::Point start_pointer;
        gfx::Rect start_rect;
    };

    void Log(std::string_view name, const std::string& args);
    void Unregister(SimDesktopWindow* window);
    // True while the innermost loop must stop delivering (its run ended).
    bool InnermostEnded() const;
    bool RunTasks();
    bool DeliverPosted();
    bool DeliverPaint();
    bool FireTimer(std::set<std::pair<SimDesktopWindow*, int>>& fired);
    // Advances the clock to the next timer due time or to `until`, whichever is first; not at all
    // while a timer is still due.
    void StepTime(int64_t until);
    bool BlockedByModal(const SimDesktopWindow* window) const;
    bool Accepts(SimDesktopWindow* window, std::string_view name, std::string_view what);
    bool DragInput(SimDesktopWindow* target, MouseAction action, int x, int y);

    SimClock& clock_;
    Diagnostics& log_;
    std::vector<SimDesktopWindow*> windows_;  // creation order; not owned
    std::deque<Posted> posted_;
    std::vector<ModalFrame> frames_;          // innermost last
    std::optional<int64_t> wait_until_;
    Driver driver_;
    bool in_driver_ = false;  // the innermost loop's driver is running (a Wait then belongs to that loop)
    bool quit_ = false;
    int quit_code_ = 0;
    uint64_t timer_order_ = 0;
    gfx::Point cursor_{kScreen.cx / 2, kScreen.cy / 2};
    bool button_down_ = false;
    std::optional<Drag> drag_;
    std::vector<TrayRecord> trays_;
    std::optional<OpenMenu> menu_;
    std::set<std::string> locks_;
    std::vector<std::string> message_boxes_;
    int failing_tray_adds_ = 0;
    bool failing_locks_ = false;
    bool log_ticks_ = false;

    std::mutex tasks_mutex_;
    std::vector<std::function<void()>> tasks_;
};

}  // namespace mivo::platform::sim
