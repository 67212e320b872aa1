// Shared pieces of the desktop tests: a simulated clock, log and desktop, and a window owner that
// records what it is told and lets a test react.
#pragma once
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/sim/event_log.h"
#include "platform/sim/sim_clock.h"
#include "platform/sim/sim_desktop.h"

namespace mivo::platform::sim::testing {

// Records every event as one short line ("down 5 6", "timer 1000 @700", "msg 2027 133 513").
class Recorder : public WindowEvents {
public:
    explicit Recorder(SimClock& clock) : clock_(clock) {}

    void OnLButtonDown(int x, int y) override {
        Add("down " + P(x, y));
        if (on_down) on_down(x, y);
    }
    void OnMouseMove(int x, int y) override { Add("move " + P(x, y)); }
    void OnLButtonUp(int x, int y) override {
        Add("up " + P(x, y));
        if (on_up) on_up(x, y);
    }
    void OnLButtonDblClk(int x, int y) override { Add("dblclk " + P(x, y)); }
    void OnTimer(int id) override {
        Add("timer " + std::to_string(id) + " @" + std::to_string(clock_.Now()));
        if (on_timer) on_timer(id);
    }
    void OnCommand(WindowCommand command) override {
        Add(command == WindowCommand::Enter ? "enter" : command == WindowCommand::Escape ? "escape" : "close");
        if (on_command) on_command(command);
    }
    void OnPaint() override { Add("paint"); }
    void OnMessage(uint32_t message, uintptr_t wparam, intptr_t lparam) override {
        Add("msg " + std::to_string(message) + " " + std::to_string(wparam) + " " + std::to_string(lparam));
        if (on_message) on_message(message, lparam);
    }
    void OnMenuCommand(int command) override {
        Add("menu " + std::to_string(command));
        if (on_menu) on_menu(command);
    }
    bool MayShow() override { return may_show; }

    // The recorded lines starting with `prefix`.
    std::vector<std::string> Only(const std::string& prefix) const {
        std::vector<std::string> out;
        for (const auto& e : events) {
            if (e.rfind(prefix, 0) == 0) out.push_back(e);
        }
        return out;
    }

    std::vector<std::string> events;
    bool may_show = true;
    std::function<void(int, int)> on_down, on_up;
    std::function<void(int)> on_timer;
    std::function<void(WindowCommand)> on_command;
    std::function<void(uint32_t, intptr_t)> on_message;
    std::function<void(int)> on_menu;

private:
    static std::string P(int x, int y) { return std::to_string(x) + " " + std::to_string(y); }
    void Add(std::string e) { events.push_back(std::move(e)); }
    SimClock& clock_;
};

inline WindowSpec Spec(const std::string& name, int w = 200, int h = 100, const std::string& cls = "") {
    WindowSpec window_spec;
    window_spec.name = name;
    window_spec.title = name;
    window_spec.class_name = cls.empty() ? name + "-class" : cls;
    window_spec.size = {w, h};
    return window_spec;
}

// The simulated window behind a window the desktop created.
inline SimDesktopWindow& Sim(const std::unique_ptr<DesktopWindow>& window) {
    return static_cast<SimDesktopWindow&>(*window);
}

struct DesktopFixture {
    SimClock clock;
    EventLog log{clock};
    SimDesktop desktop{clock, log};

    // The arguments of every log line of one event.
    std::vector<std::string> Lines(const std::string& name) const {
        std::vector<std::string> out;
        for (const auto& line : log.Lines(name)) {
            const size_t args = line.find(' ') + 1 + name.size() + 1;
            out.push_back(args < line.size() ? line.substr(args) : std::string());
        }
        return out;
    }
    // The log without time stamps.
    std::vector<std::string> All() const {
        std::vector<std::string> out;
        for (const auto& line : log.Lines()) out.push_back(line.substr(line.find(' ') + 1));
        return out;
    }
};

}  // namespace mivo::platform::sim::testing
