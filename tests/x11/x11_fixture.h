// What the X11 desktop tests share: a desktop on the test display, a window owner that records
// what its window reports, and a way to run the loop for a while.
#pragma once
// GoogleTest before Xlib, whose macros (None, Bool) clash with its names.
#include <gtest/gtest.h>
#include <X11/Xlib.h>
#include <X11/extensions/XTest.h>

#include <chrono>
#include <cstdlib>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "platform/desktop.h"
#include "platform/linux/x11_desktop.h"

namespace mivo::test {

using platform::linux_backend::X11Desktop;

// Records every report as one short line; a handler per timer ID may act in the loop.
class Recorder : public platform::WindowEvents {
public:
    std::vector<std::string> lines;
    std::map<int, std::function<void()>> on_timer;
    std::function<void(uint32_t)> on_message;
    bool may_show = true;

    void OnLButtonDown(int x, int y) override { Add("down", x, y); }
    void OnMouseMove(int x, int y) override { moves.push_back({x, y}); }
    void OnLButtonUp(int x, int y) override { Add("up", x, y); }
    void OnLButtonDblClk(int x, int y) override { Add("dbl", x, y); }
    void OnTimer(int id) override {
        if (auto it = on_timer.find(id); it != on_timer.end()) {
            it->second();
        } else {
            lines.push_back("timer " + std::to_string(id));
        }
    }
    void OnCommand(platform::WindowCommand command) override {
        static const char* names[] = {"enter", "escape", "close"};
        lines.push_back(names[static_cast<int>(command)]);
    }
    void OnPaint() override { ++paints; }
    void OnMessage(uint32_t message, uintptr_t wparam, intptr_t lparam) override {
        lines.push_back("msg " + std::to_string(message) + " " + std::to_string(wparam) + " " + std::to_string(lparam));
        if (on_message) on_message(message);
    }
    void OnMenuCommand(int command) override { lines.push_back("menu " + std::to_string(command)); }
    bool MayShow() override { return may_show; }

    std::vector<gfx::Point> moves;
    int paints = 0;

private:
    void Add(const char* what, int x, int y) {
        lines.push_back(std::string(what) + " " + std::to_string(x) + " " + std::to_string(y));
    }
};

class X11Test : public ::testing::Test {
protected:
    static constexpr int kStopTimer = 9999;
    static constexpr int kGuardTimer = 9998;

    void SetUp() override {
        // The server resets when its last client goes (the test before), and refuses connections
        // meanwhile: wait for it, and hold a connection of our own for the whole test.
        for (int attempt = 0; attempt < 100 && !keeper_; ++attempt) {
            keeper_ = XOpenDisplay(nullptr);
            if (!keeper_) std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
        // No display is a failure here, not a skip: the check runs these tests in Xvfb.
        const char* name = std::getenv("DISPLAY");
        ASSERT_NE(keeper_, nullptr) << "no X display (DISPLAY=" << (name ? name : "") << "); run the tests under xvfb-run";
        desktop_ = std::make_unique<X11Desktop>();
        ASSERT_TRUE(desktop_->IsOpen());
        display_ = desktop_->NativeDisplay();
    }
    void TearDown() override {
        desktop_.reset();
        if (keeper_) XCloseDisplay(keeper_);
    }

    std::unique_ptr<platform::DesktopWindow> MakeWindow(Recorder& events, gfx::Rect at, std::string class_name = "MivoTest",
                                                        bool double_clicks = true) {
        platform::WindowSpec window_spec;
        window_spec.name = "test";
        window_spec.title = "测试 window";
        window_spec.class_name = std::move(class_name);
        window_spec.size = {at.Width(), at.Height()};
        window_spec.double_clicks = double_clicks;
        auto window = desktop_->CreateWindow(window_spec, events);
        if (window) window->Move(at);
        return window;
    }

    // Runs the loop of `window` (shown first) for `ms` milliseconds; returns RunModal's result.
    int RunFor(platform::DesktopWindow& window, Recorder& events, int ms) {
        events.on_timer[kStopTimer] = [this, &window] { desktop_->EndModal(window, -1); };
        window.SetTimer(kStopTimer, ms);
        return desktop_->RunModal(window);
    }

    // Ends every loop after `ms` milliseconds, so that a test whose input got lost fails instead of
    // waiting for ever; the recorder then has a "guard" line.
    void Guard(platform::DesktopWindow& window, Recorder& events, int ms) {
        events.on_timer[kGuardTimer] = [this, &events] {
            events.lines.push_back("guard");
            desktop_->Quit(99);
        };
        window.SetTimer(kGuardTimer, ms);
    }

    // Shows the window and waits until the server has mapped it.
    void ShowAndSync(platform::DesktopWindow& window) {
        window.Show();
        XSync(display_, False);
    }

    void Click(int x, int y, int times = 1) {
        XTestFakeMotionEvent(display_, -1, x, y, CurrentTime);
        for (int i = 0; i < times; ++i) {
            XTestFakeButtonEvent(display_, 1, True, CurrentTime);
            XTestFakeButtonEvent(display_, 1, False, CurrentTime);
        }
        XFlush(display_);
    }

    ::Window Xid(platform::DesktopWindow& window) { return platform::linux_backend::NativeWindow(window); }

    Display* keeper_ = nullptr;
    std::unique_ptr<X11Desktop> desktop_;
    Display* display_ = nullptr;
};

}  // namespace mivo::test
