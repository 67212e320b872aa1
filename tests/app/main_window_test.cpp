// The main window object run in-process on the simulated desktop, with test steps as its input.
#include <gtest/gtest.h>

#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include "app/mouse_config_dlg.h"
#include "app_fixture.h"
#include "content/layout.h"
#include "gfx/canvas.h"
#include "gfx/text.h"
#include "platform/linux/fonts_linux.h"
#include "platform/sim/sim_desktop.h"
#include "resources/language.h"
#include "resources/skin.h"
#include "toolkit/zyl_button.h"
#include "toolkit/zyl_image.h"

namespace mivo {
namespace {

using platform::sim::SimDesktop;
using Action = SimDesktop::MouseAction;
using Step = std::function<void(CMouseConfigDlg&)>;

class MainWindow : public ::testing::Test {
protected:
    MainWindow() : desktop(env.sim().clock, env.sim().log) {
        platform::Services s = env.services();
        s.desktop = &desktop;
        s.fonts = &fonts;
        env.Install(s);
        LastDpiCode() = 0;
    }

    // Runs the window; each step is one turn of its modal loop. Returns the loop's code.
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

    void Mouse(Action action, int x, int y) { desktop.Mouse("main", action, x, y); }
    void Click(int x, int y) {
        Mouse(Action::Down, x, y);
        Mouse(Action::Up, x, y);
    }
    std::vector<std::string> Log(std::string_view name) { return env.sim().log.Lines(name); }

    testing::AppEnvironment env;
    platform::linux_backend::LinuxFontService fonts;
    SimDesktop desktop;
};

// What the window's top line shows for `text`: the line rendered on the plain background.
gfx::Image ExpectedTopLine(const std::string& text) {
    gfx::ImagePtr background = GetSkinImage(0, 0);
    gfx::Canvas dc(*background);
    const gfx::Rect box{276, 12, 320, 25};
    gfx::ImagePtr line = gfx::RenderText(dc, text, "Tahoma", 13, 0x00FFFFFF, box);
    dc.DrawImage(line.get(), box);
    return background->Cut(box);
}

TEST_F(MainWindow, FirmwareLineShowsTheVersionOfTheMouseOpened) {
    const gfx::Image zero = ExpectedTopLine("1.0");
    const gfx::Image five = ExpectedTopLine("1.5");
    ASSERT_NE(zero, five) << "the two texts must render differently for this test to mean anything";

    struct Case {
        bool plugged;
        const gfx::Image* expected;
    };
    for (const Case& c : {Case{false, &zero}, Case{true, &five}}) {
        SCOPED_TRACE(c.plugged ? "with the mouse" : "without the mouse");
        if (!c.plugged) env.sim().hid.Unplug();
        if (c.plugged && !env.sim().hid.Plugged()) env.sim().hid.Plug();
        env.sim().hid.SetVersion(5);
        Run({[&](CMouseConfigDlg&) {
            const gfx::Image& frame = desktop.FindWindow("main")->Frame();
            ASSERT_EQ(frame.Width(), 800);
            EXPECT_EQ(frame.Cut({276, 12, 320, 25}), *c.expected);
        }});
    }
}

TEST_F(MainWindow, HelpLineAndAssignmentPictureFollowThePointer) {
    Run({
        [](CMouseConfigDlg& dlg) {
            // Page switching belongs to the tab dispatch; show the advanced page directly.
            dlg.FindCtrl(11)->SetVisible(0);
            dlg.FindCtrl(12)->SetVisible(1);
        },
        [&](CMouseConfigDlg&) { Mouse(Action::Move, 500, 250); },  // drop-down 53
        [&](CMouseConfigDlg& dlg) {
            auto* picture = dynamic_cast<CZylImage*>(dlg.FindCtrl(49));
            EXPECT_EQ(picture->m_bVisible, 1);
            EXPECT_EQ(picture->m_nPicIndex, 3);
            EXPECT_EQ(dlg.HelpText, "向上滚动");
            Mouse(Action::Move, 60, 410);  // selector 45
        },
        [&](CMouseConfigDlg& dlg) {
            EXPECT_EQ(dlg.FindCtrl(49)->m_bVisible, 1) << "other controls leave it shown";
            EXPECT_EQ(dlg.HelpText, "Set the light to 'Always On'.");
            Mouse(Action::Move, 500, 300);  // drop-down 55
        },
        [&](CMouseConfigDlg& dlg) {
            // A missing profile reads button 6 as 0x85: the drop-down shows its entry's text.
            EXPECT_EQ(dlg.HelpText, "禁用");
            EXPECT_EQ(dynamic_cast<CZylImage*>(dlg.FindCtrl(49))->m_nPicIndex, 5);
            Mouse(Action::Move, 400, 60);  // window background
        },
        [&](CMouseConfigDlg& dlg) {
            EXPECT_EQ(dlg.FindCtrl(49)->m_bVisible, 0);
            Mouse(Action::Move, 200, 100);  // tab 5
        },
        [&](CMouseConfigDlg& dlg) {
            EXPECT_EQ(dlg.HelpText, "=Go to advanced  options for lighting and sound settings.");
        },
    });
}

TEST_F(MainWindow, ChoosingALanguageRowChangesFacesRecordsAndActivates) {
    testing::WriteLanguageFaces(env.module_dir(), "SCHIN", 0xFF2050A0);
    testing::WriteLanguageFaces(env.module_dir(), "TUR", 0xFFA05020);
    std::filesystem::remove(env.module_dir() / "UIPIC" / "LanguageButton" / "LangSelect_TUR_down.jpg");
    const gfx::ImagePtr schin = LoadImageFile(env.module_dir() / "UIPIC" / "LanguageButton" / "LangSelect_SCHIN_normal.jpg");
    ASSERT_TRUE(schin);
    // A row's centre in window coordinates.
    auto row = [](int id) {
        const gfx::Rect r = content::LanguageRowRect(id);
        return gfx::Point{content::kLanguageMenuRect.left + 50, content::kLanguageMenuRect.top + (r.top + r.bottom) / 2};
    };
    Run({
        [&](CMouseConfigDlg&) { Click(28, 470); },
        [&](CMouseConfigDlg& dlg) {
            EXPECT_EQ(dlg.FindCtrl(61)->m_bVisible, 1);
            Click(row(73).x, row(73).y);
        },
        [&](CMouseConfigDlg& dlg) {
            auto* button = dynamic_cast<CZylButton*>(dlg.FindCtrl(10));
            ASSERT_TRUE(button->m_pNormal);
            EXPECT_EQ(*button->m_pNormal, *schin);
            EXPECT_EQ(dlg.m_settings.Language, 73);
            EXPECT_EQ(ActiveLanguageFile().filename(), "SimplChinese.lng");
            EXPECT_EQ(dlg.FindCtrl(61)->m_bVisible, 0);
            Click(28, 470);
        },
        [&](CMouseConfigDlg&) { Click(row(78).x, row(78).y); },
        [&](CMouseConfigDlg& dlg) {
            auto* button = dynamic_cast<CZylButton*>(dlg.FindCtrl(10));
            EXPECT_EQ(*button->m_pNormal, *schin) << "a missing face leaves the button";
            EXPECT_EQ(dlg.m_settings.Language, 73);
            EXPECT_EQ(ActiveLanguageFile().filename(), "Turkey.lng") << "the texts switch all the same";
        },
    });
}

TEST_F(MainWindow, DpiPollMovesTheMarkerAndRecordsTheDpi) {
    Run({
        [&](CMouseConfigDlg& dlg) {
            EXPECT_EQ(dlg.FindCtrl(25)->m_bVisible, 1) << "the fresh profile's 1000 dpi";
            env.sim().hid.PressDpiButton();
            desktop.Wait(700);
        },
        [&](CMouseConfigDlg& dlg) {
            for (int id = 23; id <= 29; ++id) EXPECT_EQ(dlg.FindCtrl(id)->m_bVisible, id == 26 ? 1 : 0) << id;
            EXPECT_EQ(dlg.m_settings.CurDPI, 1250);
        },
    });
}

TEST_F(MainWindow, TrayIconIsRetriedTwentyTimes) {
    struct Case {
        int failures;
        bool added;
    };
    for (const Case& c : {Case{20, true}, Case{21, false}}) {
        SCOPED_TRACE(c.failures);
        env.sim().log.Clear();
        desktop.FailTrayAdds(c.failures);
        const int64_t before = env.sim().clock.Now();
        Run({[&](CMouseConfigDlg&) {
            EXPECT_EQ(Log("tray.add").size(), c.added ? 1u : 0u);
            EXPECT_EQ(env.sim().clock.Now() - before, c.added ? 20 : 21) << "1 ms between attempts";
        }});
        desktop.FailTrayAdds(0);
    }
}

TEST_F(MainWindow, TrayPressOpensTheMenuAtTheCursor) {
    Run({
        [&](CMouseConfigDlg&) { desktop.Tray(platform::TrayEvent::RightDown); },
        [&](CMouseConfigDlg&) {
            ASSERT_TRUE(desktop.Menu().has_value());
            const auto& menu = *desktop.Menu();
            ASSERT_EQ(menu.items.size(), 2u);
            EXPECT_EQ(menu.items[0].command, kCmdShowMain);
            EXPECT_EQ(menu.items[0].text, "设置米沃鼠标");
            EXPECT_EQ(menu.items[1].command, kCmdExit);
            EXPECT_EQ(menu.items[1].text, "退出程序");
            EXPECT_EQ(menu.at, SimDesktop::kTrayPoint);
            EXPECT_EQ(menu.flags, 0x28u);
        },
    });
}

// The help line asks the language file by the control's own ID first, then shows the text the
// control got at creation, which may have come from another key.
TEST_F(MainWindow, HelpLineLooksUpTheControlIdThenTheStoredText) {
    std::ofstream(env.module_dir() / "English.lng") << "[Language]\nLanguage=1033\n[Text]\n"
                                                       "29=Rate from 29\n41=Plus from 41\n68=Plus from 68\n"
                                                       "69=Minus from 69\n";
    InitLanguage();
    ASSERT_EQ(ActiveLanguageFile().filename(), "English.lng");
    struct Case {
        int x, y;
        const char* text;
    };
    const std::vector<Case> cases = {{440, 345, "Rate from 29"},  // selector 19: no "19", created from "29"
                                     {740, 157, "Plus from 41"},  // button 41: its own ID wins
                                     {740, 215, "Minus from 69"}, // button 42: no "42", created from "69"
                                     {400, 100, "Go to updates and support options."}};
    std::vector<Step> steps;
    for (const Case& c : cases) {
        steps.push_back([&, c](CMouseConfigDlg&) { Mouse(Action::Move, c.x, c.y); });
        steps.push_back([c](CMouseConfigDlg& dlg) { EXPECT_EQ(dlg.HelpText, c.text) << c.x << "," << c.y; });
    }
    Run(steps);
}

TEST_F(MainWindow, UnplugClosesTheLinkAndPlugOnlyAllowsShowing) {
    Run({
        [&](CMouseConfigDlg& dlg) {
            ASSERT_EQ(dlg.m_link.Connected, 1);
            env.sim().hid.Unplug();
        },
        [&](CMouseConfigDlg& dlg) {
            EXPECT_EQ(dlg.m_link.Connected, 0);
            EXPECT_FALSE(dlg.Window()->IsVisible());
            EXPECT_TRUE(desktop.TrayIcons().empty());
            // Another device's broadcast changes nothing.
            env.sim().hid.Broadcast({0x8000, true, R"(\\?\hid#vid_046d&pid_c077#1)"});
        },
        [&](CMouseConfigDlg& dlg) {
            EXPECT_TRUE(desktop.TrayIcons().empty());
            dlg.MayShow = 0;
            env.sim().hid.Plug();
        },
        [&](CMouseConfigDlg& dlg) {
            EXPECT_EQ(dlg.MayShow, 1);
            ASSERT_EQ(desktop.TrayIcons().size(), 1u);
            EXPECT_EQ(desktop.TrayIcons()[0].tip, "岚隼 米沃");
            EXPECT_FALSE(dlg.Window()->IsVisible());
            EXPECT_EQ(dlg.m_link.Connected, 0) << "the next poll opens the link";
            desktop.Wait(700);
        },
        [&](CMouseConfigDlg& dlg) { EXPECT_EQ(dlg.m_link.Connected, 1); },
    });
}

// While the driver-reset dialog shows, presses, moves and releases do nothing; double clicks pass.
TEST_F(MainWindow, ResetDialogBlocksClicksButNotDoubleClicks) {
    bool reset_showing = true;
    Run({
        [&](CMouseConfigDlg& dlg) {
            dlg.m_resetDialogVisible = [&] { return reset_showing; };
            Mouse(Action::Move, 780, 15);
            Mouse(Action::Down, 780, 15);
            Mouse(Action::Down, 400, 60);
        },
        [&](CMouseConfigDlg& dlg) {
            EXPECT_EQ(dlg.FindCtrl(3)->m_bPressed, 0);
            EXPECT_EQ(dlg.FindCtrl(3)->m_nState, kStateNormal);
            EXPECT_TRUE(Log("window.drag").empty());
            Mouse(Action::Up, 400, 60);
            Mouse(Action::DoubleClick, 320, 390);  // animation 39
        },
        [&](CMouseConfigDlg& dlg) {
            EXPECT_EQ(dynamic_cast<CZylAnimation*>(dlg.FindCtrl(39))->m_bRunning, 1);
            reset_showing = false;
            Mouse(Action::Down, 780, 15);
        },
        [&](CMouseConfigDlg& dlg) { EXPECT_EQ(dlg.FindCtrl(3)->m_bPressed, 1); },
    });
}

}  // namespace
}  // namespace mivo
