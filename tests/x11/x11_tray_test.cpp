// X11 notification area, popup menu and message box, with a tray manager played by the test.
#include "x11_fixture.h"

#include <X11/Xatom.h>
#include <X11/Xutil.h>
#include <X11/keysym.h>

#include <thread>

namespace mivo::test {
namespace {

constexpr uint32_t kCallback = 2027;

// The first top-level window of `class_name`, or 0.
::Window FindByClass(Display* display, const char* class_name) {
    ::Window root = 0, parent = 0, *children = nullptr;
    unsigned count = 0;
    ::Window found = 0;
    if (!XQueryTree(display, DefaultRootWindow(display), &root, &parent, &children, &count)) return 0;
    for (unsigned i = 0; i < count && !found; ++i) {
        XClassHint hint{};
        if (!XGetClassHint(display, children[i], &hint)) continue;
        XWindowAttributes attributes{};
        if (std::string(hint.res_class) == class_name && XGetWindowAttributes(display, children[i], &attributes) &&
            attributes.map_state == IsViewable) {
            found = children[i];
        }
        XFree(hint.res_name);
        XFree(hint.res_class);
    }
    if (children) XFree(children);
    return found;
}

// A click at a screen point through `display` (not the desktop's own connection, which the loop uses).
void ClickAt(Display* display, int x, int y) {
    XTestFakeMotionEvent(display, -1, x, y, CurrentTime);
    XTestFakeButtonEvent(display, 1, True, CurrentTime);
    XTestFakeButtonEvent(display, 1, False, CurrentTime);
    XFlush(display);
}

// A tray manager on its own connection: owns the selection and takes dock requests.
class FakeTray {
public:
    FakeTray() : display_(XOpenDisplay(nullptr)) {
        if (!display_) return;
        window_ = XCreateSimpleWindow(display_, DefaultRootWindow(display_), 0, 0, 1, 1, 0, 0, 0);
        const Atom selection = XInternAtom(display_, "_NET_SYSTEM_TRAY_S0", False);
        XSetSelectionOwner(display_, selection, window_, CurrentTime);
        XSync(display_, False);
    }
    ~FakeTray() {
        if (display_) XCloseDisplay(display_);
    }
    bool ok() const { return display_ != nullptr; }
    Display* display() const { return display_; }

    // The icon window of the next dock request, 0 when none arrives in time.
    ::Window WaitForDock() {
        const Atom opcode = XInternAtom(display_, "_NET_SYSTEM_TRAY_OPCODE", False);
        for (int i = 0; i < 100; ++i) {
            while (XPending(display_)) {
                XEvent event;
                XNextEvent(display_, &event);
                if (event.type == ClientMessage && event.xclient.message_type == opcode &&
                    event.xclient.data.l[1] == 0) {
                    return static_cast<::Window>(event.xclient.data.l[2]);
                }
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        return 0;
    }

    // A press of `button` on the icon, as the server would deliver it to the embedded window.
    void Press(::Window icon, unsigned button, Time time) {
        XEvent event{};
        event.xbutton.type = ButtonPress;
        event.xbutton.window = icon;
        event.xbutton.root = DefaultRootWindow(display_);
        event.xbutton.button = button;
        event.xbutton.time = time;
        event.xbutton.same_screen = True;
        XSendEvent(display_, icon, False, ButtonPressMask, &event);
        XFlush(display_);
    }

private:
    Display* display_;
    ::Window window_ = 0;
};

TEST_F(X11Test, TrayAddFailsWithoutATrayManager) {
    Recorder events;
    auto window = MakeWindow(events, {0, 0, 10, 10});
    auto tray = desktop_->CreateTrayIcon();
    ASSERT_TRUE(window && tray);
    EXPECT_FALSE(tray->Add(*window, 133, kCallback, "tip"));
    EXPECT_FALSE(tray->Delete());
}

TEST_F(X11Test, TrayIconDocksWithXEmbedAndReportsClicksToItsOwner) {
    FakeTray manager;
    ASSERT_TRUE(manager.ok());
    Recorder events;
    auto window = MakeWindow(events, {0, 0, 10, 10});
    auto tray = desktop_->CreateTrayIcon();
    ASSERT_TRUE(window && tray);
    ASSERT_TRUE(tray->Add(*window, 133, kCallback, "岚隼 米沃"));
    const ::Window icon = manager.WaitForDock();
    ASSERT_NE(icon, 0u);

    Atom type = 0;
    int format = 0;
    unsigned long count = 0, after = 0;
    unsigned char* data = nullptr;
    Display* tray_display = manager.display();
    ASSERT_EQ(XGetWindowProperty(tray_display, icon, XInternAtom(tray_display, "_XEMBED_INFO", False), 0, 2, False,
                                 AnyPropertyType, &type, &format, &count, &after, &data), Success);
    ASSERT_TRUE(data);
    ASSERT_EQ(count, 2u);
    EXPECT_EQ(reinterpret_cast<long*>(data)[1] & 1, 1);  // mapped
    XFree(data);

    // Left, left again at once (a double click), then right; a later left is a plain press.
    manager.Press(icon, Button1, 1000);
    manager.Press(icon, Button1, 1200);
    manager.Press(icon, Button3, 1300);
    manager.Press(icon, Button1, 3000);
    RunFor(*window, events, 150);
    EXPECT_EQ(events.lines, (std::vector<std::string>{"msg 2027 133 513", "msg 2027 133 515", "msg 2027 133 516",
                                                      "msg 2027 133 513"}));

    EXPECT_TRUE(tray->Delete());
    XSync(display_, False);
    XWindowAttributes attributes{};
    EXPECT_FALSE(XGetWindowAttributes(tray_display, icon, &attributes));  // the icon window is gone
}

// The first viewable window of `class_name` as another connection sees it, waiting up to 10 s.
::Window WaitForClass(Display* display, const char* class_name, XWindowAttributes& at) {
    for (int i = 0; i < 1000; ++i) {
        if (::Window found = FindByClass(display, class_name)) {
            XGetWindowAttributes(display, found, &at);
            return found;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return 0;
}

class PopupTest : public X11Test {
protected:
    // The popup menu of three items, run from a timer of its owner; `act` plays the user on
    // another connection once the menu is on the screen.
    std::vector<std::string> RunMenu(std::function<void(Display* user, ::Window menu, XWindowAttributes at)> act) {
        Recorder events;
        platform::WindowSpec window_spec;
        window_spec.name = "owner";
        window_spec.class_name = "MivoMenuOwner";
        window_spec.size = {20, 20};
        auto owner = desktop_->CreateWindow(window_spec, events);
        auto tray = desktop_->CreateTrayIcon();
        if (!owner || !tray) return {"no window"};
        std::thread driver([&] {
            Display* user = XOpenDisplay(nullptr);
            if (!user) return;
            XWindowAttributes attributes{};
            const ::Window menu = WaitForClass(user, "KorvexMivoMenu", attributes);
            act(user, menu, attributes);
            XFlush(user);
            XCloseDisplay(user);
        });
        events.on_timer[1] = [&] {
            owner->KillTimer(1);
            tray->TrackPopupMenu(*owner, {{32772, "设置米沃鼠标"}, {32774, "退出程序"}, {5, "third"}}, {600, 500}, 0x28);
            events.lines.push_back("returned");
            owner->SetTimer(2, 50);
        };
        events.on_timer[2] = [&] { desktop_->EndModal(*owner, 0); };
        owner->SetTimer(1, 10);
        Guard(*owner, events, 15000);
        desktop_->RunModal(*owner);
        driver.join();
        return events.lines;
    }
};

TEST_F(PopupTest, PopupMenuChoiceArrivesAsAMenuCommand) {
    auto lines = RunMenu([](Display* user, ::Window menu, XWindowAttributes at) {
        ASSERT_NE(menu, 0u);
        // Right- and bottom-aligned on the point.
        EXPECT_EQ(at.x + at.width, 600);
        EXPECT_EQ(at.y + at.height, 500);
        // The second row (2 + 22 .. 2 + 44).
        ClickAt(user, at.x + 30, at.y + 35);
    });
    EXPECT_EQ(lines, (std::vector<std::string>{"returned", "menu 32774"}));
}

TEST_F(PopupTest, PopupMenuIsDismissedByAPressOutsideOrEscape) {
    auto outside = RunMenu([](Display* user, ::Window menu, XWindowAttributes at) {
        ASSERT_NE(menu, 0u);
        ClickAt(user, at.x + at.width + 50, at.y + at.height + 50);
    });
    EXPECT_EQ(outside, std::vector<std::string>{"returned"});

    auto escape = RunMenu([](Display* user, ::Window menu, XWindowAttributes) {
        ASSERT_NE(menu, 0u);
        const KeyCode code = XKeysymToKeycode(user, XK_Escape);
        XTestFakeKeyEvent(user, code, True, CurrentTime);
        XTestFakeKeyEvent(user, code, False, CurrentTime);
        XFlush(user);
    });
    EXPECT_EQ(escape, std::vector<std::string>{"returned"});
}

TEST_F(X11Test, MessageBoxReturnsWhenItsOkButtonIsClicked) {
    Recorder guard_events;
    auto guard = MakeWindow(guard_events, {0, 0, 10, 10});
    ASSERT_TRUE(guard);
    Guard(*guard, guard_events, 15000);
    int clicks = 0;
    std::thread user([&] {
        Display* display = XOpenDisplay(nullptr);
        if (!display) return;
        XWindowAttributes at{};
        // The OK button is centred 27 px above the bottom edge; clicked again should a click
        // reach the box before it takes input.
        for (::Window box = WaitForClass(display, "KorvexMivoMessage", at); box && clicks < 20;
             box = FindByClass(display, "KorvexMivoMessage")) {
            if (clicks) std::this_thread::sleep_for(std::chrono::milliseconds(200));
            ClickAt(display, at.x + at.width / 2, at.y + at.height - 27);
            ++clicks;
        }
        XCloseDisplay(display);
    });
    desktop_->MessageBox("CreateDispatch() failed w/error 0x80070002", "mivo-config");
    user.join();
    EXPECT_TRUE(guard_events.lines.empty()) << "the box did not close";
    EXPECT_GE(clicks, 1);
    EXPECT_EQ(FindByClass(display_, "KorvexMivoMessage"), 0u);
}

}  // namespace
}  // namespace mivo::test
