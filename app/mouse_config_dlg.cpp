// The main window's life: initialisation, tray icon, show/hide rules, timers, routing and painting.
#include "app/mouse_config_dlg.h"

#include <chrono>
#include <utility>

#include "auxiliary/device_check.h"
#include "auxiliary/support.h"
#include "content/layout.h"
#include "content/main_controls.h"
#include "content/window_settings.h"
#include "gfx/text.h"
#include "platform/clock.h"
#include "platform/hid.h"
#include "platform/platform.h"
#include "resources/language.h"
#include "resources/skin.h"
#include "settings/pointer.h"
#include "settings/profile.h"
#include "toolkit/zyl_button.h"
#include "toolkit/zyl_combox.h"
#include "toolkit/zyl_image.h"
#include "toolkit/zyl_page.h"
#include "toolkit/zyl_slider.h"

namespace mivo {

namespace {

// Client size of the window before the background picture sizes it.
constexpr gfx::Size kTemplateSize{545, 366};

constexpr gfx::Rect kFirmwareTextBox{276, 12, 320, 25};
constexpr gfx::Rect kSoftwareTextBox{176, 12, 220, 25};
constexpr gfx::Rect kHelpTextBox{60, 464, 576, 484};
constexpr int kTextHeight = 13;
constexpr uint32_t kWhiteBgr = 0x00FFFFFF;
constexpr uint32_t kGreyBgr = 0x00B4B4B4;
constexpr char kTextFace[] = "Tahoma";

constexpr int kMinimiseButtonId = 2;
constexpr int kCloseButtonId = 3;
constexpr int kMainTabId = 4;
constexpr int kAdvancedTabId = 5;
constexpr int kSupportTabId = 6;
constexpr int kOkButtonId = 7;
constexpr int kApplyButtonId = 8;
constexpr int kCancelButtonId = 9;
constexpr int kMainPageId = 11;
constexpr int kAdvancedPageId = 12;
constexpr int kSupportPageId = 13;
constexpr int kScrollSpeedSliderId = 14;
constexpr int kDoubleClickAnimationId = 39;
constexpr int kResetButtonId = 40;
constexpr int kScrollSpeedUpId = 41;
constexpr int kScrollSpeedDownId = 42;
constexpr int kBreathingAnimationId = 48;
constexpr int kFirstKeyDropDownId = 50;
constexpr int kDpiSlotCount = 7;
// A slot's selector is its marker's ID + 7.
constexpr int kMarkerToSelector = content::kFirstDpiSelectorId - content::kFirstDpiMarkerId;

platform::Desktop* CurrentDesktop() { return platform::Current().desktop; }

}  // namespace

// What the desktop reports about the window goes straight to the dialog's handlers.
class CMouseConfigDlg::Events final : public platform::WindowEvents {
public:
    explicit Events(CMouseConfigDlg& dlg) : dlg_(dlg) {}
    void OnLButtonDown(int x, int y) override { dlg_.OnWindowLButtonDown(x, y); }
    void OnMouseMove(int x, int y) override { dlg_.OnWindowMouseMove(x, y); }
    void OnLButtonUp(int x, int y) override { dlg_.OnWindowLButtonUp(x, y); }
    void OnLButtonDblClk(int x, int y) override { dlg_.OnWindowLButtonDblClk(x, y); }
    void OnTimer(int id) override { dlg_.OnWindowTimer(id); }
    void OnCommand(platform::WindowCommand command) override { dlg_.OnWindowCommand(command); }
    void OnPaint() override { dlg_.Redraw(); }
    void OnMessage(uint32_t message, uintptr_t wparam, intptr_t lparam) override {
        dlg_.OnWindowMessage(message, wparam, lparam);
    }
    void OnMenuCommand(int command) override { dlg_.OnMenuCommand(command); }
    void OnDeviceChange(const platform::DeviceBroadcast& broadcast) override { dlg_.OnDeviceChange(broadcast); }
    bool MayShow() override { return dlg_.MayShow != 0; }

private:
    CMouseConfigDlg& dlg_;
};

CMouseConfigDlg::CMouseConfigDlg(std::string command_line)
    : m_commandLine(std::move(command_line)),
      m_events(std::make_unique<Events>(*this)),
      m_alive(std::make_shared<CMouseConfigDlg*>(this)) {
    m_pBkImage = GetSkinImage(0, 0);
    m_trayMenu = {{kCmdShowMain, "设置米沃鼠标"}, {kCmdExit, "退出程序"}};
}

CMouseConfigDlg::~CMouseConfigDlg() {
    *m_alive = nullptr;
    WaitForPageThreads();
    m_resetDialogVisible = nullptr;
    m_resetDlg.reset();
    // The controls may call back into the host while they go; let them go before the window.
    RemoveAllCtrls();
    m_pWnd = nullptr;
}

int CMouseConfigDlg::DoModal() {
    platform::Desktop* desktop = CurrentDesktop();
    if (!desktop) {
        platform::Report("desktop.unavailable");
        return 0;
    }
    platform::WindowSpec window_spec;
    window_spec.name = "main";
    window_spec.title = kMainWindowTitle;
    window_spec.class_name = kMainWindowClass;
    window_spec.size = kTemplateSize;
    // Device broadcasts come through our own registration with the HID bus.
    window_spec.wants_device_broadcasts = false;
    window_spec.double_clicks = true;
    m_window = desktop->CreateWindow(window_spec, *m_events);
    if (!m_window) {
        platform::Report("window.create_failed", "main");
        return 0;
    }

    OnInitDialog();
    // The modal run shows the window; MayShow can keep it hidden.
    const int code = desktop->RunModal(*m_window);

    // The icon goes first, then the dialog the window owns, then the window.
    if (m_tray) m_tray->Delete();
    WaitForPageThreads();
    m_resetDialogVisible = nullptr;
    m_resetDlg.reset();
    RemoveAllCtrls();
    m_pWnd = nullptr;
    m_window.reset();
    return code;
}

bool CMouseConfigDlg::OnInitDialog() {
    EnableDragFullWindows();
    RegisterHidNotification();
    AttachWindow(m_window.get());
    content::CreateMainControls(*this, m_link);
    content::LoadAndShowProfile(*this, m_settings);
    Redraw();

    if (platform::Desktop* desktop = CurrentDesktop()) m_tray = desktop->CreateTrayIcon();

    const bool silent = m_commandLine == "silent";
    EnsureOpen(m_link);
    if (m_link.Connected) AddTrayIcon();
    if (silent) {
        MayShow = 0;
    } else if (!m_link.Connected) {
        // Whichever way the user ends it, the window then waits hidden, without an icon, for the
        // mouse to arrive.
        if (platform::Desktop* desktop = CurrentDesktop()) CDeviceCheck().Run(*desktop, m_window.get());
        MayShow = 0;
    }

    if (m_window) m_window->SetTimer(kPollTimerId, kPollIntervalMs);

    if (platform::Desktop* desktop = CurrentDesktop()) {
        auto dialog = std::make_unique<CResetDlg>([this] { ResetToDefaults(); });
        if (dialog->Create(*desktop)) {
            m_resetDlg = std::move(dialog);
            m_resetDialogVisible = [this] { return m_resetDlg && m_resetDlg->IsVisible(); };
        } else {
            platform::Report("window.create_failed", "reset");
        }
    }
    return true;
}

ApplyResult CMouseConfigDlg::ApplySettings() {
    return mivo::ApplySettings(m_link, m_settings, m_apply, [this](MouseSettings& settings) {
        // The forced codes replace the user's choice for buttons 1 and 2 in the drop-downs too,
        // so reading the controls back keeps them.
        for (int i = 0; i < 2; ++i) {
            if (auto* combo = dynamic_cast<CZylComboxButton*>(FindCtrl(kFirstKeyDropDownId + i))) {
                combo->SelectById(settings.Key[static_cast<size_t>(i)]);
            }
        }
        content::StoreFromControls(*this, settings);
    });
}

void CMouseConfigDlg::ResetToDefaults() {
    MouseSettings factory = DefaultSettings;
    CopySettings(factory, m_settings);
    content::ShowSettings(*this, m_settings);
    Redraw();
    ApplySettings();
    SelectDefaultLanguage([this](int id) { OnCtrlClick(id); });
    // Saved here as well: without the mouse the apply saves nothing, and the language is new.
    SaveProfile(ProfilePath(), m_settings);
}

void CMouseConfigDlg::WaitForPageThreads() {
    for (auto& thread : m_pageThreads) {
        if (thread.valid()) thread.wait();
    }
    m_pageThreads.clear();
}

void CMouseConfigDlg::OpenPage(const char* url) {
    // Threads that have finished are forgotten; the others are kept until the window goes.
    std::erase_if(m_pageThreads, [](const std::future<void>& thread) {
        return !thread.valid() || thread.wait_for(std::chrono::seconds(0)) == std::future_status::ready;
    });
    m_pageThreads.push_back(OpenUrl(url));
}

void CMouseConfigDlg::RegisterHidNotification() {
    platform::HidBus* hid = platform::Current().hid;
    if (!hid) return;
    std::weak_ptr<CMouseConfigDlg*> alive = m_alive;
    hid->RegisterNotifications([alive](const platform::DeviceBroadcast& broadcast) {
        // Delivered as the window's own device-change message.
        if (auto owner = alive.lock(); owner && *owner) (*owner)->m_events->OnDeviceChange(broadcast);
    });
}

void CMouseConfigDlg::AddTrayIcon() {
    if (!m_tray || !m_window) return;
    platform::Clock* clock = platform::Current().clock;
    for (int attempt = 0; attempt < kTrayAddAttempts; ++attempt) {
        if (m_tray->Add(*m_window, kTrayIconId, WM_TRAY_NOTIFY, kTrayTip)) return;
        if (clock) clock->Sleep(1);
    }
    platform::Report("tray.add_failed", std::to_string(kTrayAddAttempts));
}

void CMouseConfigDlg::ShowMain() {
    MayShow = 1;
    if (m_window) m_window->Show();
}

void CMouseConfigDlg::PollDpi(int force) {
    const PollResult result = mivo::PollDpi(m_link, m_apply, LastDpiCode(), force != 0);
    if (result.status == PollStatus::NoMouse) {
        if (m_window) m_window->Hide();
        return;
    }
    if (result.status != PollStatus::Update) return;
    content::HideDpiMarkers(*this);
    if (result.code >= 1 && result.code <= 7) {
        if (CBaseCtrl* marker = FindCtrl(content::kFirstDpiMarkerId + result.code - 1)) marker->SetVisible(1);
        Redraw();
        m_settings.CurDPI = result.dpi;
    }
}

void CMouseConfigDlg::OnCtrlHover(int id) {
    CBaseCtrl* ctrl = FindCtrl(id);
    // The language file is asked by the control's own ID; the stored text is the fallback.
    HelpText = GetLangText(id, ctrl ? std::string_view(ctrl->m_strText) : std::string_view());
}

void CMouseConfigDlg::OnComboHover(int id) {
    auto* picture = dynamic_cast<CZylImage*>(FindCtrl(content::kAssignmentPictureId));
    if (!picture) return;
    if (id >= 50 && id <= 55) {
        const size_t k = static_cast<size_t>(id - 50);
        if (picture->m_pictures.size() > k) picture->SetPictureIndex(static_cast<int>(k));
        picture->SetVisible(1);
    } else {
        picture->SetVisible(0);
    }
}

void CMouseConfigDlg::OnCtrlClick(int id) {
    switch (id) {
        case kMinimiseButtonId:
            if (m_window) m_window->Minimise();
            PollDpi(1);
            return;
        case kCloseButtonId:
        case kCancelButtonId:
            // The controls keep what the user set; nothing is saved or sent.
            if (m_window) m_window->Hide();
            PollDpi(1);
            return;
        case kMainTabId:
        case kAdvancedTabId:
        case kSupportTabId:
            SelectTab(id);
            return;
        case kOkButtonId:
            content::StoreFromControls(*this, m_settings);
            ApplySettings();
            if (m_window) m_window->Hide();
            return;
        case kApplyButtonId:
            m_apply.ApplyDone = 0;
            if (CBaseCtrl* apply = FindCtrl(kApplyButtonId)) apply->SetEnabled(0);
            content::StoreFromControls(*this, m_settings);
            ApplySettings();
            // The button comes back at the timer's first tick after the apply has ended.
            if (m_window) m_window->SetTimer(kApplyTimerId, kApplyTimerMs);
            return;
        case content::kLanguageButtonId:
            if (CBaseCtrl* menu = FindCtrl(content::kLanguageMenuId)) menu->SetVisible(1);
            Redraw();
            return;
        case 17:
        case 18:
            SetSelectorGroup({17, 18}, id);
            return;
        case 19:
        case 20:
        case 21:
        case 22:
            SetSelectorGroup({19, 20, 21, 22}, id);
            return;
        case kResetButtonId:
            ShowResetDialog();
            return;
        case kScrollSpeedUpId:
            StepScrollSpeed(+1);
            return;
        case kScrollSpeedDownId:
            StepScrollSpeed(-1);
            return;
        case 43:
        case 44:
            SetSelectorGroup({43, 44}, id);
            return;
        case 45:
        case 46:
        case 47:
            SetSelectorGroup({45, 46, 47}, id);
            return;
        case 56:
            OpenPage(kProductPageUrl);
            return;
        case 57:
            OpenPage(kSupportPageUrl);
            return;
        case 59:
            OpenPage(kSupportFormUrl);
            return;
        case 58:
        case 60:
            SendSupportMail(kSupportMailAddress);
            return;
        default:
            break;
    }

    if (id >= content::kFirstDpiMarkerId && id < content::kFirstDpiMarkerId + kDpiSlotCount) {
        // A marker can only move to a slot that is switched on; CurDPI follows at the next store.
        CBaseCtrl* marker = FindCtrl(id);
        auto* selector = dynamic_cast<CZylSelector*>(FindCtrl(id + kMarkerToSelector));
        if (!marker || marker->m_bVisible || !selector || !selector->m_bOn) return;
        content::HideDpiMarkers(*this);
        marker->SetVisible(1);
        Redraw();
        return;
    }
    if (id >= content::kFirstDpiSelectorId && id < content::kFirstDpiSelectorId + kDpiSlotCount) {
        // The current slot cannot be switched off.
        auto* selector = dynamic_cast<CZylSelector*>(FindCtrl(id));
        CBaseCtrl* marker = FindCtrl(id - kMarkerToSelector);
        if (selector && !selector->m_bOn && marker && marker->m_bVisible) {
            selector->m_bOn = 1;
            Redraw();
        }
        return;
    }
    if (const LanguageEntry* language = LanguageForItemId(id)) {
        content::SetLanguageButtonFaces(*this, m_settings, id);
        SelectLanguageFile(language->file_name);
    }
}

void CMouseConfigDlg::SelectTab(int tab) {
    const std::pair<int, int> tabs[] = {
        {kMainTabId, kMainPageId}, {kAdvancedTabId, kAdvancedPageId}, {kSupportTabId, kSupportPageId}};
    for (const auto& [tab_id, page_id] : tabs) {
        if (CBaseCtrl* page = FindCtrl(page_id)) page->SetVisible(tab_id == tab ? 1 : 0);
        if (CBaseCtrl* button = FindCtrl(tab_id)) button->m_nState = tab_id == tab ? kStateSelected : kStateNormal;
    }
    // The breathing preview runs only while its page shows; its timer stops at the next tick.
    if (auto* breathing = dynamic_cast<CZylAnimation*>(FindCtrl(kBreathingAnimationId))) {
        breathing->m_bRunning = tab == kAdvancedTabId ? 1 : 0;
        if (breathing->m_bRunning) breathing->Start();
    }
    Redraw();
}

void CMouseConfigDlg::SetSelectorGroup(std::initializer_list<int> group, int on_id) {
    for (int id : group) {
        if (auto* selector = dynamic_cast<CZylSelector*>(FindCtrl(id))) selector->m_bOn = id == on_id ? 1 : 0;
    }
    Redraw();
}

void CMouseConfigDlg::StepScrollSpeed(int delta) {
    if (auto* slider = dynamic_cast<CZylSlider*>(FindCtrl(kScrollSpeedSliderId))) {
        int value = slider->m_nPos + delta;
        if (value > slider->m_nMax) value = slider->m_nMax;
        if (value < slider->m_nMin) value = slider->m_nMin;
        slider->m_nPos = value;
    }
    Redraw();
}

void CMouseConfigDlg::ShowResetDialog() {
    if (m_resetDlg && m_window) m_resetDlg->ShowOver(m_window->GetRect());
}

void CMouseConfigDlg::StartCtrlTimer(int id) {
    if (id != kDoubleClickAnimationId && id != kBreathingAnimationId) return;
    auto* animation = dynamic_cast<CZylAnimation*>(FindCtrl(id));
    if (animation && m_window) m_window->SetTimer(id, animation->m_nInterval);
}

void CMouseConfigDlg::DrawTextLine(gfx::Canvas& dc, const std::string& text, const gfx::Rect& box,
                                   uint32_t colour_bgr) {
    gfx::ImagePtr line = gfx::RenderText(dc, text, kTextFace, kTextHeight, colour_bgr, box);
    if (line) dc.DrawImage(line.get(), box);
}

void CMouseConfigDlg::DrawContent(gfx::Canvas& dc) {
    if (m_pBkImage) dc.DrawImage(m_pBkImage.get(), 0, 0);
    for (auto& ctrl : m_ctrls) {
        if (ctrl) ctrl->Draw(dc);
    }
    DrawTextLine(dc, "1." + std::to_string(m_link.Version), kFirmwareTextBox, kWhiteBgr);
    DrawTextLine(dc, std::string(content::kSoftwareVersion), kSoftwareTextBox, kWhiteBgr);
    DrawTextLine(dc, HelpText, kHelpTextBox, kGreyBgr);
}

void CMouseConfigDlg::OnWindowLButtonDown(int x, int y) {
    if (ResetDialogBlocks()) return;
    // A press that no control takes moves the window, as a press on a caption would.
    if (!CZylDialog::OnLButtonDown(x, y) && m_window) m_window->BeginDrag();
}

void CMouseConfigDlg::OnWindowMouseMove(int x, int y) {
    if (ResetDialogBlocks()) return;
    if (CZylDialog::OnMouseMove(x, y)) return;
    CBaseCtrl* picture = FindCtrl(content::kAssignmentPictureId);
    if (picture && picture->m_bVisible) {
        picture->SetVisible(0);
        // The host recomposed before the picture went; show the window without it.
        Redraw();
    }
}

void CMouseConfigDlg::OnWindowLButtonUp(int x, int y) {
    if (ResetDialogBlocks()) return;
    CZylDialog::OnLButtonUp(x, y);
}

void CMouseConfigDlg::OnWindowLButtonDblClk(int x, int y) {
    for (auto& ctrl : m_ctrls) {
        if (ctrl && ctrl->OnLButtonDblClk(x, y)) break;
    }
}

void CMouseConfigDlg::OnWindowTimer(int id) {
    if (!m_window) return;
    if (id == kPollTimerId) {
        PollDpi(0);
    } else if (id == kApplyTimerId) {
        CBaseCtrl* apply = FindCtrl(kApplyButtonId);
        // The button comes back once the apply has ended, whether or not the mouse took it:
        // an apply that failed must not leave it disabled until some later apply succeeds.
        if (m_apply.ApplyDone || !m_apply.ApplyBusy) {
            if (apply) apply->SetEnabled(1);
            m_window->KillTimer(kApplyTimerId);
        } else if (apply) {
            apply->SetEnabled(0);
        }
    } else if (id == kDoubleClickAnimationId || id == kBreathingAnimationId) {
        auto* animation = dynamic_cast<CZylAnimation*>(FindCtrl(id));
        if (animation && animation->m_bRunning) {
            animation->Step();
        } else {
            m_window->KillTimer(id);
        }
    }
}

void CMouseConfigDlg::OnWindowCommand(platform::WindowCommand) {
    // Enter, Escape and the close command leave the window as it is; only the tray's exit ends it.
}

void CMouseConfigDlg::OnWindowMessage(uint32_t message, uintptr_t, intptr_t lparam) {
    if (message == WM_TRAY_NOTIFY) {
        OnTrayNotify(lparam);
    } else if (message == WM_SHOW_MAIN) {
        ShowMain();
    }
}

void CMouseConfigDlg::OnTrayNotify(intptr_t mouse_message) {
    const auto event = static_cast<platform::TrayEvent>(mouse_message);
    if (event == platform::TrayEvent::LeftDown || event == platform::TrayEvent::RightDown) {
        platform::Desktop* desktop = CurrentDesktop();
        if (!desktop || !m_window || !m_tray) return;
        const gfx::Point at = desktop->CursorPos();
        m_window->SetForeground();
        m_tray->TrackPopupMenu(*m_window, m_trayMenu, at, kTrayMenuFlags);
        m_window->PostMessage(WM_NULL_MESSAGE, 0, 0);
    } else if (event == platform::TrayEvent::LeftDoubleClick) {
        ShowMain();
    }
}

void CMouseConfigDlg::OnMenuCommand(int command) {
    if (command == kCmdShowMain) {
        ShowMain();
    } else if (command == kCmdExit) {
        if (platform::Desktop* desktop = CurrentDesktop()) desktop->Quit(0);
    }
}

void CMouseConfigDlg::OnDeviceChange(const platform::DeviceBroadcast& broadcast) {
    switch (HandleDeviceChange(m_link, broadcast)) {
        case DeviceChange::MouseRemoved:
            if (m_tray) m_tray->Delete();
            if (m_window) m_window->Hide();
            break;
        case DeviceChange::MouseArrived:
            // Re-added rather than kept: the shell may have dropped it while the mouse was away.
            if (m_tray) m_tray->Delete();
            AddTrayIcon();
            MayShow = 1;
            break;
        case DeviceChange::Ignore:
            break;
    }
}

}  // namespace mivo
