// Headless scripts: parsing with line numbers, and a small program with a main window, a device
// check dialog and a tray icon driven by scripts through its modal loops.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>

#include "desktop_fixture.h"
#include "platform/linux/codec_linux.h"
#include "platform/sim/script.h"
#include "platform/sim/sim_hid.h"

namespace mivo::platform::sim::testing {
namespace {

using ::testing::ElementsAre;
using ::testing::HasSubstr;

// ---------------------------------------------------------------- parsing

TEST(ScriptParse, ReadsCommandsSkippingCommentsBlankLinesAndCarriageReturns) {
    auto parsed = ParseScript(
        "# start\r\n"
        "\r\n"
        "  click\tmain 769 10   # the close button\r\n"
        "dblclick main -3 4\n"
        "key devcheck escape\n"
        "wait 700\n"
        "tray rpress\n"
        "menu exit\n"
        "second-copy\n"
        "mouse refuse c0\n"
        "mouse version 0x0105\n"
        "screenshot reset after-reset");
    ASSERT_FALSE(parsed.error) << parsed.error->Text();
    const auto& c = parsed.commands;
    ASSERT_EQ(c.size(), 10u);
    EXPECT_EQ(c[0].line, 3);
    EXPECT_EQ(c[0].text, "click main 769 10");
    EXPECT_EQ(c[0].op, ScriptOp::Click);
    EXPECT_EQ(c[1].op, ScriptOp::DoubleClick);
    EXPECT_EQ(c[1].x, -3);
    EXPECT_EQ(c[2].key, WindowCommand::Escape);
    EXPECT_EQ(c[2].window, "devcheck");
    EXPECT_EQ(c[3].ms, 700);
    EXPECT_EQ(c[4].tray, TrayEvent::RightDown);
    EXPECT_EQ(c[5].menu_command, kMenuExit);
    EXPECT_EQ(c[6].op, ScriptOp::SecondCopy);
    EXPECT_EQ(c[7].mouse, MouseOp::Refuse);
    EXPECT_EQ(c[7].value, 0xC0);
    EXPECT_EQ(c[8].value, 0x105);
    EXPECT_EQ(c[9].name, "after-reset.png");
    EXPECT_EQ(c[9].line, 12);
}

TEST(ScriptParse, BadLineNamesItsLineAndNothingRuns) {
    struct Case {
        const char* line;
        const char* message;
    };
    const Case cases[] = {
        {"clik main 1 2", "unknown command 'clik'"},
        {"click main 1", "'click' takes W X Y"},
        {"click main 1 2 3", "'click' takes W X Y"},
        {"click mian 1 2", "unknown window 'mian'"},
        {"down main x 2", "bad x coordinate 'x'"},
        {"move main 1 2.5", "bad y coordinate '2.5'"},
        {"wait -5", "bad wait '-5'"},
        {"wait 10ms", "bad wait '10ms'"},
        {"wait 99999999999999999999", "bad wait"},
        {"key main space", "unknown key 'space'"},
        {"tray middle", "unknown tray event 'middle'"},
        {"menu quit", "unknown menu command 'quit'"},
        {"second-copy now", "takes no arguments"},
        {"mouse", "'mouse' takes"},
        {"mouse wiggle", "unknown mouse action 'wiggle'"},
        {"mouse unplug now", "takes no more arguments"},
        {"mouse refuse XYZ", "bad command byte 'XYZ'"},
        {"mouse refuse 1C0", "bad command byte '1C0'"},
        {"mouse version 70000", "bad version '70000'"},
        {"screenshot main", "'screenshot' takes W NAME"},
        {"screenshot main ../outside", "bad screenshot name"},
        {"screenshot main ..", "bad screenshot name"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.line);
        auto parsed = ParseScript(std::string("# header\n\nwait 10\n") + c.line + "\nwait 10\n");
        ASSERT_TRUE(parsed.error.has_value());
        EXPECT_EQ(parsed.error->line, 4);
        EXPECT_THAT(parsed.error->message, HasSubstr(c.message));
        EXPECT_THAT(parsed.error->Text(), ::testing::StartsWith("script:4: "));
        EXPECT_TRUE(parsed.commands.empty());
    }
}

TEST(ScriptParse, UnreadableFileIsAnError) {
    auto parsed = ParseScriptFile("/nonexistent/dir/script.txt");
    ASSERT_TRUE(parsed.error.has_value());
    EXPECT_EQ(parsed.error->line, 0);
    EXPECT_THAT(parsed.error->Text(), HasSubstr("cannot read"));
}

// ---------------------------------------------------------------- a small program to drive

constexpr char kMainClass[] = "KorvexMivoConfigMain";

// A miniature of the utility's start-up: hand-shake, single-copy lock, device check when the
// mouse is missing, tray icon and menu, the main window run modally.
class MiniApp {
public:
    MiniApp(SimDesktop& desktop, SimClock& clock, bool mouse)
        : main_events_(clock), desktop_(desktop), check_events_(clock), mouse_(mouse) {}

    int Start() {
        desktop_.PostToWindowOfClass(kMainClass, 2028);
        if (desktop_.CreateNamedLock("MouseConfig") == LockResult::AlreadyExists) return 0;

        main_ = desktop_.CreateWindow(Spec("main", 4, 3, kMainClass), main_events_);
        check_ = desktop_.CreateWindow(Spec("devcheck", 30, 20), check_events_);
        tray_ = desktop_.CreateTrayIcon();
        Wire();
        if (mouse_) {
            tray_->Add(*main_, 133, 2027, "岚隼 米沃");
        } else {
            check_result = desktop_.RunModal(*check_);
            main_events_.may_show = false;
        }
        main_->SetTimer(1000, 700);
        const int code = desktop_.RunModal(*main_);
        tray_->Delete();
        main_result = code;
        return 0;
    }

    std::optional<int> check_result, main_result;
    gfx::Image frame = MakeFrame();
    Recorder main_events_;

private:
    static gfx::Image MakeFrame() {
        // Opaque, half-transparent and fully transparent pixels, premultiplied.
        return gfx::Image(4, 3, {0xFF102030u, 0x80400000u, 0x00000000u, 0xFFFFFFFFu,
                                 0x40101010u, 0xFF00FF00u, 0xC0600030u, 0x00000000u,
                                 0xFF0000FFu, 0x20200000u, 0xFF808080u, 0x80808080u});
    }

    void Wire() {
        main_events_.on_message = [this](uint32_t message, intptr_t lparam) {
            if (message == 2028 || (message == 2027 && lparam == 0x203)) ShowMain();
            if (message == 2027 && (lparam == 0x201 || lparam == 0x204)) {
                tray_->TrackPopupMenu(*main_, {{32772, "设置米沃鼠标"}, {32774, "退出程序"}},
                                      desktop_.CursorPos(), 0x28);
            }
        };
        main_events_.on_menu = [this](int command) {
            if (command == 32772) ShowMain();
            if (command == 32774) desktop_.Quit(0);
        };
        // Paints its frame whenever the desktop asks.
        main_events_.on_down = [this](int, int) { main_->BeginDrag(); };
        check_events_.on_up = [this](int x, int y) {
            if (gfx::Rect{20, 0, 30, 10}.Contains(x, y)) desktop_.EndModal(*check_, 1);
        };
        check_events_.on_command = [this](WindowCommand) { desktop_.EndModal(*check_, 2); };
    }

    void ShowMain() {
        main_events_.may_show = true;
        main_->Show();
        main_->Present(frame);
    }

    SimDesktop& desktop_;
    Recorder check_events_;
    bool mouse_;
    std::unique_ptr<DesktopWindow> main_, check_;
    std::unique_ptr<TrayIcon> tray_;
};

class ScriptRunTest : public ::testing::Test, public DesktopFixture {
protected:
    int RunScript(const std::string& text, MiniApp& app, ScriptHooks hooks = {}) {
        auto parsed = ParseScript(text);
        EXPECT_FALSE(parsed.error) << parsed.error->Text();
        if (!hooks.second_copy) {
            hooks.second_copy = [this] {
                MiniApp second(desktop, clock, true);
                return second.Start();
            };
        }
        ScriptRunner runner(desktop, log, std::move(parsed.commands), std::move(hooks));
        return runner.Run([&] { return app.Start(); });
    }
    // Position of the first log line (without time) that starts with `prefix`; -1 when none.
    int IndexOf(const std::string& prefix) const {
        auto all = All();
        for (size_t i = 0; i < all.size(); ++i) {
            if (all[i].rfind(prefix, 0) == 0) return static_cast<int>(i);
        }
        return -1;
    }
};

TEST_F(ScriptRunTest, TrayMenuExitEndsTheProgramWithZeroAndLeavesTheRestUnused) {
    MiniApp app(desktop, clock, true);
    int code = RunScript(
        "tray rpress\n"
        "menu exit\n"
        "click main 1 1\n",
        app);
    EXPECT_EQ(code, 0);
    EXPECT_EQ(app.main_result, 0);
    EXPECT_FALSE(app.check_result.has_value());
    EXPECT_THAT(app.main_events_.Only("m"), ElementsAre("msg 2027 133 516", "menu 32774"));
    EXPECT_EQ(Lines("script.unused"), (std::vector<std::string>{"1 from line 3"}));
    EXPECT_EQ(Lines("app.exit"), (std::vector<std::string>{"0"}));
    EXPECT_EQ(Lines("tray.delete"), (std::vector<std::string>{"133"}));
}

TEST_F(ScriptRunTest, DeviceCheckRunsInsideStartUpThenSecondCopyShowsTheHiddenMainWindow) {
    MiniApp app(desktop, clock, false);
    int code = RunScript(
        "# no mouse: the device check comes first\n"
        "click main 1 1          # not shown yet\n"
        "key devcheck escape\n"
        "wait 1400\n"
        "tray dblclick           # no icon without the mouse\n"
        "second-copy\n"
        "dblclick main 2 2\n",
        app);
    EXPECT_EQ(code, 0);
    EXPECT_EQ(app.check_result, 2);
    EXPECT_EQ(app.main_result, 0);  // the script ran out: the loop unwound as on the exit command

    // The second copy posts the show request, finds the lock taken and ends with 0 at once.
    EXPECT_EQ(Lines("second-copy.exit"), (std::vector<std::string>{"0"}));
    EXPECT_EQ(Lines("lock"), (std::vector<std::string>{"MouseConfig acquired", "MouseConfig exists"}));
    EXPECT_EQ(Lines("window.create").size(), 2u);  // the second copy created nothing
    EXPECT_LT(IndexOf("post KorvexMivoConfigMain 2028"), IndexOf("second-copy.exit"));
    EXPECT_LT(IndexOf("second-copy.exit"), IndexOf("window.show main"));

    EXPECT_EQ(Lines("input.ignored"), (std::vector<std::string>{"main move hidden", "tray 515 no-icon"}));
    // The poll timer ran through the wait, and the double click arrived as the system sends it.
    EXPECT_THAT(app.main_events_.Only("timer"), ElementsAre("timer 1000 @700", "timer 1000 @1400"));
    EXPECT_THAT(app.main_events_.Only("d"), ElementsAre("down 2 2", "dblclk 2 2"));
    EXPECT_EQ(Lines("script.end").size(), 1u);
    EXPECT_EQ(Lines("dialog.return"), (std::vector<std::string>{"devcheck 2", "main 0"}));
}

TEST_F(ScriptRunTest, PressOnTheBackgroundDragsTheWindow) {
    MiniApp app(desktop, clock, true);
    RunScript(
        "down main 1 1\n"
        "move main 51 21\n"
        "up main 101 1\n",
        app);
    // The window was created 4x3, centred on the screen, and moved 100 pixels right.
    const int left = (SimDesktop::kScreen.cx - 4) / 2 + 100;
    const int top = (SimDesktop::kScreen.cy - 3) / 2;
    EXPECT_EQ(Lines("window.move").back(),
              "main " + std::to_string(left) + " " + std::to_string(top) + " " + std::to_string(left + 4) + " " +
                  std::to_string(top + 3));
}

TEST_F(ScriptRunTest, ScreenshotWritesTheLastFrameAsADecodablePngWithAlpha) {
    const auto dir = std::filesystem::temp_directory_path() / "mivo-desktop-shots";
    std::filesystem::remove_all(dir);
    linux_backend::LinuxImageCodec codec;
    MiniApp app(desktop, clock, true);
    ScriptHooks hooks;
    hooks.codec = &codec;
    hooks.screenshot_dir = dir;
    RunScript(
        "screenshot main before    # nothing presented yet\n"
        "tray dblclick\n"
        "screenshot main shown\n",
        app, hooks);

    EXPECT_EQ(Lines("screenshot.failed"), (std::vector<std::string>{"main before.png no-frame"}));
    std::ifstream in(dir / "shown.png", std::ios::binary);
    ASSERT_TRUE(in.good());
    std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    gfx::Image decoded = codec.Decode(bytes);
    ASSERT_EQ(decoded.Width(), 4);
    ASSERT_EQ(decoded.Height(), 3);
    for (int y = 0; y < 3; ++y) {
        for (int x = 0; x < 4; ++x) {
            const uint32_t want = app.frame.At(x, y), got = decoded.At(x, y);
            EXPECT_EQ(got >> 24, want >> 24) << x << "," << y;  // alpha exactly
            for (int shift = 0; shift < 24; shift += 8) {       // colours within straight-alpha rounding
                EXPECT_NEAR(static_cast<int>((got >> shift) & 0xFF), static_cast<int>((want >> shift) & 0xFF), 1)
                    << x << "," << y;
            }
        }
    }
    std::filesystem::remove_all(dir);
}

TEST_F(ScriptRunTest, MouseCommandsActOnTheSimulatedBus) {
    SimHidBus bus(log);
    auto device = bus.Open(SimHidBus::MousePath());
    ASSERT_NE(device, nullptr);
    const FeatureReport rate{0x03, 0xC0, 0, 0, 0, 0, 0, 0xC0};

    auto parsed = ParseScript(
        "mouse version 0x0105\n"
        "mouse refuse C0\n"
        "mouse refuse none\n"
        "mouse dpi-button\n"
        "mouse unplug\n"
        "mouse plug\n");
    ASSERT_FALSE(parsed.error);
    ScriptHooks hooks;
    hooks.hid = &bus;
    ScriptRunner runner(desktop, log, std::move(parsed.commands), hooks);

    runner.Step();
    EXPECT_EQ(bus.Version(), 0x0105);
    runner.Step();
    EXPECT_FALSE(device->SetFeature(rate));
    runner.Step();
    EXPECT_TRUE(device->SetFeature(rate));
    const uint8_t before = bus.Mouse().selected;
    runner.Step();
    EXPECT_NE(bus.Mouse().selected, before);
    runner.Step();
    EXPECT_FALSE(bus.Plugged());
    runner.Step();
    EXPECT_TRUE(bus.Plugged());
    EXPECT_FALSE(runner.Step());
}

TEST_F(ScriptRunTest, CommandsWithoutTheirHookAreLoggedAsUnavailable) {
    auto parsed = ParseScript("mouse unplug\nsecond-copy\n");
    ScriptRunner runner(desktop, log, std::move(parsed.commands), ScriptHooks{});
    runner.Step();
    runner.Step();
    EXPECT_EQ(Lines("mouse.unavailable"), (std::vector<std::string>{"mouse unplug"}));
    EXPECT_EQ(Lines("second-copy.unavailable").size(), 1u);
}

}  // namespace
}  // namespace mivo::platform::sim::testing
