// X11 desktop: windows on the 32-bit TrueColor visual (premultiplied ARGB, what compositing
// managers blend), a poll() loop over the X connection, timers, posted messages and watched
// descriptors, the freedesktop system-tray protocol with XEmbed, and popups drawn by the core.
#include "platform/linux/x11_desktop.h"

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/keysym.h>
#include <fcntl.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <bit>
#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <deque>
#include <fstream>
#include <initializer_list>
#include <iterator>
#include <map>
#include <mutex>
#include <optional>
#include <thread>
#include <vector>

#include "gfx/canvas.h"
#include "gfx/text.h"
#include "platform/image_codec.h"
#include "platform/platform.h"

namespace mivo::platform::linux_backend {

namespace {

using Clock = std::chrono::steady_clock;  // CLOCK_MONOTONIC

constexpr int kDoubleClickMs = 500;
constexpr int kDoubleClickSlop = 4;
constexpr long kMoveResizeMove = 8;        // _NET_WM_MOVERESIZE_MOVE
constexpr long kTrayRequestDock = 0;       // SYSTEM_TRAY_REQUEST_DOCK
constexpr long kXEmbedMapped = 1;          // XEMBED_MAPPED
constexpr unsigned kMenuRightAlign = 0x8;  // TPM_RIGHTALIGN
constexpr unsigned kMenuBottomAlign = 0x20;  // TPM_BOTTOMALIGN

// Protocol errors (a window that went away between finding it and sending to it) are reported,
// not fatal as Xlib's default handler makes them.
int OnXError(Display* display, XErrorEvent* error) {
    Report("x11.error", std::to_string(error->error_code) + " " + std::to_string(error->request_code));
    return 0;
}

// Sends a 32-bit client message of `type` about `window` to `destination`; the XSendEvent status.
Status SendClientMessage(Display* display, ::Window destination, long mask, ::Window window, Atom type,
                         std::initializer_list<long> data) {
    XEvent event{};
    event.xclient.type = ClientMessage;
    event.xclient.window = window;
    event.xclient.message_type = type;
    event.xclient.format = 32;
    int i = 0;
    for (long value : data) event.xclient.data.l[i++] = value;
    return XSendEvent(display, destination, False, mask, &event);
}

constexpr long kToWindowManager = SubstructureRedirectMask | SubstructureNotifyMask;

std::string ToHex(unsigned long value) {
    char text[32];
    std::snprintf(text, sizeof text, "0x%lx", value);
    return text;
}

}  // namespace

// What receives the X events of one window of ours.
class EventTarget {
public:
    virtual ~EventTarget() = default;
    virtual void HandleEvent(XEvent& event) = 0;
};

class X11Window;

struct X11Desktop::Impl {
    Display* display = nullptr;
    int screen = 0;
    ::Window root = 0;
    Visual* visual = nullptr;  // the ARGB visual, else the default one
    int depth = 0;
    Colormap colormap = 0;
    bool argb = false;
    std::filesystem::path icon_folder;

    Atom wm_protocols = 0, wm_delete = 0, utf8 = 0, net_wm_name = 0, motif_hints = 0, net_moveresize = 0,
         net_active = 0, net_supported = 0, net_wm_pid = 0, net_wm_icon = 0, net_wm_type = 0,
         net_type_normal = 0, net_type_popup = 0, message_atom = 0, menu_atom = 0, tray_opcode = 0,
         tray_visual = 0, xembed_info = 0, tray_selection = 0;

    std::map<::Window, EventTarget*> targets;
    std::map<::Window, X11Window*> windows;

    struct Posted {
        ::Window window;
        Atom kind;  // message_atom or menu_atom
        uint32_t message;
        uintptr_t wparam;
        intptr_t lparam;
    };
    std::mutex posted_mutex;
    std::deque<Posted> posted;
    int wake[2] = {-1, -1};

    struct Frame {
        DesktopWindow* window;
        bool ended = false;
        int code = 0;
    };
    std::vector<Frame*> frames;
    bool quit = false;
    int quit_code = 0;

    std::map<int, std::function<void()>> watched;
    std::vector<int> locks;

    ~Impl() {
        for (int fd : locks) ::close(fd);
        if (wake[0] >= 0) ::close(wake[0]);
        if (wake[1] >= 0) ::close(wake[1]);
        if (display) {
            if (colormap) XFreeColormap(display, colormap);
            XCloseDisplay(display);
        }
    }

    bool Open(const char* name) {
        display = XOpenDisplay(name);
        if (!display) {
            const char* shown = name ? name : std::getenv("DISPLAY");
            Report("x11.open_display", shown ? shown : "(unset)");
            return false;
        }
        XSetErrorHandler(&OnXError);
        screen = DefaultScreen(display);
        root = RootWindow(display, screen);
        XVisualInfo info{};
        if (XMatchVisualInfo(display, screen, 32, TrueColor, &info)) {
            visual = info.visual;
            depth = 32;
            colormap = XCreateColormap(display, root, visual, AllocNone);
            argb = true;
        } else {
            visual = DefaultVisual(display, screen);
            depth = DefaultDepth(display, screen);
            Report("x11.no_argb_visual", std::to_string(depth));
        }
        auto atom = [this](const char* n) { return XInternAtom(display, n, False); };
        wm_protocols = atom("WM_PROTOCOLS");
        wm_delete = atom("WM_DELETE_WINDOW");
        utf8 = atom("UTF8_STRING");
        net_wm_name = atom("_NET_WM_NAME");
        motif_hints = atom("_MOTIF_WM_HINTS");
        net_moveresize = atom("_NET_WM_MOVERESIZE");
        net_active = atom("_NET_ACTIVE_WINDOW");
        net_supported = atom("_NET_SUPPORTED");
        net_wm_pid = atom("_NET_WM_PID");
        net_wm_icon = atom("_NET_WM_ICON");
        net_wm_type = atom("_NET_WM_WINDOW_TYPE");
        net_type_normal = atom("_NET_WM_WINDOW_TYPE_NORMAL");
        net_type_popup = atom("_NET_WM_WINDOW_TYPE_POPUP_MENU");
        message_atom = atom("_KORVEX_MIVO_MESSAGE");
        menu_atom = atom("_KORVEX_MIVO_MENU_COMMAND");
        tray_opcode = atom("_NET_SYSTEM_TRAY_OPCODE");
        tray_visual = atom("_NET_SYSTEM_TRAY_VISUAL");
        xembed_info = atom("_XEMBED_INFO");
        tray_selection = atom(("_NET_SYSTEM_TRAY_S" + std::to_string(screen)).c_str());
        if (::pipe2(wake, O_CLOEXEC | O_NONBLOCK) != 0) {
            Report("x11.pipe", std::to_string(errno));
            wake[0] = wake[1] = -1;
        }
        char exe[4096];
        const ssize_t n = ::readlink("/proc/self/exe", exe, sizeof exe - 1);
        if (n > 0) icon_folder = std::filesystem::path(std::string(exe, static_cast<size_t>(n))).parent_path() / "icons";
        return true;
    }

    // Whether the window manager announces support for `feature` on the root window.
    bool Supports(Atom feature) {
        Atom type = 0;
        int format = 0;
        unsigned long count = 0, after = 0;
        unsigned char* data = nullptr;
        bool found = false;
        if (XGetWindowProperty(display, root, net_supported, 0, 4096, False, XA_ATOM, &type, &format, &count,
                               &after, &data) == Success && data) {
            const Atom* atoms = reinterpret_cast<const Atom*>(data);
            found = std::find(atoms, atoms + count, feature) != atoms + count;
        }
        if (data) XFree(data);
        return found;
    }

    void Post(::Window window, Atom kind, uint32_t message, uintptr_t wparam, intptr_t lparam) {
        {
            std::lock_guard<std::mutex> lock(posted_mutex);
            posted.push_back({window, kind, message, wparam, lparam});
        }
        if (wake[1] >= 0) {
            const char byte = 1;
            [[maybe_unused]] const ssize_t n = ::write(wake[1], &byte, 1);
        }
    }

    void Forget(::Window window) {
        targets.erase(window);
        windows.erase(window);
        std::lock_guard<std::mutex> lock(posted_mutex);
        std::erase_if(posted, [window](const Posted& p) { return p.window == window; });
    }

    void PutFrame(::Window window, GC gc, const gfx::Image& frame, int window_depth) {
        // The frame's rows are 32-bit pixels 0xAARRGGBB in host order: a ZPixmap with LSB-first
        // byte order on this (little-endian) host; Xlib swaps for a server of the other order.
        XImage image{};
        image.width = frame.Width();
        image.height = frame.Height();
        image.format = ZPixmap;
        image.data = reinterpret_cast<char*>(const_cast<gfx::Pixel*>(frame.Pixels().data()));
        image.byte_order = std::endian::native == std::endian::little ? LSBFirst : MSBFirst;
        image.bitmap_unit = 32;
        image.bitmap_bit_order = image.byte_order;
        image.bitmap_pad = 32;
        image.depth = window_depth;
        image.bytes_per_line = frame.Width() * 4;
        image.bits_per_pixel = 32;
        image.red_mask = 0xFF0000;
        image.green_mask = 0x00FF00;
        image.blue_mask = 0x0000FF;
        if (!XInitImage(&image)) {
            Report("x11.image", std::to_string(frame.Width()) + "x" + std::to_string(frame.Height()));
            return;
        }
        XPutImage(display, window, gc, &image, 0, 0, 0, 0, static_cast<unsigned>(frame.Width()),
                  static_cast<unsigned>(frame.Height()));
    }

    // A picture from the icon folder: icon_<id>_<px>.png, the size nearest `px` that exists.
    gfx::Image LoadIcon(int id, int px) {
        ImageCodec* codec = Current().codec;
        if (!codec || icon_folder.empty()) return {};
        std::vector<int> sizes = {16, 32, 48};
        std::sort(sizes.begin(), sizes.end(), [px](int a, int b) { return std::abs(a - px) < std::abs(b - px); });
        for (int size : sizes) {
            std::ifstream in(icon_folder / ("icon_" + std::to_string(id) + "_" + std::to_string(size) + ".png"),
                             std::ios::binary);
            if (!in) continue;
            std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
            gfx::Image image = codec->Decode(bytes);
            if (!image.IsNull()) return image;
        }
        return {};
    }

    int TimeoutMs();
    bool FireDueTimer();
    void Turn();
    void RunUntil(const std::function<bool()>& done);
};

// ---- Windows

class X11Window final : public DesktopWindow, public EventTarget {
public:
    struct Options {
        bool override_redirect = false;
    };

    X11Window(X11Desktop::Impl& desktop, const WindowSpec& window_spec, WindowEvents& events, Options options)
        : d_(desktop), spec_(window_spec), events_(events), options_(options) {}

    ~X11Window() override {
        if (!window_) return;
        d_.Forget(window_);
        if (gc_) XFreeGC(d_.display, gc_);
        XDestroyWindow(d_.display, window_);
        XFlush(d_.display);
    }
    X11Window(const X11Window&) = delete;
    X11Window& operator=(const X11Window&) = delete;

    bool Create() {
        Display* dpy = d_.display;
        width_ = std::max(1, spec_.size.cx);
        height_ = std::max(1, spec_.size.cy);
        x_ = (DisplayWidth(dpy, d_.screen) - width_) / 2;
        y_ = (DisplayHeight(dpy, d_.screen) - height_) / 2;
        XSetWindowAttributes attributes{};
        attributes.background_pixel = 0;  // transparent on the ARGB visual, black otherwise
        attributes.border_pixel = 0;
        attributes.colormap = d_.argb ? d_.colormap : DefaultColormap(dpy, d_.screen);
        attributes.override_redirect = options_.override_redirect ? True : False;
        attributes.event_mask = ExposureMask | ButtonPressMask | ButtonReleaseMask | PointerMotionMask |
                                KeyPressMask | StructureNotifyMask;
        window_ = XCreateWindow(dpy, d_.root, x_, y_, static_cast<unsigned>(width_), static_cast<unsigned>(height_),
                                0, d_.depth, InputOutput, d_.visual,
                                CWBackPixel | CWBorderPixel | CWColormap | CWOverrideRedirect | CWEventMask,
                                &attributes);
        if (!window_) return false;
        gc_ = XCreateGC(dpy, window_, 0, nullptr);

        const std::string title = spec_.title;
        const auto* title_bytes = reinterpret_cast<const unsigned char*>(title.data());
        XChangeProperty(dpy, window_, d_.net_wm_name, d_.utf8, 8, PropModeReplace, title_bytes,
                        static_cast<int>(title.size()));
        XChangeProperty(dpy, window_, XA_WM_NAME, d_.utf8, 8, PropModeReplace, title_bytes,
                        static_cast<int>(title.size()));
        std::string res_name = spec_.name.empty() ? std::string("mivo") : spec_.name;
        std::string res_class = spec_.class_name.empty() ? std::string("KorvexMivoWindow") : spec_.class_name;
        XClassHint class_hint{res_name.data(), res_class.data()};
        XSetClassHint(dpy, window_, &class_hint);
        Atom protocols[] = {d_.wm_delete};
        XSetWMProtocols(dpy, window_, protocols, 1);
        // No frame or title bar: the skin draws the whole window.
        const long motif[5] = {2 /* decorations given */, 0, 0, 0, 0};
        XChangeProperty(dpy, window_, d_.motif_hints, d_.motif_hints, 32, PropModeReplace,
                        reinterpret_cast<const unsigned char*>(motif), 5);
        const long pid = static_cast<long>(::getpid());
        XChangeProperty(dpy, window_, d_.net_wm_pid, XA_CARDINAL, 32, PropModeReplace,
                        reinterpret_cast<const unsigned char*>(&pid), 1);
        const Atom type = options_.override_redirect ? d_.net_type_popup : d_.net_type_normal;
        XChangeProperty(dpy, window_, d_.net_wm_type, XA_ATOM, 32, PropModeReplace,
                        reinterpret_cast<const unsigned char*>(&type), 1);
        SetPositionHints();
        SetWindowIcon();
        d_.targets[window_] = this;
        d_.windows[window_] = this;
        return true;
    }

    ::Window Id() const { return window_; }
    WindowEvents& Events() { return events_; }

    gfx::Rect GetRect() override {
        int x = x_, y = y_;
        ::Window child = 0;
        XTranslateCoordinates(d_.display, window_, d_.root, 0, 0, &x, &y, &child);
        return {x, y, x + width_, y + height_};
    }
    void Move(const gfx::Rect& rect) override {
        x_ = rect.left;
        y_ = rect.top;
        width_ = std::max(1, rect.Width());
        height_ = std::max(1, rect.Height());
        SetPositionHints();
        XMoveResizeWindow(d_.display, window_, x_, y_, static_cast<unsigned>(width_), static_cast<unsigned>(height_));
    }
    void Present(const gfx::Image& frame) override {
        if (frame.IsNull()) return;
        if (frame.Width() != width_ || frame.Height() != height_) {
            width_ = frame.Width();
            height_ = frame.Height();
            XResizeWindow(d_.display, window_, static_cast<unsigned>(width_), static_cast<unsigned>(height_));
        }
        d_.PutFrame(window_, gc_, frame, d_.depth);
        XFlush(d_.display);
    }
    void Show() override {
        if (!events_.MayShow()) return;
        SetPositionHints();
        XMapRaised(d_.display, window_);
        XFlush(d_.display);
        visible_ = true;
    }
    void Hide() override {
        if (!visible_) return;
        XWithdrawWindow(d_.display, window_, d_.screen);
        XFlush(d_.display);
        visible_ = false;
    }
    void Minimise() override {
        if (!XIconifyWindow(d_.display, window_, d_.screen)) Report("x11.iconify", spec_.name);
        XFlush(d_.display);
    }
    bool IsVisible() override { return visible_; }
    void SetForeground() override {
        // Source 1: a request from an application.
        SendClientMessage(d_.display, d_.root, kToWindowManager, window_, d_.net_active,
                          {1, static_cast<long>(last_time_)});
        XRaiseWindow(d_.display, window_);
        XFlush(d_.display);
    }
    void BeginDrag() override {
        int root_x = 0, root_y = 0, x = 0, y = 0;
        unsigned mask = 0;
        ::Window root = 0, child = 0;
        XQueryPointer(d_.display, window_, &root, &child, &root_x, &root_y, &x, &y, &mask);
        if (!(mask & Button1Mask)) return;
        if (d_.Supports(d_.net_moveresize)) {
            // The window manager moves the window until the button goes up; it needs the
            // pointer, which our press grabbed implicitly.
            XUngrabPointer(d_.display, CurrentTime);
            // Source 1 (an application) moving with button 1.
            SendClientMessage(d_.display, d_.root, kToWindowManager, window_, d_.net_moveresize,
                              {root_x, root_y, kMoveResizeMove, Button1, 1});
            XFlush(d_.display);
            return;
        }
        // No window manager to ask: follow the pointer ourselves while the press lasts.
        const gfx::Rect rect = GetRect();
        dragging_ = true;
        drag_dx_ = root_x - rect.left;
        drag_dy_ = root_y - rect.top;
    }
    void SetTimer(int id, int interval_ms) override {
        const int interval = std::max(1, interval_ms);
        timers_[id] = {interval, Clock::now() + std::chrono::milliseconds(interval)};
    }
    void KillTimer(int id) override { timers_.erase(id); }
    void PostMessage(uint32_t message, uintptr_t wparam, intptr_t lparam) override {
        d_.Post(window_, d_.message_atom, message, wparam, lparam);
    }

    // Timers for the loop: the earliest due time, and firing one that is due.
    bool NextDue(Clock::time_point& due) const {
        bool any = false;
        for (const auto& [id, timer] : timers_) {
            if (!any || timer.due < due) due = timer.due;
            any = true;
        }
        return any;
    }
    bool FireDue(Clock::time_point now) {
        for (auto& [id, timer] : timers_) {
            if (timer.due > now) continue;
            // Rescheduled from now, not from when it fell due: a late timer fires once.
            timer.due = now + std::chrono::milliseconds(timer.interval);
            const int fired = id;
            events_.OnTimer(fired);
            return true;
        }
        return false;
    }

    void HandleEvent(XEvent& event) override {
        switch (event.type) {
            case ButtonPress:
                last_time_ = event.xbutton.time;
                if (event.xbutton.button != Button1) break;
                OnPress(event.xbutton);
                break;
            case ButtonRelease:
                last_time_ = event.xbutton.time;
                if (event.xbutton.button != Button1) break;
                if (dragging_) {
                    dragging_ = false;  // the move ate the release, as a system move loop does
                    break;
                }
                events_.OnLButtonUp(event.xbutton.x, event.xbutton.y);
                break;
            case MotionNotify: {
                // Only the newest position of a run of motions matters; a motion after a press
                // or release stays after it.
                XEvent next;
                while (XEventsQueued(d_.display, QueuedAlready) > 0) {
                    XPeekEvent(d_.display, &next);
                    if (next.type != MotionNotify || next.xmotion.window != window_) break;
                    XNextEvent(d_.display, &event);
                }
                last_time_ = event.xmotion.time;
                if (dragging_) {
                    if (!(event.xmotion.state & Button1Mask)) {
                        dragging_ = false;
                    } else {
                        x_ = event.xmotion.x_root - drag_dx_;
                        y_ = event.xmotion.y_root - drag_dy_;
                        XMoveWindow(d_.display, window_, x_, y_);
                        break;
                    }
                }
                events_.OnMouseMove(event.xmotion.x, event.xmotion.y);
                break;
            }
            case KeyPress: {
                last_time_ = event.xkey.time;
                const KeySym sym = XLookupKeysym(&event.xkey, 0);
                if (sym == XK_Return || sym == XK_KP_Enter) events_.OnCommand(WindowCommand::Enter);
                if (sym == XK_Escape) events_.OnCommand(WindowCommand::Escape);
                break;
            }
            case Expose:
                if (event.xexpose.count == 0) events_.OnPaint();
                break;
            case ConfigureNotify:
                width_ = event.xconfigure.width;
                height_ = event.xconfigure.height;
                break;
            case ClientMessage:
                if (event.xclient.message_type == d_.wm_protocols &&
                    static_cast<Atom>(event.xclient.data.l[0]) == d_.wm_delete) {
                    events_.OnCommand(WindowCommand::Close);
                } else if (event.xclient.message_type == d_.message_atom && event.xclient.format == 32) {
                    events_.OnMessage(static_cast<uint32_t>(event.xclient.data.l[0]),
                                      static_cast<uintptr_t>(event.xclient.data.l[1]),
                                      static_cast<intptr_t>(event.xclient.data.l[2]));
                }
                break;
            default:
                break;
        }
    }

private:
    struct Timer {
        int interval;
        Clock::time_point due;
    };

    void OnPress(const XButtonEvent& press) {
        // A second press soon after the first and close to it is a double click (when the window
        // takes them): down, up, double click, up, as the other desktop reports them.
        const bool near = std::abs(press.x - last_press_x_) <= kDoubleClickSlop &&
                          std::abs(press.y - last_press_y_) <= kDoubleClickSlop;
        const bool soon = have_press_ && press.time - last_press_time_ <= static_cast<Time>(kDoubleClickMs);
        if (spec_.double_clicks && have_press_ && soon && near) {
            have_press_ = false;  // a third press starts over
            events_.OnLButtonDblClk(press.x, press.y);
            return;
        }
        have_press_ = true;
        last_press_time_ = press.time;
        last_press_x_ = press.x;
        last_press_y_ = press.y;
        events_.OnLButtonDown(press.x, press.y);
    }

    void SetPositionHints() {
        XSizeHints hints{};
        hints.flags = USPosition | PPosition | PSize;
        hints.x = x_;
        hints.y = y_;
        hints.width = width_;
        hints.height = height_;
        XSetWMNormalHints(d_.display, window_, &hints);
    }

    // _NET_WM_ICON from icon 128 (the window icon), when the icon folder has it.
    void SetWindowIcon() {
        const gfx::Image icon = d_.LoadIcon(128, 48);
        if (icon.IsNull()) return;
        std::vector<long> data;
        data.reserve(2 + icon.Pixels().size());
        data.push_back(icon.Width());
        data.push_back(icon.Height());
        // _NET_WM_ICON is straight (not premultiplied) ARGB.
        for (gfx::Pixel p : icon.Pixels()) data.push_back(static_cast<long>(gfx::Unpremultiply(p)));
        XChangeProperty(d_.display, window_, d_.net_wm_icon, XA_CARDINAL, 32, PropModeReplace,
                        reinterpret_cast<const unsigned char*>(data.data()), static_cast<int>(data.size()));
    }

    X11Desktop::Impl& d_;
    WindowSpec spec_;
    WindowEvents& events_;
    Options options_;
    ::Window window_ = 0;
    GC gc_ = nullptr;
    int x_ = 0, y_ = 0, width_ = 1, height_ = 1;
    bool visible_ = false;
    std::map<int, Timer> timers_;
    Time last_time_ = CurrentTime;
    bool have_press_ = false;
    Time last_press_time_ = 0;
    int last_press_x_ = 0, last_press_y_ = 0;
    bool dragging_ = false;
    int drag_dx_ = 0, drag_dy_ = 0;
};

// ---- The loop

int X11Desktop::Impl::TimeoutMs() {
    Clock::time_point due{};
    bool any = false;
    for (const auto& [id, window] : windows) {
        Clock::time_point next{};
        if (window->NextDue(next) && (!any || next < due)) {
            due = next;
            any = true;
        }
    }
    if (!any) return -1;
    const auto wait = std::chrono::ceil<std::chrono::milliseconds>(due - Clock::now()).count();
    return static_cast<int>(std::clamp<long long>(wait, 0, 24 * 3600 * 1000));
}

bool X11Desktop::Impl::FireDueTimer() {
    const Clock::time_point now = Clock::now();
    // A copy of the list: a timer handler may create or destroy windows.
    std::vector<::Window> ids;
    for (const auto& [id, window] : windows) ids.push_back(id);
    for (::Window id : ids) {
        auto it = windows.find(id);
        if (it != windows.end() && it->second->FireDue(now)) return true;
    }
    return false;
}

// One step of the loop: a posted message, else an X event, else a due timer, else a wait for
// any of them (or a watched descriptor).
void X11Desktop::Impl::Turn() {
    std::optional<Posted> message;
    {
        std::lock_guard<std::mutex> lock(posted_mutex);
        if (!posted.empty()) {
            message = posted.front();
            posted.pop_front();
        }
    }
    if (message) {
        auto it = windows.find(message->window);
        if (it == windows.end()) return;
        if (message->kind == menu_atom) {
            it->second->Events().OnMenuCommand(static_cast<int>(message->message));
        } else {
            it->second->Events().OnMessage(message->message, message->wparam, message->lparam);
        }
        return;
    }
    if (XPending(display) > 0) {
        XEvent event;
        XNextEvent(display, &event);
        auto it = targets.find(event.xany.window);
        if (it != targets.end()) it->second->HandleEvent(event);
        return;
    }
    if (FireDueTimer()) return;

    // Flushes, and takes in what the server has sent: an event Xlib has already read into its
    // queue (during any round trip since the check above) would never wake the poll below.
    if (XEventsQueued(display, QueuedAfterFlush) > 0) return;
    std::vector<pollfd> fds;
    fds.push_back({ConnectionNumber(display), POLLIN, 0});
    if (wake[0] >= 0) fds.push_back({wake[0], POLLIN, 0});
    const size_t first_watched = fds.size();
    for (const auto& [fd, handler] : watched) fds.push_back({fd, POLLIN, 0});
    const int ready = ::poll(fds.data(), fds.size(), TimeoutMs());
    if (ready < 0) {
        if (errno != EINTR) {
            Report("x11.poll", std::to_string(errno));
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        return;
    }
    if (wake[0] >= 0 && (fds[1].revents & POLLIN)) {
        char buffer[64];
        while (::read(wake[0], buffer, sizeof buffer) > 0) {
        }
    }
    for (size_t i = first_watched; i < fds.size(); ++i) {
        if (!(fds[i].revents & (POLLIN | POLLHUP | POLLERR))) continue;
        auto it = watched.find(fds[i].fd);
        if (it == watched.end()) continue;
        std::function<void()> handler = it->second;  // it may stop watching itself
        handler();
    }
}

void X11Desktop::Impl::RunUntil(const std::function<bool()>& done) {
    while (!done() && !quit) Turn();
}

static X11Window* AsX11(DesktopWindow& window) { return dynamic_cast<X11Window*>(&window); }

// ---- Popup menu and message box: small windows of our own, drawn by the core's text drawing.

namespace {

constexpr char kFace[] = "Tahoma";
constexpr int kMenuTextHeight = 15;
constexpr int kMenuRowHeight = 22;
constexpr uint32_t kMenuBack = 0xFF000000u;   // as the skin's drop-down menus
constexpr uint32_t kMenuHot = 0xFF7D7D7Du;
constexpr uint32_t kMenuFrame = 0xFF7D7D7Du;
constexpr uint32_t kWhiteBgr = 0x00FFFFFFu;
constexpr uint32_t kBoxBack = 0xFF1B2027u;
constexpr uint32_t kButtonFace = 0xFF3A4250u;

class MenuEvents final : public WindowEvents {
public:
    MenuEvents(X11Desktop& desktop, const std::vector<TrayIcon::MenuItem>& items) : desktop_(desktop), items_(items) {}

    void Attach(DesktopWindow* window) { window_ = window; }
    gfx::Size Size() const {
        int width = 120;
        for (const auto& item : items_) {
            width = std::max(width, gfx::LabelTextExtent(item.text, kFace, kMenuTextHeight).cx + 32);
        }
        return {width, static_cast<int>(items_.size()) * kMenuRowHeight + 4};
    }
    void Draw() {
        if (!window_) return;
        const gfx::Size size = Size();
        gfx::Image frame(size.cx, size.cy);
        gfx::Canvas dc(frame);
        dc.FillRect(frame.Bounds(), kMenuBack);
        for (size_t i = 0; i < items_.size(); ++i) {
            const gfx::Rect row = Row(static_cast<int>(i));
            if (static_cast<int>(i) == hot_) dc.FillRect(row, kMenuHot);
            gfx::DrawLabelText(dc, items_[i].text, kMenuTextHeight, kWhiteBgr, false, true,
                               {row.left + 12, row.top, row.right - 4, row.bottom});
        }
        dc.StrokeRect({0, 0, size.cx - 1, size.cy - 1}, kMenuFrame);
        window_->Present(frame);
    }

    void OnMouseMove(int x, int y) override { SetHot(ItemAt(x, y)); }
    void OnLButtonDown(int x, int y) override {
        // A press outside the menu dismisses it; inside, the release chooses.
        if (!Inside(x, y)) End(0);
    }
    void OnLButtonUp(int x, int y) override {
        const int item = ItemAt(x, y);
        if (item >= 0) End(items_[static_cast<size_t>(item)].command);
    }
    void OnCommand(WindowCommand command) override {
        if (command == WindowCommand::Enter && hot_ >= 0) {
            End(items_[static_cast<size_t>(hot_)].command);
        } else if (command != WindowCommand::Enter) {
            End(0);
        }
    }
    void OnPaint() override { Draw(); }

private:
    gfx::Rect Row(int i) const {
        const gfx::Size size = Size();
        return {2, 2 + i * kMenuRowHeight, size.cx - 2, 2 + (i + 1) * kMenuRowHeight};
    }
    bool Inside(int x, int y) const {
        const gfx::Size size = Size();
        return x >= 0 && y >= 0 && x < size.cx && y < size.cy;
    }
    int ItemAt(int x, int y) const {
        for (size_t i = 0; i < items_.size(); ++i) {
            if (Row(static_cast<int>(i)).Contains(x, y)) return static_cast<int>(i);
        }
        return -1;
    }
    void SetHot(int item) {
        if (item == hot_) return;
        hot_ = item;
        Draw();
    }
    void End(int command) {
        if (window_) desktop_.EndModal(*window_, command);
    }

    X11Desktop& desktop_;
    const std::vector<TrayIcon::MenuItem>& items_;
    DesktopWindow* window_ = nullptr;
    int hot_ = -1;
};

class BoxEvents final : public WindowEvents {
public:
    BoxEvents(X11Desktop& desktop, const std::string& text) : desktop_(desktop), text_(text) {}

    void Attach(DesktopWindow* window) { window_ = window; }
    gfx::Size Size() const {
        const int text_width = gfx::LabelTextExtent(text_, kFace, kMenuTextHeight).cx;
        return {std::max(240, text_width + 48), 112};
    }
    gfx::Rect Button() const {
        const gfx::Size size = Size();
        return {size.cx / 2 - 40, size.cy - 40, size.cx / 2 + 40, size.cy - 14};
    }
    void Draw() {
        if (!window_) return;
        const gfx::Size size = Size();
        gfx::Image frame(size.cx, size.cy);
        gfx::Canvas dc(frame);
        dc.FillRect(frame.Bounds(), kBoxBack);
        dc.StrokeRect({0, 0, size.cx - 1, size.cy - 1}, kMenuFrame);
        gfx::DrawLabelText(dc, text_, kMenuTextHeight, kWhiteBgr, true, true, {12, 12, size.cx - 12, size.cy - 48});
        const gfx::Rect button = Button();
        dc.FillRect(button, pressed_ ? kMenuHot : kButtonFace);
        dc.StrokeRect({button.left, button.top, button.right - 1, button.bottom - 1}, kMenuFrame);
        gfx::DrawLabelText(dc, "OK", kMenuTextHeight, kWhiteBgr, true, true, button);
        window_->Present(frame);
    }

    void OnLButtonDown(int x, int y) override {
        if (!Button().Contains(x, y)) {
            if (window_) window_->BeginDrag();
            return;
        }
        pressed_ = true;
        Draw();
    }
    void OnLButtonUp(int x, int y) override {
        const bool chosen = pressed_ && Button().Contains(x, y);
        pressed_ = false;
        if (chosen) {
            Close();
        } else {
            Draw();
        }
    }
    void OnCommand(WindowCommand) override { Close(); }
    void OnPaint() override { Draw(); }

private:
    void Close() {
        if (window_) desktop_.EndModal(*window_, 1);
    }

    X11Desktop& desktop_;
    const std::string& text_;
    DesktopWindow* window_ = nullptr;
    bool pressed_ = false;
};

}  // namespace

// ---- Notification area

class X11TrayIcon final : public TrayIcon, public EventTarget {
public:
    X11TrayIcon(X11Desktop& desktop, X11Desktop::Impl& d) : desktop_(desktop), d_(d) {}
    ~X11TrayIcon() override { Destroy(); }

    bool Add(DesktopWindow& owner, int icon_id, uint32_t callback_message, const std::string& tip) override {
        X11Window* x11_owner = AsX11(owner);
        if (!x11_owner) return false;
        Display* dpy = d_.display;
        const ::Window manager = XGetSelectionOwner(dpy, d_.tray_selection);
        if (manager == None) {
            if (!reported_no_manager_) Report("x11.tray_none", std::to_string(d_.screen));
            reported_no_manager_ = true;
            return false;
        }
        Destroy();
        owner_ = x11_owner->Id();
        icon_id_ = icon_id;
        callback_ = callback_message;

        // The tray's own visual when it offers a 32-bit one (icons blend with the panel), else
        // the default visual with the icon composited over the panel colour we cannot see.
        Visual* visual = DefaultVisual(dpy, d_.screen);
        int depth = DefaultDepth(dpy, d_.screen);
        Colormap colormap = DefaultColormap(dpy, d_.screen);
        if (d_.argb && TrayVisualIsArgb(manager)) {
            visual = d_.visual;
            depth = d_.depth;
            colormap = d_.colormap;
        }
        depth_ = depth;
        XSetWindowAttributes attributes{};
        attributes.background_pixel = 0;
        attributes.border_pixel = 0;
        attributes.colormap = colormap;
        attributes.event_mask = ButtonPressMask | ExposureMask | StructureNotifyMask;
        icon_window_ = XCreateWindow(dpy, d_.root, 0, 0, static_cast<unsigned>(size_), static_cast<unsigned>(size_), 0,
                                     depth, InputOutput, visual, CWBackPixel | CWBorderPixel | CWColormap | CWEventMask,
                                     &attributes);
        if (!icon_window_) {
            Report("x11.tray_window", std::to_string(icon_id));
            return false;
        }
        gc_ = XCreateGC(dpy, icon_window_, 0, nullptr);
        const long xembed[2] = {0, kXEmbedMapped};
        XChangeProperty(dpy, icon_window_, d_.xembed_info, d_.xembed_info, 32, PropModeReplace,
                        reinterpret_cast<const unsigned char*>(xembed), 2);
        XChangeProperty(dpy, icon_window_, d_.net_wm_name, d_.utf8, 8, PropModeReplace,
                        reinterpret_cast<const unsigned char*>(tip.data()), static_cast<int>(tip.size()));
        char res_name[] = "tray", res_class[] = "KorvexMivoTray";
        XClassHint class_hint{res_name, res_class};
        XSetClassHint(dpy, icon_window_, &class_hint);
        picture_ = d_.LoadIcon(icon_id, size_);
        if (picture_.IsNull()) Report("x11.tray_icon_missing", std::to_string(icon_id));
        d_.targets[icon_window_] = this;

        SendClientMessage(dpy, manager, NoEventMask, manager, d_.tray_opcode,
                          {CurrentTime, kTrayRequestDock, static_cast<long>(icon_window_)});
        XFlush(dpy);
        return true;
    }

    bool Delete() override {
        if (!icon_window_) return false;
        Destroy();
        return true;
    }

    void TrackPopupMenu(DesktopWindow& owner, const std::vector<MenuItem>& items, gfx::Point at,
                        unsigned flags) override {
        X11Window* x11_owner = AsX11(owner);
        if (!x11_owner || items.empty()) return;
        MenuEvents events(desktop_, items);
        WindowSpec window_spec;
        window_spec.name = "menu";
        window_spec.title = "menu";
        window_spec.class_name = "KorvexMivoMenu";
        window_spec.size = events.Size();
        window_spec.double_clicks = false;
        auto menu = std::make_unique<X11Window>(d_, window_spec, events, X11Window::Options{true});
        if (!menu->Create()) {
            Report("x11.window", "menu");
            return;
        }
        events.Attach(menu.get());
        // Placed by the flags as the other desktop places it, and kept on the screen.
        const gfx::Size size = window_spec.size;
        int x = (flags & kMenuRightAlign) ? at.x - size.cx : at.x;
        int y = (flags & kMenuBottomAlign) ? at.y - size.cy : at.y;
        x = std::clamp(x, 0, std::max(0, DisplayWidth(d_.display, d_.screen) - size.cx));
        y = std::clamp(y, 0, std::max(0, DisplayHeight(d_.display, d_.screen) - size.cy));
        menu->Move({x, y, x + size.cx, y + size.cy});
        menu->Show();
        XSync(d_.display, False);
        events.Draw();
        // Every press goes to the menu until it closes, so a press elsewhere dismisses it.
        const ::Window id = menu->Id();
        const unsigned mask = ButtonPressMask | ButtonReleaseMask | PointerMotionMask;
        int grabbed = GrabNotViewable;
        for (int attempt = 0; attempt < 50 && grabbed != GrabSuccess; ++attempt) {
            grabbed = XGrabPointer(d_.display, id, False, mask, GrabModeAsync, GrabModeAsync, None, None, CurrentTime);
            if (grabbed != GrabSuccess) std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        if (grabbed != GrabSuccess) Report("x11.grab", std::to_string(grabbed));
        XGrabKeyboard(d_.display, id, False, GrabModeAsync, GrabModeAsync, CurrentTime);
        const int command = desktop_.RunModal(*menu);
        XUngrabKeyboard(d_.display, CurrentTime);
        XUngrabPointer(d_.display, CurrentTime);
        menu.reset();
        // The choice arrives later through the loop, as a posted command does.
        if (command > 0) d_.Post(x11_owner->Id(), d_.menu_atom, static_cast<uint32_t>(command), 0, 0);
    }

    void HandleEvent(XEvent& event) override {
        switch (event.type) {
            case ButtonPress:
                OnPress(event.xbutton);
                break;
            case Expose:
                if (event.xexpose.count == 0) Draw();
                break;
            case ConfigureNotify:
                if (event.xconfigure.width != size_ || event.xconfigure.height != size_) {
                    size_ = std::max(1, std::min(event.xconfigure.width, event.xconfigure.height));
                    Draw();
                }
                break;
            case DestroyNotify:
                if (event.xdestroywindow.window == icon_window_) {
                    d_.Forget(icon_window_);
                    icon_window_ = 0;
                    gc_ = nullptr;
                }
                break;
            default:
                break;
        }
    }

private:
    bool TrayVisualIsArgb(::Window manager) {
        Atom type = 0;
        int format = 0;
        unsigned long count = 0, after = 0;
        unsigned char* data = nullptr;
        bool argb = false;
        if (XGetWindowProperty(d_.display, manager, d_.tray_visual, 0, 1, False, XA_VISUALID, &type, &format, &count,
                               &after, &data) == Success && data && count == 1) {
            argb = *reinterpret_cast<const unsigned long*>(data) == XVisualIDFromVisual(d_.visual);
        }
        if (data) XFree(data);
        return argb;
    }

    void OnPress(const XButtonEvent& press) {
        TrayEvent kind;
        if (press.button == Button1) {
            const bool again = have_press_ && press.time - last_press_ <= static_cast<Time>(kDoubleClickMs);
            kind = again ? TrayEvent::LeftDoubleClick : TrayEvent::LeftDown;
            have_press_ = !again;
            last_press_ = press.time;
        } else if (press.button == Button3) {
            kind = TrayEvent::RightDown;
        } else {
            return;
        }
        d_.Post(owner_, d_.message_atom, callback_, static_cast<uintptr_t>(icon_id_), static_cast<intptr_t>(kind));
    }

    void Draw() {
        if (!icon_window_) return;
        gfx::Image frame(size_, size_);
        gfx::Canvas dc(frame);
        if (depth_ != 32) dc.FillRect(frame.Bounds(), 0xFF303030u);
        if (!picture_.IsNull()) {
            dc.DrawImage(&picture_, frame.Bounds());
        } else {
            dc.FillRect({size_ / 4, size_ / 4, size_ - size_ / 4, size_ - size_ / 4}, 0xFF1B8EE1u);
        }
        d_.PutFrame(icon_window_, gc_, frame, depth_);
        XFlush(d_.display);
    }

    void Destroy() {
        if (!icon_window_) return;
        d_.Forget(icon_window_);
        if (gc_) XFreeGC(d_.display, gc_);
        XDestroyWindow(d_.display, icon_window_);
        XFlush(d_.display);
        icon_window_ = 0;
        gc_ = nullptr;
    }

    X11Desktop& desktop_;
    X11Desktop::Impl& d_;
    ::Window owner_ = 0;
    ::Window icon_window_ = 0;
    GC gc_ = nullptr;
    int depth_ = 24;
    int size_ = 24;
    int icon_id_ = 0;
    uint32_t callback_ = 0;
    gfx::Image picture_;
    bool have_press_ = false;
    Time last_press_ = 0;
    bool reported_no_manager_ = false;
};

// ---- Desktop

X11Desktop::X11Desktop(const char* display_name) : impl_(std::make_unique<Impl>()) {
    if (!impl_->Open(display_name)) impl_->display = nullptr;
}

X11Desktop::~X11Desktop() = default;

bool X11Desktop::IsOpen() const { return impl_->display != nullptr; }
_XDisplay* X11Desktop::NativeDisplay() const { return impl_->display; }
bool X11Desktop::HasArgbVisual() const { return impl_->argb; }
void X11Desktop::SetIconFolder(std::filesystem::path folder) { impl_->icon_folder = std::move(folder); }

std::unique_ptr<DesktopWindow> X11Desktop::CreateWindow(const WindowSpec& window_spec, WindowEvents& events) {
    if (!impl_->display) {
        Report("x11.window", window_spec.name + " no-display");
        return nullptr;
    }
    auto window = std::make_unique<X11Window>(*impl_, window_spec, events, X11Window::Options{});
    if (!window->Create()) {
        Report("x11.window", window_spec.name);
        return nullptr;
    }
    return window;
}

int X11Desktop::RunModal(DesktopWindow& window) {
    Impl& d = *impl_;
    if (d.quit || !d.display) return d.quit_code;
    Impl::Frame frame{&window};
    d.frames.push_back(&frame);
    window.Show();
    d.RunUntil([&frame] { return frame.ended; });
    d.frames.pop_back();
    return frame.ended ? frame.code : d.quit_code;
}

void X11Desktop::EndModal(DesktopWindow& window, int code) {
    window.Hide();
    for (auto it = impl_->frames.rbegin(); it != impl_->frames.rend(); ++it) {
        if ((*it)->window == &window && !(*it)->ended) {
            (*it)->ended = true;
            (*it)->code = code;
            return;
        }
    }
}

void X11Desktop::Quit(int code) {
    if (impl_->quit) return;
    impl_->quit = true;
    impl_->quit_code = code;
}

gfx::Point X11Desktop::CursorPos() {
    if (!impl_->display) return {};
    int root_x = 0, root_y = 0, x = 0, y = 0;
    unsigned mask = 0;
    ::Window root = 0, child = 0;
    XQueryPointer(impl_->display, impl_->root, &root, &child, &root_x, &root_y, &x, &y, &mask);
    return {root_x, root_y};
}

std::unique_ptr<TrayIcon> X11Desktop::CreateTrayIcon() {
    if (!impl_->display) return nullptr;
    return std::make_unique<X11TrayIcon>(*this, *impl_);
}

LockResult X11Desktop::CreateNamedLock(const std::string& name) {
    const std::filesystem::path folder = LockFolder();
    if (folder.empty()) return LockResult::Failed;
    int fd = -1;
    const LockResult result = LockFile(folder, name, fd);
    if (result == LockResult::Acquired) impl_->locks.push_back(fd);
    return result;
}

bool X11Desktop::PostToWindowOfClass(const std::string& class_name, uint32_t message) {
    Display* dpy = impl_->display;
    if (!dpy) return false;
    auto has_class = [&](::Window window) {
        XClassHint hint{};
        if (!XGetClassHint(dpy, window, &hint)) return false;
        const bool match = hint.res_class && class_name == hint.res_class;
        if (hint.res_name) XFree(hint.res_name);
        if (hint.res_class) XFree(hint.res_class);
        return match;
    };
    auto children = [&](::Window parent) {
        std::vector<::Window> list;
        ::Window root = 0, up = 0, *kids = nullptr;
        unsigned count = 0;
        if (XQueryTree(dpy, parent, &root, &up, &kids, &count) && kids) {
            list.assign(kids, kids + count);
            XFree(kids);
        }
        return list;
    };
    // Top-level windows are children of the root, or one level down in a window manager's frame.
    ::Window target = 0;
    for (::Window top : children(impl_->root)) {
        if (has_class(top)) {
            target = top;
            break;
        }
        for (::Window inner : children(top)) {
            if (has_class(inner)) {
                target = inner;
                break;
            }
        }
        if (target) break;
    }
    if (!target) {
        Report("x11.post_none", class_name + " " + std::to_string(message));
        return false;
    }
    const Status sent =
        SendClientMessage(dpy, target, NoEventMask, target, impl_->message_atom, {static_cast<long>(message)});
    XSync(dpy, False);
    if (!sent) Report("x11.post", class_name + " " + ToHex(target));
    return sent != 0;
}

void X11Desktop::MessageBox(const std::string& text, const std::string& caption) {
    if (!impl_->display) {
        Report("x11.msgbox", text);
        return;
    }
    BoxEvents events(*this, text);
    WindowSpec window_spec;
    window_spec.name = "msgbox";
    window_spec.title = caption;
    window_spec.class_name = "KorvexMivoMessage";
    window_spec.size = events.Size();
    window_spec.double_clicks = false;
    auto box = CreateWindow(window_spec, events);
    if (!box) return;
    events.Attach(box.get());
    events.Draw();
    box->Show();
    box->SetForeground();
    RunModal(*box);
}

void X11Desktop::WatchFd(int fd, std::function<void()> on_readable) {
    if (on_readable) {
        impl_->watched[fd] = std::move(on_readable);
    } else {
        impl_->watched.erase(fd);
    }
}

unsigned long NativeWindow(DesktopWindow& window) {
    X11Window* x11 = AsX11(window);
    return x11 ? x11->Id() : 0;
}

// ---- Single copy

std::filesystem::path LockFolder() {
    if (const char* runtime = std::getenv("XDG_RUNTIME_DIR"); runtime && *runtime) {
        struct stat st {};
        if (::stat(runtime, &st) == 0 && S_ISDIR(st.st_mode)) return runtime;
    }
    const uid_t uid = ::getuid();
    const std::filesystem::path folder = "/tmp/mivo-" + std::to_string(uid);
    if (::mkdir(folder.c_str(), 0700) != 0 && errno != EEXIST) {
        Report("x11.lock_folder", folder.string() + " " + std::to_string(errno));
        return {};
    }
    // Someone else may have made the name first in the shared /tmp: it must be our own private
    // folder, not a link.
    struct stat st {};
    if (::lstat(folder.c_str(), &st) != 0 || !S_ISDIR(st.st_mode) || st.st_uid != uid ||
        (st.st_mode & (S_IRWXG | S_IRWXO)) != 0) {
        Report("x11.lock_folder", folder.string() + " not-private");
        return {};
    }
    return folder;
}

LockResult LockFile(const std::filesystem::path& folder, const std::string& name, int& fd) {
    // The name becomes one file name: anything but letters, digits, '-' and '_' is replaced.
    std::string file = name.empty() ? std::string("lock") : name;
    for (char& c : file) {
        const bool plain = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '-' ||
                           c == '_';
        if (!plain) c = '_';
    }
    const std::filesystem::path path = folder / (file + ".lock");
    fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
    if (fd < 0) {
        Report("x11.lock", path.string() + " " + std::to_string(errno));
        return LockResult::Failed;
    }
    if (::flock(fd, LOCK_EX | LOCK_NB) == 0) return LockResult::Acquired;
    const int error = errno;
    ::close(fd);
    fd = -1;
    if (error == EWOULDBLOCK) return LockResult::AlreadyExists;
    Report("x11.lock", path.string() + " " + std::to_string(error));
    return LockResult::Failed;
}

}  // namespace mivo::platform::linux_backend
