// X11 desktop: windows, presented pixels, input order, timers, posted messages, modal loops, the
// single-copy lock and reaching another copy's window.
#include "x11_fixture.h"

#include <X11/Xatom.h>
#include <X11/Xutil.h>
#include <X11/keysym.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <optional>
#include <thread>

#include "support/scratch_dir.h"
namespace mivo::test {
namespace {

using platform::LockResult;
using Clock = std::chrono::steady_clock;

std::string PropertyText(Display* display, ::Window window, const char* name) {
    Atom type = 0;
    int format = 0;
    unsigned long count = 0, after = 0;
    unsigned char* data = nullptr;
    std::string text;
    if (XGetWindowProperty(display, window, XInternAtom(display, name, False), 0, 1024, False, AnyPropertyType, &type,
                           &format, &count, &after, &data) == Success && data && format == 8) {
        text.assign(reinterpret_cast<char*>(data), count);
    }
    if (data) XFree(data);
    return text;
}

std::vector<long> PropertyLongs(Display* display, ::Window window, const char* name) {
    Atom type = 0;
    int format = 0;
    unsigned long count = 0, after = 0;
    unsigned char* data = nullptr;
    std::vector<long> values;
    if (XGetWindowProperty(display, window, XInternAtom(display, name, False), 0, 1024, False, AnyPropertyType, &type,
                           &format, &count, &after, &data) == Success && data && format == 32) {
        const long* longs = reinterpret_cast<const long*>(data);
        values.assign(longs, longs + count);
    }
    if (data) XFree(data);
    return values;
}

TEST_F(X11Test, WindowMapsOnTheArgbVisualWithItsClassTitleAndSize) {
    Recorder events;
    auto window = MakeWindow(events, {40, 50, 240, 170}, "MivoClassCheck");
    ASSERT_TRUE(window);
    ASSERT_TRUE(desktop_->HasArgbVisual());
    ShowAndSync(*window);
    EXPECT_TRUE(window->IsVisible());

    XWindowAttributes attributes{};
    ASSERT_TRUE(XGetWindowAttributes(display_, Xid(*window), &attributes));
    EXPECT_EQ(attributes.depth, 32);
    EXPECT_EQ(attributes.map_state, IsViewable);
    EXPECT_EQ(attributes.width, 200);
    EXPECT_EQ(attributes.height, 120);
    const gfx::Rect rect = window->GetRect();
    EXPECT_EQ(rect.left, 40);
    EXPECT_EQ(rect.top, 50);
    EXPECT_EQ(rect.Width(), 200);

    XClassHint hint{};
    ASSERT_TRUE(XGetClassHint(display_, Xid(*window), &hint));
    EXPECT_STREQ(hint.res_class, "MivoClassCheck");
    XFree(hint.res_name);
    XFree(hint.res_class);
    EXPECT_EQ(PropertyText(display_, Xid(*window), "_NET_WM_NAME"), "测试 window");
    // Decorations flag set, no decorations.
    const std::vector<long> motif = PropertyLongs(display_, Xid(*window), "_MOTIF_WM_HINTS");
    ASSERT_GE(motif.size(), 3u);
    EXPECT_EQ(motif[0] & 2, 2);
    EXPECT_EQ(motif[2], 0);
    const std::vector<long> protocols = PropertyLongs(display_, Xid(*window), "WM_PROTOCOLS");
    EXPECT_EQ(protocols, std::vector<long>{static_cast<long>(XInternAtom(display_, "WM_DELETE_WINDOW", False))});

    window->Hide();
    XSync(display_, False);
    ASSERT_TRUE(XGetWindowAttributes(display_, Xid(*window), &attributes));
    EXPECT_EQ(attributes.map_state, IsUnmapped);
    EXPECT_FALSE(window->IsVisible());
}

TEST_F(X11Test, ShowAsksMayShowFirst) {
    Recorder events;
    events.may_show = false;
    auto window = MakeWindow(events, {0, 0, 50, 50});
    ASSERT_TRUE(window);
    ShowAndSync(*window);
    XWindowAttributes attributes{};
    ASSERT_TRUE(XGetWindowAttributes(display_, Xid(*window), &attributes));
    EXPECT_EQ(attributes.map_state, IsUnmapped);
    EXPECT_FALSE(window->IsVisible());
}

TEST_F(X11Test, PresentPutsTheFramePixelsAlphaIncluded) {
    Recorder events;
    auto window = MakeWindow(events, {300, 200, 364, 248});
    ASSERT_TRUE(window);
    ShowAndSync(*window);
    // Opaque, half-clear and clear premultiplied pixels, one colour per quadrant.
    const gfx::Pixel colours[4] = {0xFF112233u, 0x80400000u, 0x00000000u, 0xC0306090u};
    gfx::Image frame(64, 48);
    for (int y = 0; y < 48; ++y) {
        for (int x = 0; x < 64; ++x) frame.Set(x, y, colours[(y >= 24) * 2 + (x >= 32)]);
    }
    window->Present(frame);
    XSync(display_, False);

    XImage* image = XGetImage(display_, Xid(*window), 0, 0, 64, 48, AllPlanes, ZPixmap);
    ASSERT_NE(image, nullptr);
    for (const auto& [x, y] : {std::pair{0, 0}, {63, 0}, {0, 47}, {63, 47}, {31, 23}, {32, 24}}) {
        EXPECT_EQ(static_cast<uint32_t>(XGetPixel(image, x, y)), colours[(y >= 24) * 2 + (x >= 32)])
            << "at " << x << "," << y;
    }
    XDestroyImage(image);

    // A frame of another size resizes the window to it.
    window->Present(gfx::Image(80, 30));
    XSync(display_, False);
    XWindowAttributes attributes{};
    ASSERT_TRUE(XGetWindowAttributes(display_, Xid(*window), &attributes));
    EXPECT_EQ(attributes.width, 80);
    EXPECT_EQ(attributes.height, 30);
}

// Two presses at (10, 20) and (10 + dx, 20 + dy), `pause_ms` apart.
struct ClickCase {
    const char* name;
    bool double_clicks;
    int dx, dy;
    int pause_ms;
    std::vector<std::string> expected;
};

TEST_F(X11Test, ClicksArriveInClientCoordinatesWithTheDoubleClickRule) {
    const ClickCase cases[] = {
        {"double click", true, 0, 0, 0, {"down 10 20", "up 10 20", "dbl 10 20", "up 10 20"}},
        {"within 4 px", true, 4, -4, 0, {"down 10 20", "up 10 20", "dbl 14 16", "up 14 16"}},
        {"too far", true, 5, 0, 0, {"down 10 20", "up 10 20", "down 15 20", "up 15 20"}},
        {"too late", true, 0, 0, 650, {"down 10 20", "up 10 20", "down 10 20", "up 10 20"}},
        {"window without double clicks", false, 0, 0, 0, {"down 10 20", "up 10 20", "down 10 20", "up 10 20"}},
    };
    int n = 0;
    for (const ClickCase& c : cases) {
        SCOPED_TRACE(c.name);
        Recorder events;
        // A new place per case, so no press of a case before is near.
        const int left = 100 + 60 * n++, top = 150;
        auto window = MakeWindow(events, {left, top, left + 50, top + 40}, "MivoClicks", c.double_clicks);
        ASSERT_TRUE(window);
        ShowAndSync(*window);
        Click(left + 10, top + 20);
        if (c.pause_ms) std::this_thread::sleep_for(std::chrono::milliseconds(c.pause_ms));
        Click(left + 10 + c.dx, top + 20 + c.dy);
        RunFor(*window, events, 150);
        EXPECT_EQ(events.lines, c.expected);
        ASSERT_FALSE(events.moves.empty());
        EXPECT_EQ(events.moves.front().x, 10);
        EXPECT_EQ(events.moves.front().y, 20);
    }
}

TEST_F(X11Test, AThirdQuickPressIsAPlainPressAgain) {
    Recorder events;
    auto window = MakeWindow(events, {500, 500, 560, 540});
    ASSERT_TRUE(window);
    ShowAndSync(*window);
    Click(510, 510, 3);
    RunFor(*window, events, 150);
    EXPECT_EQ(events.lines, (std::vector<std::string>{"down 10 10", "up 10 10", "dbl 10 10", "up 10 10",
                                                      "down 10 10", "up 10 10"}));
}

TEST_F(X11Test, KeysAndTheCloseRequestBecomeCommands) {
    Recorder events;
    auto window = MakeWindow(events, {700, 100, 780, 160});
    ASSERT_TRUE(window);
    ShowAndSync(*window);
    XTestFakeMotionEvent(display_, -1, 720, 120, CurrentTime);  // keyboard focus follows the pointer
    for (KeySym key : {XK_Return, XK_KP_Enter, XK_Escape, XK_a}) {
        const KeyCode code = XKeysymToKeycode(display_, key);
        ASSERT_NE(code, 0);
        XTestFakeKeyEvent(display_, code, True, CurrentTime);
        XTestFakeKeyEvent(display_, code, False, CurrentTime);
    }
    XEvent close{};
    close.xclient.type = ClientMessage;
    close.xclient.window = Xid(*window);
    close.xclient.message_type = XInternAtom(display_, "WM_PROTOCOLS", False);
    close.xclient.format = 32;
    close.xclient.data.l[0] = static_cast<long>(XInternAtom(display_, "WM_DELETE_WINDOW", False));
    XSendEvent(display_, Xid(*window), False, NoEventMask, &close);
    XFlush(display_);
    RunFor(*window, events, 150);
    EXPECT_EQ(events.lines, (std::vector<std::string>{"enter", "enter", "escape", "close"}));
}

TEST_F(X11Test, ExposureAsksForPaint) {
    Recorder events;
    auto window = MakeWindow(events, {0, 600, 40, 640});
    ASSERT_TRUE(window);
    RunFor(*window, events, 100);  // the modal run maps it
    EXPECT_GE(events.paints, 1);
}

TEST_F(X11Test, ALateTimerFiresOnceAndTimersRestartAndStop) {
    Recorder events;
    auto window = MakeWindow(events, {0, 0, 10, 10});
    ASSERT_TRUE(window);
    std::vector<Clock::time_point> ticks;
    events.on_timer[1] = [&] {
        ticks.push_back(Clock::now());
        // The first tick keeps the loop busy for ten intervals.
        if (ticks.size() == 1) std::this_thread::sleep_for(std::chrono::milliseconds(200));
    };
    int fired = 0;
    Clock::time_point restart_set, restart_fired;
    events.on_timer[2] = [&] {
        ++fired;
        restart_fired = Clock::now();
        window->KillTimer(2);
    };
    events.on_timer[3] = [&] {
        // Restarting timer 2 before it falls due pushes it back by a whole interval.
        restart_set = Clock::now();
        window->SetTimer(2, 150);
        window->KillTimer(3);
    };
    const Clock::time_point start = Clock::now();
    window->SetTimer(1, 20);
    window->SetTimer(2, 350);
    window->SetTimer(3, 300);
    RunFor(*window, events, 520);

    ASSERT_GE(ticks.size(), 4u);
    EXPECT_GE(ticks[0] - start, std::chrono::milliseconds(19));
    for (size_t i = 1; i < ticks.size(); ++i) {
        // Never two ticks closer than the interval: no burst after the busy pause.
        EXPECT_GE(ticks[i] - ticks[i - 1], std::chrono::milliseconds(19)) << "tick " << i;
    }
    EXPECT_EQ(fired, 1);
    EXPECT_GE(restart_set - start, std::chrono::milliseconds(299));
    EXPECT_GE(restart_fired - restart_set, std::chrono::milliseconds(149));
}

TEST_F(X11Test, PostedMessagesArriveInOrderAndDieWithTheirWindow) {
    Recorder events, gone_events;
    auto window = MakeWindow(events, {0, 0, 10, 10});
    auto gone = MakeWindow(gone_events, {0, 0, 10, 10});
    ASSERT_TRUE(window && gone);
    window->PostMessage(0x401, 7, -3);
    gone->PostMessage(0x402, 0, 0);
    window->PostMessage(2028, 0, 0);
    gone.reset();
    // Posted from another thread as well: the loop wakes for it.
    std::thread poster([&] {
        std::this_thread::sleep_for(std::chrono::milliseconds(30));
        window->PostMessage(2027, 133, 0x203);
    });
    RunFor(*window, events, 150);
    poster.join();
    EXPECT_EQ(events.lines, (std::vector<std::string>{"msg 1025 7 -3", "msg 2028 0 0", "msg 2027 133 515"}));
    EXPECT_TRUE(gone_events.lines.empty());
}

TEST_F(X11Test, EndModalEndsOnlyItsOwnLoop) {
    Recorder outer_events, inner_events;
    auto outer = MakeWindow(outer_events, {0, 0, 20, 20});
    auto inner = MakeWindow(inner_events, {30, 0, 50, 20});
    ASSERT_TRUE(outer && inner);
    int inner_code = 0;
    outer_events.on_timer[1] = [&] {
        outer->KillTimer(1);
        inner_code = desktop_->RunModal(*inner);
        desktop_->EndModal(*outer, 7);
    };
    inner_events.on_timer[1] = [&] {
        inner->KillTimer(1);
        desktop_->EndModal(*inner, 5);
    };
    outer->SetTimer(1, 10);
    inner->SetTimer(1, 30);
    EXPECT_EQ(desktop_->RunModal(*outer), 7);
    EXPECT_EQ(inner_code, 5);
    EXPECT_FALSE(outer->IsVisible());  // ending a loop hides its window
    EXPECT_FALSE(inner->IsVisible());
}

TEST_F(X11Test, QuitEndsEveryLoopWithItsCode) {
    Recorder outer_events, inner_events;
    auto outer = MakeWindow(outer_events, {0, 0, 20, 20});
    auto inner = MakeWindow(inner_events, {30, 0, 50, 20});
    ASSERT_TRUE(outer && inner);
    int inner_code = -1;
    bool outer_ran_on = false;
    outer_events.on_timer[1] = [&] {
        outer->KillTimer(1);
        inner_code = desktop_->RunModal(*inner);
        outer_ran_on = true;
    };
    inner_events.on_timer[1] = [&] { desktop_->Quit(3); };
    outer->SetTimer(1, 10);
    inner->SetTimer(1, 30);
    EXPECT_EQ(desktop_->RunModal(*outer), 3);
    EXPECT_EQ(inner_code, 3);
    EXPECT_TRUE(outer_ran_on);
    // Once quit, a new loop ends at once.
    EXPECT_EQ(desktop_->RunModal(*inner), 3);
}

TEST_F(X11Test, WatchedDescriptorsAreServedByTheLoop) {
    Recorder events;
    auto window = MakeWindow(events, {0, 0, 10, 10});
    ASSERT_TRUE(window);
    int fds[2];
    ASSERT_EQ(::pipe(fds), 0);
    std::string got;
    desktop_->WatchFd(fds[0], [&] {
        char buffer[16];
        const ssize_t n = ::read(fds[0], buffer, sizeof buffer);
        if (n > 0) got.append(buffer, static_cast<size_t>(n));
        desktop_->WatchFd(fds[0], nullptr);  // stops watching from inside its own handler
    });
    ASSERT_EQ(::write(fds[1], "hot", 3), 3);
    RunFor(*window, events, 100);
    EXPECT_EQ(got, "hot");
    ::close(fds[0]);
    ::close(fds[1]);
}

TEST_F(X11Test, PostToWindowOfClassReachesTheWindowOfAnotherConnection) {
    Recorder events;
    // Hidden, as the first copy's window is in a silent start.
    auto window = MakeWindow(events, {0, 0, 10, 10}, "MivoFirstCopy");
    ASSERT_TRUE(window);
    XSync(display_, False);
    X11Desktop second;
    ASSERT_TRUE(second.IsOpen());
    EXPECT_TRUE(second.PostToWindowOfClass("MivoFirstCopy", 2028));
    EXPECT_FALSE(second.PostToWindowOfClass("MivoNoSuchClass", 2028));
    events.may_show = false;  // keeps it hidden while the loop runs
    RunFor(*window, events, 100);
    EXPECT_EQ(events.lines, std::vector<std::string>{"msg 2028 0 0"});
}

class LockTest : public ::testing::Test {
protected:
    void SetUp() override {
        const char* old = std::getenv("XDG_RUNTIME_DIR");
        saved_ = old ? std::optional<std::string>(old) : std::nullopt;
        ::setenv("XDG_RUNTIME_DIR", scratch_.path().c_str(), 1);
    }
    void TearDown() override {
        if (saved_) {
            ::setenv("XDG_RUNTIME_DIR", saved_->c_str(), 1);
        } else {
            ::unsetenv("XDG_RUNTIME_DIR");
        }
    }
    ScratchDir scratch_;
    std::optional<std::string> saved_;
};

TEST_F(LockTest, TheSecondLockOfANameFailsUntilTheFirstHolderGoes) {
    {
        X11Desktop first;
        EXPECT_EQ(first.CreateNamedLock("MouseConfig"), LockResult::Acquired);
        // The same process again, and another process.
        EXPECT_EQ(first.CreateNamedLock("MouseConfig"), LockResult::AlreadyExists);
        EXPECT_EQ(first.CreateNamedLock("OtherName"), LockResult::Acquired);
        const pid_t child = ::fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            int fd = -1;
            const LockResult result = platform::linux_backend::LockFile(scratch_.path(), "MouseConfig", fd);
            ::_exit(result == LockResult::AlreadyExists ? 0 : 1);
        }
        int status = 0;
        ASSERT_EQ(::waitpid(child, &status, 0), child);
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "the child got the lock";
    }
    X11Desktop later;
    EXPECT_EQ(later.CreateNamedLock("MouseConfig"), LockResult::Acquired);
    EXPECT_TRUE(std::filesystem::exists(scratch_.path() / "MouseConfig.lock"));
}

TEST_F(LockTest, ANameCannotLeaveTheLockFolder) {
    int fd = -1;
    EXPECT_EQ(platform::linux_backend::LockFile(scratch_.path(), "../up/../name", fd), LockResult::Acquired);
    ::close(fd);
    EXPECT_TRUE(std::filesystem::exists(scratch_.path() / "___up____name.lock"));
}

TEST_F(LockTest, WithoutARuntimeFolderTheLockFolderIsPrivateToTheUser) {
    ::unsetenv("XDG_RUNTIME_DIR");
    const std::filesystem::path folder = platform::linux_backend::LockFolder();
    ASSERT_FALSE(folder.empty());
    EXPECT_EQ(folder, "/tmp/mivo-" + std::to_string(::getuid()));
    struct stat st {};
    ASSERT_EQ(::lstat(folder.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0700u);
    EXPECT_EQ(st.st_uid, ::getuid());
}

TEST_F(LockTest, AFolderThatOthersCanReachIsRefused) {
    // Stands for /tmp/mivo-<uid> made open by someone else: not private, so no lock folder.
    ::unsetenv("XDG_RUNTIME_DIR");
    const std::filesystem::path mine = platform::linux_backend::LockFolder();
    ASSERT_FALSE(mine.empty());
    ASSERT_EQ(::chmod(mine.c_str(), 0777), 0);
    EXPECT_TRUE(platform::linux_backend::LockFolder().empty());
    ASSERT_EQ(::chmod(mine.c_str(), 0700), 0);
    EXPECT_EQ(platform::linux_backend::LockFolder(), mine);
}

}  // namespace
}  // namespace mivo::test
