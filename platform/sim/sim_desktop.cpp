// In-memory desktop of the simulated platform.
#include "platform/sim/sim_desktop.h"

#include <algorithm>
#include <utility>

namespace mivo::platform::sim {

namespace {

std::string Str(int64_t v) { return std::to_string(v); }

std::string RectText(const gfx::Rect& r) {
    return Str(r.left) + " " + Str(r.top) + " " + Str(r.right) + " " + Str(r.bottom);
}

const char* ActionName(SimDesktop::MouseAction action) {
    switch (action) {
        case SimDesktop::MouseAction::Move: return "move";
        case SimDesktop::MouseAction::Down: return "down";
        case SimDesktop::MouseAction::Up: return "up";
        case SimDesktop::MouseAction::DoubleClick: return "dblclick";
    }
    return "?";
}

const char* CommandName(WindowCommand command) {
    switch (command) {
        case WindowCommand::Enter: return "enter";
        case WindowCommand::Escape: return "escape";
        case WindowCommand::Close: return "close";
    }
    return "?";
}

}  // namespace

// ---------------------------------------------------------------- windows

SimDesktopWindow::SimDesktopWindow(SimDesktop& desktop, const WindowSpec& window_spec, WindowEvents& events,
                                   const gfx::Rect& rect)
    : desktop_(desktop), spec_(window_spec), events_(events), rect_(rect) {}

SimDesktopWindow::~SimDesktopWindow() { desktop_.Unregister(this); }

void SimDesktopWindow::Move(const gfx::Rect& r) {
    rect_ = r;
    desktop_.Log("window.move", Name() + " " + RectText(r));
}

void SimDesktopWindow::Present(const gfx::Image& frame) {
    frame_ = frame;  // copy-assignment keeps the buffer when the size is unchanged
    ++presents_;
    desktop_.Log("window.present", Name() + " " + Str(frame.Width()) + "x" + Str(frame.Height()));
}

void SimDesktopWindow::Show() {
    if (visible_) {
        // A show request brings a minimised window back, which is what the user asked for.
        if (minimised_) {
            minimised_ = false;
            desktop_.Log("window.restore", Name());
        }
        return;
    }
    if (!events_.MayShow()) {
        desktop_.Log("window.show.vetoed", Name());
        return;
    }
    visible_ = true;
    minimised_ = false;
    needs_paint_ = true;
    desktop_.Log("window.show", Name());
}

void SimDesktopWindow::Hide() {
    if (!visible_) return;
    visible_ = false;
    if (desktop_.drag_ && desktop_.drag_->window == this) desktop_.drag_.reset();
    desktop_.Log("window.hide", Name());
}

void SimDesktopWindow::Minimise() {
    if (minimised_) return;
    minimised_ = true;
    desktop_.Log("window.minimise", Name());
}

void SimDesktopWindow::SetForeground() { desktop_.Log("window.foreground", Name()); }

void SimDesktopWindow::BeginDrag() {
    // Like the system's move loop, a drag only starts while the button that began it is held.
    if (!desktop_.button_down_ || !visible_) {
        desktop_.Log("window.drag.ignored", Name());
        return;
    }
    desktop_.drag_ = SimDesktop::Drag{this, desktop_.cursor_, rect_};
    desktop_.Log("window.drag", Name());
}

void SimDesktopWindow::SetTimer(int id, int interval_ms) {
    int interval = std::max(interval_ms, SimDesktop::kMinTimerMs);
    timers_[id] = Timer{interval, desktop_.clock_.Now() + interval, ++desktop_.timer_order_};
    desktop_.Log("timer.set", Name() + " " + Str(id) + " " + Str(interval));
}

void SimDesktopWindow::KillTimer(int id) {
    if (timers_.erase(id) == 0) return;
    desktop_.Log("timer.kill", Name() + " " + Str(id));
}

void SimDesktopWindow::PostMessage(uint32_t message, uintptr_t wparam, intptr_t lparam) {
    desktop_.posted_.push_back(SimDesktop::Posted{this, message, wparam, lparam});
}

std::optional<int> SimDesktopWindow::TimerInterval(int id) const {
    auto it = timers_.find(id);
    if (it == timers_.end()) return std::nullopt;
    return it->second.interval;
}

std::optional<int64_t> SimDesktopWindow::TimerDue(int id) const {
    auto it = timers_.find(id);
    if (it == timers_.end()) return std::nullopt;
    return it->second.due;
}

// ---------------------------------------------------------------- tray icons

class SimTrayIcon final : public TrayIcon {
public:
    explicit SimTrayIcon(SimDesktop& desktop) : desktop_(desktop) {}
    ~SimTrayIcon() override {
        // An icon still shown when its object goes away would linger; say so in the log.
        if (added_ && Remove()) desktop_.Log("tray.drop", Str(icon_id_));
    }

    bool Add(DesktopWindow& owner, int icon_id, uint32_t callback_message, const std::string& tip) override {
        auto* window = dynamic_cast<SimDesktopWindow*>(&owner);
        if (added_ || window == nullptr) {
            desktop_.Log("tray.add.failed", Str(icon_id) + (added_ ? " exists" : " foreign-window"));
            return false;
        }
        if (desktop_.failing_tray_adds_ > 0) {
            --desktop_.failing_tray_adds_;
            desktop_.Log("tray.add.failed", Str(icon_id));
            return false;
        }
        desktop_.trays_.push_back(SimDesktop::TrayRecord{this, window, icon_id, callback_message, tip});
        added_ = true;
        icon_id_ = icon_id;
        desktop_.Log("tray.add", Str(icon_id) + " " + tip);
        return true;
    }

    bool Delete() override {
        if (!added_) return false;
        Remove();
        desktop_.Log("tray.delete", Str(icon_id_));
        return true;
    }

    void TrackPopupMenu(DesktopWindow& owner, const std::vector<MenuItem>& items, gfx::Point at,
                        unsigned flags) override {
        auto* window = dynamic_cast<SimDesktopWindow*>(&owner);
        if (window == nullptr) return;
        std::string commands;
        for (const auto& item : items) {
            if (!commands.empty()) commands += ',';
            commands += Str(item.command);
        }
        desktop_.menu_ = SimDesktop::OpenMenu{window, items, at, flags};
        desktop_.Log("tray.menu", window->Name() + " " + Str(at.x) + " " + Str(at.y) + " " + commands);
    }

private:
    bool Remove() {
        added_ = false;
        auto& trays = desktop_.trays_;
        auto it = std::find_if(trays.begin(), trays.end(), [this](const auto& t) { return t.icon == this; });
        if (it == trays.end()) return false;
        trays.erase(it);
        return true;
    }

    SimDesktop& desktop_;
    bool added_ = false;
    int icon_id_ = 0;
};

// ---------------------------------------------------------------- desktop

SimDesktop::SimDesktop(SimClock& clock, Diagnostics& log) : clock_(clock), log_(log) {}

SimDesktop::~SimDesktop() = default;

void SimDesktop::Log(std::string_view name, const std::string& args) { log_.Event(name, args); }

std::unique_ptr<DesktopWindow> SimDesktop::CreateWindow(const WindowSpec& window_spec, WindowEvents& events) {
    int w = std::max(window_spec.size.cx, 0);
    int h = std::max(window_spec.size.cy, 0);
    gfx::Rect rect{(kScreen.cx - w) / 2, (kScreen.cy - h) / 2, 0, 0};
    rect.right = rect.left + w;
    rect.bottom = rect.top + h;
    auto window = std::make_unique<SimDesktopWindow>(*this, window_spec, events, rect);
    windows_.push_back(window.get());
    Log("window.create", window_spec.name + " " + Str(w) + "x" + Str(h));
    return window;
}

void SimDesktop::Unregister(SimDesktopWindow* window) {
    windows_.erase(std::remove(windows_.begin(), windows_.end(), window), windows_.end());
    posted_.erase(std::remove_if(posted_.begin(), posted_.end(), [&](const Posted& p) { return p.window == window; }),
                  posted_.end());
    for (auto& frame : frames_) {
        if (frame.window == window) {
            frame.window = nullptr;
            frame.ended = true;
        }
    }
    if (drag_ && drag_->window == window) drag_.reset();
    if (menu_ && menu_->owner == window) menu_.reset();
    for (auto& tray : trays_) {
        if (tray.owner == window) tray.owner = nullptr;
    }
    Log("window.destroy", window->Name());
}

SimDesktopWindow* SimDesktop::FindWindow(std::string_view name) {
    for (auto* window : windows_) {
        if (window->Name() == name) return window;
    }
    return nullptr;
}

int SimDesktop::RunModal(DesktopWindow& desktop_window) {
    auto* window = dynamic_cast<SimDesktopWindow*>(&desktop_window);
    if (window == nullptr) return -1;
    Log("dialog.run", window->Name());
    frames_.push_back(ModalFrame{window});
    const size_t index = frames_.size() - 1;
    // The driver belongs to the innermost loop only; an outer driver call in progress does not count.
    const bool outer_in_driver = in_driver_;
    in_driver_ = false;

    window->Show();
    for (;;) {
        Pump();
        if (frames_[index].ended || quit_) break;
        if (wait_until_) {
            if (clock_.Now() < *wait_until_) {
                StepTime(*wait_until_);
                continue;
            }
            wait_until_.reset();
        }
        in_driver_ = true;
        bool more = driver_ && driver_();
        in_driver_ = false;
        if (!more && !frames_[index].ended && !quit_) {
            Log("input.end", {});
            Quit(0);
        }
    }

    int code = frames_[index].ended ? frames_[index].code : quit_code_;
    std::string name = frames_[index].window ? frames_[index].window->Name() : std::string("(destroyed)");
    frames_.erase(frames_.begin() + static_cast<std::ptrdiff_t>(index), frames_.end());
    in_driver_ = outer_in_driver;
    Log("dialog.return", name + " " + Str(code));
    return code;
}

void SimDesktop::EndModal(DesktopWindow& desktop_window, int code) {
    auto* window = dynamic_cast<SimDesktopWindow*>(&desktop_window);
    if (window == nullptr) return;
    Log("dialog.end", window->Name() + " " + Str(code));
    for (auto it = frames_.rbegin(); it != frames_.rend(); ++it) {
        if (it->window == window && !it->ended) {
            it->ended = true;
            it->code = code;
            break;
        }
    }
    window->Hide();
}

void SimDesktop::Quit(int code) {
    if (quit_) return;
    quit_ = true;
    quit_code_ = code;
    Log("loop.quit", Str(code));
}

std::unique_ptr<TrayIcon> SimDesktop::CreateTrayIcon() { return std::make_unique<SimTrayIcon>(*this); }

LockResult SimDesktop::CreateNamedLock(const std::string& name) {
    if (failing_locks_) {
        Log("lock", name + " failed");
        return LockResult::Failed;
    }
    if (!locks_.insert(name).second) {
        Log("lock", name + " exists");
        return LockResult::AlreadyExists;
    }
    Log("lock", name + " acquired");
    return LockResult::Acquired;
}

bool SimDesktop::PostToWindowOfClass(const std::string& class_name, uint32_t message) {
    for (auto* window : windows_) {
        if (window->Spec().class_name == class_name) {
            window->PostMessage(message, 0, 0);
            Log("post", class_name + " " + Str(message));
            return true;
        }
    }
    Log("post.none", class_name + " " + Str(message));
    return false;
}

void SimDesktop::MessageBox(const std::string& text, const std::string& caption) {
    message_boxes_.push_back(text);
    Log("msgbox", text);
}

// ---------------------------------------------------------------- the loop

bool SimDesktop::InnermostEnded() const { return !frames_.empty() && frames_.back().ended; }

bool SimDesktop::RunTasks() {
    std::vector<std::function<void()>> tasks;
    {
        std::lock_guard<std::mutex> lock(tasks_mutex_);
        tasks.swap(tasks_);
    }
    for (auto& task : tasks) task();
    return !tasks.empty();
}

void SimDesktop::PostTask(std::function<void()> task) {
    std::lock_guard<std::mutex> lock(tasks_mutex_);
    tasks_.push_back(std::move(task));
}

bool SimDesktop::DeliverPosted() {
    if (posted_.empty()) return false;
    Posted p = posted_.front();
    posted_.pop_front();
    p.window->events_.OnMessage(p.message, p.wparam, p.lparam);
    return true;
}

bool SimDesktop::DeliverPaint() {
    for (auto* window : windows_) {
        if (window->needs_paint_ && window->visible_) {
            window->needs_paint_ = false;
            window->events_.OnPaint();
            return true;
        }
    }
    return false;
}

bool SimDesktop::FireTimer(std::set<std::pair<SimDesktopWindow*, int>>& fired) {
    const int64_t now = clock_.Now();
    SimDesktopWindow* best_window = nullptr;
    int best_id = 0;
    const SimDesktopWindow::Timer* best = nullptr;
    for (auto* window : windows_) {
        for (const auto& [id, timer] : window->timers_) {
            if (timer.due > now || fired.count({window, id})) continue;
            if (!best || timer.due < best->due || (timer.due == best->due && timer.order < best->order)) {
                best = &timer;
                best_window = window;
                best_id = id;
            }
        }
    }
    if (!best) return false;
    fired.insert({best_window, best_id});
    // The next tick counts from now, not from the missed due time: a late timer fires once.
    best_window->timers_[best_id].due = now + best->interval;
    if (log_ticks_) Log("timer.fire", best_window->Name() + " " + Str(best_id));
    best_window->events_.OnTimer(best_id);
    return true;
}

void SimDesktop::Pump() {
    // Each timer fires at most once per pump, so a handler that sleeps past its own interval
    // cannot keep the loop here.
    std::set<std::pair<SimDesktopWindow*, int>> fired;
    for (;;) {
        if (RunTasks()) continue;
        if (InnermostEnded()) return;
        if (DeliverPosted()) continue;
        // As with the system's queue, a quit request lets posted messages through but nothing else.
        if (quit_) return;
        if (DeliverPaint()) continue;
        if (FireTimer(fired)) continue;
        return;
    }
}

void SimDesktop::StepTime(int64_t until) {
    const int64_t now = clock_.Now();
    int64_t next = until;
    for (auto* window : windows_) {
        for (const auto& [id, timer] : window->timers_) {
            // A timer that fell due again while its own handler ran fires before time moves on.
            if (timer.due <= now) return;
            if (timer.due < next) next = timer.due;
        }
    }
    if (next > now) clock_.Advance(next - now);
}

void SimDesktop::Wait(int64_t ms) {
    const int64_t target = clock_.Now() + std::max<int64_t>(ms, 0);
    if (in_driver_ && !frames_.empty()) {
        wait_until_ = std::max(wait_until_.value_or(target), target);
        return;
    }
    Pump();
    while (clock_.Now() < target) {
        if (quit_ || InnermostEnded()) {
            // Nothing more can be delivered here; the time still passes.
            clock_.Advance(target - clock_.Now());
            break;
        }
        StepTime(target);
        Pump();
    }
}

// ---------------------------------------------------------------- input

bool SimDesktop::BlockedByModal(const SimDesktopWindow* window) const {
    if (frames_.empty() || frames_.back().window == window) return false;
    for (size_t i = 0; i + 1 < frames_.size(); ++i) {
        if (frames_[i].window == window) return true;
    }
    return false;
}

bool SimDesktop::Accepts(SimDesktopWindow* window, std::string_view name, std::string_view what) {
    const char* reason = nullptr;
    if (window == nullptr) {
        reason = "no-window";
    } else if (!window->visible_) {
        reason = "hidden";
    } else if (window->minimised_) {
        reason = "minimised";
    } else if (BlockedByModal(window)) {
        reason = "disabled";
    }
    if (reason == nullptr) return true;
    Log("input.ignored", std::string(name) + " " + std::string(what) + " " + reason);
    return false;
}

bool SimDesktop::DragInput(SimDesktopWindow* target, MouseAction action, int x, int y) {
    // Coordinates given for the dragged window are taken relative to where it was when the drag
    // began, so "down 5 5" then "up 105 5" moves it 100 pixels right.
    const gfx::Rect origin = target == drag_->window ? drag_->start_rect : target->rect_;
    cursor_ = {origin.left + x, origin.top + y};
    const int dx = cursor_.x - drag_->start_pointer.x;
    const int dy = cursor_.y - drag_->start_pointer.y;
    const gfx::Rect s = drag_->start_rect;
    gfx::Rect moved{s.left + dx, s.top + dy, s.right + dx, s.bottom + dy};
    SimDesktopWindow* dragged = drag_->window;
    if (action != MouseAction::Move) {
        drag_.reset();
        button_down_ = false;
    }
    if (!(moved == dragged->rect_)) dragged->Move(moved);
    return true;
}

std::optional<gfx::Point> SimDesktop::ScreenPoint(std::string_view name, int x, int y) {
    SimDesktopWindow* window = FindWindow(name);
    if (window == nullptr) return std::nullopt;
    const gfx::Rect origin = drag_ && drag_->window == window ? drag_->start_rect : window->rect_;
    return gfx::Point{origin.left + x, origin.top + y};
}

bool SimDesktop::Mouse(std::string_view name, MouseAction action, int x, int y) {
    SimDesktopWindow* window = FindWindow(name);
    if (drag_ && window != nullptr && action != MouseAction::Down && action != MouseAction::DoubleClick) {
        return DragInput(window, action, x, y);
    }
    drag_.reset();
    if (!Accepts(window, name, ActionName(action))) return false;
    cursor_ = {window->rect_.left + x, window->rect_.top + y};
    WindowEvents& events = window->events_;
    switch (action) {
        case MouseAction::Move:
            events.OnMouseMove(x, y);
            break;
        case MouseAction::Down:
            button_down_ = true;
            events.OnLButtonDown(x, y);
            break;
        case MouseAction::Up:
            button_down_ = false;
            events.OnLButtonUp(x, y);
            break;
        case MouseAction::DoubleClick:
            // A window that did not ask for double clicks sees a second plain press.
            button_down_ = true;
            if (window->spec_.double_clicks) {
                events.OnLButtonDblClk(x, y);
            } else {
                events.OnLButtonDown(x, y);
            }
            break;
    }
    return true;
}

bool SimDesktop::Key(std::string_view name, WindowCommand command) {
    SimDesktopWindow* window = FindWindow(name);
    if (!Accepts(window, name, CommandName(command))) return false;
    window->events_.OnCommand(command);
    return true;
}

bool SimDesktop::Tray(TrayEvent event) {
    if (trays_.empty() || trays_.back().owner == nullptr) {
        Log("input.ignored", std::string("tray ") + Str(static_cast<uint32_t>(event)) +
                                 (trays_.empty() ? " no-icon" : " no-owner"));
        return false;
    }
    const TrayRecord& tray = trays_.back();
    cursor_ = kTrayPoint;
    tray.owner->PostMessage(tray.callback, static_cast<uintptr_t>(tray.icon_id), static_cast<intptr_t>(event));
    return true;
}

bool SimDesktop::ChooseMenu(int command) {
    if (!menu_) {
        Log("input.ignored", "menu " + Str(command) + " no-menu");
        return false;
    }
    const auto& items = menu_->items;
    if (std::none_of(items.begin(), items.end(), [&](const auto& item) { return item.command == command; })) {
        Log("input.ignored", "menu " + Str(command) + " not-in-menu");
        return false;
    }
    SimDesktopWindow* owner = menu_->owner;
    menu_.reset();
    Log("menu.choose", owner->Name() + " " + Str(command));
    owner->events_.OnMenuCommand(command);
    return true;
}

}  // namespace mivo::platform::sim
