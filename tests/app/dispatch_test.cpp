// What the main window's controls do: apply, dpi poll, tabs, radio groups, reset, support, animations.
#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <functional>
#include <sstream>
#include <string>
#include <vector>

#include "app/mouse_config_dlg.h"
#include "app_fixture.h"
#include "auxiliary/sound.h"
#include "auxiliary/support.h"
#include "base/ini_file.h"
#include "platform/linux/fonts_linux.h"
#include "platform/sim/sim_desktop.h"
#include "platform/sim/sim_shell.h"
#include "platform/sim/sim_sound.h"
#include "resources/language.h"
#include "settings/profile.h"
#include "toolkit/zyl_button.h"
#include "toolkit/zyl_combox.h"
#include "toolkit/zyl_image.h"
#include "toolkit/zyl_slider.h"

namespace mivo {
namespace {

using platform::sim::SimDesktop;
using Action = SimDesktop::MouseAction;
using Step = std::function<void(CMouseConfigDlg&)>;

// One event-log line split into its time and the rest.
struct Line {
    int64_t at;
    std::string text;
};

class Dispatch : public ::testing::Test {
public:
    Dispatch() : desktop(env.sim().clock, env.sim().log), shell(env.sim().log, &desktop), sound(env.sim().log) {
        platform::Services s = env.services();
        s.desktop = &desktop;
        s.fonts = &fonts;
        s.shell = &shell;
        s.sound = &sound;
        env.Install(s);
        LastDpiCode() = 0;
    }
    ~Dispatch() override { ResetCurrentSound(); }

    int Run(std::vector<Step> steps, const std::string& command_line = "") {
        CMouseConfigDlg dlg(command_line);
        size_t next = 0;
        desktop.SetDriver([&] {
            if (next >= steps.size()) return false;
            steps[next++](dlg);
            return true;
        });
        return dlg.DoModal();
    }

    // A press and a release in the middle of the control's rectangle.
    void ClickCtrl(CMouseConfigDlg& dlg, int id) {
        CBaseCtrl* ctrl = dlg.FindCtrl(id);
        ASSERT_NE(ctrl, nullptr) << id;
        const int x = (ctrl->m_rect.left + ctrl->m_rect.right) / 2;
        const int y = (ctrl->m_rect.top + ctrl->m_rect.bottom) / 2;
        desktop.Mouse("main", Action::Down, x, y);
        desktop.Mouse("main", Action::Up, x, y);
    }

    int64_t Now() { return env.sim().clock.Now(); }

    // The settings reports written at or after `from`, without the dpi queries of the poll.
    std::vector<Line> SettingsReports(int64_t from = 0) {
        std::vector<Line> out = Events("hid.set", from);
        std::erase_if(out, [](const Line& l) { return l.text.starts_with("03 DD"); });
        return out;
    }

    // Log lines of one event at or after `from` (virtual ms), with their times.
    std::vector<Line> Events(std::string_view name, int64_t from = 0) {
        std::vector<Line> out;
        for (const std::string& raw : env.sim().log.Lines()) {
            std::istringstream in(raw);
            Line line{};
            std::string event;
            in >> line.at >> event;
            if (event != name || line.at < from) continue;
            std::getline(in >> std::ws, line.text);
            out.push_back(line);
        }
        return out;
    }

    static int Visible(CMouseConfigDlg& dlg, int id) { return dlg.FindCtrl(id)->m_bVisible; }
    static int On(CMouseConfigDlg& dlg, int id) { return dynamic_cast<CZylSelector*>(dlg.FindCtrl(id))->m_bOn; }
    static int VisibleMarker(CMouseConfigDlg& dlg) {
        int shown = 0;
        for (int id = 23; id <= 29; ++id) {
            if (Visible(dlg, id)) {
                if (shown) return -1;  // more than one
                shown = id;
            }
        }
        return shown;
    }

    std::string ProfileValue(const char* key) {
        IniFile ini;
        ini.Load(ProfilePath());
        return ini.Get("ConfigData", key).value_or("");
    }

    testing::AppEnvironment env;
    platform::linux_backend::LinuxFontService fonts;
    SimDesktop desktop;
    platform::sim::SimShell shell;
    platform::sim::SimSoundPlayer sound;
};

constexpr int kApplyButton = 8;

TEST_F(Dispatch, ApplyButtonSendsTheFactoryProfileAndComesBack) {
    ASSERT_TRUE(SaveProfile(ProfilePath(), DefaultSettings));
    int64_t clicked = 0;
    Run({
        [&](CMouseConfigDlg& dlg) {
            env.sim().log.Clear();
            clicked = Now();
            ClickCtrl(dlg, kApplyButton);
        },
        [&](CMouseConfigDlg& dlg) {
            const std::vector<Line> sent = SettingsReports(clicked);
            const std::vector<Line> expected = {
                {400, "03 C0 00 00 00 00 00 C0"},  {600, "03 A0 01 02 03 04 05 AF"},
                {700, "03 A1 06 07 07 00 00 B5"},  {800, "03 A2 03 00 00 00 00 A5"},
                {1000, "03 B0 01 02 04 81 82 BA"}, {1100, "03 B1 83 00 00 00 00 34"},
                {1300, "03 D0 20 00 00 00 00 F0"}, {1500, "03 EE 00 00 00 00 00 EE"}};
            ASSERT_EQ(sent.size(), expected.size());
            for (size_t i = 0; i < sent.size(); ++i) {
                EXPECT_EQ(sent[i].at - clicked, expected[i].at) << i;
                EXPECT_EQ(sent[i].text, expected[i].text) << i;
            }
            // Saved by the button and again inside the apply, after the handedness step.
            EXPECT_EQ(Events("profile.save").size(), 2u);
            EXPECT_EQ(dlg.m_apply.ApplyBusy, 0);
            EXPECT_EQ(dlg.m_apply.ApplyDone, 1);
            EXPECT_EQ(dlg.FindCtrl(kApplyButton)->m_bEnabled, 0) << "until the timer's tick";
            desktop.Wait(60);
        },
        [&](CMouseConfigDlg& dlg) {
            EXPECT_EQ(dlg.FindCtrl(kApplyButton)->m_bEnabled, 1);
            EXPECT_FALSE(desktop.FindWindow("main")->TimerInterval(kApplyTimerId).has_value());
        },
    });
}

TEST_F(Dispatch, LeftHandedApplyForcesButtonsOneAndTwo) {
    Run({
        [&](CMouseConfigDlg& dlg) { ClickCtrl(dlg, 5); },
        [&](CMouseConfigDlg& dlg) { ClickCtrl(dlg, 44); },
        [&](CMouseConfigDlg& dlg) {
            ASSERT_EQ(On(dlg, 44), 1);
            ASSERT_EQ(On(dlg, 43), 0);
            ClickCtrl(dlg, kApplyButton);
        },
        [&](CMouseConfigDlg& dlg) {
            const std::vector<Line> sent = SettingsReports();
            ASSERT_EQ(sent.size(), 8u);
            EXPECT_TRUE(sent[4].text.starts_with("03 B0 02 01")) << sent[4].text;
            EXPECT_EQ(dynamic_cast<CZylComboxButton*>(dlg.FindCtrl(50))->m_nSelId, 0x02);
            EXPECT_EQ(dynamic_cast<CZylComboxButton*>(dlg.FindCtrl(51))->m_nSelId, 0x01);
            EXPECT_EQ(ProfileValue("Key1"), "2");
            EXPECT_EQ(ProfileValue("Key2"), "1");
        },
    });
}

// A refused report ends the sequence; the poll and the Apply button must not stay suspended.
TEST_F(Dispatch, RefusedReportStopsTheSequenceButNotThePollOrTheButton) {
    env.sim().hid.RefuseCommand(0xB0);
    int64_t clicked = 0;
    Run({
        [&](CMouseConfigDlg& dlg) {
            clicked = Now();
            ClickCtrl(dlg, kApplyButton);
        },
        [&](CMouseConfigDlg& dlg) {
            const std::vector<Line> sent = SettingsReports(clicked);
            ASSERT_FALSE(sent.empty());
            EXPECT_TRUE(sent.back().text.starts_with("03 B0")) << "nothing after the refused report";
            EXPECT_EQ(sent.size(), 5u);
            EXPECT_EQ(dlg.m_apply.ApplyBusy, 0);
            EXPECT_EQ(dlg.m_apply.ApplyDone, 0);
            desktop.Wait(60);
        },
        [&](CMouseConfigDlg& dlg) {
            EXPECT_EQ(dlg.FindCtrl(kApplyButton)->m_bEnabled, 1) << "the apply has ended";
            EXPECT_FALSE(desktop.FindWindow("main")->TimerInterval(kApplyTimerId).has_value());
            env.sim().hid.PressDpiButton();
            desktop.Wait(700);
        },
        [&](CMouseConfigDlg& dlg) { EXPECT_EQ(VisibleMarker(dlg), 26) << "the poll goes on"; },
    });
}

TEST_F(Dispatch, ApplyWithoutTheMouseSendsNothingAndFreesTheButton) {
    Run({
        [&](CMouseConfigDlg&) { env.sim().hid.Unplug(); },
        [&](CMouseConfigDlg& dlg) {
            dlg.ShowMain();
            env.sim().log.Clear();
            dlg.OnCtrlClick(kApplyButton);
            EXPECT_TRUE(SettingsReports().empty());
            EXPECT_EQ(Events("pointer.speed").size(), 1u) << "the pointer settings are written";
            EXPECT_EQ(Events("device.apply").size(), 1u);
            EXPECT_EQ(dlg.m_apply.ApplyBusy, 0);
            desktop.Wait(60);
        },
        [&](CMouseConfigDlg& dlg) { EXPECT_EQ(dlg.FindCtrl(kApplyButton)->m_bEnabled, 1); },
    }, "");
}

TEST_F(Dispatch, PollFollowsTheMouseAndForceShowsAgain) {
    Run({
        [&](CMouseConfigDlg& dlg) {
            EXPECT_EQ(VisibleMarker(dlg), 25);
            env.sim().hid.Mouse().selected = 5;
            desktop.Wait(700);
        },
        [&](CMouseConfigDlg& dlg) {
            EXPECT_EQ(VisibleMarker(dlg), 27);
            EXPECT_EQ(dlg.m_settings.CurDPI, 1500);
            EXPECT_EQ(ProfileValue("CurDPI"), "") << "the poll saves nothing";
            // The same answer again: no recomposition, nothing changes.
            const int presents = desktop.FindWindow("main")->PresentCount();
            dlg.FindCtrl(27)->SetVisible(0);
            desktop.Wait(700);
            EXPECT_EQ(desktop.FindWindow("main")->PresentCount(), presents);
            EXPECT_EQ(VisibleMarker(dlg), 0) << "an unchanged answer does not touch the markers";
            dlg.PollDpi(1);
            EXPECT_EQ(VisibleMarker(dlg), 27) << "a forced poll shows the marker again";
            env.sim().hid.Mouse().selected = 0;  // answers 0
            desktop.Wait(700);
        },
        [&](CMouseConfigDlg& dlg) {
            EXPECT_EQ(VisibleMarker(dlg), 0);
            EXPECT_EQ(dlg.m_settings.CurDPI, 1500);
            env.sim().hid.Mouse().selected = 2;
            desktop.Wait(700);
        },
        [&](CMouseConfigDlg& dlg) {
            EXPECT_EQ(VisibleMarker(dlg), 24);
            ClickCtrl(dlg, 7);  // OK
        },
        [&](CMouseConfigDlg& dlg) {
            EXPECT_EQ(ProfileValue("CurDPI"), "500");
            EXPECT_FALSE(dlg.Window()->IsVisible());
        },
    });
}

TEST_F(Dispatch, PollHidesTheWindowWithoutTheMouseAndReopensTheLink) {
    Run({
        [&](CMouseConfigDlg& dlg) { env.sim().hid.Unplug(); },
        [&](CMouseConfigDlg& dlg) {
            dlg.ShowMain();
            ASSERT_TRUE(dlg.Window()->IsVisible());
            desktop.Wait(700);
        },
        [&](CMouseConfigDlg& dlg) {
            EXPECT_FALSE(dlg.Window()->IsVisible()) << "the tick found no mouse";
            env.sim().hid.Plug();
        },
        [&](CMouseConfigDlg& dlg) {
            EXPECT_EQ(desktop.TrayIcons().size(), 1u);
            desktop.Wait(700);
        },
        [&](CMouseConfigDlg& dlg) { EXPECT_EQ(dlg.m_link.Connected, 1); },
    });
}

// Clicks through the window's input on the main page; each row starts from a fresh window.
TEST_F(Dispatch, MainPageRulesTieTheControlsTogether) {
    struct Case {
        const char* what;
        std::vector<int> clicks;
        std::function<void(Dispatch&, CMouseConfigDlg&)> check;
    };
    const std::vector<Case> cases = {
        {"scroll by page", {18}, [](Dispatch&, CMouseConfigDlg& d) { EXPECT_EQ(On(d, 17) * 10 + On(d, 18), 1); }},
        {"scroll by lines", {18, 17}, [](Dispatch&, CMouseConfigDlg& d) { EXPECT_EQ(On(d, 17) * 10 + On(d, 18), 10); }},
        {"rate 125 after 1000", {22, 19},
         [](Dispatch&, CMouseConfigDlg& d) {
             EXPECT_EQ(On(d, 19), 1);
             EXPECT_EQ(On(d, 20) + On(d, 21) + On(d, 22), 0);
         }},
        {"clicking the selected rate keeps it", {22},
         [](Dispatch&, CMouseConfigDlg& d) { EXPECT_EQ(On(d, 22), 1); }},
        {"marker of a switched-off slot", {32, 25},
         [](Dispatch&, CMouseConfigDlg& d) {
             EXPECT_EQ(On(d, 32), 1) << "the current slot turned back on";
             EXPECT_EQ(VisibleMarker(d), 25);
         }},
        {"marker of an off slot does nothing", {33, 26},
         [](Dispatch&, CMouseConfigDlg& d) {
             EXPECT_EQ(On(d, 33), 0);
             EXPECT_EQ(VisibleMarker(d), 25);
         }},
        {"marker of an on slot moves; CurDPI waits for a store", {27},
         [](Dispatch&, CMouseConfigDlg& d) {
             EXPECT_EQ(VisibleMarker(d), 27);
             EXPECT_EQ(d.m_settings.CurDPI, 1000);
         }},
        {"all other slots off is allowed", {30, 31, 33, 34, 35, 36},
         [](Dispatch&, CMouseConfigDlg& d) {
             for (int id = 30; id <= 36; ++id) EXPECT_EQ(On(d, id), id == 32 ? 1 : 0) << id;
         }},
        {"+ stops at 10", {41, 41, 41, 41, 41, 41, 41, 41, 41},
         [](Dispatch&, CMouseConfigDlg& d) { EXPECT_EQ(dynamic_cast<CZylSlider*>(d.FindCtrl(14))->m_nPos, 10); }},
        {"- stops at 1", {42, 42, 42, 42},
         [](Dispatch&, CMouseConfigDlg& d) { EXPECT_EQ(dynamic_cast<CZylSlider*>(d.FindCtrl(14))->m_nPos, 1); }},
        {"cancel hides and keeps the controls", {18, 9},
         [](Dispatch& t, CMouseConfigDlg& d) {
             EXPECT_FALSE(d.Window()->IsVisible());
             EXPECT_EQ(On(d, 18), 1);
             EXPECT_TRUE(t.Events("profile.save").empty());
             EXPECT_TRUE(t.SettingsReports().empty());
         }},
        {"close hides like cancel", {3},
         [](Dispatch& t, CMouseConfigDlg& d) {
             EXPECT_FALSE(d.Window()->IsVisible());
             EXPECT_TRUE(t.SettingsReports().empty());
         }},
        {"minimise", {2},
         [](Dispatch& t, CMouseConfigDlg& d) {
             EXPECT_TRUE(t.desktop.FindWindow("main")->IsMinimised());
             EXPECT_FALSE(t.Events("hid.get").empty()) << "a forced poll";
         }},
        {"OK stores, applies and hides", {19, 7},
         [](Dispatch& t, CMouseConfigDlg& d) {
             EXPECT_FALSE(d.Window()->IsVisible());
             EXPECT_EQ(d.m_settings.PollingRate, 125);
             EXPECT_EQ(t.ProfileValue("PollingRate"), "125");
             EXPECT_EQ(t.SettingsReports().size(), 8u);
         }},
        {"language button opens the menu", {10},
         [](Dispatch&, CMouseConfigDlg& d) { EXPECT_EQ(Visible(d, 61), 1); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        env.sim().log.Clear();
        std::filesystem::remove(ProfilePath());
        LastDpiCode() = 0;
        std::vector<Step> steps;
        for (int id : c.clicks) steps.push_back([this, id](CMouseConfigDlg& dlg) { ClickCtrl(dlg, id); });
        steps.push_back([this, &c](CMouseConfigDlg& dlg) { c.check(*this, dlg); });
        Run(steps);
    }
}

TEST_F(Dispatch, TabsShowOnePageAndRunTheBreathingPreviewOnlyOnItsPage) {
    Run({
        [&](CMouseConfigDlg& dlg) { ClickCtrl(dlg, 5); },
        [&](CMouseConfigDlg& dlg) {
            EXPECT_EQ(Visible(dlg, 11) * 100 + Visible(dlg, 12) * 10 + Visible(dlg, 13), 10);
            EXPECT_EQ(dlg.FindCtrl(5)->m_nState, kStateSelected);
            EXPECT_EQ(dlg.FindCtrl(4)->m_nState, kStateNormal);
            auto* breathing = dynamic_cast<CZylAnimation*>(dlg.FindCtrl(48));
            EXPECT_EQ(breathing->m_bRunning, 1);
            EXPECT_EQ(desktop.FindWindow("main")->TimerInterval(48), 40);
            // 100 frames at 40 ms: after 4.2 s the preview has wrapped and still runs.
            desktop.Wait(4200);
        },
        [&](CMouseConfigDlg& dlg) {
            auto* breathing = dynamic_cast<CZylAnimation*>(dlg.FindCtrl(48));
            EXPECT_EQ(breathing->m_bRunning, 1);
            EXPECT_LT(breathing->m_nCurFrame, 100);
            EXPECT_GT(breathing->m_nCurFrame, 0);
            ClickCtrl(dlg, 6);
        },
        [&](CMouseConfigDlg& dlg) {
            EXPECT_EQ(Visible(dlg, 11) * 100 + Visible(dlg, 12) * 10 + Visible(dlg, 13), 1);
            EXPECT_EQ(dlg.FindCtrl(6)->m_nState, kStateSelected);
            EXPECT_EQ(dlg.FindCtrl(5)->m_nState, kStateNormal);
            EXPECT_EQ(dynamic_cast<CZylAnimation*>(dlg.FindCtrl(48))->m_bRunning, 0);
            desktop.Wait(40);
        },
        [&](CMouseConfigDlg& dlg) {
            EXPECT_FALSE(desktop.FindWindow("main")->TimerInterval(48).has_value()) << "killed at its next tick";
            ClickCtrl(dlg, 4);
        },
        [&](CMouseConfigDlg& dlg) {
            EXPECT_EQ(Visible(dlg, 11) * 100 + Visible(dlg, 12) * 10 + Visible(dlg, 13), 100);
            EXPECT_EQ(dlg.FindCtrl(4)->m_nState, kStateSelected);
            EXPECT_EQ(dlg.FindCtrl(6)->m_nState, kStateNormal);
        },
    });
}

TEST_F(Dispatch, RadioGroupsOfTheAdvancedPage) {
    Run({
        [&](CMouseConfigDlg& dlg) { ClickCtrl(dlg, 5); },
        [&](CMouseConfigDlg& dlg) { ClickCtrl(dlg, 44); },
        [&](CMouseConfigDlg& dlg) {
            EXPECT_EQ(On(dlg, 43) * 10 + On(dlg, 44), 1);
            ClickCtrl(dlg, 43);
        },
        [&](CMouseConfigDlg& dlg) {
            EXPECT_EQ(On(dlg, 43) * 10 + On(dlg, 44), 10);
            ClickCtrl(dlg, 47);
        },
        [&](CMouseConfigDlg& dlg) {
            EXPECT_EQ(On(dlg, 45) * 100 + On(dlg, 46) * 10 + On(dlg, 47), 1);
            ClickCtrl(dlg, 45);
        },
        [&](CMouseConfigDlg& dlg) { EXPECT_EQ(On(dlg, 45) * 100 + On(dlg, 46) * 10 + On(dlg, 47), 100); },
    });
}

TEST_F(Dispatch, DoubleClickTestPlaysOnceAndRunsItsFrames) {
    const auto wav = env.module_dir() / "UIPIC" / "DClick_Animation" / "DoubleClick_Sound.wav";
    std::filesystem::create_directories(wav.parent_path());
    std::ofstream(wav) << "RIFF";
    Run({
        [&](CMouseConfigDlg& dlg) {
            CBaseCtrl* anim = dlg.FindCtrl(39);
            desktop.Mouse("main", Action::DoubleClick, anim->m_rect.left + 5, anim->m_rect.top + 5);
        },
        [&](CMouseConfigDlg& dlg) {
            EXPECT_EQ(Events("sound.play").size(), 1u);
            desktop.Wait(52 * 40);
        },
        [&](CMouseConfigDlg& dlg) {
            auto* anim = dynamic_cast<CZylAnimation*>(dlg.FindCtrl(39));
            EXPECT_EQ(anim->m_bRunning, 1);
            EXPECT_EQ(anim->m_nCurFrame, 52) << "all 52 frames shown";
            desktop.Wait(80);
        },
        [&](CMouseConfigDlg& dlg) {
            EXPECT_EQ(dynamic_cast<CZylAnimation*>(dlg.FindCtrl(39))->m_bRunning, 0);
            EXPECT_FALSE(desktop.FindWindow("main")->TimerInterval(39).has_value());
            EXPECT_EQ(Events("sound.play").size(), 1u) << "once per start";
        },
    });
}

TEST_F(Dispatch, ResetDialogBlocksTheWindowAndRestoresTheFactoryProfile) {
    Run({
        [&](CMouseConfigDlg& dlg) {
            ASSERT_NE(dlg.ResetDialog(), nullptr);
            EXPECT_FALSE(dlg.ResetDialog()->IsVisible()) << "created hidden";
            ClickCtrl(dlg, 19);  // 125 Hz, to be undone by the reset
        },
        [&](CMouseConfigDlg& dlg) { ClickCtrl(dlg, 40); },
        [&](CMouseConfigDlg& dlg) {
            ASSERT_TRUE(dlg.ResetDialog()->IsVisible());
            const gfx::Rect main = dlg.Window()->GetRect();
            const gfx::Rect box = dlg.ResetDialog()->Window()->GetRect();
            EXPECT_EQ(box.left, main.left + (main.Width() - box.Width()) / 2 + 40);
            EXPECT_EQ(box.top, main.top + (main.Height() - box.Height()) / 2);
            ClickCtrl(dlg, 6);  // blocked
        },
        [&](CMouseConfigDlg& dlg) {
            EXPECT_EQ(Visible(dlg, 13), 0) << "the press did not reach the tab";
            desktop.Key("reset", platform::WindowCommand::Escape);
        },
        [&](CMouseConfigDlg& dlg) {
            EXPECT_FALSE(dlg.ResetDialog()->IsVisible());
            EXPECT_EQ(On(dlg, 19), 1) << "Escape resets nothing";
            ClickCtrl(dlg, 40);
        },
        [&](CMouseConfigDlg& dlg) {
            for (int id : {82, 83}) {
                CBaseCtrl* button = dlg.ResetDialog()->FindCtrl(id);
                desktop.Mouse("reset", Action::Down, button->m_rect.left + 2, button->m_rect.top + 2);
                desktop.Mouse("reset", Action::Up, button->m_rect.left + 2, button->m_rect.top + 2);
                EXPECT_FALSE(dlg.ResetDialog()->IsVisible()) << id;
                EXPECT_EQ(On(dlg, 19), 1) << id;
                ClickCtrl(dlg, 40);
            }
            env.sim().log.Clear();
            CBaseCtrl* confirm = dlg.ResetDialog()->FindCtrl(81);
            desktop.Mouse("reset", Action::Down, confirm->m_rect.left + 2, confirm->m_rect.top + 2);
            desktop.Mouse("reset", Action::Up, confirm->m_rect.left + 2, confirm->m_rect.top + 2);
        },
        [&](CMouseConfigDlg& dlg) {
            EXPECT_FALSE(dlg.ResetDialog()->IsVisible());
            const auto& lines = env.sim().log.Lines();
            size_t hidden = lines.size(), first_report = lines.size();
            for (size_t i = 0; i < lines.size(); ++i) {
                if (hidden == lines.size() && lines[i].find("window.hide reset") != std::string::npos) hidden = i;
                if (first_report == lines.size() && lines[i].find("hid.set") != std::string::npos) first_report = i;
            }
            EXPECT_LT(hidden, first_report) << "hidden before the reset is applied";
            EXPECT_EQ(SettingsReports().size(), 8u);
            EXPECT_EQ(On(dlg, 22), 1);
            EXPECT_EQ(On(dlg, 19), 0);
            EXPECT_EQ(dlg.m_settings.PollingRate, 1000);
            EXPECT_EQ(ProfileValue("PollingRate"), "1000");
            EXPECT_EQ(ProfileValue("Key6"), "129");
            EXPECT_EQ(ProfileValue("Language"), "64") << "English: no language declares the user's ID";
        },
    });
}

// Without the mouse nothing is sent, but the factory values and the language are still saved; the
// dialog follows the main window when it is shown again.
TEST_F(Dispatch, ResetWithoutTheMouseStillSavesAndTheDialogFollowsTheWindow) {
    Run({
        [&](CMouseConfigDlg& dlg) {
            ClickCtrl(dlg, 19);
            ClickCtrl(dlg, 7);  // OK saves 125 Hz
        },
        [&](CMouseConfigDlg& dlg) {
            ASSERT_EQ(ProfileValue("PollingRate"), "125");
            dlg.ShowMain();
            dlg.Window()->Move({100, 100, 900, 600});
            ClickCtrl(dlg, 40);
        },
        [&](CMouseConfigDlg& dlg) {
            const gfx::Rect box = dlg.ResetDialog()->Window()->GetRect();
            EXPECT_EQ(box.left, 303);
            EXPECT_EQ(box.top, 201);
            env.sim().hid.Unplug();
            env.sim().log.Clear();
            dlg.ResetDialog()->OnCtrlClick(81);
        },
        [&](CMouseConfigDlg& dlg) {
            EXPECT_TRUE(SettingsReports().empty());
            EXPECT_EQ(ProfileValue("PollingRate"), "1000");
            EXPECT_EQ(ProfileValue("Language"), "64");
            EXPECT_EQ(dlg.m_apply.ApplyBusy, 0);
        },
    });
}

TEST_F(Dispatch, SupportButtonsOpenPagesAndTellAMissingMailClient) {
    Run({
        [&](CMouseConfigDlg& dlg) { ClickCtrl(dlg, 6); },
        [&](CMouseConfigDlg& dlg) {
            ClickCtrl(dlg, 57);
            ClickCtrl(dlg, 57);
            ClickCtrl(dlg, 56);
            ClickCtrl(dlg, 59);
            dlg.WaitForPageThreads();
            const std::vector<std::string> all = shell.Urls();
            EXPECT_EQ(std::count(all.begin(), all.end(), std::string(kSupportPageUrl)), 2);
            EXPECT_EQ(std::count(all.begin(), all.end(), std::string(kProductPageUrl)), 1);
            EXPECT_EQ(std::count(all.begin(), all.end(), std::string(kSupportFormUrl)), 1);
            ClickCtrl(dlg, 58);
            ClickCtrl(dlg, 60);
        },
        [&](CMouseConfigDlg&) {
            ASSERT_EQ(desktop.MessageBoxes().size(), 2u);
            EXPECT_EQ(desktop.MessageBoxes()[0], "CreateDispatch() failed w/error 0x800401f3");
            shell.SetMailClient(true);
        },
        [&](CMouseConfigDlg& dlg) {
            ClickCtrl(dlg, 60);
            ASSERT_EQ(shell.Mails().size(), 1u);
            EXPECT_EQ(shell.Mails()[0].to, kSupportMailAddress);
        },
    });
}

}  // namespace
}  // namespace mivo
