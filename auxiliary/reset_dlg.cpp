// The driver-reset dialog.
#include "auxiliary/reset_dlg.h"

#include <utility>

namespace mivo {

gfx::Rect ResetDialogPlace(const gfx::Rect& owner, const gfx::Rect& dialog) {
    const int w = dialog.Width();
    const int h = dialog.Height();
    // Integer division truncates toward zero, as intended.
    const int left = owner.left + (owner.Width() - w) / 2 + 40;
    const int top = owner.top + (owner.Height() - h) / 2;
    return {left, top, left + w, top + h};
}

CResetDlg::CResetDlg(std::function<void()> onReset)
    : CSkinnedDialog("reset", 80,
                     {{kConfirmButtonId, {73, 200, 129, 225}},
                      {kCancelButtonId, {136, 200, 233, 225}},
                      {kCloseButtonId, {273, 3, 301, 24}}}),
      m_onReset(std::move(onReset)) {}

void CResetDlg::ShowOver(const gfx::Rect& owner_rect) {
    platform::DesktopWindow* window = Window();
    if (!window) return;
    window->Move(ResetDialogPlace(owner_rect, window->GetRect()));
    window->Show();
}

void CResetDlg::OnCtrlClick(int id) {
    switch (id) {
        case kConfirmButtonId:
            // Hidden before the reset starts, so the dialog is gone while the settings are applied.
            EndDialog(1);
            if (m_onReset) m_onReset();
            break;
        case kCancelButtonId:
        case kCloseButtonId:
            EndDialog(2);
            break;
        default:
            break;
    }
}

}  // namespace mivo
