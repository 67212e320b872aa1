// Windows desktop: one window class per WindowSpec::class_name (so another process can find the
// window), WS_POPUP with WS_EX_LAYERED, frames copied into a top-down 32-bit DIB section and
// shown with UpdateLayeredWindow (per-pixel alpha, premultiplied as our images are).
#include "platform/win32/win32_desktop.h"

#include <windows.h>
#include <windowsx.h>
#include <shellapi.h>
// Our interface has members of these names; the W functions are called by their own names.
#undef CreateWindow
#undef PostMessage
#undef MessageBox

#include <algorithm>
#include <cstring>

#include "platform/platform.h"
#include "platform/win32/win32_hid.h"
#include "platform/win32/win32_text.h"

namespace mivo::platform::win32 {

namespace {

constexpr UINT_PTR kDragCommand = 0xF012;  // SC_MOVE | HTCAPTION: move as a press on a caption does

class Win32Window final : public DesktopWindow {
public:
    Win32Window(const WindowSpec& window_spec, WindowEvents& events) : spec_(window_spec), events_(events) {}
    ~Win32Window() override {
        if (notify_) UnregisterDeviceNotification(notify_);
        if (hwnd_) {
            SetWindowLongPtrW(hwnd_, GWLP_USERDATA, 0);
            DestroyWindow(hwnd_);
        }
        if (dib_) DeleteObject(dib_);
        if (mem_dc_) DeleteDC(mem_dc_);
    }
    Win32Window(const Win32Window&) = delete;
    Win32Window& operator=(const Win32Window&) = delete;

    bool Create() {
        const std::wstring cls = Widen(spec_.class_name.empty() ? std::string("KorvexMivoWindow") : spec_.class_name);
        HINSTANCE instance = GetModuleHandleW(nullptr);
        WNDCLASSEXW wc{};
        wc.cbSize = sizeof wc;
        if (!GetClassInfoExW(instance, cls.c_str(), &wc)) {
            wc = {};
            wc.cbSize = sizeof wc;
            wc.style = spec_.double_clicks ? CS_DBLCLKS : 0;
            wc.lpfnWndProc = &Win32Window::Proc;
            wc.hInstance = instance;
            wc.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
            wc.hIcon = LoadIconW(instance, MAKEINTRESOURCEW(128));
            wc.lpszClassName = cls.c_str();
            if (!RegisterClassExW(&wc)) return false;
        }
        const int w = std::max(1, spec_.size.cx), h = std::max(1, spec_.size.cy);
        const int x = (GetSystemMetrics(SM_CXSCREEN) - w) / 2, y = (GetSystemMetrics(SM_CYSCREEN) - h) / 2;
        hwnd_ = CreateWindowExW(WS_EX_LAYERED, cls.c_str(), Widen(spec_.title).c_str(), WS_POPUP | WS_SYSMENU |
                                WS_MINIMIZEBOX, x, y, w, h, nullptr, nullptr, instance, this);
        if (!hwnd_) return false;
        if (spec_.wants_device_broadcasts) {
            notify_ = static_cast<HDEVNOTIFY>(RegisterHidBroadcasts(hwnd_));
            if (!notify_) Report("desktop.broadcasts_failed", std::to_string(GetLastError()));
        }
        return true;
    }

    HWND Handle() const { return hwnd_; }

    gfx::Rect GetRect() override {
        RECT r{};
        GetWindowRect(hwnd_, &r);
        return {r.left, r.top, r.right, r.bottom};
    }
    void Move(const gfx::Rect& rect) override {
        SetWindowPos(hwnd_, nullptr, rect.left, rect.top, rect.Width(), rect.Height(), SWP_NOZORDER | SWP_NOACTIVATE);
    }
    void Present(const gfx::Image& frame) override {
        if (frame.IsNull()) return;
        const int w = frame.Width(), h = frame.Height();
        if (!EnsureSurface(w, h)) return;
        std::memcpy(bits_, frame.Pixels().data(), static_cast<size_t>(w) * h * 4);
        RECT r{};
        GetWindowRect(hwnd_, &r);
        POINT at{r.left, r.top}, origin{0, 0};
        SIZE size{w, h};
        BLENDFUNCTION blend{AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
        HDC screen = GetDC(nullptr);
        if (!UpdateLayeredWindow(hwnd_, screen, &at, &size, mem_dc_, &origin, 0, &blend, ULW_ALPHA)) {
            Report("window.present_failed", spec_.name + " " + std::to_string(GetLastError()));
        }
        ReleaseDC(nullptr, screen);
    }
    void Show() override {
        // MayShow also guards the other ways of showing (WM_WINDOWPOSCHANGING below).
        if (!events_.MayShow()) return;
        ShowWindow(hwnd_, SW_SHOW);
    }
    void Hide() override { ShowWindow(hwnd_, SW_HIDE); }
    void Minimise() override { SendMessageW(hwnd_, WM_SYSCOMMAND, SC_MINIMIZE, 0); }
    bool IsVisible() override { return IsWindowVisible(hwnd_) != FALSE; }
    void SetForeground() override { SetForegroundWindow(hwnd_); }
    void BeginDrag() override {
        // The system's move loop runs until the button is released.
        ReleaseCapture();
        SendMessageW(hwnd_, WM_SYSCOMMAND, kDragCommand, 0);
    }
    void SetTimer(int id, int interval_ms) override {
        ::SetTimer(hwnd_, static_cast<UINT_PTR>(id), static_cast<UINT>(std::max(0, interval_ms)), nullptr);
    }
    void KillTimer(int id) override { ::KillTimer(hwnd_, static_cast<UINT_PTR>(id)); }
    void PostMessage(uint32_t message, uintptr_t wparam, intptr_t lparam) override {
        PostMessageW(hwnd_, message, wparam, lparam);
    }

private:
    bool EnsureSurface(int w, int h) {
        if (dib_ && w == dib_w_ && h == dib_h_) return true;
        if (!mem_dc_) mem_dc_ = CreateCompatibleDC(nullptr);
        if (!mem_dc_) return false;
        if (dib_) {
            SelectObject(mem_dc_, old_bitmap_);
            DeleteObject(dib_);
            dib_ = nullptr;
        }
        BITMAPINFO info{};
        info.bmiHeader.biSize = sizeof info.bmiHeader;
        info.bmiHeader.biWidth = w;
        info.bmiHeader.biHeight = -h;  // top-down, as our rows are
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 32;
        info.bmiHeader.biCompression = BI_RGB;
        void* bits = nullptr;
        dib_ = CreateDIBSection(mem_dc_, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
        if (!dib_) return false;
        bits_ = bits;
        dib_w_ = w;
        dib_h_ = h;
        old_bitmap_ = SelectObject(mem_dc_, dib_);
        return true;
    }

    LRESULT Handle(UINT msg, WPARAM wparam, LPARAM lparam) {
        const int x = GET_X_LPARAM(lparam), y = GET_Y_LPARAM(lparam);
        switch (msg) {
            case WM_LBUTTONDOWN:
                events_.OnLButtonDown(x, y);
                break;
            case WM_MOUSEMOVE:
                events_.OnMouseMove(x, y);
                break;
            case WM_LBUTTONUP:
                events_.OnLButtonUp(x, y);
                break;
            case WM_LBUTTONDBLCLK:
                events_.OnLButtonDblClk(x, y);
                break;
            case WM_TIMER:
                events_.OnTimer(static_cast<int>(wparam));
                return 0;
            case WM_WINDOWPOSCHANGING:
                if (!events_.MayShow()) reinterpret_cast<WINDOWPOS*>(lparam)->flags &= ~SWP_SHOWWINDOW;
                break;
            case WM_DEVICECHANGE:
                events_.OnDeviceChange(DecodeDeviceBroadcast(wparam, lparam));
                return TRUE;
            case WM_COMMAND:
                // Menu commands (notification codes 0); accelerators and controls do not exist here.
                if (HIWORD(wparam) == 0) events_.OnMenuCommand(LOWORD(wparam));
                return 0;
            case WM_KEYDOWN:
                if (wparam == VK_RETURN) events_.OnCommand(WindowCommand::Enter);
                if (wparam == VK_ESCAPE) events_.OnCommand(WindowCommand::Escape);
                return 0;
            case WM_CLOSE:
                // The owner decides; the window is never destroyed by the close command.
                events_.OnCommand(WindowCommand::Close);
                return 0;
            case WM_PAINT: {
                PAINTSTRUCT ps;
                BeginPaint(hwnd_, &ps);
                EndPaint(hwnd_, &ps);
                events_.OnPaint();
                return 0;
            }
            default:
                if (msg >= WM_USER && msg < 0xC000) {
                    events_.OnMessage(msg, wparam, lparam);
                    return 0;
                }
                break;
        }
        return DefWindowProcW(hwnd_, msg, wparam, lparam);
    }

    static LRESULT CALLBACK Proc(HWND hwnd, UINT msg, WPARAM wparam, LPARAM lparam) {
        if (msg == WM_NCCREATE) {
            auto* self = static_cast<Win32Window*>(reinterpret_cast<CREATESTRUCTW*>(lparam)->lpCreateParams);
            self->hwnd_ = hwnd;
            SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
        }
        auto* self = reinterpret_cast<Win32Window*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
        if (!self) return DefWindowProcW(hwnd, msg, wparam, lparam);
        return self->Handle(msg, wparam, lparam);
    }

    WindowSpec spec_;
    WindowEvents& events_;
    HWND hwnd_ = nullptr;
    HDEVNOTIFY notify_ = nullptr;
    HDC mem_dc_ = nullptr;
    HBITMAP dib_ = nullptr;
    HGDIOBJ old_bitmap_ = nullptr;
    void* bits_ = nullptr;
    int dib_w_ = 0, dib_h_ = 0;
};

HWND HandleOf(DesktopWindow& window) {
    auto* w = dynamic_cast<Win32Window*>(&window);
    return w ? w->Handle() : nullptr;
}

class Win32TrayIcon final : public TrayIcon {
public:
    ~Win32TrayIcon() override = default;

    bool Add(DesktopWindow& owner, int icon_id, uint32_t callback_message, const std::string& tip) override {
        HWND hwnd = HandleOf(owner);
        if (!hwnd) return false;
        data_ = {};
        data_.cbSize = sizeof data_;
        data_.hWnd = hwnd;
        data_.uID = static_cast<UINT>(icon_id);
        data_.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
        data_.uCallbackMessage = callback_message;
        data_.hIcon = LoadIconW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(icon_id));
        if (!data_.hIcon) {
            Report("tray.icon_missing", std::to_string(icon_id));
            data_.hIcon = LoadIconW(nullptr, reinterpret_cast<LPCWSTR>(IDI_APPLICATION));
        }
        const std::wstring wide = Widen(tip);
        const size_t n = std::min(wide.size(), std::size(data_.szTip) - 1);
        std::wmemcpy(data_.szTip, wide.data(), n);
        data_.szTip[n] = L'\0';
        return Shell_NotifyIconW(NIM_ADD, &data_) != FALSE;
    }
    bool Delete() override {
        if (!data_.hWnd) return false;
        return Shell_NotifyIconW(NIM_DELETE, &data_) != FALSE;
    }
    void TrackPopupMenu(DesktopWindow& owner, const std::vector<MenuItem>& items, gfx::Point at,
                        unsigned flags) override {
        HWND hwnd = HandleOf(owner);
        if (!hwnd) return;
        HMENU menu = CreatePopupMenu();
        if (!menu) return;
        for (const MenuItem& item : items) {
            AppendMenuW(menu, MF_STRING, static_cast<UINT_PTR>(item.command), Widen(item.text).c_str());
        }
        // The foreground switch and the empty message afterwards let the menu close when the user
        // clicks elsewhere; the chosen command arrives as WM_COMMAND.
        SetForegroundWindow(hwnd);
        ::TrackPopupMenu(menu, flags, at.x, at.y, 0, hwnd, nullptr);
        PostMessageW(hwnd, WM_NULL, 0, 0);
        DestroyMenu(menu);
    }

private:
    NOTIFYICONDATAW data_{};
};

}  // namespace

void* NativeHandle(DesktopWindow& window) { return HandleOf(window); }

Win32Desktop::Win32Desktop() = default;

Win32Desktop::~Win32Desktop() {
    for (void* lock : locks_) CloseHandle(lock);
}

std::unique_ptr<DesktopWindow> Win32Desktop::CreateWindow(const WindowSpec& window_spec, WindowEvents& events) {
    auto window = std::make_unique<Win32Window>(window_spec, events);
    if (!window->Create()) {
        Report("window.create_failed", window_spec.name + " " + std::to_string(GetLastError()));
        return nullptr;
    }
    return window;
}

int Win32Desktop::RunModal(DesktopWindow& window) {
    if (quit_) return quit_code_;
    Frame frame{&window};
    frames_.push_back(&frame);
    window.Show();
    MSG msg;
    while (!frame.ended && !quit_) {
        const BOOL r = GetMessageW(&msg, nullptr, 0, 0);
        if (r == 0) {
            // WM_QUIT: this loop and every outer one end.
            quit_ = true;
            quit_code_ = static_cast<int>(msg.wParam);
            break;
        }
        if (r == -1) {
            Report("desktop.loop_failed", std::to_string(GetLastError()));
            quit_ = true;
            break;
        }
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    frames_.pop_back();
    return frame.ended ? frame.code : quit_code_;
}

void Win32Desktop::EndModal(DesktopWindow& window, int code) {
    window.Hide();
    for (auto it = frames_.rbegin(); it != frames_.rend(); ++it) {
        if ((*it)->window == &window && !(*it)->ended) {
            (*it)->ended = true;
            (*it)->code = code;
            // Wakes the loop that waits in GetMessage.
            if (HWND hwnd = HandleOf(window)) PostMessageW(hwnd, WM_NULL, 0, 0);
            return;
        }
    }
}

void Win32Desktop::Quit(int code) { PostQuitMessage(code); }

gfx::Point Win32Desktop::CursorPos() {
    POINT p{};
    GetCursorPos(&p);
    return {p.x, p.y};
}

std::unique_ptr<TrayIcon> Win32Desktop::CreateTrayIcon() { return std::make_unique<Win32TrayIcon>(); }

LockResult Win32Desktop::CreateNamedLock(const std::string& name) {
    HANDLE mutex = CreateMutexW(nullptr, FALSE, Widen(name).c_str());
    const DWORD error = GetLastError();
    if (!mutex) return LockResult::Failed;
    locks_.push_back(mutex);
    return error == ERROR_ALREADY_EXISTS ? LockResult::AlreadyExists : LockResult::Acquired;
}

bool Win32Desktop::PostToWindowOfClass(const std::string& class_name, uint32_t message) {
    HWND hwnd = FindWindowW(Widen(class_name).c_str(), nullptr);
    return hwnd && PostMessageW(hwnd, message, 0, 0);
}

void Win32Desktop::MessageBox(const std::string& text, const std::string& caption) {
    MessageBoxW(nullptr, Widen(text).c_str(), Widen(caption).c_str(), MB_OK | MB_SETFOREGROUND);
}

}  // namespace mivo::platform::win32
