// Page control: a background picture and a list of child controls, shown and routed as one.
#pragma once
#include <memory>
#include <vector>

#include "gfx/image.h"
#include "toolkit/base_ctrl.h"

namespace mivo {

// Children keep window coordinates; the page neither offsets nor clips them.
class CZylPageCtrl : public CBaseCtrl {
public:
    CZylPageCtrl(int id, int left, int top, int right, int bottom);
    ~CZylPageCtrl() override;

    // Drops the background held and takes the new one (null allowed).
    void SetBackground(gfx::ImagePtr background) { m_pBackground = std::move(background); }
    // Gives the child this page's host when it has none, makes this page its parent, appends it.
    CBaseCtrl* AddChild(std::unique_ptr<CBaseCtrl> child);

    void Draw(gfx::Canvas& dc) override;
    int OnLButtonDown(int x, int y) override;
    int OnMouseMove(int x, int y) override;
    int OnLButtonUp(int x, int y) override;
    int OnLButtonDblClk(int x, int y) override;
    // Offered to every child, first to last, whether the page is visible or not.
    int OnTimer(int timerId) override;
    void ResetState(int kind, int exceptId) override;
    CBaseCtrl* FindById(int id) override;
    void BringChildToTop(CBaseCtrl* child) override;

    std::vector<std::unique_ptr<CBaseCtrl>> m_children;  // drawing order; input goes last to first
    gfx::ImagePtr m_pBackground;
};

}  // namespace mivo
