// Skinned dialog host: owns a window's controls, routes its mouse input and composes its picture.
#pragma once
#include <memory>
#include <string>
#include <vector>

#include "gfx/image.h"
#include "platform/window.h"
#include "toolkit/base_ctrl.h"

namespace mivo {

class CZylButton;

// A window derives from (or holds) this host: it forwards its mouse messages to the routing
// operations and calls Redraw whenever it must be shown again.
class CZylDialog : public IBaseCtrlEvent {
public:
    CZylDialog() = default;
    CZylDialog(const CZylDialog&) = delete;
    CZylDialog& operator=(const CZylDialog&) = delete;
    ~CZylDialog() override;

    // Binds the window; with a background image the window takes the image's size.
    void AttachWindow(platform::Window* wnd);
    // Creates a button with the three pictures (its disabled picture stays null), reporting to
    // `sink`, and appends it.
    CZylButton* AddButton(IBaseCtrlEvent* sink, std::string text, int id, int left, int top, int right, int bottom,
                          gfx::ImagePtr normal, gfx::ImagePtr hover, gfx::ImagePtr pressed);
    // Appends a control whose m_pEvent the caller has set; the host owns it from now on.
    CBaseCtrl* AddCtrl(std::unique_ptr<CBaseCtrl> ctrl);
    // The first control, from index 0 up, that answers FindById(id); null when none.
    CBaseCtrl* FindCtrl(int id);
    void RemoveAllCtrls();

    void Redraw() override;
    void OnCtrlHover(int id) override {}
    void BringToTop(CBaseCtrl* ctrl) override;
    void OnComboHover(int id) override {}
    void ResetCtrlStates(int kind, int exceptId) override;
    void OnCtrlClick(int id) override {}
    void StartCtrlTimer(int id) override {}
    void DrawContent(gfx::Canvas& dc) override;
    int OnLButtonDown(int x, int y) override;
    int OnMouseMove(int x, int y) override;
    int OnLButtonUp(int x, int y) override;
    int OnLButtonDblClk(int x, int y) override;
    int OnTimer(int timerId) override;

    // Paint order and z-order: index 0 is painted first and offered presses and moves last.
    std::vector<std::unique_ptr<CBaseCtrl>> m_ctrls;
    CBaseCtrl* m_pTopCtrl = nullptr;        // not owned
    platform::Window* m_pWnd = nullptr;     // not owned
    gfx::ImagePtr m_pBkImage;
    gfx::Rect m_rect;                       // the window's screen rectangle
    int m_bLButtonDown = 0;

protected:
    // The composition buffer, kept between Redraws and reallocated only when the size changes.
    gfx::Image m_frame;
};

}  // namespace mivo
