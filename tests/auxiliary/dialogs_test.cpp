// Device-check and driver-reset dialogs on the simulated desktop: ending codes, dragging, pictures, placement, reset order.
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "../gfx/graphics_env.h"
#include "auxiliary/device_check.h"
#include "auxiliary/reset_dlg.h"
#include "gfx/image_io.h"
#include "platform/platform.h"
#include "platform/sim/event_log.h"
#include "platform/sim/sim_clock.h"
#include "platform/sim/sim_desktop.h"
#include "platform/sim/sim_services.h"
#include "resources/paths.h"
#include "resources/skin.h"

using namespace mivo;
using platform::WindowCommand;
using platform::sim::SimDesktop;
using Action = SimDesktop::MouseAction;

namespace {

// Clock, log, pointer settings and desktop, installed as the current services. A fresh one per
// modal run: running out of input quits a simulated desktop for good. Without skin sheets every
// picture is null, which the dialogs must survive.
struct Env {
    Env() {
        ResetHoverFlags();
        ResetSkinCache();
        platform::Services s;
        s.clock = &clock;
        s.diagnostics = &log;
        s.pointer = &pointer;
        s.desktop = &desktop;
        scope = std::make_unique<platform::ScopedServices>(s);
    }
    ~Env() {
        ResetSkinCache();
        ClearModuleDirOverride();
    }

    // Runs the device check; its loop performs `steps`, one per input, then quits with 0.
    int RunDeviceCheck(CDeviceCheck& dlg, std::vector<std::function<void()>> steps) {
        size_t next = 0;
        desktop.SetDriver([&steps, &next] {
            if (next >= steps.size()) return false;
            steps[next++]();
            return true;
        });
        return dlg.Run(desktop, nullptr);
    }
    std::function<void()> Mouse(const char* window, Action action, int x, int y) {
        return [=, this] { EXPECT_TRUE(desktop.Mouse(window, action, x, y)); };
    }
    std::function<void()> Key(const char* window, WindowCommand command) {
        return [=, this] { EXPECT_TRUE(desktop.Key(window, command)); };
    }
    void Click(const char* window, int x, int y) {
        EXPECT_TRUE(desktop.Mouse(window, Action::Down, x, y));
        EXPECT_TRUE(desktop.Mouse(window, Action::Up, x, y));
    }
    // Index of the first log line containing `text`, or -1.
    int LineOf(const std::string& text) const {
        const auto& lines = log.Lines();
        for (size_t i = 0; i < lines.size(); ++i) {
            if (lines[i].find(text) != std::string::npos) return static_cast<int>(i);
        }
        return -1;
    }

    platform::sim::SimClock clock;
    platform::sim::EventLog log{clock};
    platform::sim::SimPointerSettings pointer{log};
    SimDesktop desktop{clock, log};
    std::unique_ptr<platform::ScopedServices> scope;
};

// ---------------------------------------------------------------- device check

TEST(DeviceCheck, ButtonsAndKeysEndTheRunWithTheirCodes) {
    struct Case {
        const char* what;
        int code;
    };
    const Case cases[] = {{"click 280 10", 1}, {"click 150 120", 2}, {"enter", 1}, {"escape", 2}, {"close", 2}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Env env;
        const std::string what = c.what;
        std::function<void()> input;
        if (what == "click 280 10") {
            input = [&] { env.Click("devcheck", 280, 10); };
        } else if (what == "click 150 120") {
            input = [&] { env.Click("devcheck", 150, 120); };
        } else {
            input = env.Key("devcheck", what == "enter"    ? WindowCommand::Enter
                                        : what == "escape" ? WindowCommand::Escape
                                                           : WindowCommand::Close);
        }
        CDeviceCheck dlg;
        EXPECT_EQ(env.RunDeviceCheck(dlg, {input}), c.code);
        EXPECT_TRUE(env.log.Lines("input.end").empty()) << "the dialog did not end by itself";
        // The window goes with the run; the controls stay with the object.
        EXPECT_EQ(env.desktop.FindWindow("devcheck"), nullptr);
        EXPECT_EQ(dlg.Window(), nullptr);
        EXPECT_EQ(dlg.m_ctrls.size(), 2u);
    }
}

TEST(DeviceCheck, PressOnTheBackgroundDragsTheWindowAndLeavesItOpen) {
    Env env;
    CDeviceCheck dlg;
    gfx::Rect before, after;
    bool open_after_drag = false;
    const int code = env.RunDeviceCheck(
        dlg, {[&] { before = dlg.Window()->GetRect(); },
              env.Mouse("devcheck", Action::Down, 150, 60),
              env.Mouse("devcheck", Action::Move, 200, 80),
              env.Mouse("devcheck", Action::Up, 230, 100),
              [&] {
                  after = dlg.Window()->GetRect();
                  open_after_drag = dlg.IsVisible() && env.desktop.ModalDepth() == 1;
              },
              env.Key("devcheck", WindowCommand::Escape)});
    EXPECT_EQ(code, 2);
    EXPECT_TRUE(open_after_drag);
    EXPECT_EQ(after.left - before.left, 80);
    EXPECT_EQ(after.top - before.top, 40);
    EXPECT_EQ(after.Width(), kSmallDialogSize.cx);
    EXPECT_EQ(after.Height(), kSmallDialogSize.cy);
}

TEST(DeviceCheck, PressOnAButtonReleasedElsewhereNeitherEndsNorDrags) {
    Env env;
    CDeviceCheck dlg;
    gfx::Rect before, after;
    const int code = env.RunDeviceCheck(dlg, {[&] { before = dlg.Window()->GetRect(); },
                                              env.Mouse("devcheck", Action::Down, 280, 10),
                                              env.Mouse("devcheck", Action::Move, 200, 60),
                                              env.Mouse("devcheck", Action::Up, 200, 60),
                                              [&] { after = dlg.Window()->GetRect(); },
                                              env.Key("devcheck", WindowCommand::Escape)});
    EXPECT_EQ(code, 2);
    EXPECT_TRUE(before == after);
    EXPECT_TRUE(env.log.Lines("window.drag").empty());
}

// Solid sheets, one colour per state, so every pixel tells which picture it came from.
constexpr gfx::Pixel kNormal = 0xFF203040, kOver = 0xFF506070, kDown = 0xFF8090A0;

void WriteSheets(const std::filesystem::path& dir, const std::string& family, int w, int h) {
    const std::pair<const char*, gfx::Pixel> states[] = {{"_normal.png", kNormal}, {"_over.png", kOver},
                                                          {"_down.png", kDown}};
    for (const auto& [suffix, colour] : states) {
        const gfx::Image sheet(w, h, std::vector<gfx::Pixel>(static_cast<size_t>(w) * h, colour));
        ASSERT_TRUE(gfx::SavePng(sheet, dir / (family + suffix)));
    }
}

TEST(DeviceCheck, ShowsItsBackgroundAndButtonPicturesByState) {
    Env env;
    test::GraphicsServices graphics;
    test::TempFolder module;
    std::filesystem::create_directories(module.path() / "UIPIC");
    WriteSheets(module.path() / "UIPIC", "DeviceCheck", 305, 140);
    SetModuleDirOverride(module.path());
    ResetSkinCache();

    auto frame = [&] { return env.desktop.FindWindow("devcheck")->Frame(); };
    gfx::Pixel bg = 0, button_normal = 0, button_over = 0, other_button = 0, outside = 1, button_down = 0;
    CDeviceCheck dlg;
    const int code = env.RunDeviceCheck(dlg, {[&] {
                                                  bg = frame().At(150, 60);
                                                  button_normal = frame().At(280, 10);
                                                  outside = frame().At(400, 250);  // beyond the 305 x 140 sheet
                                              },
                                              env.Mouse("devcheck", Action::Move, 280, 10),
                                              [&] {
                                                  button_over = frame().At(280, 10);
                                                  other_button = frame().At(150, 120);
                                              },
                                              env.Mouse("devcheck", Action::Down, 150, 120),
                                              [&] { button_down = frame().At(150, 120); },
                                              env.Mouse("devcheck", Action::Up, 150, 120)});
    EXPECT_EQ(code, 2);
    EXPECT_EQ(env.pointer.drag_full_windows, std::optional<bool>(true));
    EXPECT_EQ(bg, kNormal);
    EXPECT_EQ(button_normal, kNormal);
    EXPECT_EQ(outside, 0u);
    EXPECT_EQ(button_over, kOver);
    EXPECT_EQ(other_button, kNormal);
    EXPECT_EQ(button_down, kDown);
}

// ---------------------------------------------------------------- driver reset

TEST(ResetDialog, PlaceIsCentredOverTheOwnerFortyPixelsRight) {
    struct Case {
        gfx::Rect owner;
        int w, h;
        int left, top;
    };
    const Case cases[] = {
        {{100, 100, 900, 600}, 474, 297, 303, 201},
        // Odd differences: the halves are cut, not rounded.
        {{10, 20, 111, 221}, 50, 50, 75, 95},
        // A dialog larger than its owner: negative halves truncate toward zero (-100 and -50, not -101 and -51).
        {{0, 0, 100, 100}, 301, 201, -60, -50},
    };
    for (const Case& c : cases) {
        const gfx::Rect place = ResetDialogPlace(c.owner, {5, 7, 5 + c.w, 7 + c.h});
        EXPECT_EQ(place.left, c.left);
        EXPECT_EQ(place.top, c.top);
        EXPECT_EQ(place.Width(), c.w);
        EXPECT_EQ(place.Height(), c.h);
    }
}

TEST(ResetDialog, CreatedHiddenAndShownAgainAtTheOwnersCurrentPlace) {
    Env env;
    int resets = 0;
    CResetDlg dlg([&] { ++resets; });
    ASSERT_TRUE(dlg.Create(env.desktop));
    platform::DesktopWindow* window = dlg.Window();
    ASSERT_NE(window, nullptr);
    EXPECT_FALSE(dlg.IsVisible());
    EXPECT_EQ(window->GetRect().Width(), 474);
    EXPECT_EQ(window->GetRect().Height(), 297);

    dlg.ShowOver({100, 100, 900, 600});
    EXPECT_TRUE(dlg.IsVisible());
    EXPECT_TRUE(window->GetRect() == (gfx::Rect{303, 201, 777, 498}));
    EXPECT_TRUE(env.desktop.Key("reset", WindowCommand::Escape));
    EXPECT_FALSE(dlg.IsVisible());

    dlg.ShowOver({0, 50, 800, 550});
    EXPECT_EQ(dlg.Window(), window);
    EXPECT_TRUE(dlg.IsVisible());
    EXPECT_TRUE(window->GetRect() == (gfx::Rect{203, 151, 677, 448}));
    EXPECT_EQ(resets, 0);
}

TEST(ResetDialog, CancellingOnlyHides) {
    struct Case {
        const char* what;
        int code;
    };
    const Case cases[] = {{"click 82", 2}, {"click 83", 2}, {"escape", 2}, {"close", 2}, {"enter", 1}};
    Env env;
    int resets = 0;
    CResetDlg dlg([&] { ++resets; });
    ASSERT_TRUE(dlg.Create(env.desktop));
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const std::string what = c.what;
        dlg.ShowOver({100, 100, 900, 600});
        ASSERT_TRUE(dlg.IsVisible());
        if (what == "click 82") {
            env.Click("reset", 184, 212);
        } else if (what == "click 83") {
            env.Click("reset", 287, 13);
        } else {
            env.desktop.Key("reset", what == "enter"    ? WindowCommand::Enter
                                     : what == "escape" ? WindowCommand::Escape
                                                        : WindowCommand::Close);
        }
        EXPECT_FALSE(dlg.IsVisible());
        EXPECT_EQ(dlg.Result(), c.code);
        EXPECT_EQ(resets, 0);
        // Hidden, not destroyed: the same window with its three buttons.
        EXPECT_NE(env.desktop.FindWindow("reset"), nullptr);
        EXPECT_EQ(dlg.m_ctrls.size(), 3u);
    }
}

TEST(ResetDialog, ConfirmHidesFirstThenResets) {
    Env env;
    int resets = 0;
    bool visible_during_reset = true;
    int result_during_reset = 0;
    CResetDlg* self = nullptr;
    CResetDlg dlg([&] {
        ++resets;
        visible_during_reset = self->IsVisible();
        result_during_reset = self->Result();
        platform::Report("test.reset");
    });
    self = &dlg;
    ASSERT_TRUE(dlg.Create(env.desktop));
    dlg.ShowOver({100, 100, 900, 600});

    env.Click("reset", 100, 210);
    EXPECT_EQ(resets, 1);
    EXPECT_FALSE(visible_during_reset);
    EXPECT_EQ(result_during_reset, 1);
    const int hidden = env.LineOf("window.hide reset");
    const int reset = env.LineOf("test.reset");
    ASSERT_GE(hidden, 0);
    ASSERT_GE(reset, 0);
    EXPECT_LT(hidden, reset);

    // The dialog can be shown and confirmed again.
    dlg.ShowOver({100, 100, 900, 600});
    env.Click("reset", 100, 210);
    EXPECT_EQ(resets, 2);
}

}  // namespace
