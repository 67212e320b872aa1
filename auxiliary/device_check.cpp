// The small skinned dialog base and the device-check dialog.
#include "auxiliary/device_check.h"

#include <utility>

#include "platform/platform.h"
#include "resources/skin.h"
#include "settings/pointer.h"
#include "toolkit/zyl_button.h"

namespace mivo {

// What the desktop reports about the window goes straight to the dialog's handlers.
class CSkinnedDialog::Events final : public platform::WindowEvents {
public:
    explicit Events(CSkinnedDialog& dlg) : dlg_(dlg) {}
    void OnLButtonDown(int x, int y) override { dlg_.OnWindowLButtonDown(x, y); }
    void OnMouseMove(int x, int y) override { dlg_.OnWindowMouseMove(x, y); }
    void OnLButtonUp(int x, int y) override { dlg_.OnWindowLButtonUp(x, y); }
    void OnCommand(platform::WindowCommand command) override { dlg_.OnWindowCommand(command); }
    void OnPaint() override { dlg_.Redraw(); }

private:
    CSkinnedDialog& dlg_;
};

CSkinnedDialog::CSkinnedDialog(std::string name, int background, std::vector<DialogButton> buttons)
    : m_name(std::move(name)),
      m_nBackground(background),
      m_buttons(std::move(buttons)),
      m_events(std::make_unique<Events>(*this)) {}

CSkinnedDialog::~CSkinnedDialog() { DestroyWindow(); }

bool CSkinnedDialog::Create(platform::Desktop& desktop) {
    m_pDesktop = &desktop;
    platform::WindowSpec window_spec;
    window_spec.name = m_name;
    window_spec.class_name = "KorvexMivoConfig-" + m_name;
    window_spec.size = kSmallDialogSize;
    window_spec.double_clicks = false;
    m_window = desktop.CreateWindow(window_spec, *m_events);
    if (!m_window) {
        platform::Report("window.create_failed", m_name);
        return false;
    }
    OnInitDialog();
    return true;
}

void CSkinnedDialog::DestroyWindow() {
    m_pWnd = nullptr;
    m_window.reset();
}

void CSkinnedDialog::OnInitDialog() {
    EnableDragFullWindows();
    // The host is bound without AttachWindow: the window keeps its own size, not the picture's.
    m_pWnd = m_window.get();
    m_rect = m_window->GetRect();
    m_pBkImage = GetSkinImage(m_nBackground, 0);
    for (const DialogButton& b : m_buttons) {
        AddButton(this, "", b.id, b.rect.left, b.rect.top, b.rect.right, b.rect.bottom, GetSkinImage(b.id, 0),
                  GetSkinImage(b.id, 1), GetSkinImage(b.id, 2));
    }
    Redraw();
}

void CSkinnedDialog::EndDialog(int code) {
    m_nResult = code;
    if (!m_window) return;
    if (m_pDesktop) {
        m_pDesktop->EndModal(*m_window, code);
    } else {
        m_window->Hide();
    }
}

// The routing is done here rather than by the host's OnLButtonDown, so that a press no button
// takes can start the window drag.
void CSkinnedDialog::OnWindowLButtonDown(int x, int y) {
    m_bLButtonDown = 1;
    for (size_t i = m_ctrls.size(); i-- > 0;) {
        if (m_ctrls[i] && m_ctrls[i]->OnLButtonDown(x, y)) return;
    }
    if (m_window) m_window->BeginDrag();
}

void CSkinnedDialog::OnWindowMouseMove(int x, int y) { CZylDialog::OnMouseMove(x, y); }

void CSkinnedDialog::OnWindowLButtonUp(int x, int y) { CZylDialog::OnLButtonUp(x, y); }

void CSkinnedDialog::OnWindowCommand(platform::WindowCommand command) {
    EndDialog(command == platform::WindowCommand::Enter ? 1 : 2);
}

// ---------------------------------------------------------------- device check

CDeviceCheck::CDeviceCheck()
    : CSkinnedDialog("devcheck", 84, {{kCloseButtonId, {273, 3, 301, 24}}, {kOkButtonId, {125, 114, 180, 136}}}) {}

int CDeviceCheck::Run(platform::Desktop& desktop, platform::DesktopWindow* parent) {
    m_pParent = parent;
    if (!Create(desktop)) return -1;
    const int code = desktop.RunModal(*Window());
    DestroyWindow();
    return code;
}

void CDeviceCheck::OnCtrlClick(int id) {
    if (id == kCloseButtonId) {
        EndDialog(1);
    } else if (id == kOkButtonId) {
        EndDialog(2);
    }
}

}  // namespace mivo
