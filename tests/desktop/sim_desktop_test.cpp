// Simulated desktop: timers, show veto, modal loops, input routing, drag, tray and menu, locks.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "desktop_fixture.h"

namespace mivo::platform::sim::testing {
namespace {

using ::testing::ElementsAre;

class SimDesktopTest : public ::testing::Test, public DesktopFixture {};

// ---------------------------------------------------------------- timers

TEST_F(SimDesktopTest, TimersFireInTimeOrderAcrossWindowsWithTiesToTheFirstSet) {
    Recorder a(clock), b(clock);
    auto wa = desktop.CreateWindow(Spec("main"), a);
    auto wb = desktop.CreateWindow(Spec("devcheck"), b);
    desktop.LogTimerTicks(true);
    wa->SetTimer(2000, 50);
    wb->SetTimer(39, 40);
    wa->SetTimer(1000, 120);

    desktop.Wait(200);

    EXPECT_EQ(clock.Now(), 200);
    // At 120 and at 200 two timers fall due together: the one set first goes first.
    EXPECT_EQ(log.Lines("timer.fire"),
              (std::vector<std::string>{"40 timer.fire devcheck 39", "50 timer.fire main 2000",
                                        "80 timer.fire devcheck 39", "100 timer.fire main 2000",
                                        "120 timer.fire devcheck 39", "120 timer.fire main 1000",
                                        "150 timer.fire main 2000", "160 timer.fire devcheck 39",
                                        "200 timer.fire main 2000", "200 timer.fire devcheck 39"}));
    EXPECT_EQ(Lines("timer.set"), (std::vector<std::string>{"main 2000 50", "devcheck 39 40", "main 1000 120"}));
}

TEST_F(SimDesktopTest, TimersDueTogetherFireInTheOrderTheyWereSet) {
    Recorder a(clock);
    auto w = desktop.CreateWindow(Spec("main"), a);
    w->SetTimer(7, 100);
    w->SetTimer(3, 50);  // due at 50 and 100: at 100 it ties with 7, which was set first
    desktop.Wait(100);
    EXPECT_THAT(a.events, ElementsAre("timer 3 @50", "timer 7 @100", "timer 3 @100"));
    // Restarting a timer makes it the later one of a tie.
    w->SetTimer(7, 100);
    w->SetTimer(3, 100);
    desktop.Wait(100);
    EXPECT_THAT(a.Only("timer"), ElementsAre("timer 3 @50", "timer 7 @100", "timer 3 @100", "timer 7 @200",
                                            "timer 3 @200"));
}

TEST_F(SimDesktopTest, SettingARunningTimerRestartsItAndKillingStopsIt) {
    Recorder a(clock);
    auto w = desktop.CreateWindow(Spec("main"), a);
    w->SetTimer(1000, 100);
    desktop.Wait(60);
    w->SetTimer(1000, 100);  // restart: next tick 100 ms from now
    desktop.Wait(150);
    EXPECT_THAT(a.events, ElementsAre("timer 1000 @160"));

    w->KillTimer(1000);
    w->KillTimer(1000);  // no such timer any more: nothing to log
    desktop.Wait(500);
    EXPECT_THAT(a.events, ElementsAre("timer 1000 @160"));
    EXPECT_FALSE(Sim(w).TimerInterval(1000).has_value());
    EXPECT_EQ(Lines("timer.kill"), (std::vector<std::string>{"main 1000"}));
}

TEST_F(SimDesktopTest, TimerCanKillOrRestartItselfFromItsHandler) {
    Recorder a(clock);
    auto w = desktop.CreateWindow(Spec("main"), a);
    int ticks = 0;
    a.on_timer = [&](int id) {
        if (++ticks == 2) w->KillTimer(id);
    };
    w->SetTimer(5, 30);
    desktop.Wait(300);
    EXPECT_THAT(a.events, ElementsAre("timer 5 @30", "timer 5 @60"));
}

TEST_F(SimDesktopTest, LateTimerFiresOnceWhenTheLoopRunsAgainNeverInABurst) {
    Recorder a(clock);
    auto w = desktop.CreateWindow(Spec("main"), a);
    w->SetTimer(1000, 700);
    w->SetTimer(2000, 50);
    // The thread is busy (an apply sleeping through its pauses) far past both due times.
    clock.Sleep(2000);
    desktop.Pump();
    EXPECT_THAT(a.events, ElementsAre("timer 2000 @2000", "timer 1000 @2000"));
    EXPECT_EQ(Sim(w).TimerDue(1000), 2700);
    EXPECT_EQ(Sim(w).TimerDue(2000), 2050);
}

TEST_F(SimDesktopTest, HandlerThatSleepsPastItsIntervalDoesNotStallTheLoop) {
    Recorder a(clock);
    auto w = desktop.CreateWindow(Spec("main"), a);
    bool slept = false;
    a.on_timer = [&](int) {
        if (!slept) {
            slept = true;
            clock.Sleep(500);  // due again 10 times over while it sleeps
        }
    };
    w->SetTimer(1, 50);
    desktop.Wait(650);
    EXPECT_THAT(a.events, ElementsAre("timer 1 @50", "timer 1 @550", "timer 1 @600", "timer 1 @650"));
}

TEST_F(SimDesktopTest, ZeroIntervalIsRaisedToTheMinimum) {
    Recorder a(clock);
    auto w = desktop.CreateWindow(Spec("main"), a);
    w->SetTimer(1, 0);
    desktop.Wait(30);
    EXPECT_THAT(a.events, ElementsAre("timer 1 @10", "timer 1 @20", "timer 1 @30"));
}

// ---------------------------------------------------------------- show, hide, paint

TEST_F(SimDesktopTest, MayShowVetoesEveryShowUntilItAllows) {
    Recorder a(clock);
    auto w = desktop.CreateWindow(Spec("main"), a);
    a.may_show = false;
    w->Show();
    w->SetVisible(true);  // the host's way goes through the same gate
    EXPECT_FALSE(w->IsVisible());
    EXPECT_EQ(Lines("window.show.vetoed"), (std::vector<std::string>{"main", "main"}));

    a.may_show = true;
    w->Show();
    EXPECT_TRUE(w->IsVisible());
    desktop.Pump();
    EXPECT_THAT(a.Only("paint"), ElementsAre("paint"));  // a newly shown window is asked for its content

    w->Minimise();
    w->Show();  // a show request brings it back
    EXPECT_FALSE(Sim(w).IsMinimised());
    EXPECT_EQ(Lines("window.show"), (std::vector<std::string>{"main"}));
    EXPECT_EQ(Lines("window.restore"), (std::vector<std::string>{"main"}));
}

TEST_F(SimDesktopTest, WindowsAreCreatedHiddenAndCentredAndKeepTheirLastFrame) {
    Recorder a(clock);
    auto w = desktop.CreateWindow(Spec("main", 640, 480), a);
    auto& sim = Sim(w);
    EXPECT_FALSE(w->IsVisible());
    EXPECT_EQ(w->GetRect(), (gfx::Rect{640, 300, 1280, 780}));

    gfx::Image frame(2, 2);
    frame.Set(1, 0, 0x80400000u);
    w->Present(frame);
    frame.Set(0, 0, 0xFFFFFFFFu);  // the desktop keeps its own copy
    EXPECT_EQ(sim.Frame().At(1, 0), 0x80400000u);
    EXPECT_EQ(sim.Frame().At(0, 0), 0u);

    w->Move({10, 20, 110, 70});
    EXPECT_EQ(Lines("window.create"), (std::vector<std::string>{"main 640x480"}));
    EXPECT_EQ(Lines("window.present"), (std::vector<std::string>{"main 2x2"}));
    EXPECT_EQ(Lines("window.move"), (std::vector<std::string>{"main 10 20 110 70"}));
}

// ---------------------------------------------------------------- modal loops

TEST_F(SimDesktopTest, NestedModalLoopsEndInnermostFirstAndBlockInputToTheOuterWindow) {
    Recorder main_events(clock), dialog_events(clock);
    auto main = desktop.CreateWindow(Spec("main"), main_events);
    auto dialog = desktop.CreateWindow(Spec("devcheck"), dialog_events);
    int dialog_result = -100;
    main_events.on_up = [&](int, int) { dialog_result = desktop.RunModal(*dialog); };
    dialog_events.on_command = [&](WindowCommand) { desktop.EndModal(*dialog, 2); };

    std::vector<std::function<void()>> input = {
        [&] { desktop.Mouse("main", SimDesktop::MouseAction::Down, 5, 5); },
        [&] { desktop.Mouse("main", SimDesktop::MouseAction::Up, 5, 5); },  // opens the dialog
        [&] { desktop.Mouse("main", SimDesktop::MouseAction::Down, 6, 6); },  // main is disabled now
        [&] { desktop.Key("devcheck", WindowCommand::Escape); },             // ends the dialog
        [&] { desktop.Key("main", WindowCommand::Enter); },                  // main takes input again
    };
    size_t next = 0;
    desktop.SetDriver([&] {
        if (next == input.size()) return false;
        input[next++]();
        return true;
    });

    EXPECT_EQ(desktop.RunModal(*main), 0);  // the input ran out: every loop unwinds with 0
    EXPECT_EQ(dialog_result, 2);
    EXPECT_FALSE(dialog->IsVisible());
    EXPECT_EQ(desktop.ModalDepth(), 0);
    EXPECT_THAT(main_events.Only("down"), ElementsAre("down 5 5"));
    EXPECT_THAT(main_events.Only("enter"), ElementsAre("enter"));
    EXPECT_EQ(Lines("input.ignored"), (std::vector<std::string>{"main down disabled"}));
    EXPECT_EQ(Lines("dialog.return"), (std::vector<std::string>{"devcheck 2", "main 0"}));
}

TEST_F(SimDesktopTest, QuitUnwindsEveryLoopWithItsCodeAfterPostedMessages) {
    Recorder main_events(clock), dialog_events(clock);
    auto main = desktop.CreateWindow(Spec("main"), main_events);
    auto dialog = desktop.CreateWindow(Spec("devcheck"), dialog_events);
    int inner = -100;
    bool started = false;
    desktop.SetDriver([&] {
        if (!started) {
            started = true;
            inner = desktop.RunModal(*dialog);
            return true;
        }
        main->PostMessage(2028, 0, 0);
        desktop.Quit(7);
        return true;
    });
    EXPECT_EQ(desktop.RunModal(*main), 7);
    EXPECT_EQ(inner, 7);
    EXPECT_THAT(main_events.Only("msg"), ElementsAre("msg 2028 0 0"));
    // Once quit, a later loop does not run at all.
    EXPECT_EQ(desktop.RunModal(*dialog), 7);
}

TEST_F(SimDesktopTest, AfterQuitTimeStillPassesButTimersNoLongerFire) {
    Recorder a(clock);
    auto w = desktop.CreateWindow(Spec("main"), a);
    w->SetTimer(1, 10);
    desktop.Quit(0);
    desktop.Wait(100);
    EXPECT_EQ(clock.Now(), 100);
    EXPECT_TRUE(a.Only("timer").empty());
}

TEST_F(SimDesktopTest, EndModalDuringAWaitReturnsInTimeAndTheRestOfTheWaitStillPasses) {
    Recorder main_events(clock), dialog_events(clock);
    auto main = desktop.CreateWindow(Spec("main"), main_events);
    auto dialog = desktop.CreateWindow(Spec("devcheck"), dialog_events);
    dialog_events.on_timer = [&](int) { desktop.EndModal(*dialog, 1); };
    dialog->SetTimer(9, 100);
    int64_t returned_at = -1;
    std::vector<int64_t> driver_calls;
    desktop.SetDriver([&] {
        driver_calls.push_back(clock.Now());
        if (driver_calls.size() == 1) {
            desktop.Wait(500);
            return true;
        }
        return false;
    });
    EXPECT_EQ(desktop.RunModal(*dialog), 1);
    returned_at = clock.Now();
    EXPECT_EQ(returned_at, 100);
    EXPECT_EQ(desktop.RunModal(*main), 0);
    EXPECT_THAT(driver_calls, ElementsAre(0, 500));
}

TEST_F(SimDesktopTest, EndModalOnAModelessWindowOnlyHidesIt) {
    Recorder a(clock);
    auto w = desktop.CreateWindow(Spec("reset"), a);
    w->Show();
    desktop.EndModal(*w, 2);
    EXPECT_FALSE(w->IsVisible());
    EXPECT_EQ(Lines("dialog.end"), (std::vector<std::string>{"reset 2"}));
}

// ---------------------------------------------------------------- input

TEST_F(SimDesktopTest, InputToMissingHiddenOrMinimisedWindowsIsLoggedAndDropped) {
    Recorder a(clock);
    auto w = desktop.CreateWindow(Spec("main"), a);
    EXPECT_FALSE(desktop.Mouse("main", SimDesktop::MouseAction::Down, 1, 1));
    EXPECT_FALSE(desktop.Key("devcheck", WindowCommand::Enter));
    w->Show();
    w->Minimise();
    EXPECT_FALSE(desktop.Mouse("main", SimDesktop::MouseAction::Move, 1, 1));
    EXPECT_TRUE(a.Only("down").empty());
    EXPECT_EQ(Lines("input.ignored"),
              (std::vector<std::string>{"main down hidden", "devcheck enter no-window", "main move minimised"}));
}

TEST_F(SimDesktopTest, PressThatStartsADragMovesTheWindowByThePointerDelta) {
    Recorder a(clock);
    auto w = desktop.CreateWindow(Spec("main", 200, 100), a);
    w->Show();
    a.on_down = [&](int, int) { w->BeginDrag(); };
    const gfx::Rect start = w->GetRect();

    desktop.Mouse("main", SimDesktop::MouseAction::Down, 5, 5);
    desktop.Mouse("main", SimDesktop::MouseAction::Move, 55, 25);
    desktop.Mouse("main", SimDesktop::MouseAction::Up, 105, 5);

    EXPECT_EQ(w->GetRect(), (gfx::Rect{start.left + 100, start.top, start.right + 100, start.bottom}));
    // The drag takes the moves and the release, as the system's move loop does.
    EXPECT_THAT(a.events, ElementsAre("down 5 5"));
    EXPECT_EQ(desktop.CursorPos(), (gfx::Point{start.left + 105, start.top + 5}));
    EXPECT_EQ(Lines("window.drag"), (std::vector<std::string>{"main"}));
    EXPECT_EQ(Lines("window.move").size(), 2u);

    // After the release, moves go to the window again.
    desktop.Mouse("main", SimDesktop::MouseAction::Move, 1, 1);
    EXPECT_THAT(a.events, ElementsAre("down 5 5", "move 1 1"));
}

TEST_F(SimDesktopTest, DragOnlyStartsWhileTheButtonIsDown) {
    Recorder a(clock);
    auto w = desktop.CreateWindow(Spec("main"), a);
    w->Show();
    w->BeginDrag();
    const gfx::Rect start = w->GetRect();
    desktop.Mouse("main", SimDesktop::MouseAction::Move, 50, 50);
    EXPECT_EQ(w->GetRect(), start);
    EXPECT_EQ(Lines("window.drag.ignored"), (std::vector<std::string>{"main"}));
}

// ---------------------------------------------------------------- tray and menu

TEST_F(SimDesktopTest, TrayEventsReachTheOwnerAndMenuCommandsComeFromTheTrackedMenu) {
    Recorder a(clock);
    auto w = desktop.CreateWindow(Spec("main"), a);
    auto tray = desktop.CreateTrayIcon();

    EXPECT_FALSE(desktop.Tray(TrayEvent::LeftDown));  // no icon yet
    ASSERT_TRUE(tray->Add(*w, 133, 2027, "岚隼 米沃"));
    EXPECT_FALSE(tray->Add(*w, 133, 2027, "again"));  // the icon exists already

    a.on_message = [&](uint32_t message, intptr_t lparam) {
        if (message == 2027 && lparam == 0x204) {
            tray->TrackPopupMenu(*w, {{32772, "设置米沃鼠标"}, {32774, "退出程序"}}, desktop.CursorPos(), 0x28);
        }
    };
    EXPECT_FALSE(desktop.ChooseMenu(32774));  // no menu is open
    EXPECT_TRUE(desktop.Tray(TrayEvent::RightDown));
    desktop.Pump();
    ASSERT_TRUE(desktop.Menu().has_value());
    EXPECT_EQ(desktop.Menu()->at, SimDesktop::kTrayPoint);
    EXPECT_FALSE(desktop.ChooseMenu(1));  // not in the menu
    EXPECT_TRUE(desktop.ChooseMenu(32774));
    EXPECT_FALSE(desktop.Menu().has_value());

    EXPECT_TRUE(tray->Delete());
    EXPECT_FALSE(tray->Delete());
    EXPECT_THAT(a.Only("m"), ElementsAre("msg 2027 133 516", "menu 32774"));
    EXPECT_EQ(Lines("tray.add"), (std::vector<std::string>{"133 岚隼 米沃"}));
    EXPECT_EQ(Lines("tray.menu"), (std::vector<std::string>{"main 1840 1060 32772,32774"}));
    EXPECT_EQ(Lines("tray.delete"), (std::vector<std::string>{"133"}));
    EXPECT_EQ(Lines("input.ignored"), (std::vector<std::string>{"tray 513 no-icon", "menu 32774 no-menu",
                                                                "menu 1 not-in-menu"}));
}

TEST_F(SimDesktopTest, TrayAddsCanBeMadeToFailAFewTimes) {
    Recorder a(clock);
    auto w = desktop.CreateWindow(Spec("main"), a);
    auto tray = desktop.CreateTrayIcon();
    desktop.FailTrayAdds(2);
    EXPECT_FALSE(tray->Add(*w, 133, 2027, "tip"));
    EXPECT_FALSE(tray->Add(*w, 133, 2027, "tip"));
    EXPECT_TRUE(tray->Add(*w, 133, 2027, "tip"));
    EXPECT_EQ(desktop.TrayIcons().size(), 1u);
}

// ---------------------------------------------------------------- single copy, message box

TEST_F(SimDesktopTest, NamedLockIsHeldOnceAndCanBeMadeToFail) {
    EXPECT_EQ(desktop.CreateNamedLock("MouseConfig"), LockResult::Acquired);
    EXPECT_EQ(desktop.CreateNamedLock("MouseConfig"), LockResult::AlreadyExists);
    EXPECT_EQ(desktop.CreateNamedLock("Other"), LockResult::Acquired);
    desktop.FailLocks(true);
    EXPECT_EQ(desktop.CreateNamedLock("Third"), LockResult::Failed);
    EXPECT_EQ(Lines("lock"), (std::vector<std::string>{"MouseConfig acquired", "MouseConfig exists",
                                                       "Other acquired", "Third failed"}));
}

TEST_F(SimDesktopTest, PostToWindowOfClassFindsHiddenWindowsByClassOnly) {
    Recorder a(clock);
    auto w = desktop.CreateWindow(Spec("main", 10, 10, "KorvexMivoConfigMain"), a);
    EXPECT_FALSE(desktop.PostToWindowOfClass("main", 2028));  // a name or title is no class
    EXPECT_TRUE(desktop.PostToWindowOfClass("KorvexMivoConfigMain", 2028));
    EXPECT_TRUE(a.events.empty());  // posted, not sent
    desktop.Pump();
    EXPECT_THAT(a.events, ElementsAre("msg 2028 0 0"));
    w.reset();
    EXPECT_FALSE(desktop.PostToWindowOfClass("KorvexMivoConfigMain", 2028));
}

TEST_F(SimDesktopTest, MessagesToADestroyedWindowAreDropped) {
    Recorder a(clock);
    auto w = desktop.CreateWindow(Spec("main"), a);
    w->PostMessage(2028, 0, 0);
    w->SetTimer(1, 10);
    w.reset();
    desktop.Wait(100);  // nothing left that could reach the dead window
    EXPECT_TRUE(a.events.empty());
    EXPECT_EQ(Lines("window.destroy"), (std::vector<std::string>{"main"}));
}

TEST_F(SimDesktopTest, MessageBoxReturnsAtOnceAndIsLogged) {
    desktop.MessageBox("CreateDispatch() failed w/error 0x800401f3", "mivo-config");
    EXPECT_EQ(Lines("msgbox"), (std::vector<std::string>{"CreateDispatch() failed w/error 0x800401f3"}));
}

}  // namespace
}  // namespace mivo::platform::sim::testing
