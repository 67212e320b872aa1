// The main window: skinned host, notification-area icon, timers, show/hide rules and mouse routing.
#pragma once
#include <cstdint>
#include <functional>
#include <future>
#include <initializer_list>
#include <memory>
#include <string>
#include <vector>

#include "auxiliary/reset_dlg.h"
#include "device/apply.h"
#include "device/device_link.h"
#include "platform/desktop.h"
#include "platform/window.h"
#include "settings/mouse_settings.h"
#include "toolkit/zyl_dialog.h"

namespace mivo {

// Class name of the main window; a second copy finds the first copy's window by it.
inline constexpr char kMainWindowClass[] = "KorvexMivoConfigMain";
inline constexpr char kMainWindowTitle[] = "米沃鼠标";
inline constexpr char kTrayTip[] = "岚隼 米沃";

// Private messages of the main window.
inline constexpr uint32_t WM_TRAY_NOTIFY = 2027;
inline constexpr uint32_t WM_SHOW_MAIN = 2028;
inline constexpr uint32_t WM_NULL_MESSAGE = 0;

// Notification-area menu (resource 130) and icons.
inline constexpr int kCmdShowMain = 32772;
inline constexpr int kCmdExit = 32774;
inline constexpr int kWindowIconId = 128;
inline constexpr int kTrayIconId = 133;
inline constexpr unsigned kTrayMenuFlags = 0x28;  // right-aligned, bottom-aligned at the cursor

// Window timers.
inline constexpr int kPollTimerId = 1000;
inline constexpr int kPollIntervalMs = 700;
inline constexpr int kApplyTimerId = 2000;
inline constexpr int kApplyTimerMs = 50;

// How many times adding the tray icon is tried (the shell may not be ready yet at log-on).
inline constexpr int kTrayAddAttempts = 21;

class CMouseConfigDlg : public CZylDialog {
public:
    // `command_line` is the program's command line without our own "--" options.
    explicit CMouseConfigDlg(std::string command_line);
    ~CMouseConfigDlg() override;
    CMouseConfigDlg(const CMouseConfigDlg&) = delete;
    CMouseConfigDlg& operator=(const CMouseConfigDlg&) = delete;

    // Creates the window, initialises it, shows it (unless kept hidden) and runs its modal loop
    // until the exit command. Removes the tray icon before the window goes. Returns the loop's code.
    int DoModal();
    // Window set-up, controls, profile, tray, first device check and the poll timer.
    bool OnInitDialog();

    void AddTrayIcon();
    // Window side of the periodic dpi poll: hide without a mouse, move the current-dpi marker.
    void PollDpi(int force);
    // Pointer settings, then the mouse: buttons 1 and 2 forced from the handedness (also in their
    // drop-downs), every control stored and saved, the report sequence. Blocks for its pauses.
    // Returns what the device side reported; ApplyBusy is 0 again on every way out.
    ApplyResult ApplySettings();
    // Factory values into the record and the controls, applied, the default language chosen,
    // and the profile saved (also without the mouse).
    void ResetToDefaults();
    // Blocks until every page opened by the support buttons has been handed to the shell.
    void WaitForPageThreads();

    // Control reports.
    void OnCtrlHover(int id) override;
    void OnComboHover(int id) override;
    void OnCtrlClick(int id) override;
    void StartCtrlTimer(int id) override;
    void DrawContent(gfx::Canvas& dc) override;

    // Window messages (the desktop's WindowEvents land here).
    void OnWindowLButtonDown(int x, int y);
    void OnWindowMouseMove(int x, int y);
    void OnWindowLButtonUp(int x, int y);
    void OnWindowLButtonDblClk(int x, int y);
    void OnWindowTimer(int id);
    void OnWindowCommand(platform::WindowCommand command);
    void OnWindowMessage(uint32_t message, uintptr_t wparam, intptr_t lparam);
    void OnTrayNotify(intptr_t mouse_message);
    void OnMenuCommand(int command);
    void OnDeviceChange(const platform::DeviceBroadcast& broadcast);
    void ShowMain();

    platform::DesktopWindow* Window() { return m_window.get(); }
    // The driver-reset dialog; null until the window's initialisation has created it.
    CResetDlg* ResetDialog() { return m_resetDlg.get(); }

    MouseSettings m_settings;
    std::string HelpText;
    DeviceLink m_link;
    ApplyFlags m_apply;  // ApplyBusy and ApplyDone
    int32_t MayShow = 1;
    // Whether the driver-reset dialog is showing; while it is, presses, moves and releases on the
    // main window do nothing. Set when that dialog is created.
    std::function<bool()> m_resetDialogVisible;

private:
    class Events;

    bool ResetDialogBlocks() const { return m_resetDialogVisible && m_resetDialogVisible(); }
    void SelectTab(int tab);
    void SetSelectorGroup(std::initializer_list<int> group, int on_id);
    void StepScrollSpeed(int delta);
    void ShowResetDialog();
    void OpenPage(const char* url);
    void RegisterHidNotification();
    void DrawTextLine(gfx::Canvas& dc, const std::string& text, const gfx::Rect& box, uint32_t colour_bgr);

    std::string m_commandLine;
    std::unique_ptr<Events> m_events;
    std::unique_ptr<platform::DesktopWindow> m_window;
    std::unique_ptr<CResetDlg> m_resetDlg;
    // Threads that hand a web page to the shell; waited for before the window (and the shell in
    // use) go away.
    std::vector<std::future<void>> m_pageThreads;
    std::unique_ptr<platform::TrayIcon> m_tray;
    std::vector<platform::TrayIcon::MenuItem> m_trayMenu;
    // Cleared when the window object goes, so a late device broadcast reaches nothing.
    std::shared_ptr<CMouseConfigDlg*> m_alive;
};

}  // namespace mivo
