// The device-check dialog shown when the mouse is missing at start, and the small skinned dialog both auxiliary dialogs are built on.
#pragma once
#include <memory>
#include <string>
#include <vector>

#include "gfx/geometry.h"
#include "platform/desktop.h"
#include "toolkit/zyl_dialog.h"

namespace mivo {

// Window size of the two auxiliary dialogs: their templates are 316 x 183 dialog units, and with
// the 8-point dialog font a dialog unit is 6/4 pixel across and 13/8 pixel down (297.375, cut to 297).
inline constexpr gfx::Size kSmallDialogSize{474, 297};

// One picture button of a small dialog; its three pictures are skin image `id` in states 0, 1, 2.
struct DialogButton {
    int id;
    gfx::Rect rect;
};

// A borderless, layered dialog window whose message is its background picture and whose only
// controls are picture buttons. Presses no button takes drag the window; Enter ends the dialog
// with 1, Escape and the close command with 2. Ending only hides the window.
class CSkinnedDialog : public CZylDialog {
public:
    CSkinnedDialog(const CSkinnedDialog&) = delete;
    CSkinnedDialog& operator=(const CSkinnedDialog&) = delete;
    ~CSkinnedDialog() override;

    // Null before the window is created (and, for a modal dialog, after its run).
    platform::DesktopWindow* Window() { return m_window.get(); }
    bool IsVisible() const { return m_window && m_window->IsVisible(); }
    // The code the dialog was last ended with; 0 before the first end.
    int Result() const { return m_nResult; }

    // Hides the window and, while it runs modally, makes the run return `code`.
    void EndDialog(int code);

    // The window's messages.
    void OnWindowLButtonDown(int x, int y);
    void OnWindowMouseMove(int x, int y);
    void OnWindowLButtonUp(int x, int y);
    void OnWindowCommand(platform::WindowCommand command);

protected:
    CSkinnedDialog(std::string name, int background, std::vector<DialogButton> buttons);

    // Creates the hidden window (kSmallDialogSize) and sets it up; false when the desktop gives none.
    bool Create(platform::Desktop& desktop);
    // Lets the window go; the controls and the background stay with the object.
    void DestroyWindow();

    platform::Desktop* m_pDesktop = nullptr;  // not owned

private:
    class Events;

    // Drag-full-windows, background picture, buttons, first composition.
    void OnInitDialog();

    std::string m_name;
    int m_nBackground;
    std::vector<DialogButton> m_buttons;
    int m_nResult = 0;
    // Declared before the window, which refers to it, so that the window goes first.
    std::unique_ptr<Events> m_events;
    std::unique_ptr<platform::DesktopWindow> m_window;
};

// Tells the user the mouse was not found. Run modally once by the main window, then discarded;
// whichever button ends it, the caller carries on the same way.
class CDeviceCheck final : public CSkinnedDialog {
public:
    static constexpr int kCloseButtonId = 85;  // top right corner, ends with 1
    static constexpr int kOkButtonId = 86;     // lower middle, ends with 2

    CDeviceCheck();

    // Creates the window, runs it modally and destroys the window. Returns the end code (1 or 2),
    // the code of a desktop-wide quit, or -1 when no window could be created. `parent` is the
    // window that asks (the main window); it is only recorded, as the desktop has no owner relation.
    int Run(platform::Desktop& desktop, platform::DesktopWindow* parent);

    void OnCtrlClick(int id) override;

    platform::DesktopWindow* m_pParent = nullptr;  // not owned
};

}  // namespace mivo
