// The driver-reset dialog: asks before the settings go back to their factory values.
#pragma once
#include <functional>

#include "auxiliary/device_check.h"

namespace mivo {

// Where the dialog goes when shown over `owner` (screen rectangles): centred on it, 40 pixels to the
// right of centre, keeping the dialog's size. Halves truncate toward zero, also for a dialog larger
// than its owner.
gfx::Rect ResetDialogPlace(const gfx::Rect& owner, const gfx::Rect& dialog);

// Created hidden once by the main window and shown and hidden for its whole life (modeless).
// Button 81 confirms: the dialog hides first, then calls the owner's reset; 82, 83, Escape and the
// close command only hide it (end code 2), Enter hides it with 1 and resets nothing.
class CResetDlg final : public CSkinnedDialog {
public:
    static constexpr int kConfirmButtonId = 81;  // lower left
    static constexpr int kCancelButtonId = 82;   // lower middle
    static constexpr int kCloseButtonId = 83;    // top right corner

    // `onReset` is the owner's ResetToDefaults; it runs on the UI thread after the dialog is hidden.
    explicit CResetDlg(std::function<void()> onReset);

    // Creates the hidden window; false when the desktop gives none.
    bool Create(platform::Desktop& desktop) { return CSkinnedDialog::Create(desktop); }
    // Moves the window to ResetDialogPlace(owner_rect, its rectangle) and shows it.
    void ShowOver(const gfx::Rect& owner_rect);

    void OnCtrlClick(int id) override;

private:
    std::function<void()> m_onReset;
};

}  // namespace mivo
